// The new file beside a target, written piece by piece and renamed over it on commit; stale ones of ended
// writers removed.
#include "platform/pending_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <system_error>
#include <utility>

#include "platform/files.h"
#include "platform/process.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

bool Fail(std::string* error, const std::string& what, int code) {
    if (error) *error = what + ": " + std::error_code(code, std::system_category()).message();
    return false;
}

bool IsNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that writes the file named "<name>.tmp-<process id>-<n>"; 0 for any other name.
int WriterOf(std::string_view entry, std::string_view name) {
    if (entry.substr(0, name.size()) != name ||
        entry.substr(name.size(), kTemporaryMark.size()) != kTemporaryMark)
        return 0;
    const std::string_view rest = entry.substr(name.size() + kTemporaryMark.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !IsNumber(rest.substr(0, dash)) || !IsNumber(rest.substr(dash + 1)))
        return 0;
    int process = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, process);
    return ec == std::errc() ? process : 0;
}

}  // namespace

PendingReplacement::~PendingReplacement() { GiveUp(); }

bool PendingReplacement::Create(const fs::path& target, std::string* error) {
    GiveUp();
    // Shared by every pending replacement of the process; a name that WriteFileReplacing uses
    // meanwhile is passed over.
    static std::atomic<unsigned> counter{0};
    // A file being written is the writer's alone until it takes the permissions of the file it
    // replaces; one that replaces nothing takes the usual ones.
    struct stat info {};
    const mode_t mode = ::stat(target.c_str(), &info) == 0 ? 0600 : 0666;
    const std::string prefix = std::string(kTemporaryMark) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path file = target;
        file += prefix + std::to_string(counter.fetch_add(1));
        fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            target_ = target;
            file_ = std::move(file);
            return true;
        }
        if (errno != EEXIST) break;
    }
    return Fail(error, "cannot write " + target.string(), errno);
}

bool PendingReplacement::Write(std::string_view piece, std::string* error) {
    while (!piece.empty()) {
        const ssize_t n = ::write(fd_, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(error, "cannot write " + target_.string(), errno);
        piece.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool PendingReplacement::Commit(std::string* error) {
    // Some file systems report a failed write only when the file is closed.
    if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR)
        return Fail(error, "cannot write " + target_.string(), errno);
    if (!ReplaceFileWith(file_, target_, error)) return false;
    file_.clear();
    return true;
}

void PendingReplacement::GiveUp() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!file_.empty()) (void)::unlink(file_.c_str());
    file_.clear();
}

std::size_t RemoveStaleReplacements(const fs::path& folder, std::string_view name) {
    std::size_t removed = 0;
    for (const std::string& entry : ListFolder(folder)) {
        const int writer = WriterOf(entry, name);
        if (writer <= 0 || ProcessIsAlive(writer)) continue;
        const fs::path file = folder / entry;
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(file.c_str()) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace platform
