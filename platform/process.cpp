// All process services of the platform: spawning, polling without reaping, reaping and
// killing process trees. Nothing outside this file calls the system's process functions.

#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/clock.h"
#include "platform/environment.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string SystemMessage(int error) { return std::strerror(error); }

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

// Closes a descriptor on scope exit unless released.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_;
};

// Moves a descriptor above the three standard ones. A host that closed its own standard
// streams would otherwise get 0, 1 or 2 here, and the child's redirections would overwrite
// one another.
int AboveStandard(int fd) {
    if (fd < 0 || fd > 2) return fd;
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int saved = errno;
    ::close(fd);
    errno = saved;
    return moved;
}

int OpenForReading(const fs::path& p) {
    return AboveStandard(::open(p.empty() ? "/dev/null" : p.c_str(), O_RDONLY | O_CLOEXEC));
}

int OpenForWriting(const fs::path& p) {
    if (p.empty()) return AboveStandard(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    return AboveStandard(::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

fs::path Normalised(const fs::path& p) {
    std::error_code ec;
    fs::path a = fs::absolute(p, ec);
    return (ec ? p : a).lexically_normal();
}

// State and parent of a process from /proc/<pid>/stat; false when it does not exist.
bool ReadStat(int pid, char* state, int* parent) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    if (!in) return false;
    std::string line;
    std::getline(in, line);
    // The command name is in parentheses and may itself hold ") ": parse after the last.
    std::size_t close = line.rfind(')');
    if (close == std::string::npos) return false;
    std::istringstream rest(line.substr(close + 1));
    char s = 0;
    int ppid = 0;
    if (!(rest >> s >> ppid)) return false;
    if (state) *state = s;
    if (parent) *parent = ppid;
    return true;
}

bool ListChildren(int pid, std::vector<int>* out) {
    DIR* dir = ::opendir("/proc");
    if (!dir) return false;
    while (dirent* e = ::readdir(dir)) {
        char* end = nullptr;
        long id = std::strtol(e->d_name, &end, 10);
        if (*end != '\0' || id <= 0) continue;
        int parent = 0;
        if (ReadStat(static_cast<int>(id), nullptr, &parent) && parent == pid)
            out->push_back(static_cast<int>(id));
    }
    ::closedir(dir);
    return true;
}

// Waits briefly until a process we just sent SIGSTOP is stopped (or gone), so that it can
// no longer start children while its tree is listed.
void AwaitStopped(int pid) {
    for (int i = 0; i < 200; ++i) {
        char state = 0;
        if (!ReadStat(pid, &state, nullptr) || state == 'T' || state == 't' || state == 'Z' || state == 'X')
            return;
        SleepMs(1);
    }
}

int OpenProcessDescriptor(int pid) {
#ifdef SYS_pidfd_open
    long fd = ::syscall(SYS_pidfd_open, pid, 0);
    return fd >= 0 ? static_cast<int>(fd) : -1;
#else
    return -1;
#endif
}

}  // namespace

// ---------------------------------------------------------------------------------------

ChildProcess::ChildProcess(ChildProcess&& o) noexcept
    : pid_(std::exchange(o.pid_, -1)),
      waitFd_(std::exchange(o.waitFd_, -1)),
      ended_(o.ended_),
      reaped_(o.reaped_),
      rawStatus_(o.rawStatus_),
      exitedBySignal_(o.exitedBySignal_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& o) noexcept {
    if (this != &o) {
        ChildProcess dying(std::move(*this));
        pid_ = std::exchange(o.pid_, -1);
        waitFd_ = std::exchange(o.waitFd_, -1);
        ended_ = o.ended_;
        reaped_ = o.reaped_;
        rawStatus_ = o.rawStatus_;
        exitedBySignal_ = o.exitedBySignal_;
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        // Even when the tree cannot be listed the child itself is killed, so the wait ends.
        if (!Inspect(false)) (void)KillProcessTree(pid_);
        Inspect(true);
        Reap();
    }
    CloseWaitHandle();
}

bool ChildProcess::Start(const ProcessOptions& options, std::string* error) {
    if (pid_ > 0 && !reaped_) return Fail(error, "a process is already running under this handle");
    BecomeSubreaper();
    *this = ChildProcess();
    if (options.executable.empty()) return Fail(error, "no program to run");

    Fd in(OpenForReading(options.standardInput));
    if (in.Get() < 0)
        return Fail(error, "cannot open standard input " + options.standardInput.string() + ": " +
                               SystemMessage(errno));
    Fd out(OpenForWriting(options.standardOutput));
    if (out.Get() < 0)
        return Fail(error, "cannot create standard output " + options.standardOutput.string() + ": " +
                               SystemMessage(errno));
    // Output and error into one file share one descriptor, so they append to each other
    // instead of overwriting each other.
    bool shared = !options.standardError.empty() && !options.standardOutput.empty() &&
                  Normalised(options.standardError) == Normalised(options.standardOutput);
    Fd err(shared ? ::fcntl(out.Get(), F_DUPFD_CLOEXEC, 3) : OpenForWriting(options.standardError));
    if (err.Get() < 0)
        return Fail(error, "cannot create standard error " + options.standardError.string() + ": " +
                               SystemMessage(errno));

    std::vector<std::string> argStrings;
    argStrings.push_back(options.executable.string());
    argStrings.insert(argStrings.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    auto environment = EnvironmentSnapshot();
    for (const auto& [name, value] : options.extraEnvironment) {
        bool replaced = false;
        for (auto& entry : environment)
            if (entry.first == name) entry.second = value, replaced = true;
        if (!replaced) environment.emplace_back(name, value);
    }
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : environment) envStrings.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, in.Get(), 0);
    posix_spawn_file_actions_adddup2(&actions, out.Get(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.Get(), 2);
    // No descriptor of this process leaks into the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    std::string folder = options.workingFolder.string();
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // The child starts with default signal handling and nothing blocked, whatever the host
    // process did to its own.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, argStrings[0].c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        std::string where = folder.empty() ? "" : " in " + folder;
        return Fail(error, "cannot run " + argStrings[0] + where + ": " + SystemMessage(rc));
    }
    pid_ = pid;
    waitFd_ = OpenProcessDescriptor(pid);
    return true;
}

