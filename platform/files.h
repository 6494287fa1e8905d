// File and folder services. Failures answer false (with the system's reason in `error`
// when asked for) and never throw.
#pragma once

#include <cstddef>
#include <filesystem>
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

// Every byte of a regular file into `bytes`. False with the system's reason alone ("No such
// file or directory"; the caller names the file) when it cannot be opened or read, or is no
// regular file; `bytes` is then empty.
[[nodiscard]] bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                                 std::string* error = nullptr);

// Copies a regular file. With failIfExists an existing target is left alone and the copy
// fails; otherwise the target is replaced. The copy is written beside the target under a
// temporary name and renamed over it, so a failed copy never leaves a truncated target.
bool CopyFileTo(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists,
                std::string* error = nullptr);
// Writes `bytes` into a file beside `path` and renames it over `path`, so that `path` holds
// either what it held or all of the new bytes; the file beside it never stays behind.
bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes,
                        std::string* error = nullptr);
// Renames over an existing target in one step (same file system).
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error = nullptr);
// Deletes a file (not a folder). False when it did not exist or could not be removed.
bool RemoveFile(const std::filesystem::path& path, std::string* error = nullptr);
// Deletes a folder and everything below it. False when it did not exist or a part stayed.
bool DeleteFolderTree(const std::filesystem::path& path, std::string* error = nullptr);
// Creates a folder and its parents; true when it exists afterwards.
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

}  // namespace platform
