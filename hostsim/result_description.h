// The result description a solver run leaves ("dorvix_<module>.des"; its layout is in
// docs/standin-solver.md), read in full and checked before anything of it is believed: a
// file cut short, a number that does not read, or a set count that does not match the sets
// present is refused with a reason, never taken for a complete run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct HostSimResultSet {
    int number = 0;
    double value = 0.0;  // solved time, or eigenvalue
    int stepCode = 0;
    std::vector<int> nodeIds;
    std::vector<double> nodeValues;  // one per node id
};

struct HostSimResultDescription {
    std::string module;
    bool eigen = false;
    std::vector<HostSimResultSet> sets;
};

// True with the description; false with the reason (naming the line) when the text is refused.
bool ParseResultDescription(std::string_view text, HostSimResultDescription& out, std::wstring& problem);

enum class ResultFileRead { kRead, kMissing, kRefused };
// Reads and parses the file; kMissing when there is no such file, kRefused with the reason
// (naming the file) when it cannot be read or is refused.
ResultFileRead ReadResultDescription(const std::filesystem::path& path, HostSimResultDescription& out,
                                     std::wstring& problem);
