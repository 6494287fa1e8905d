// Replacing writes (links followed, owner and mode kept), reads, copies, removal, wildcards, folder holds.
#include "platform/files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/process.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

bool Fail(std::string* error, const std::string& what, const std::error_code& ec) {
    if (error) *error = what + ": " + ec.message();
    return false;
}

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

std::string SystemReason(int code) { return std::error_code(code, std::system_category()).message(); }

// The system's message for errno alone.
bool FailWithErrno(std::string* error) { return Fail(error, SystemReason(errno)); }

// Closes a descriptor on every way out; a failed close cannot lose bytes that were read.
struct DescriptorCloser {
    int fd;
    ~DescriptorCloser() { ::close(fd); }
};

// What a new file beside its target adds to the target's name, before "<process id>-<n>".
constexpr std::string_view kTemporaryMark = ".tmp-";

// A name beside `target` that no other writer in this process uses.
fs::path SiblingTemporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    fs::path p = target;
    p +=
        std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    return p;
}

bool FailWith(std::string* error, const std::string& what, int code) {
    return Fail(error, what + ": " + SystemReason(code));
}

// As many links as the system itself follows before it gives up.
constexpr int kMaxLinkHops = 40;

// The file a write by replacement lands in: the path with its links followed.
struct ReplacementTarget {
    fs::path path;
    bool exists = false;
    struct stat info {};
    // The path as the caller named it, and the file it leads to when that is another one.
    std::string named;
};

// Follows the links of `given` to the path they end at: the file there, or the name a link to no
// file leads to.
bool FollowLinks(const fs::path& given, ReplacementTarget& target, std::string* error) {
    fs::path path = given;
    for (int hop = 0;; ++hop) {
        target.named = path == given ? given.string() : given.string() + " (a link to " + path.string() + ")";
        const std::string what = "cannot write " + target.named;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT) return FailWith(error, what, errno);
            target.path = path;
            return true;
        }
        if (S_ISLNK(info.st_mode)) {
            if (hop == kMaxLinkHops) return FailWith(error, what, ELOOP);
            std::error_code ec;
            const fs::path link = fs::read_symlink(path, ec);
            if (ec) return Fail(error, what, ec);
            path = link.is_absolute() ? link : path.parent_path() / link;
            continue;
        }
        target.path = path;
        target.exists = true;
        target.info = info;
        return true;
    }
}

// Follows the links of `given` and checks that the file they lead to may be replaced: a regular
// file with a write permission that this process may write, or no file yet.
bool FindReplacementTarget(const fs::path& given, ReplacementTarget& target, std::string* error) {
    if (!FollowLinks(given, target, error)) return false;
    if (!target.exists) return true;
    const std::string what = "cannot write " + target.named;
    if (!S_ISREG(target.info.st_mode))
        return Fail(error, what + ": it is " + FileKindOfMode(target.info.st_mode) + ", not a regular file");
    if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return Fail(error, what + ": the file is read-only");
    if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)
        return FailWith(error, what, errno);
    return true;
}

// Gives the file at `path` (or the open descriptor) the owner, group and permissions of the
// target it replaces. The group is kept where the system lets this process; a file of another
// owner that cannot be given back to that owner is refused.
bool GiveOwnerAndMode(int fd, const fs::path& path, const ReplacementTarget& target, std::string* error) {
    const int owned = fd >= 0 ? ::fchown(fd, target.info.st_uid, target.info.st_gid)
                              : ::lchown(path.c_str(), target.info.st_uid, target.info.st_gid);
    if (owned != 0 && target.info.st_uid != ::geteuid())
        return Fail(error,
                    "cannot write " + target.named +
                        ": it belongs to another user, and a new file could not be given back to them");
    const mode_t mode = target.info.st_mode & 07777;
    const int moded = fd >= 0 ? ::fchmod(fd, mode) : ::chmod(path.c_str(), mode);
    return moded == 0 ? true : FailWith(error, "cannot write " + target.named, errno);
}

bool GiveOwnerAndMode(const fs::path& path, const ReplacementTarget& target, std::string* error) {
    return GiveOwnerAndMode(-1, path, target, error);
}

