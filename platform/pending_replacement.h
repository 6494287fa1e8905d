// A new file written beside a file it is to replace, from as many pieces as its writer has, that
// takes the file's place only when the writer commits it. With every byte written before the
// commit, the writer can still look once more (has the file changed since it was read? was the
// program asked to stop?) and give the new file up. A large file is written from the pieces it is
// made of, never joined into one more copy in memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

class PendingReplacement {
  public:
    PendingReplacement() = default;
    // A file that was not committed is removed.
    ~PendingReplacement();
    PendingReplacement(const PendingReplacement&) = delete;
    PendingReplacement& operator=(const PendingReplacement&) = delete;

    // Creates the new file "<target>.tmp-<process id>-<n>" beside the target. False, with the
    // system's reason naming the target, when it cannot be made.
    bool Create(const std::filesystem::path& target, std::string* error = nullptr);
    // Adds a piece at the end of the new file.
    bool Write(std::string_view piece, std::string* error = nullptr);
    // Closes the new file and puts it in the target's place as ReplaceFileWith does: the target's
    // links are followed, its permissions and owner kept, a target that may not be written is
    // refused (the new file is then removed).
    bool Commit(std::string* error = nullptr);

  private:
    void GiveUp();

    int fd_ = -1;
    std::filesystem::path target_;
    std::filesystem::path file_;
};

// Removes the files "<name>.tmp-<process id>-<n>" in `folder` that no running process writes: a
// writer killed before it could remove its new file left them. Those of a running process
// (this one included) stay. Answers how many were removed.
std::size_t RemoveStaleReplacements(const std::filesystem::path& folder, std::string_view name);

}  // namespace platform
