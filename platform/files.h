// File and folder services. Failures answer false (with the system's reason in `error`
// when asked for) and never throw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

bool FileExists(const std::filesystem::path& path);  // a regular file (after links)
bool FolderExists(const std::filesystem::path& path);
// True when both paths name one existing file, however each is spelt (links, "..", a
// relative path); false when either does not exist.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
// Size in bytes, or -1 when the file cannot be read.
long long FileSize(const std::filesystem::path& path);
// The state of a file as the system records it: which file it is (device and number), its size
// and when its content and its state last changed. Two equal stamps of one path tell the same
// file, not written between them to the resolution of the file system's clock.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    long long size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// False when there is no such file or its state cannot be read.
[[nodiscard]] bool ReadFileStamp(const std::filesystem::path& path, FileStamp& stamp);

// What a file is, as a message names it: "a regular file", "a folder", "a symbolic link",
// "a FIFO", "a character device", "a block device", "a socket"; "a special file" for any other.
const char* FileKindName(std::filesystem::file_type type);
// The same from the mode the system reports for a file (st_mode).
const char* FileKindOfMode(unsigned mode);

// Every byte of a regular file into `bytes`. False with the system's reason alone ("No such
// file or directory"; the caller names the file) when it cannot be opened or read, or is no
// regular file; `bytes` is then empty.
[[nodiscard]] bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                                 std::string* error = nullptr);
// As ReadWholeFile, but a file that holds more than `maxBytes` is refused ("it holds more than
// <maxBytes> bytes") without reading further, also when it grows while it is read.
[[nodiscard]] bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes,
                                 std::string* error = nullptr);
// The first `count` bytes of a regular file, or all of a shorter one; refused as ReadWholeFile
// refuses a file.
[[nodiscard]] bool ReadFileStart(const std::filesystem::path& path, std::size_t count, std::string& bytes,
                                 std::string* error = nullptr);

// Writing by replacement (CopyFileTo without failIfExists, WriteFileReplacing, ReplaceFileWith)
// puts a whole new file in the place of the target in one step, so the target holds either what
// it held or all of the new bytes. The target is what the path names after its symbolic links:
// a link stays a link and its target gets the new bytes. A target that is no regular file (a
// folder, FIFO, device or socket) is refused, and so is one this process may not write or that
// has no write permission for anyone (a read-only file is refused even where the process could
// override its mode). The file replaced keeps its permissions and, where the system lets this
// process give it back, its owner and group; a file of another owner that could not be given
// back is refused. Failures name the file and give the system's reason.
//
// Copies a regular file. With failIfExists an existing target (a link included) is left alone
// and the copy fails; otherwise the target is replaced as described above.
bool CopyFileTo(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists,
                std::string* error = nullptr);
// Writes `bytes` into a file beside the target and renames it over the target; the file beside
// it never stays behind.
bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes,
                        std::string* error = nullptr);
// The file a write by replacement of `path` lands in: the path its symbolic links lead to (or end
// at, where they lead to no file), `path` itself when it is no link. Whatever guards the file
// (a lock file beside it) belongs beside this one, where every name of the file finds it. False,
// with the reason naming `path`, when its links cannot be followed (a loop, an unreadable link),
// as such a write would fail.
[[nodiscard]] bool FindReplacedFile(const std::filesystem::path& path, std::filesystem::path& replaced,
                                    std::string* error = nullptr);
// A write by replacement whose writer has more than one piece, or wants to look once more
// before the target is replaced (has the target changed since it was read? was the program
// asked to stop?): the new file is written beside the target piece by piece and takes its place
// only on Commit; one given up, or not committed, is removed.
class PendingReplacement {
  public:
    PendingReplacement();
    ~PendingReplacement();
    PendingReplacement(PendingReplacement&&) noexcept;
    PendingReplacement& operator=(PendingReplacement&&) noexcept;

