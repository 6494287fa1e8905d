// OutputFile's create, append, write and close on descriptors, and InputFile's buffered pieces and seeking.
#include "platform/file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace platform {
namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

bool Fail(std::string* error, const char* what, const std::filesystem::path& path, int code) {
    if (error) {
        try {
            *error = std::string(what) + " " + path.string() + ": " + std::strerror(code);
        } catch (...) {
            error->clear();
        }
    }
    return false;
}

}  // namespace

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::filesystem::path& path, std::string* error) {
    Close();
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return Fail(error, "cannot create", path, errno);
    return true;
}

bool OutputFile::OpenForAppend(const std::filesystem::path& path, std::string* error) {
    Close();
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) return Fail(error, "cannot open", path, errno);
    return true;
}

bool OutputFile::Write(std::string_view bytes, std::string* error) {
    if (fd_ < 0) return Fail(error, "cannot write", path_, EBADF);
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, p, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail(error, "cannot write", path_, errno);
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool OutputFile::Close(std::string* error) {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    // A close interrupted by a signal has still released the descriptor: no retry.
    if (::close(fd) != 0 && errno != EINTR) return Fail(error, "cannot write", path_, errno);
    return true;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::filesystem::path& path, std::string* error) {
    Close();
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return Fail(error, "cannot open", path, errno);
    return true;
}

bool InputFile::SeekTo(std::uint64_t offset) {
    buffer_.clear();
    next_ = 0;
    failure_.clear();
    if (fd_ < 0) return Fail(&failure_, "cannot read", path_, EBADF);
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return Fail(&failure_, "cannot read", path_, EINVAL);
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        return Fail(&failure_, "cannot read", path_, errno);
    return true;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buffer_.clear();
    next_ = 0;
    failure_.clear();
}

bool InputFile::Refill() {
    buffer_.resize(kReadBlock);
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail(&failure_, "cannot read", path_, errno);
        buffer_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        next_ = 0;
        return got > 0;
    }
}

bool InputFile::ReadPiece(std::string& piece, std::size_t maxChars) {
    piece.clear();
    if (fd_ < 0 || !failure_.empty() || maxChars == 0) return false;
    while (piece.size() < maxChars) {
        if (next_ == buffer_.size() && !Refill()) break;
        const std::size_t room = std::min(maxChars - piece.size(), buffer_.size() - next_);
        const char* start = buffer_.data() + next_;
        const void* newline = std::memchr(start, '\n', room);
        const std::size_t take =
            newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1 : room;
        piece.append(start, take);
        next_ += take;
        if (newline) break;
    }
    // A piece read before a failure is still handed out; the failure shows at the next call.
    return !piece.empty();
}

}  // namespace platform
