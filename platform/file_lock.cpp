// Taking the lock with flock, waiting or trying for a while before answering busy; closing releases it.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/clock.h"

namespace platform {

namespace {
// How often a lock kept by another holder is tried again.
constexpr std::uint32_t kRetryMs = 10;

void SetError(std::string* error, const std::filesystem::path& file, int code) {
    if (error) *error = "cannot lock " + file.string() + ": " + std::strerror(code);
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
    return Take(lockFile, true, 0, error);
}

FileLock::Result FileLock::AcquireWithin(const std::filesystem::path& lockFile, std::uint32_t patienceMs,
                                         std::string* error) {
    return Take(lockFile, false, patienceMs, error);
}

FileLock::Result FileLock::Take(const std::filesystem::path& lockFile, bool wait, std::uint32_t patienceMs,
                                std::string* error) {
    Release();
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetError(error, lockFile, errno);
        return Result::kFailed;
    }
    const std::uint64_t start = MonotonicMs();
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
            SetError(error, lockFile, code);
            return Result::kFailed;
        }
        SleepMs(kRetryMs);
    }
}

}  // namespace platform
