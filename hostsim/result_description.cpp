// Lines of a description from text or file, its set lines checked whole, a set's node values read on demand.
#include "hostsim/result_description.h"

#include <array>
#include <cmath>

#include "foundation/text.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

// The lines of a description, from text in memory or from a file read piece by piece. A line
// longer than any line of the layout ends the reading: it is refused, never gathered.
class DescriptionLines {
  public:
    enum class Got { kLine, kEnd, kTooLong, kFailed };

    explicit DescriptionLines(std::string_view text) : text_(text) {}
    explicit DescriptionLines(platform::InputFile& file) : file_(&file) {}

    // Where the next line begins.
    std::uint64_t Offset() const { return offset_; }
    // The reading failure, for kFailed.
    const std::string& Failure() const { return file_ ? file_->Failure() : noFailure_; }

    bool SeekTo(std::uint64_t offset) {
        if (file_ ? !file_->SeekTo(offset) : offset > text_.size()) return false;
        offset_ = offset;
        return true;
    }

    // The next line without its line end.
    Got Next(std::string_view& line) {
        if (file_) {
            // One character more than a line may hold, and its line end, tell a long line.
            if (!file_->ReadPiece(piece_, kMaxResultLineLength + 2))
                return file_->Failure().empty() ? Got::kEnd : Got::kFailed;
            offset_ += piece_.size();
            line = piece_;
        } else {
            if (offset_ >= text_.size()) return Got::kEnd;
            const std::size_t start = static_cast<std::size_t>(offset_);
            std::size_t end = text_.find('\n', start);
            end = end == std::string_view::npos ? text_.size() : end + 1;
            offset_ = end;
            line = text_.substr(start, end - start);
        }
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        return line.size() > kMaxResultLineLength ? Got::kTooLong : Got::kLine;
    }

  private:
    std::string_view text_;
    platform::InputFile* file_ = nullptr;
    std::string piece_;
    std::uint64_t offset_ = 0;
    const std::string noFailure_;
};

// The words of a line: the first few are kept, all are counted. Nothing is allocated.
struct Words {
    static constexpr std::size_t kKept = 5;
    std::array<std::string_view, kKept> at;
    std::size_t count = 0;

    bool Are(std::size_t n) const { return count == n; }
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void Split(std::string_view line, Words& words) {
    words.count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i == start) continue;
        if (words.count < Words::kKept) words.at[words.count] = line.substr(start, i - start);
        ++words.count;
    }
}

bool ReadFinite(std::string_view text, double& value) {
    return TryParseDouble(text, value) && std::isfinite(value);
}

// Walks the lines and keeps the first refusal.
class DescriptionReader {
  public:
    explicit DescriptionReader(DescriptionLines& lines) : lines_(lines) {}

    bool ReadSets(HostSimResultSets& out) {
        Words words;
        if (!Next(words) || !words.Are(2) || words.at[0] != "DORVIX-RESULT-DESCRIPTION" || words.at[1] != "1")
            return Refuse("not a result description of layout 1");
        if (!Next(words) || !words.Are(2) || words.at[0] != "module")
            return Refuse("the \"module\" line is missing");
        out.module = std::string(words.at[1]);
        if (!Next(words) || !words.Are(2) || words.at[0] != "kind" ||
            (words.at[1] != "time" && words.at[1] != "eigen"))
            return Refuse("the \"kind\" line is missing or names neither time nor eigen");
        out.eigen = words.at[1] == "eigen";
        int declared = 0;
        if (!Next(words) || !words.Are(2) || words.at[0] != "sets" || !TryParseInt(words.at[1], declared) ||
            declared < 0)
            return Refuse("the \"sets\" line is missing or its count is not a count");
        if (declared > kMaxResultSets)
            return Refuse("the file announces " + std::to_string(declared) +
                          " result sets; a description of more than 1,000,000 is refused");
        while (true) {
            if (!Next(words))
                return RefuseAtEnd("the file ends before its \"end\" line; the run did not finish it");
            if (words.Are(1) && words.at[0] == "end") break;
            HostSimResultSet set;
            if (!ReadSetLine(words, set)) return false;
            // A set beyond the count announced is refused at once: nothing is kept for it.
            if (static_cast<int>(out.sets.size()) == declared)
                return Refuse("the file announces " + std::to_string(declared) +
                              " result sets and holds more");
            if (!SkipNodeLines(set)) return false;
            out.sets.push_back(set);
        }
        while (Next(words))
            if (words.count != 0) return Refuse("text after the \"end\" line");
        if (!problem_.empty()) return false;
        if (static_cast<int>(out.sets.size()) == declared) return true;
        problem_ = L"the file announces " + std::to_wstring(declared) + L" result sets and holds " +
                   std::to_wstring(out.sets.size());
        return false;
    }

