#include "deck/solver_listing.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/files.h"

namespace {

constexpr const char* kModules[] = {"as", "me", "st", "dy", "mt"};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The code of one listing line (or piece of a longer line), and whether it is an error.
int ClassifyLine(const char* line) {
    // Only the first marker of a line counts: a warning marker ahead of an error marker on
    // the same line leaves a warning. The solver's "!%%%AVERTISSEMENT" lines are warning
    // markers of this form too.
    const char* marker = std::strstr(line, "%%%");
    if (!marker) return 0;
    if (marker[3] == 'E') return 104;
    return marker[3] == 'A' ? 103 : 0;
}

}  // namespace

int ScanSolverListing(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return 6;
    int code = 0;
    // Lines are examined in pieces of at most 279 characters, as the solver's own tools
    // read them; a marker that straddles a piece boundary is not seen.
    char piece[280];
    while (std::fgets(piece, sizeof piece, file.get())) {
        const int lineCode = ClassifyLine(piece);
        if (lineCode == 104) return 104;
        if (lineCode == 103) code = 103;
    }
    return code;
}

int DeleteSolverWorkDirectories() {
    const std::filesystem::path folder = platform::CurrentFolder();
    if (folder.empty()) return 0;
    bool allRemoved = true;
    const std::size_t removed = platform::DeleteMatching(folder, "dorvix??????.dir", &allRemoved);
    return removed > 0 && allRemoved ? 1 : 0;
}

std::vector<std::string> StaleSolverFileNames() {
    std::vector<std::string> names = {"dorvix.spy", "solve.out"};
    for (const char* module : kModules) {
        for (const char* suffix : {".res", ".des", ".fac"})
            names.push_back(std::string("dorvix_") + module + suffix);
    }
    return names;
}

void RemoveStaleSolverFiles() {
    for (const std::string& name : StaleSolverFileNames()) platform::RemoveFile(name);
}