// The new file beside a target that replaces it once it holds every byte; removed again when it
// is given up.
class ReplacementFile {
  public:
    ReplacementFile() = default;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty()) (void)::unlink(temporary_.c_str());
    }

    // A new file takes `newMode` less the process's mask, as any file the process creates.
    bool Create(const ReplacementTarget& target, const fs::path& given, std::string* error,
                mode_t newMode = 0666) {
        target_ = target.path;
        what_ = "cannot write " + (target.named.empty() ? given.string() : target.named);
        const fs::path temporary = SiblingTemporaryName(target.path);
        // A file still being written is for this process alone when it will take an owner's mode.
        fd_ = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     target.exists ? 0600 : newMode);
        if (fd_ < 0) return FailWith(error, what_, errno);
        temporary_ = temporary;
        return !target.exists || GiveOwnerAndMode(fd_, temporary_, target, error);
    }

    bool Write(std::string_view bytes, std::string* error) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FailWith(error, what_, errno);
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // The kernel moves the bytes itself, at the file system's own pace (sharing the blocks where
    // the file system can). Where it cannot, or stops, the bytes pass through this process from
    // where it stopped, and a failure is reported as that read or write reports it. Nothing
    // copied at the first call may mean a file whose size the system does not know (a file of a
    // process table): it is read as any other file then. A source that ends before the `size` it
    // had when it was opened was cut meanwhile: its copy would be a short file, so it fails.
    bool CopyFrom(int source, long long size, std::string* error) {
        constexpr std::size_t kKernelCopyBytes = std::size_t{1} << 30;
        long long total = 0;
        for (;;) {
            const ssize_t n = ::copy_file_range(source, nullptr, fd_, nullptr, kKernelCopyBytes, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n == 0 && total > 0) return CopiedWhole(total, size, error);
            if (n <= 0) break;
            total += n;
        }
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(source, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FailWith(error, what_ + ": its source cannot be read", errno);
            if (n == 0) return CopiedWhole(total, size, error);
            if (!Write(std::string_view(chunk, static_cast<std::size_t>(n)), error)) return false;
            total += n;
        }
    }

    // Closes the new file (some file systems report a failed write only then) and renames it
    // over the target.
    bool Commit(std::string* error) {
        if (!Close(error)) return false;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) return FailWith(error, what_, errno);
        temporary_.clear();
        return true;
    }

    // As Commit, but the new file only takes a name that nothing holds yet.
    bool CommitAsNewLink(std::string* error) {
        if (!Close(error)) return false;
        if (::link(temporary_.c_str(), target_.c_str()) != 0)
            return errno == EEXIST ? Fail(error, "cannot copy to " + target_.string() + ": it exists")
                                   : FailWith(error, what_, errno);
        return true;  // the destructor removes the name beside it
    }

  private:
    bool CopiedWhole(long long copied, long long size, std::string* error) const {
        if (copied >= size) return true;
        return Fail(error, what_ + ": its source was cut short while it was copied (" +
                               std::to_string(copied) + " of " + std::to_string(size) + " bytes)");
    }

    bool Close(std::string* error) {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && errno != EINTR) return FailWith(error, what_, errno);
        return true;
    }

    int fd_ = -1;
    fs::path temporary_;
    fs::path target_;
    std::string what_;
};

}  // namespace

