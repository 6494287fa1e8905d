// Listings scanned for "%%%" warning and error markers, solver work folders removed, stale files cleared.
#include "deck/solver_listing.h"

#include <string_view>

#include "deck/code_guard.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
#include "deck/solver_files.h"
#include "platform/file_stream.h"
#include "platform/files.h"

namespace {

// Lines are examined in pieces of at most 279 characters, as the solver's own tools read
// them; a marker that straddles a piece boundary is not seen.
constexpr std::size_t kListingPiece = 279;

// The code of one listing line (or piece of a longer line).
int ClassifyLine(std::string_view line) {
    // Only the first marker of a line counts: a warning marker ahead of an error marker on
    // the same line leaves a warning. The solver's "!%%%AVERTISSEMENT" lines are warning
    // markers of this form too.
    const std::size_t marker = line.find("%%%");
    if (marker == std::string_view::npos || marker + 3 >= line.size()) return kRC_Success;
    if (line[marker + 3] == 'E') return kRC_ListingError;
    return line[marker + 3] == 'A' ? kRC_ListingWarning : kRC_Success;
}

}  // namespace

int SolverListingScan::ScanFile(const std::filesystem::path& path) {
    return AnswerCode(failure_, kRC_ListingUnreadable, [&] { return ScanLines(path); });
}

int SolverListingScan::ScanLines(const std::filesystem::path& path) {
    failure_.clear();
    platform::InputFile file;
    if (!file.Open(path, &failure_)) return kRC_ListingUnreadable;
    int code = kRC_Success;
    std::string piece;
    while (file.ReadPiece(piece, kListingPiece)) {
        const int lineCode = ClassifyLine(piece);
        if (lineCode == kRC_ListingError) return kRC_ListingError;
        if (lineCode == kRC_ListingWarning) code = kRC_ListingWarning;
    }
    // A listing that breaks off unread may hide an error further on.
    if (!file.Failure().empty()) {
        failure_ = file.Failure();
        return kRC_ListingUnreadable;
    }
    return code;
}

int SolverListingScan::ScanRun(const std::filesystem::path& folder, const std::wstring& module,
                               DeckFileOwner* owner) {
    return AnswerCode(failure_, kRC_ListingUnreadable, [&] {
        auto post = [owner](const wchar_t* text, const wchar_t* type) {
            if (owner) owner->PostHostMessage(text, type);
        };
        int code = ScanLines(SolverFilePath(folder, kSolverSpyListing));
        if (code != kRC_ListingWarning && code != kRC_ListingError)
            code = ScanLines(SolverFilePath(folder, SolverModuleFile(module, ".res")));
        if (code == kRC_ListingWarning) {
            post(L"Warning(s) found in solve generated files", L"Warning");
            return static_cast<int>(kRC_Success);
        }
        if (code == kRC_ListingError) post(L"Error(s) found in solve generated files", L"Error");
        return code;
    });
}

int ScanSolverListing(const std::string& path) { return SolverListingScan().ScanFile(path); }

int DeleteSolverWorkDirectories(const std::filesystem::path& folder) {
    try {
        if (folder.empty()) return 0;
        bool allRemoved = true;
        const std::size_t removed = platform::DeleteMatching(folder, kSolverWorkFolderPattern, &allRemoved);
        return removed > 0 && allRemoved ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int DeleteSolverWorkDirectories() {
    try {
        return DeleteSolverWorkDirectories(platform::CurrentFolder());
    } catch (...) {
        return 0;
    }
}

std::vector<std::string> StaleSolverFileNames() {
    std::vector<std::string> names = {kSolverSpyListing, kRunningListingCopy};
    for (const char* module : kSolverModules) {
        for (const char* suffix : {".res", ".des", ".fac"}) names.push_back(SolverModuleFile(module, suffix));
    }
    return names;
}

void RemoveStaleSolverFiles(const std::filesystem::path& folder, const std::filesystem::path& keep) {
    for (const std::string& name : StaleSolverFileNames()) {
        const std::filesystem::path path = SolverFilePath(folder, name);
        if (!keep.empty() && platform::IsSameFile(path, keep)) continue;
        (void)platform::RemoveFile(path);
    }
}
