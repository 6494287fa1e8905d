// The result description a solver run leaves ("dorvix_<module>.des"; its layout is in
// docs/standin-solver.md). Such a file may be large: it is streamed, never held whole. Its
// layout is checked in full before anything of it is believed (a file cut short, a set line
// that does not read, a node count that does not match the lines that follow, a set count that
// does not match the sets present), and what is kept of it is the set lines alone. The node
// values of a set are read, and checked, only when they are asked for, and only those of the
// nodes asked are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// A description announcing more sets is refused: the set lines are all that is kept, and this
// many take a few tens of megabytes.
inline constexpr int kMaxResultSets = 1'000'000;
// The longest line a description may hold (its lines are a few words long).
inline constexpr std::size_t kMaxResultLineLength = 1024;

// One "set" line and where it stands in the text.
struct HostSimResultSet {
    int number = 0;
    double value = 0.0;  // solved time, or eigenvalue
    int stepCode = 0;
    int nodeCount = 0;
    int line = 0;              // the set line's number (from 1)
    std::uint64_t offset = 0;  // the byte at which the set line begins
};

struct HostSimResultSets {
    std::string module;
    bool eigen = false;
    std::vector<HostSimResultSet> sets;
};

// Node values of one set: values[i] belongs to ids[i], in the set's order.
struct HostSimNodeValues {
    std::vector<int> ids;
    std::vector<double> values;
};

// The sets of a description held in memory. True with the sets; false with the reason (naming
// the line) when the text is refused.
bool ParseResultSets(std::string_view text, HostSimResultSets& out, std::wstring& problem);
// The node values of one set that ParseResultSets found in the same text; every node when
// `asked` is null, else only the nodes asked. False with the reason when a node line of the set
// does not read or an asked node is given twice.
bool ParseResultSetNodes(std::string_view text, const HostSimResultSet& set,
                         const std::unordered_set<int>* asked, HostSimNodeValues& out, std::wstring& problem);

enum class ResultFileRead { kRead, kMissing, kRefused };
// Streams the file and keeps its sets; kMissing when there is no such file, kRefused with the
// reason (naming the file) when it cannot be read or is refused.
ResultFileRead ReadResultSets(const std::filesystem::path& path, HostSimResultSets& out,
                              std::wstring& problem);
// Reads the values of the asked nodes of one set of the file that ReadResultSets read, as
// ParseResultSetNodes does, so that what is kept grows with the question, not with the file;
// false with the reason (naming the file) also when the file no longer holds the set where it
// was found.
bool ReadResultSetNodes(const std::filesystem::path& path, const HostSimResultSet& set,
                        const std::unordered_set<int>& asked, HostSimNodeValues& out, std::wstring& problem);