bool FileExists(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool FolderExists(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

long long FileSize(const fs::path& path) {
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(size);
}

const char* FileKindName(fs::file_type type) {
    switch (type) {
        case fs::file_type::regular:
            return "a regular file";
        case fs::file_type::directory:
            return "a folder";
        case fs::file_type::symlink:
            return "a symbolic link";
        case fs::file_type::fifo:
            return "a FIFO";
        case fs::file_type::character:
            return "a character device";
        case fs::file_type::block:
            return "a block device";
        case fs::file_type::socket:
            return "a socket";
        default:
            return "a special file";
    }
}

const char* FileKindOfMode(unsigned mode) {
    const mode_t m = static_cast<mode_t>(mode);
    return FileKindName(S_ISREG(m)    ? fs::file_type::regular
                        : S_ISDIR(m)  ? fs::file_type::directory
                        : S_ISLNK(m)  ? fs::file_type::symlink
                        : S_ISFIFO(m) ? fs::file_type::fifo
                        : S_ISCHR(m)  ? fs::file_type::character
                        : S_ISBLK(m)  ? fs::file_type::block
                        : S_ISSOCK(m) ? fs::file_type::socket
                                      : fs::file_type::unknown);
}

bool ReadFileStamp(const fs::path& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    auto nanoseconds = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    stamp.device = info.st_dev;
    stamp.number = info.st_ino;
    stamp.size = info.st_size;
    stamp.modifiedNs = nanoseconds(info.st_mtim);
    stamp.changedNs = nanoseconds(info.st_ctim);
    return true;
}

namespace {

// Reads a regular file from its start: at most `count` bytes, or, with `refuseBeyond`, the whole
// file when it holds no more than `count`.
bool ReadRegularFile(const fs::path& path, std::string& bytes, std::size_t count, bool refuseBeyond,
                     std::string* error) {
    bytes.clear();
    // Without waiting: a FIFO would block the open until something writes to it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return FailWithErrno(error);
    DescriptorCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return FailWithErrno(error);
    if (!S_ISREG(info.st_mode)) return Fail(error, "not a regular file");
    const auto tooLarge = [&] {
        return Fail(error, "it holds more than " + std::to_string(count) + " bytes");
    };
    const auto size = static_cast<std::size_t>(info.st_size);
    if (refuseBeyond && size > count) return tooLarge();
    try {
        std::string text;
        text.reserve(std::min(size, count));
        char chunk[65536];
        // One byte past the limit tells a file that grew beyond it from one that ends there.
        const std::size_t wanted = refuseBeyond && count < SIZE_MAX ? count + 1 : count;
        while (text.size() < wanted) {
            const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, wanted - text.size()));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FailWithErrno(error);
            if (n == 0) break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
        if (refuseBeyond && text.size() > count) return tooLarge();
        bytes = std::move(text);
    } catch (const std::bad_alloc&) {
        return Fail(error, "not enough memory");
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string* error) {
    return ReadRegularFile(path, bytes, SIZE_MAX, false, error);
}

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::size_t maxBytes, std::string* error) {
    return ReadRegularFile(path, bytes, maxBytes, true, error);
}

bool ReadFileStart(const fs::path& path, std::size_t count, std::string& bytes, std::string* error) {
    return ReadRegularFile(path, bytes, count, false, error);
}

bool CopyFileTo(const fs::path& from, const fs::path& to, bool failIfExists, std::string* error) {
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (source < 0 || ::fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (source >= 0) ::close(source);
        return Fail(error, "cannot copy " + from.string() + ": no such file");
    }
    DescriptorCloser closer{source};
    if (failIfExists) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(to, ec)))
            return Fail(error, "cannot copy to " + to.string() + ": it exists");
        ReplacementTarget target;
        target.path = to;
        ReplacementFile copy;
        if (!copy.Create(target, to, error, info.st_mode & 0777) ||
            !copy.CopyFrom(source, info.st_size, error))
            return false;
        // A link fails when the target appeared meanwhile, where a rename would replace it.
        return copy.CommitAsNewLink(error);
    }
    ReplacementTarget target;
    ReplacementFile copy;
    // A new copy has the permissions of its source, a replaced file keeps its own.
    return FindReplacementTarget(to, target, error) && copy.Create(target, to, error, info.st_mode & 0777) &&
           copy.CopyFrom(source, info.st_size, error) && copy.Commit(error);
}

bool FindReplacedFile(const fs::path& path, fs::path& replaced, std::string* error) {
    ReplacementTarget target;
    if (!FollowLinks(path, target, error)) return false;
    replaced = target.path;
    return true;
}

bool WriteFileReplacing(const fs::path& path, std::string_view bytes, std::string* error) {
    ReplacementTarget target;
    ReplacementFile file;
    return FindReplacementTarget(path, target, error) && file.Create(target, path, error) &&
           file.Write(bytes, error) && file.Commit(error);
}

struct PendingReplacement::File {
    ReplacementTarget target;
    ReplacementFile file;
};

PendingReplacement::PendingReplacement() = default;
PendingReplacement::~PendingReplacement() = default;
PendingReplacement::PendingReplacement(PendingReplacement&&) noexcept = default;
PendingReplacement& PendingReplacement::operator=(PendingReplacement&&) noexcept = default;

bool PendingReplacement::Create(const fs::path& target, std::string* error) {
    try {
        file_ = std::make_unique<File>();
    } catch (const std::bad_alloc&) {
        return Fail(error, "cannot write " + target.string() + ": not enough memory");
    }
    return FindReplacementTarget(target, file_->target, error) &&
           file_->file.Create(file_->target, target, error);
}

bool PendingReplacement::Write(std::string_view piece, std::string* error) {
    return file_ ? file_->file.Write(piece, error) : Fail(error, "no new file was created");
}