    // The new file beside `target`; refused as WriteFileReplacing refuses a target.
    bool Create(const std::filesystem::path& target, std::string* error = nullptr);
    // Adds a piece at the end of the new file.
    bool Write(std::string_view piece, std::string* error = nullptr);
    // Closes the new file and renames it over the target.
    bool Commit(std::string* error = nullptr);

    struct File;

  private:
    std::unique_ptr<File> file_;
};
// Removes the new files "<name>.tmp-<process id>-<n>" in `folder` that no running process
// writes: a writer killed before it could remove its new file left them. A name whose process id
// is none the system can give (0, or not below ProcessIdBound) or is not written as the writers
// write it (decimal, without a leading zero) is a file of the user's and stays.
// Answers how many.
std::size_t RemoveStaleReplacements(const std::filesystem::path& folder, std::string_view name);

// Renames `from` over `to` in one step, or moves it there when `to` does not exist; across file
// systems (a link to another one) the bytes are copied and `from` removed.
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error = nullptr);
// Deletes a file (not a folder). False when it did not exist or could not be removed.
bool RemoveFile(const std::filesystem::path& path, std::string* error = nullptr);
// Deletes a folder and everything below it. False when it did not exist or a part stayed.
bool DeleteFolderTree(const std::filesystem::path& path, std::string* error = nullptr);
// Creates a folder and its parents; true when it exists afterwards. Otherwise `error` gets the
// system's reason alone, the one the creation met ("Read-only file system"; the caller names
// the folder).
bool CreateFolders(const std::filesystem::path& path, std::string* error = nullptr);

// '*' matches any run of characters, '?' exactly one; other characters match themselves
// (case-sensitive, as file names are here).
bool WildcardMatch(std::string_view pattern, std::string_view name);
// Deletes every file and folder tree directly inside `folder` whose name matches `pattern`.
// Answers the number of entries removed and sets `allRemoved` false when one of them could
// not be removed (or the folder cannot be listed).
std::size_t DeleteMatching(const std::filesystem::path& folder, std::string_view pattern,
                           bool* allRemoved = nullptr);
// Names (not paths) of the entries directly inside a folder, sorted; empty on failure.
std::vector<std::string> ListFolder(const std::filesystem::path& folder);

std::filesystem::path CurrentFolder();
bool SetCurrentFolder(const std::filesystem::path& path, std::string* error = nullptr);
// TMPDIR when it names a folder, else /tmp.
std::filesystem::path TemporaryFolder();
// A new, empty folder below the temporary folder, named from `prefix`; empty on failure.
std::filesystem::path CreateUniqueTemporaryFolder(std::string_view prefix);

// True when the file system that holds `path` has no block or no file entry left that this
// process may use (a process of the superuser may use the blocks kept for it); false when it
// has, or when the system does not say (a file system that reports no size is never full).
bool FileSystemIsFull(const std::filesystem::path& path);

// Holds a folder for one run. While a process holds a folder, an attempt of another process to
// hold it is refused at once; the holds of one process share one hold, which ends with the last
// of them (the runs of one process follow one another: they share its current folder). The
// hold is the lock file "dorvix-run.lock" in the folder, which names the holding process and is
// removed when the hold ends; a process that ends, however it ends, holds nothing any more.
class FolderHold {
  public:
    FolderHold() = default;
    ~FolderHold() { Release(); }
    FolderHold(FolderHold&&) noexcept = default;
    FolderHold& operator=(FolderHold&& o) noexcept;
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;

    // False, with the reason, when another process holds the folder ("it is in use by another
    // run (process 4711)") or the lock file cannot be made (the system's reason); the caller
    // names the folder. Holding a second folder releases the first.
    bool Acquire(const std::filesystem::path& folder, std::string* error = nullptr);
    void Release();
    bool IsHeld() const { return held_ != nullptr; }

    struct Held;

  private:
    std::shared_ptr<Held> held_;
};

inline constexpr const char* kFolderHoldFileName = "dorvix-run.lock";

}  // namespace platform
