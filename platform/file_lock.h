// An exclusive lock held on a lock file: processes that change the same files take the same lock
// file, so that one's read, change and write never interleaves with another's and neither loses
// the other's change. The lock is advisory (it binds only those that take it) and ends with the
// object, or with the process. The lock file itself stays: removing it would let a process that
// opened it before hold a lock nobody else sees. It must be a regular file: a symbolic link, FIFO,
// folder or device at its name is refused, never opened through, so that a link planted there
// cannot make a process create or lock a file elsewhere. A lock file that this process may only
// read (another user made it) is locked all the same: the lock asks no write permission.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace platform {

class FileLock {
  public:
    // kFailed: there is no lock file and none can be made (a folder that refuses it), the one case
    // where a caller may choose to go on unguarded. kRefused: the lock file is no regular file,
    // or it is there but cannot be opened or locked, so another process may hold it. kStopped: the
    // caller's `stop` asked to give up.
    enum class Result { kHeld, kBusy, kFailed, kRefused, kStopped };

    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the lock file when it is missing and waits until the lock is held. kFailed, with
    // the system's reason in `error`, when it is missing and cannot be made; kRefused, naming the
    // file and what it is, when it is no regular file, or with the system's reason when it cannot
    // be opened (not even for reading) or locked.
    Result Acquire(const std::filesystem::path& lockFile, std::string* error = nullptr);
    // As Acquire, but kBusy when another holder keeps the lock longer than `patienceMs` (or past
    // the command's deadline, see StartCommandLockDeadline), and
    // kStopped as soon as `stop` (asked between tries) answers true. `onWait` is told once, when
    // the first try finds the lock held and the wait begins, so that the program can say it waits.
    Result AcquireWithin(const std::filesystem::path& lockFile, std::uint32_t patienceMs,
                         std::string* error = nullptr, const std::function<bool()>& stop = {},
                         const std::function<void()>& onWait = {});
    bool Held() const { return fd_ >= 0; }
    void Release();

  private:
    Result Take(const std::filesystem::path& lockFile, bool wait, std::uint32_t patienceMs,
                std::string* error, const std::function<bool()>& stop, const std::function<void()>& onWait);

    int fd_ = -1;
};

// One deadline for every lock wait of one command, however many locks it waits for: the command
// line starts it as the command begins, and from then on no AcquireWithin waits past it, whatever
// patience its caller gives (one that begins after it tries once). A process that starts none, a
// host that loads the module, waits each wait's own patience, so that a long-lived process is
// never left without patience by its first wait. Ending it gives each wait its own patience again.
void StartCommandLockDeadline(std::uint32_t patienceMs);
void EndCommandLockDeadline();
// What is left of `patienceMs` before the command's deadline; `patienceMs` where none was started.
std::uint32_t LockPatienceLeft(std::uint32_t patienceMs);

}  // namespace platform