bool PendingReplacement::Commit(std::string* error) {
    return file_ ? file_->file.Commit(error) : Fail(error, "no new file was created");
}

std::size_t RemoveStaleReplacements(const fs::path& folder, std::string_view name) {
    std::size_t removed = 0;
    const int idBound = ProcessIdBound();
    for (const std::string& entry : ListFolder(folder)) {
        const std::string_view rest = std::string_view(entry).substr(std::min(entry.size(), name.size()));
        if (entry.compare(0, name.size(), name) != 0 ||
            rest.substr(0, kTemporaryMark.size()) != kTemporaryMark)
            continue;
        // "<process id>-<n>", both numbers in plain decimal. A number no process can bear, or
        // either number spelt as no writer spells it (a leading zero), makes it a name of the
        // user's that only looks like one of ours.
        const std::string_view numbers = rest.substr(kTemporaryMark.size());
        const std::size_t dash = numbers.find('-');
        int writer = 0;
        const auto [end, ec] = std::from_chars(numbers.data(), numbers.data() + numbers.size(), writer);
        if (ec != std::errc() || numbers.starts_with('0') || dash == std::string_view::npos ||
            end != numbers.data() + dash || dash + 1 == numbers.size() ||
            numbers.find_first_not_of("0123456789", dash + 1) != std::string_view::npos ||
            (numbers[dash + 1] == '0' && dash + 2 < numbers.size()) || writer < 1 || writer >= idBound ||
            ProcessIsAlive(writer))
            continue;
        const fs::path file = folder / entry;
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(file.c_str()) == 0)
            ++removed;
    }
    return removed;
}

bool ReplaceFileWith(const fs::path& from, const fs::path& to, std::string* error) {
    const std::string what = "cannot rename " + from.string() + " to " + to.string();
    ReplacementTarget target;
    if (!FindReplacementTarget(to, target, error)) return false;
    if (target.exists && !GiveOwnerAndMode(from, target, error)) return false;
    if (::rename(from.c_str(), target.path.c_str()) == 0) return true;
    if (errno != EXDEV) return FailWith(error, what, errno);
    // The link leads to another file system: the bytes travel, then the file they came from goes.
    if (!CopyFileTo(from, target.path, false, error)) return false;
    (void)::unlink(from.c_str());
    return true;
}

bool RemoveFile(const fs::path& path, std::string* error) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec))) return Fail(error, path.string() + " is a folder");
    if (!fs::remove(path, ec)) {
        if (ec) return Fail(error, "cannot delete " + path.string(), ec);
        return Fail(error, "cannot delete " + path.string() + ": no such file");
    }
    return true;
}

bool DeleteFolderTree(const fs::path& path, std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(path, ec))) return Fail(error, path.string() + " is no folder");
    fs::remove_all(path, ec);
    if (ec) return Fail(error, "cannot delete " + path.string(), ec);
    return !fs::exists(fs::symlink_status(path, ec));
}

bool CreateFolders(const fs::path& path, std::string* error) {
    std::error_code created;
    fs::create_directories(path, created);
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) return true;
    // The reason is the creation's own: a later look at a folder that is not there would only
    // say that it is missing.
    return created ? Fail(error, created.message()) : Fail(error, "it exists and is no folder");
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative matching with one backtrack point for the last '*'.
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::size_t DeleteMatching(const fs::path& folder, std::string_view pattern, bool* allRemoved) {
    bool ok = true;
    std::size_t removed = 0;
    std::error_code ec;
    std::vector<fs::path> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (WildcardMatch(pattern, it->path().filename().string())) matches.push_back(it->path());
    if (ec) ok = false;
    for (const fs::path& p : matches) {
        std::error_code rc;
        fs::remove_all(p, rc);
        if (rc || fs::exists(fs::symlink_status(p, rc)))
            ok = false;
        else
            ++removed;
    }
    if (allRemoved) *allRemoved = ok;
    return removed;
}

