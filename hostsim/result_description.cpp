#include "hostsim/result_description.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "foundation/text.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Walks the text line by line and keeps the first refusal.
class DescriptionParser {
  public:
    explicit DescriptionParser(std::string_view text) : text_(text) {}

    bool Parse(HostSimResultDescription& out) {
        std::vector<std::string_view> words;
        if (!Next(words) || words.size() != 2 || words[0] != "DORVIX-RESULT-DESCRIPTION" || words[1] != "1")
            return Refuse("not a result description of layout 1");
        if (!Next(words) || words.size() != 2 || words[0] != "module")
            return Refuse("the \"module\" line is missing");
        out.module = std::string(words[1]);
        if (!Next(words) || words.size() != 2 || words[0] != "kind" ||
            (words[1] != "time" && words[1] != "eigen"))
            return Refuse("the \"kind\" line is missing or names neither time nor eigen");
        out.eigen = words[1] == "eigen";
        int declared = 0;
        if (!Next(words) || words.size() != 2 || words[0] != "sets" || !TryParseInt(words[1], declared) ||
            declared < 0)
            return Refuse("the \"sets\" line is missing or its count is not a count");
        while (true) {
            if (!Next(words))
                return RefuseAtEnd("the file ends before its \"end\" line; the run did not finish it");
            if (words.size() == 1 && words[0] == "end") break;
            HostSimResultSet set;
            if (!ParseSet(words, set)) return false;
            out.sets.push_back(std::move(set));
        }
        while (Next(words))
            if (!words.empty()) return Refuse("text after the \"end\" line");
        if (static_cast<int>(out.sets.size()) == declared) return true;
        problem_ = L"the file announces " + std::to_wstring(declared) + L" result sets and holds " +
                   std::to_wstring(out.sets.size());
        return false;
    }

    const std::wstring& Problem() const { return problem_; }

  private:
    // The next line's words; blank lines are skipped. False at the end of the text.
    bool Next(std::vector<std::string_view>& words) {
        while (position_ < text_.size()) {
            std::size_t end = text_.find('\n', position_);
            if (end == std::string_view::npos) end = text_.size();
            words = Words(text_.substr(position_, end - position_));
            position_ = end + 1;
            ++line_;
            if (!words.empty()) return true;
        }
        words.clear();
        return false;
    }

    bool ParseSet(const std::vector<std::string_view>& words, HostSimResultSet& set) {
        if (words.size() != 5 || words[0] != "set") return Refuse("a \"set\" line or \"end\" was expected");
        int nodeCount = 0;
        if (!TryParseInt(words[1], set.number)) return Refuse("the set number is not a number");
        if (!ReadFinite(words[2], set.value)) return Refuse("the set's time or eigenvalue is not a number");
        if (!TryParseInt(words[3], set.stepCode)) return Refuse("the step code is not a number");
        if (!TryParseInt(words[4], nodeCount) || nodeCount < 0)
            return Refuse("the node count is not a count");
        // A node line takes at least four bytes: a count the rest of the text cannot hold
        // reserves no more than that text could.
        const std::size_t left = position_ < text_.size() ? text_.size() - position_ : 0;
        const std::size_t room = std::min(static_cast<std::size_t>(nodeCount), left / 4 + 1);
        set.nodeIds.reserve(room);
        set.nodeValues.reserve(room);
        std::vector<std::string_view> node;
        for (int i = 0; i < nodeCount; ++i) {
            int id = 0;
            double value = 0.0;
            if (!Next(node))
                return RefuseAtEnd("the file ends inside the node values of set " +
                                   std::to_string(set.number));
            if (node.size() != 2 || !TryParseInt(node[0], id) || !ReadFinite(node[1], value))
                return Refuse("a node line of set " + std::to_string(set.number) +
                              " is not a node id and a number");
            set.nodeIds.push_back(id);
            set.nodeValues.push_back(value);
        }
        return true;
    }

    static bool ReadFinite(std::string_view text, double& value) {
        return TryParseDouble(text, value) && std::isfinite(value);
    }

    bool Refuse(const std::string& reason) {
        problem_ = L"line " + std::to_wstring(line_) + L": " + platform::Utf8ToWide(reason);
        return false;
    }
    bool RefuseAtEnd(const std::string& reason) {
        problem_ = L"after line " + std::to_wstring(line_) + L": " + platform::Utf8ToWide(reason);
        return false;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    int line_ = 0;
    std::wstring problem_;
};

}  // namespace

bool ParseResultDescription(std::string_view text, HostSimResultDescription& out, std::wstring& problem) {
    out = HostSimResultDescription{};
    DescriptionParser parser(text);
    if (parser.Parse(out)) {
        problem.clear();
        return true;
    }
    out = HostSimResultDescription{};
    problem = parser.Problem();
    return false;
}

ResultFileRead ReadResultDescription(const std::filesystem::path& path, HostSimResultDescription& out,
                                     std::wstring& problem) {
    out = HostSimResultDescription{};
    problem.clear();
    if (!platform::FileExists(path)) return ResultFileRead::kMissing;
    const std::wstring name = L"The result description \"" + platform::WideFromPath(path) + L"\"";
    std::string text;
    std::string error;
    if (!platform::ReadWholeFile(path, text, &error)) {
        problem = name + L" cannot be read: " + platform::Utf8ToWide(error);
        return ResultFileRead::kRefused;
    }
    std::wstring reason;
    if (ParseResultDescription(text, out, reason)) return ResultFileRead::kRead;
    problem = name + L" is refused, " + reason;
    return ResultFileRead::kRefused;
}