    // The node values of a set found before, read at its place.
    bool ReadNodes(const HostSimResultSet& set, const std::unordered_set<int>* asked,
                   HostSimNodeValues& out) {
        line_ = set.line - 1;
        const bool placed = lines_.SeekTo(set.offset);
        if (!placed && !lines_.Failure().empty()) return ReadFailure();
        Words words;
        HostSimResultSet found;
        const bool there = placed && Next(words) && ReadSetLine(words, found) && found.number == set.number &&
                           found.value == set.value && found.stepCode == set.stepCode &&
                           found.nodeCount == set.nodeCount;
        if (failed_) return false;
        if (!there) {
            problem_.clear();
            line_ = set.line;
            return Refuse("set " + std::to_string(set.number) + " is no longer there; the file has changed");
        }
        // An asked node given twice would make the answer grow with the file, not with the question.
        std::unordered_set<int> answered;
        for (int i = 0; i < set.nodeCount; ++i) {
            int id = 0;
            double value = 0.0;
            if (!NextNodeLine(set, words, &id, &value)) return false;
            if (asked && !asked->count(id)) continue;
            if (asked && !answered.insert(id).second)
                return Refuse("set " + std::to_string(set.number) + " gives node " + std::to_string(id) +
                              " twice");
            out.ids.push_back(id);
            out.values.push_back(value);
        }
        return true;
    }

    const std::wstring& Problem() const { return problem_; }
    // True when the text could not be read (rather than being refused).
    bool Failed() const { return failed_; }

  private:
    // The next line's words; blank lines are skipped. False at the end of the text, and when a
    // line is too long or cannot be read (the problem then tells which).
    bool Next(Words& words) {
        words.count = 0;
        if (!problem_.empty()) return false;
        std::string_view line;
        while (true) {
            lineStart_ = lines_.Offset();
            const DescriptionLines::Got got = lines_.Next(line);
            if (got == DescriptionLines::Got::kEnd) return false;
            if (got == DescriptionLines::Got::kFailed) return ReadFailure();
            ++line_;
            if (got == DescriptionLines::Got::kTooLong)
                return Refuse("the line is longer than " + std::to_string(kMaxResultLineLength) +
                              " characters");
            Split(line, words);
            if (words.count != 0) return true;
        }
    }

    bool ReadSetLine(const Words& words, HostSimResultSet& set) {
        if (!problem_.empty()) return false;
        if (!words.Are(5) || words.at[0] != "set") return Refuse("a \"set\" line or \"end\" was expected");
        set.line = line_;
        set.offset = lineStart_;
        if (!TryParseInt(words.at[1], set.number)) return Refuse("the set number is not a number");
        if (!ReadFinite(words.at[2], set.value))
            return Refuse("the set's time or eigenvalue is not a number");
        if (!TryParseInt(words.at[3], set.stepCode)) return Refuse("the step code is not a number");
        if (!TryParseInt(words.at[4], set.nodeCount) || set.nodeCount < 0)
            return Refuse("the node count is not a count");
        return true;
    }

    // The next node line of the set: two words, and with `id` and `value` a node id and a finite
    // number read into them.
    bool NextNodeLine(const HostSimResultSet& set, Words& words, int* id = nullptr, double* value = nullptr) {
        if (!Next(words))
            return RefuseAtEnd("the file ends inside the node values of set " + std::to_string(set.number));
        if (!words.Are(2) || (id && (!TryParseInt(words.at[0], *id) || !ReadFinite(words.at[1], *value))))
            return Refuse("a node line of set " + std::to_string(set.number) +
                          " is not a node id and a number");
        return true;
    }