std::vector<std::string> ListFolder(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

fs::path CurrentFolder() {
    std::error_code ec;
    fs::path p = fs::current_path(ec);
    return ec ? fs::path() : p;
}

bool SetCurrentFolder(const fs::path& path, std::string* error) {
    std::error_code ec;
    fs::current_path(path, ec);
    return ec ? Fail(error, "cannot make " + path.string() + " the current folder", ec) : true;
}

fs::path TemporaryFolder() {
    auto tmp = ReadEnvironmentVariable(std::string_view("TMPDIR"));
    if (tmp && !tmp->empty() && FolderExists(*tmp)) return fs::path(*tmp);
    return fs::path("/tmp");
}

fs::path CreateUniqueTemporaryFolder(std::string_view prefix) {
    std::string pattern = (TemporaryFolder() / (std::string(prefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) return fs::path();
    return fs::path(pattern);
}

bool FileSystemIsFull(const fs::path& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) return false;
    // The superuser may fill the blocks the file system keeps back for it.
    const auto blocks = ::geteuid() == 0 ? info.f_bfree : info.f_bavail;
    // A file system that tells neither its size nor its count of file entries reports none free.
    return (info.f_blocks != 0 && blocks == 0) || (info.f_files != 0 && info.f_favail == 0);
}

// ---------------------------------------------------------------------------------------
// Folder holds: one lock file per folder and process, shared by the holds of the process.

struct FolderHold::Held {
    int fd = -1;
    fs::path lockFile;
    std::pair<dev_t, ino_t> folder;
    ~Held() {
        // The name goes first: a process that opened it meanwhile finds its file gone once it
        // gets the lock, and tries again with a new one.
        (void)::unlink(lockFile.c_str());
        ::close(fd);
    }
};

namespace {

std::mutex g_holdsMutex;
std::map<std::pair<dev_t, ino_t>, std::weak_ptr<FolderHold::Held>>& Holds() {
    static auto* holds = new std::map<std::pair<dev_t, ino_t>, std::weak_ptr<FolderHold::Held>>();
    return *holds;
}

// How long a refused hold waits for the holder's name to be readable: a run that takes over a
// lock file left by a run that ended holds it a moment with the old name in it, and a lock file
// of a holder that does not name itself (written by another program) names nobody.
constexpr std::uint64_t kHolderNamePatienceMs = 250;

// The process the lock file names on its first line; 0 when it names none.
int HolderId(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    std::string_view line(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    line = line.substr(0, line.find('\n'));
    int id = 0;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), id);
    return ec == std::errc() && end == line.data() + line.size() && id > 0 ? id : 0;
}

std::string InUseText(int holder) {
    return "it is in use by another run" +
           (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string());
}

bool NamesSameFile(int fd, const fs::path& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_ino == named.st_ino &&
           opened.st_dev == named.st_dev;
}

std::shared_ptr<FolderHold::Held> MakeHeld(int fd, const fs::path& lockFile, std::pair<dev_t, ino_t> key) {
    auto held = std::make_shared<FolderHold::Held>();
    held->fd = fd;
    held->lockFile = lockFile;
    held->folder = key;
    return held;
}

int OpenOthersLockFile(const fs::path& lockFile, std::string* error);

// Where a file system has no hard links the lock file is locked where it is, and names its holder
// a moment after the lock is taken. The name may be removed by the holder that ends while this
// process waits for it; the lock then belongs to a file that is gone, and the next attempt takes
// the new one.
std::shared_ptr<FolderHold::Held> LockInPlace(const fs::path& lockFile, std::pair<dev_t, ino_t> key,
                                              std::string* error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            // A lock file made by another user, which this one may only read, locks all the same:
            // flock asks no write permission. Only its holder's name cannot be written then.
            const int code = errno;
            if ((fd = OpenOthersLockFile(lockFile, error)) < 0) {
                if (errno == ENOENT) Fail(error, SystemReason(code));
                return nullptr;
            }
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            Fail(error, code == EWOULDBLOCK ? InUseText(HolderId(fd)) : SystemReason(code));
            ::close(fd);
            return nullptr;
        }
        if (!NamesSameFile(fd, lockFile)) {
            ::close(fd);
            continue;
        }
        const std::string id = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) != 0 ||
            ::pwrite(fd, id.data(), id.size(), 0) != static_cast<ssize_t>(id.size())) {
            // Only the name of the holder is lost; the lock holds all the same.
        }
        return MakeHeld(fd, lockFile, key);
    }
    Fail(error, "its lock file " + lockFile.string() + " keeps being replaced");
    return nullptr;
}

