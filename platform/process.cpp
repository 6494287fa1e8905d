// All process services of the platform: spawning, polling without reaping, reaping and
// killing process trees. Nothing outside this file calls the system's process functions.

#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
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

// ---------------------------------------------------------------------------------------
// The keeper of a contained child (ProcessOptions::containDescendants). It runs in the forked
// child of a process that may have other threads, so everything below makes only calls that
// are safe after a fork: system calls on data prepared before it, no allocation, no locks.

// What the keeper needs, all prepared before the fork.
struct KeeperPlan {
    const char* program;
    char* const* argv;
    char* const* envp;
    const char* folder;  // empty: the current folder
    int in, out, err;    // above the standard three
    int report;          // the write end of the start report, above the standard three
    pid_t parent;
};

// How a start failed, sent through the report pipe; nothing arrives when the program runs.
struct StartReport {
    int stage;  // kStartFolder, kStartFork, kStartExec
    int error;
};
constexpr int kStartFolder = 1, kStartFork = 2, kStartExec = 3;
constexpr int kReportFd = 3;

[[noreturn]] void ReportStartAndExit(int stage, int error) {
    const StartReport report{stage, error};
    (void)!::write(kReportFd, &report, sizeof report);
    ::_exit(127);
}

void DefaultSignalHandling() {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &standard, nullptr);
}

// The parent of a process, from /proc/<pid>/stat read into a buffer on the stack; -1 when the
// process is gone.
int ParentOfSafely(const char* pidText) {
    char path[64] = "/proc/";
    std::size_t n = 6;
    for (const char* c = pidText; *c && n < 50; ++c) path[n++] = *c;
    const char tail[] = "/stat";
    for (const char* c = tail; *c; ++c) path[n++] = *c;
    path[n] = '\0';
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char text[512];
    const ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0) return -1;
    // The command name in parentheses may hold anything: the state and parent follow the last ')'.
    ssize_t close = got - 1;
    while (close >= 0 && text[close] != ')') --close;
    if (close < 0 || close + 4 >= got) return -1;
    int parent = 0;
    for (ssize_t i = close + 4; i < got && text[i] >= '0' && text[i] <= '9' && parent < INT_MAX / 10; ++i)
        parent = parent * 10 + (text[i] - '0');
    return parent;
}

// The children of this process, up to `capacity` of them; -1 when /proc cannot be read.
int ListOwnChildrenSafely(pid_t* children, int capacity) {
    const int dir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return -1;
    const pid_t self = ::getpid();
    int count = 0;
    alignas(8) char entries[8192];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, dir, entries, sizeof entries);
        if (got <= 0) break;
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(entries + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            long pid = 0;
            const char* c = name;
            for (; *c >= '0' && *c <= '9' && pid < INT_MAX / 10; ++c) pid = pid * 10 + (*c - '0');
            if (c != name && *c == '\0' && count < capacity && ParentOfSafely(name) == self)
                children[count++] = static_cast<pid_t>(pid);
        }
    }
    ::close(dir);
    return count;
}

// Ends every process left below the keeper: each one killed is reaped, and what it leaves is
// handed to the keeper, which takes it in the next round.
void EndEveryDescendant() {
    pid_t children[512];
    for (;;) {
        const int count = ListOwnChildrenSafely(children, 512);
        if (count <= 0) return;
        for (int i = 0; i < count; ++i) ::kill(children[i], SIGKILL);
        for (int i = 0; i < count; ++i)
            while (::waitpid(children[i], nullptr, 0) < 0 && errno == EINTR) {
            }
    }
}

