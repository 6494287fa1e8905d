// Taking the lock with flock on a regular file alone, waiting or trying for a while before answering busy;
// closing releases it.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/clock.h"
#include "platform/files.h"

namespace platform {

namespace {
// How often a lock kept by another holder is tried again.
constexpr std::uint32_t kRetryMs = 10;

// The monotonic time at which the command's lock waits end, 0 for none.
std::atomic<std::uint64_t> g_commandDeadlineMs{0};

void SetError(std::string* error, const std::filesystem::path& file, int code) {
    if (error) *error = "cannot lock " + file.string() + ": " + std::strerror(code);
}

FileLock::Result Refuse(std::string* error, const std::filesystem::path& file, mode_t mode) {
    if (error)
        *error = "cannot lock " + file.string() + ": it is " + FileKindOfMode(mode) + ", not a regular file";
    return FileLock::Result::kRefused;
}

// Writing is what the file's mode or its file system refuses here; reading may still be allowed.
bool WriteRefused(int code) { return code == EACCES || code == EPERM || code == EROFS; }

// The lock file opened for locking, or created; false with the answer in `failure` otherwise.
// What stands at the name is looked at before it is opened, so that a FIFO or a device is never
// opened, and the name is opened without following a link, so that a link put there between the
// look and the open is refused as well and no file is created where it leads.
bool OpenLockFile(const std::filesystem::path& lockFile, int& fd, FileLock::Result& failure,
                  std::string* error) {
    struct stat info {};
    if (::lstat(lockFile.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        failure = Refuse(error, lockFile, info.st_mode);
        return false;
    }
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
    int code = errno;
    // flock asks no more than a descriptor open for reading: a lock file made by another user, which
    // this one may only read, is waited for and held as any other, rather than taken for none.
    if (fd < 0 && WriteRefused(code)) {
        fd = ::open(lockFile.c_str(), O_RDONLY | kFlags);
        if (fd < 0 && errno != ENOENT) code = errno;
    }
    if (fd < 0) {
        const bool exists = ::lstat(lockFile.c_str(), &info) == 0;
        if (exists && !S_ISREG(info.st_mode)) {
            failure = Refuse(error, lockFile, info.st_mode);
        } else {
            // Only where there is no lock file, and none can be made, may a caller go on without one:
            // a lock file that is there may be held by another process this one cannot see.
            SetError(error, lockFile, code);
            failure = exists ? FileLock::Result::kRefused : FileLock::Result::kFailed;
        }
        return false;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        failure = Refuse(error, lockFile, info.st_mode);
        return false;
    }
    return true;
}
}  // namespace

FileLock::~FileLock() { Release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void FileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    fd_ = -1;
}

FileLock::Result FileLock::Acquire(const std::filesystem::path& lockFile, std::string* error) {
    return Take(lockFile, true, 0, error, {}, {});
}

FileLock::Result FileLock::AcquireWithin(const std::filesystem::path& lockFile, std::uint32_t patienceMs,
                                         std::string* error, const std::function<bool()>& stop,
                                         const std::function<void()>& onWait) {
    return Take(lockFile, false, LockPatienceLeft(patienceMs), error, stop, onWait);
}

void StartCommandLockDeadline(std::uint32_t patienceMs) { g_commandDeadlineMs = MonotonicMs() + patienceMs; }

void EndCommandLockDeadline() { g_commandDeadlineMs = 0; }

std::uint32_t LockPatienceLeft(std::uint32_t patienceMs) {
    const std::uint64_t deadline = g_commandDeadlineMs;
    if (deadline == 0) return patienceMs;
    const std::uint64_t now = MonotonicMs();
    return deadline > now ? static_cast<std::uint32_t>(std::min<std::uint64_t>(deadline - now, patienceMs))
                          : 0;
}

FileLock::Result FileLock::Take(const std::filesystem::path& lockFile, bool wait, std::uint32_t patienceMs,
                                std::string* error, const std::function<bool()>& stop,
                                const std::function<void()>& onWait) {
    Release();
    int fd = -1;
    Result failure = Result::kFailed;
    if (!OpenLockFile(lockFile, fd, failure, error)) return failure;
    const std::uint64_t start = MonotonicMs();
    bool told = false;
    for (;;) {
        if (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return Result::kHeld;
        }
        const int code = errno;
        if (code == EINTR) continue;
        if (code != EWOULDBLOCK || MonotonicMs() - start >= patienceMs) {
            ::close(fd);
            if (code == EWOULDBLOCK) {
                if (error) *error = lockFile.string() + " is held by another process";
                return Result::kBusy;
            }
            // The lock file is there, so another process may hold it unseen.
            SetError(error, lockFile, code);
            return Result::kRefused;
        }
        if (onWait && !told) {
            onWait();
            told = true;
        }
        if (stop && stop()) {
            ::close(fd);
            return Result::kStopped;
        }
        SleepMs(kRetryMs);
    }
}

}  // namespace platform
