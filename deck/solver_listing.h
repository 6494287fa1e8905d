// Judging a solver run by its text listings, and tidying the working folder around a run.
// The solver marks warnings and errors in its listings with "%%%" markers.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class DeckFileOwner;

class SolverListingScan {
  public:
    // One listing: kRC_Success when nothing is marked, kRC_ListingWarning for a warning and no
    // error, kRC_ListingError for an error, kRC_ListingUnreadable when the listing cannot be
    // read to its end (GetFailure then names it and tells why).
    [[nodiscard]] int ScanFile(const std::filesystem::path& path);
    // The verdict of a finished run in `folder`: the spy listing, then, unless it marked
    // something, the module's listing. Findings are posted to the owner (when there is one);
    // a warning leaves the run a success.
    [[nodiscard]] int ScanRun(const std::filesystem::path& folder, const std::wstring& module,
                              DeckFileOwner* owner);
    // Why the last scan found its listing unreadable; empty otherwise.
    const std::string& GetFailure() const { return failure_; }

  private:
    [[nodiscard]] int ScanLines(const std::filesystem::path& path);

    std::string failure_;
};

// ScanFile of a path relative to the current folder.
[[nodiscard]] int ScanSolverListing(const std::string& path);

// Removes the solver's scratch folders "dorvix??????.dir" from `folder` (the current folder
// without one). 1 when at least one was removed and none failed, 0 otherwise (nothing to
// remove included).
[[nodiscard]] int DeleteSolverWorkDirectories(const std::filesystem::path& folder);
[[nodiscard]] int DeleteSolverWorkDirectories();

// The names an earlier solve may have left that a new run could mistake for its own:
// the running listing copy, the spy listing and each module's listing, description and
// factor files.
std::vector<std::string> StaleSolverFileNames();
// Deletes those files from the folder, all but the file `keep` names when it is one of them;
// missing files are no error.
void RemoveStaleSolverFiles(const std::filesystem::path& folder, const std::filesystem::path& keep = {});