// Ends the keeper the way the program ended.
[[noreturn]] void EndAsTheProgramDid(int status) {
    if (WIFEXITED(status)) ::_exit(WEXITSTATUS(status));
    const int sig = WTERMSIG(status);
    // The program's crash is the program's: the keeper leaves no core of its own.
    (void)::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none { 0, 0 };
    (void)::setrlimit(RLIMIT_CORE, &none);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(sig, &standard, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::kill(::getpid(), sig);
    ::_exit(128 + sig);
}

[[noreturn]] void RunProgram(const KeeperPlan& plan) {
    DefaultSignalHandling();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(plan.program, plan.argv, plan.envp);
    ReportStartAndExit(kStartExec, errno);
}

// The keeper: adopts every orphan of the program, waits for the program, ends what is left.
// The end of this process's parent (thread), a hang-up or a terminate signal end the program
// and all of its processes too. A terminal's interrupt reaches the program, not the keeper.
[[noreturn]] void RunKeeper(const KeeperPlan& plan) {
    DefaultSignalHandling();
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGINT, &ignore, nullptr);
    ::sigaction(SIGQUIT, &ignore, nullptr);
    sigset_t wanted;
    sigemptyset(&wanted);
    for (int sig : {SIGCHLD, SIGTERM, SIGHUP}) sigaddset(&wanted, sig);
    ::sigprocmask(SIG_SETMASK, &wanted, nullptr);
    (void)::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
    (void)::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
    // A parent that ended before the keeper could ask to be told has nobody to run for.
    if (::getppid() != plan.parent) ::_exit(127);
    bool stop = false;

    if (::dup2(plan.in, 0) < 0 || ::dup2(plan.out, 1) < 0 || ::dup2(plan.err, 2) < 0 ||
        (plan.report != kReportFd && ::dup3(plan.report, kReportFd, O_CLOEXEC) < 0))
        ReportStartAndExit(kStartFork, errno);
    if (::syscall(SYS_close_range, kReportFd + 1, ~0U, 0) != 0)
        for (int fd = kReportFd + 1; fd < 65536; ++fd) ::close(fd);
    if (plan.folder[0] != '\0' && ::chdir(plan.folder) != 0) ReportStartAndExit(kStartFolder, errno);

    const pid_t program = ::fork();
    if (program < 0) ReportStartAndExit(kStartFork, errno);
    if (program == 0) RunProgram(plan);
    ::close(kReportFd);

    int status = 0;
    bool ended = false;
    while (!ended && !stop) {
        for (;;) {
            int st = 0;
            const pid_t reaped = ::waitpid(-1, &st, WNOHANG);
            if (reaped <= 0) break;
            if (reaped == program) status = st, ended = true;
        }
        if (ended) break;
        siginfo_t info;
        const int sig = ::sigwaitinfo(&wanted, &info);
        if (sig == SIGTERM || sig == SIGHUP) stop = true;
    }
    EndEveryDescendant();
    if (!ended) ::_exit(128 + SIGKILL);
    EndAsTheProgramDid(status);
}

int SpawnPlain(const char* program, char* const* argv, char* const* envp, const char* folder, int in, int out,
               int err, int* pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    // No descriptor of this process leaks into the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (folder[0] != '\0') posix_spawn_file_actions_addchdir_np(&actions, folder);
    // The child starts with default signal handling and nothing blocked, whatever the host
    // process did to its own.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int rc = ::posix_spawn(&child, program, &actions, &attributes, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    *pid = child;
    return rc;
}

// Forks the keeper, which starts the program; answers 0 once the program runs (the report pipe
// closes on its exec), else the error of the step that failed, the keeper reaped.
int SpawnKept(const char* program, char* const* argv, char* const* envp, const char* folder, int in, int out,
              int err, int* pid) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return errno;
    Fd reading(AboveStandard(ends[0]));
    Fd writing(AboveStandard(ends[1]));
    if (reading.Get() < 0 || writing.Get() < 0) return EMFILE;
    const KeeperPlan plan{program, argv, envp, folder, in, out, err, writing.Get(), ::getpid()};
    // No handler of this process may run in the keeper before it set up its own.
    sigset_t all, saved;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &saved);
    const pid_t keeper = ::fork();
    if (keeper == 0) RunKeeper(plan);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    if (keeper < 0) return forkError;
    writing.Reset();
    StartReport report{0, 0};
    ssize_t got = 0;
    while ((got = ::read(reading.Get(), &report, sizeof report)) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof report)) {
        while (::waitpid(keeper, nullptr, 0) < 0 && errno == EINTR) {
        }
        return report.error != 0 ? report.error : ECHILD;
    }
    *pid = keeper;
    return 0;
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

    std::string folder = options.workingFolder.string();
    const int rc = options.containDescendants
                       ? SpawnKept(argStrings[0].c_str(), argv.data(), envp.data(), folder.c_str(), in.Get(),
                                   out.Get(), err.Get(), &pid_)
                       : SpawnPlain(argStrings[0].c_str(), argv.data(), envp.data(), folder.c_str(), in.Get(),
                                    out.Get(), err.Get(), &pid_);
    if (rc != 0) {
        pid_ = -1;
        std::string where = folder.empty() ? "" : " in " + folder;
        return Fail(error, "cannot run " + argStrings[0] + where + ": " + SystemMessage(rc));
    }
    waitFd_ = OpenProcessDescriptor(pid_);
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

int ProcessIdBound() {
    constexpr int kHighestBound = 4194304;
    std::ifstream in("/proc/sys/kernel/pid_max");
    int bound = 0;
    return in >> bound && bound > 0 ? bound : kHighestBound;
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

fs::path CurrentExecutablePath() {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

}  // namespace platform