// Opens a lock file another process made, refusing what is no regular file (a link, a FIFO or a
// folder in its place is no lock of this system's). -1 when there is none (errno ENOENT) or it
// is refused (`error` says why).
int OpenOthersLockFile(const fs::path& lockFile, std::string* error) {
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        const int code = errno;
        if (code == ELOOP) Fail(error, "its lock file " + lockFile.string() + " is a symbolic link");
        if (code != ENOENT && code != ELOOP)
            Fail(error, "its lock file " + lockFile.string() + " cannot be opened: " + SystemReason(code));
        errno = code;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Fail(error, "its lock file " + lockFile.string() + " is " + FileKindOfMode(info.st_mode) +
                        ", not a regular file");
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Locks the folder's lock file for this process. The lock file names its holder from the moment
// it can be seen: it is written and locked under a name of this process's own, then linked into
// place. A lock file nobody holds was left by a run that ended: it is removed and replaced.
std::shared_ptr<FolderHold::Held> LockFolder(const fs::path& folder, std::pair<dev_t, ino_t> key,
                                             std::string* error) {
    const fs::path lockFile = folder / kFolderHoldFileName;
    const std::string id = std::to_string(::getpid()) + "\n";
    fs::path own = lockFile;
    own += "." + std::to_string(::getpid());
    // Only an ended process with this process's number can have left this name.
    (void)::unlink(own.c_str());
    const int fd = ::open(own.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        FailWithErrno(error);
        return nullptr;
    }
    const auto giveUp = [&] {
        (void)::unlink(own.c_str());
        ::close(fd);
        return nullptr;
    };
    if (::pwrite(fd, id.data(), id.size(), 0) != static_cast<ssize_t>(id.size()) ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        FailWithErrno(error);
        return giveUp();
    }
    const std::uint64_t start = MonotonicMs();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (::link(own.c_str(), lockFile.c_str()) == 0) {
            (void)::unlink(own.c_str());
            return MakeHeld(fd, lockFile, key);
        }
        const int linkCode = errno;
        if (linkCode == EPERM || linkCode == EOPNOTSUPP || linkCode == ENOTSUP) {
            giveUp();
            return LockInPlace(lockFile, key, error);
        }
        if (linkCode != EEXIST) {
            Fail(error, SystemReason(linkCode));
            return giveUp();
        }
        const int other = OpenOthersLockFile(lockFile, error);
        if (other < 0) {
            if (errno == ENOENT) continue;  // its holder ended meanwhile
            return giveUp();
        }
        if (::flock(other, LOCK_EX | LOCK_NB) == 0) {
            if (NamesSameFile(other, lockFile)) (void)::unlink(lockFile.c_str());
            ::close(other);
            continue;
        }
        const int code = errno;
        const int holder = HolderId(other);
        ::close(other);
        if (code != EWOULDBLOCK) {
            Fail(error, SystemReason(code));
            return giveUp();
        }
        if (!ProcessIsAlive(holder) && MonotonicMs() - start < kHolderNamePatienceMs) {
            SleepMs(1);
            continue;
        }
        Fail(error, InUseText(holder));
        return giveUp();
    }
    Fail(error, "its lock file " + lockFile.string() + " keeps being replaced");
    return giveUp();
}

}  // namespace

FolderHold& FolderHold::operator=(FolderHold&& o) noexcept {
    if (this != &o) {
        Release();
        held_ = std::move(o.held_);
    }
    return *this;
}

bool FolderHold::Acquire(const fs::path& folder, std::string* error) {
    Release();
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return FailWithErrno(error);
    if (!S_ISDIR(info.st_mode)) return Fail(error, "it is no folder");
    const std::pair<dev_t, ino_t> key{info.st_dev, info.st_ino};
    std::lock_guard<std::mutex> lock(g_holdsMutex);
    auto& holds = Holds();
    if (auto it = holds.find(key); it != holds.end()) {
        if ((held_ = it->second.lock())) return true;
        holds.erase(it);
    }
    try {
        held_ = LockFolder(folder, key, error);
        if (held_) holds[key] = held_;
    } catch (const std::bad_alloc&) {
        held_.reset();
        return Fail(error, "not enough memory");
    }
    return held_ != nullptr;
}

void FolderHold::Release() {
    if (!held_) return;
    std::lock_guard<std::mutex> lock(g_holdsMutex);
    const auto key = held_->folder;
    held_.reset();  // the last hold of the process removes the lock file
    auto& holds = Holds();
    if (auto it = holds.find(key); it != holds.end() && it->second.expired()) holds.erase(it);
}

}  // namespace platform