bool ChildProcess::Inspect(bool block) {
    if (ended_ || pid_ <= 0) return ended_;
    siginfo_t info;
    for (;;) {
        std::memset(&info, 0, sizeof info);
        int rc = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT | (block ? 0 : WNOHANG));
        if (rc == 0) break;
        if (errno == EINTR) continue;
        if (errno == ECHILD) {
            // Someone else reaped it (the host ignores SIGCHLD): ended, status unknown.
            ended_ = reaped_ = true;
            rawStatus_ = -1;
        }
        return ended_;
    }
    if (info.si_pid != pid_) return false;  // still running (WNOHANG)
    ended_ = true;
    exitedBySignal_ = info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED;
    rawStatus_ = info.si_status;
    return true;
}

bool ChildProcess::IsRunning() { return pid_ > 0 && !Inspect(false); }

WaitResult ChildProcess::Wait(std::uint32_t timeoutMs) {
    if (pid_ <= 0) return WaitResult::Failed;
    if (Inspect(false)) return WaitResult::Exited;
    const std::uint64_t deadline = MonotonicMs() + timeoutMs;
    for (;;) {
        std::uint64_t now = MonotonicMs();
        if (now >= deadline) return Inspect(false) ? WaitResult::Exited : WaitResult::TimedOut;
        std::uint64_t left = deadline - now;
        if (waitFd_ >= 0) {
            pollfd p{waitFd_, POLLIN, 0};
            int rc = ::poll(&p, 1, static_cast<int>(std::min<std::uint64_t>(left, INT_MAX)));
            if (rc < 0 && errno != EINTR) return WaitResult::Failed;
        } else {
            SleepMs(static_cast<std::uint32_t>(std::min<std::uint64_t>(left, 5)));
        }
        if (Inspect(false)) return WaitResult::Exited;
    }
}

