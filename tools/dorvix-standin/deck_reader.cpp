#include "deck_reader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace {

constexpr std::size_t kLongestRecord = 82;

bool ToDouble(const std::string& text, double& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

// A node record: an integer id and three numbers.
bool ReadNodeRecord(const std::vector<std::string>& t, int& id) {
    if (t.size() != 4) return false;
    auto r = std::from_chars(t[0].data(), t[0].data() + t[0].size(), id);
    if (r.ec != std::errc() || r.ptr != t[0].data() + t[0].size()) return false;
    double v;
    return ToDouble(t[1], v) && ToDouble(t[2], v) && ToDouble(t[3], v) && t[1].find('E') != std::string::npos;
}

struct StepScan {
    std::vector<double> npas;
    std::vector<double> subTimes;
    std::set<int> loadCases;
    bool inSub = false;
    bool subHasTime = false;

    void Take(const std::vector<std::string>& t) {
        if (t.empty()) return;
        if (t[0] == ".SUB") {
            inSub = true;
            subHasTime = false;
        } else if (t[0][0] == '.') {
            inSub = false;
        }
        for (std::size_t i = 0; i + 1 < t.size(); ++i) {
            double v;
            if (t[i] == "T2" && ToDouble(t[i + 1], v) && t[0] == "NPAS") npas.push_back(v);
            if (t[i] == "NC" && ToDouble(t[i + 1], v)) loadCases.insert(static_cast<int>(std::lround(v)));
        }
        if (inSub && !subHasTime && t[0] == "TIME" && t.size() >= 2) {
            double start, end;
            // "TIME end" or "TIME start A end PAS step"
            if (t.size() >= 4 && t[2] == "A" && ToDouble(t[3], end)) {
                subTimes.push_back(end);
                subHasTime = true;
            } else if (ToDouble(t[1], start)) {
                subTimes.push_back(start);
                subHasTime = true;
            }
        }
    }
};

}  // namespace

DeckSummary ReadDeck(const std::string& path) {
    DeckSummary summary;
    std::ifstream in(path);
    if (!in) {
        summary.problems.push_back("cannot read the deck " + path);
        return summary;
    }
    summary.readable = true;
    std::string record, logical;
    bool continued = false, sawInit = false, sawReturn = false, first = true;
    int recordNumber = 0;
    StepScan steps;
    while (std::getline(in, record)) {
        ++recordNumber;
        if (record.size() > kLongestRecord)
            summary.problems.push_back("record " + std::to_string(recordNumber) +
                                       " is longer than 82 columns");
        if (first && !record.empty()) {
            sawInit = record.rfind(".INIT", 0) == 0;
            first = false;
        }
        const bool comment = record.rfind("!", 0) == 0;
        if (comment && !continued) continue;
        logical += continued && !record.empty() && record[0] == ' ' ? record.substr(1) : record;
        continued = !logical.empty() && logical.back() == '$';
        if (continued) {
            logical.pop_back();
            continue;
        }
        const std::vector<std::string> t = Tokens(logical);
        int id;
        if (ReadNodeRecord(t, id)) {
            summary.nodeIds.push_back(id);
        } else if (t.size() >= 3 && t[0] == "I" && t[2] == "N") {
            ++summary.elementCount;
        } else if (t.size() == 1 && t[0] == "RETURN") {
            sawReturn = true;
        }
        steps.Take(t);
        logical.clear();
    }
    if (continued) summary.problems.push_back("the last record ends with a continuation mark");
    if (!sawInit) summary.problems.push_back("the deck does not begin with .INIT");
    if (!sawReturn) summary.problems.push_back("the deck has no RETURN line");
    if (!steps.npas.empty())
        summary.stepTimes = steps.npas;
    else if (!steps.subTimes.empty())
        summary.stepTimes = steps.subTimes;
    else
        for (int c : steps.loadCases) summary.stepTimes.push_back(c);
    if (summary.stepTimes.empty()) summary.stepTimes.push_back(1.0);
    return summary;
}