    // The node lines of a set are counted and their shape checked; their numbers are read only
    // when the set's values are asked for.
    bool SkipNodeLines(const HostSimResultSet& set) {
        Words words;
        for (int i = 0; i < set.nodeCount; ++i)
            if (!NextNodeLine(set, words)) return false;
        return true;
    }

    bool ReadFailure() {
        failed_ = true;
        problem_ = platform::Utf8ToWide(lines_.Failure());
        return false;
    }
    bool Refuse(const std::string& reason) {
        if (problem_.empty())
            problem_ = L"line " + std::to_wstring(line_) + L": " + platform::Utf8ToWide(reason);
        return false;
    }
    bool RefuseAtEnd(const std::string& reason) {
        if (problem_.empty())
            problem_ = L"after line " + std::to_wstring(line_) + L": " + platform::Utf8ToWide(reason);
        return false;
    }

    DescriptionLines& lines_;
    int line_ = 0;
    std::uint64_t lineStart_ = 0;
    bool failed_ = false;
    std::wstring problem_;
};

}  // namespace

bool ParseResultSets(std::string_view text, HostSimResultSets& out, std::wstring& problem) {
    out = HostSimResultSets{};
    DescriptionLines lines(text);
    DescriptionReader reader(lines);
    if (reader.ReadSets(out)) {
        problem.clear();
        return true;
    }
    out = HostSimResultSets{};
    problem = reader.Problem();
    return false;
}

bool ParseResultSetNodes(std::string_view text, const HostSimResultSet& set,
                         const std::unordered_set<int>* asked, HostSimNodeValues& out,
                         std::wstring& problem) {
    out = HostSimNodeValues{};
    DescriptionLines lines(text);
    DescriptionReader reader(lines);
    if (reader.ReadNodes(set, asked, out)) {
        problem.clear();
        return true;
    }
    out = HostSimNodeValues{};
    problem = reader.Problem();
    return false;
}

namespace {

std::wstring FileName(const std::filesystem::path& path) {
    return L"The result description \"" + platform::WideFromPath(path) + L"\"";
}

// The reader's refusal, or its reading failure, as the reason of a file.
std::wstring FileProblem(const std::filesystem::path& path, const DescriptionReader& reader) {
    return FileName(path) + (reader.Failed() ? L" cannot be read: " : L" is refused, ") + reader.Problem();
}

}  // namespace

ResultFileRead ReadResultSets(const std::filesystem::path& path, HostSimResultSets& out,
                              std::wstring& problem) {
    out = HostSimResultSets{};
    problem.clear();
    if (!platform::FileExists(path)) return ResultFileRead::kMissing;
    platform::InputFile file;
    std::string error;
    if (!file.Open(path, &error)) {
        problem = FileName(path) + L" cannot be read: " + platform::Utf8ToWide(error);
        return ResultFileRead::kRefused;
    }
    DescriptionLines lines(file);
    DescriptionReader reader(lines);
    if (reader.ReadSets(out)) return ResultFileRead::kRead;
    out = HostSimResultSets{};
    problem = FileProblem(path, reader);
    return ResultFileRead::kRefused;
}

bool ReadResultSetNodes(const std::filesystem::path& path, const HostSimResultSet& set,
                        const std::unordered_set<int>& asked, HostSimNodeValues& out, std::wstring& problem) {
    out = HostSimNodeValues{};
    problem.clear();
    platform::InputFile file;
    std::string error;
    if (!platform::FileExists(path) || !file.Open(path, &error)) {
        problem = FileName(path) + L" cannot be read: " +
                  (error.empty() ? std::wstring(L"it is no longer there") : platform::Utf8ToWide(error));
        return false;
    }
    DescriptionLines lines(file);
    DescriptionReader reader(lines);
    if (reader.ReadNodes(set, &asked, out)) return true;
    out = HostSimNodeValues{};
    problem = FileProblem(path, reader);
    return false;
}