WaitResult ChildProcess::WaitAndReap() {
    if (pid_ <= 0) return WaitResult::Failed;
    Inspect(true);
    return Reap() ? WaitResult::Exited : WaitResult::Failed;
}

std::optional<int> ChildProcess::ExitStatus() {
    if (pid_ <= 0 || !Inspect(false)) return std::nullopt;
    if (rawStatus_ < 0) return std::nullopt;  // reaped elsewhere: unknown
    return exitedBySignal_ ? 128 + rawStatus_ : rawStatus_;
}

int ChildProcess::TerminatingSignal() {
    if (pid_ <= 0 || !Inspect(false)) return 0;
    return exitedBySignal_ ? rawStatus_ : 0;
}

void ChildProcess::KillTree() {
    if (pid_ <= 0 || reaped_) return;
    // Even when the tree cannot be listed the child itself is killed, so the wait ends.
    if (!Inspect(false)) (void)KillProcessTree(pid_);
    Inspect(true);
    Reap();
}

bool ChildProcess::Reap() {
    if (pid_ <= 0) return false;
    if (reaped_) return true;
    if (!Inspect(false)) return false;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    CloseWaitHandle();
    return true;
}

void ChildProcess::CloseWaitHandle() {
    if (waitFd_ >= 0) ::close(waitFd_);
    waitFd_ = -1;
}

// ---------------------------------------------------------------------------------------

namespace {

// Stops pid, kills its descendants children first, then pid itself; every pid killed below
// the top one is recorded so the caller can reap the orphans.
int KillTreeCollecting(int pid, std::vector<int>* descendants) {
    if (::kill(pid, SIGSTOP) != 0) return errno == ESRCH ? 0 : 2;
    AwaitStopped(pid);
    std::vector<int> children;
    if (!ListChildren(pid, &children)) {
        ::kill(pid, SIGKILL);
        return 1;
    }
    int result = 0;
    for (int child : children) {
        if (KillTreeCollecting(child, descendants) == 1) result = 1;
        descendants->push_back(child);
    }
    ::kill(pid, SIGKILL);
    return result;
}

// The killed descendants are re-parented to this process (a child subreaper) once their own
// parents are gone; reap exactly those pids so no zombie stays behind. Our direct child is
// left to its ChildProcess handle, which reaps it itself.
void ReapOrphans(const std::vector<int>& pids) {
    const std::uint64_t deadline = MonotonicMs() + 2000;
    std::vector<int> pending = pids;
    while (!pending.empty() && MonotonicMs() < deadline) {
        std::vector<int> still;
        for (int pid : pending) {
            int status = 0;
            pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) continue;
            char state = 0;
            // Gone for good: nothing left to do. A process still listed is waited for until the
            // deadline (its parent, killed with the tree, hands it to us meanwhile).
            if (!ReadStat(pid, &state, nullptr)) continue;
            still.push_back(pid);
        }
        pending.swap(still);
        if (!pending.empty()) SleepMs(5);
    }
}

}  // namespace

void BecomeSubreaper() {
    static const bool done = [] {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
        return true;
    }();
    (void)done;
}

int KillProcessTree(int pid) {
    if (pid <= 1 || pid == ::getpid()) return 2;
    BecomeSubreaper();
    std::vector<int> descendants;
    int result = KillTreeCollecting(pid, &descendants);
    ReapOrphans(descendants);
    return result;
}

std::vector<int> ChildProcessIds(int pid) {
    std::vector<int> children;
    ListChildren(pid, &children);
    return children;
}

bool ProcessIsAlive(int pid) {
    char state = 0;
    return pid > 0 && ReadStat(pid, &state, nullptr) && state != 'Z' && state != 'X';
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

fs::path CurrentExecutablePath() {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

}  // namespace platform
