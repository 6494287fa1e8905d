#include "platform/files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <new>
#include <system_error>

#include "platform/environment.h"

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

// The system's message for errno alone.
bool FailWithErrno(std::string* error) {
    return Fail(error, std::error_code(errno, std::system_category()).message());
}

// Closes a descriptor on every way out; a failed close cannot lose bytes that were read.
struct DescriptorCloser {
    int fd;
    ~DescriptorCloser() { ::close(fd); }
};

// A name beside `target` that no other writer in this process uses.
fs::path SiblingTemporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    fs::path p = target;
    p += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    return p;
}

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

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::string* error) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FailWithErrno(error);
    DescriptorCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return FailWithErrno(error);
    if (!S_ISREG(info.st_mode)) return Fail(error, "not a regular file");
    try {
        std::string text;
        text.reserve(static_cast<std::size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FailWithErrno(error);
            if (n == 0) break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
        bytes = std::move(text);
    } catch (const std::bad_alloc&) {
        return Fail(error, "not enough memory");
    }
    return true;
}

bool CopyFileTo(const fs::path& from, const fs::path& to, bool failIfExists, std::string* error) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return Fail(error, "cannot copy " + from.string() + ": no such file");
    if (failIfExists && fs::exists(to, ec))
        return Fail(error, "cannot copy to " + to.string() + ": it exists");
    fs::path temporary = SiblingTemporaryName(to);
    if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temporary, ec);
        return Fail(error, "cannot copy " + from.string() + " to " + to.string(), ec);
    }
    if (failIfExists) {
        // A link fails when the target appeared meanwhile, where a rename would replace it.
        fs::create_hard_link(temporary, to, ec);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        if (ec) return Fail(error, "cannot copy to " + to.string(), ec);
        return true;
    }
    fs::rename(temporary, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Fail(error, "cannot replace " + to.string(), ec);
    }
    return true;
}

bool WriteFileReplacing(const fs::path& path, std::string_view bytes, std::string* error) {
    const fs::path temporary = SiblingTemporaryName(path);
    std::error_code ignored;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, ignored);
            return Fail(error, "cannot write " + path.string());
        }
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (!ec) return true;
    fs::remove(temporary, ignored);
    return Fail(error, "cannot replace " + path.string(), ec);
}

bool ReplaceFileWith(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec ? Fail(error, "cannot rename " + from.string() + " to " + to.string(), ec) : true;
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
    std::error_code ec;
    fs::create_directories(path, ec);
    if (fs::is_directory(path, ec)) return true;
    return Fail(error, "cannot create folder " + path.string(), ec);
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

}  // namespace platform
