// A deck checked record by record: continued lines joined, nodes and elements counted, units, step times.
#include "deck_scanner.h"

#include <charconv>
#include <cmath>

#include "writer_record.h"

namespace {

constexpr std::size_t kLongestRecord = 82;

void SplitWords(std::string_view line, std::vector<std::string_view>& words) {
    words.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        while (p != end && IsDeckBlank(*p)) ++p;
        if (p == end) return;
        const char* start = p;
        while (p != end && !IsDeckBlank(*p)) ++p;
        words.emplace_back(start, static_cast<std::size_t>(p - start));
    }
}

bool ToDouble(std::string_view text, double& value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool IsNumber(std::string_view t) {
    double v;
    return MatchPlainNumber(t.data(), t.data() + t.size()) == t.data() + t.size() || ToDouble(t, v);
}

// A node record: an integer id and three numbers, the first in exponent form.
bool IsNodeRecord(const std::vector<std::string_view>& t, int& id) {
    if (t.size() != 4) return false;
    auto r = std::from_chars(t[0].data(), t[0].data() + t[0].size(), id);
    if (r.ec != std::errc() || r.ptr != t[0].data() + t[0].size()) return false;
    return IsNumber(t[1]) && IsNumber(t[2]) && IsNumber(t[3]) && t[1].find('E') != std::string_view::npos;
}

}  // namespace

void DeckScanner::Record(std::string_view record) {
    ++recordNumber_;
    if (record.size() > kLongestRecord)
        summary_.problems.push_back("record " + std::to_string(recordNumber_) + " is longer than 82 columns");
    if (first_ && !record.empty()) {
        sawInit_ = record.starts_with(".INIT");
        first_ = false;
    }
    if (!continued_) {
        if (record.starts_with('!')) return;
        if (record.empty() || record.back() != '$') return Line(record);
        joined_.assign(record.data(), record.size() - 1);
        continued_ = true;
        return;
    }
    // A continuation record drops one leading blank; the '$' that continues the line is the
    // last character of everything joined so far.
    if (!record.empty() && record[0] == ' ') record.remove_prefix(1);
    joined_.append(record);
    continued_ = !joined_.empty() && joined_.back() == '$';
    if (continued_) {
        joined_.pop_back();
        return;
    }
    Line(joined_);
    joined_.clear();
}

void DeckScanner::Line(std::string_view line) {
    int id;
    // These forms are neither step nor load-case lines, so nothing else needs to see them.
    WriterRecord record(line);
    if (record.IsNode(id)) {
        summary_.nodeIds.push_back(id);
        return;
    }
    if (record.IsElement()) {
        ++summary_.elementCount;
        return;
    }
    SplitWords(line, tokens_);
    if (IsNodeRecord(tokens_, id)) {
        summary_.nodeIds.push_back(id);
    } else if (tokens_.size() >= 3 && tokens_[0] == "I" && tokens_[2] == "N") {
        ++summary_.elementCount;
    } else if (tokens_.size() == 1 && tokens_[0] == "RETURN") {
        sawReturn_ = true;
    }
    TakeTemperatureUnit();
    TakeSteps();
}

void DeckScanner::TakeTemperatureUnit() {
    const std::vector<std::string_view>& t = tokens_;
    if (t.size() < 2 || t[0] != ".UNIT") return;
    if (t[1] == "KELVIN") summary_.temperatureUnit = DeckTemperatureUnit::kKelvin;
    if (t[1] == "CELSIUS") summary_.temperatureUnit = DeckTemperatureUnit::kCelsius;
    if (t[1] == "FAH") summary_.temperatureUnit = DeckTemperatureUnit::kFahrenheit;
}

void DeckScanner::TakeSteps() {
    const std::vector<std::string_view>& t = tokens_;
    if (t.empty()) return;
    if (t[0] == ".SUB") {
        inSub_ = true;
        subHasTime_ = false;
    } else if (t[0][0] == '.') {
        inSub_ = false;
    }
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        double v;
        if (t[i] == "T2" && t[0] == "NPAS" && ToDouble(t[i + 1], v)) npas_.push_back(v);
        if (t[i] == "NC" && ToDouble(t[i + 1], v)) loadCases_.insert(static_cast<int>(std::lround(v)));
    }
    if (inSub_ && !subHasTime_ && t[0] == "TIME" && t.size() >= 2) {
        double start, end;
        // "TIME end" or "TIME start A end PAS step"
        if (t.size() >= 4 && t[2] == "A" && ToDouble(t[3], end)) {
            subTimes_.push_back(end);
            subHasTime_ = true;
        } else if (ToDouble(t[1], start)) {
            subTimes_.push_back(start);
            subHasTime_ = true;
        }
    }
}

DeckSummary DeckScanner::Finish() {
    DeckSummary summary = std::move(summary_);
    summary.readable = true;
    if (continued_) summary.problems.push_back("the last record ends with a continuation mark");
    if (!sawInit_) summary.problems.push_back("the deck does not begin with .INIT");
    if (!sawReturn_) summary.problems.push_back("the deck has no RETURN line");
    if (!npas_.empty())
        summary.stepTimes = std::move(npas_);
    else if (!subTimes_.empty())
        summary.stepTimes = std::move(subTimes_);
    else
        for (int c : loadCases_) summary.stepTimes.push_back(c);
    if (summary.stepTimes.empty()) summary.stepTimes.push_back(1.0);
    return summary;
}
