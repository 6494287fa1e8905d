// Scanning JSON text for the byte spans of values, members and elements, and splicing edits into the text.
#include "hostsim/json_text.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text of a key, escapes resolved as the case reader resolves them.
std::string KeyText(std::string_view quoted) {
    const nlohmann::json key = nlohmann::json::parse(quoted, nullptr, false);
    return key.is_string() ? key.get<std::string>() : std::string();
}

}  // namespace

std::size_t JsonText::SkipBlanks(std::size_t at) const {
    while (at < text_.size() && IsBlank(text_[at])) ++at;
    return at;
}

std::size_t JsonText::SkipString(std::size_t at) const {
    for (std::size_t i = at + 1; i < text_.size(); ++i) {
        if (text_[i] == '\\')
            ++i;
        else if (text_[i] == '"')
            return i + 1;
    }
    return text_.size();
}

// Nested values are passed over by counting brackets, not by descending: a deep document cannot
// exhaust the stack.
std::size_t JsonText::SkipValue(std::size_t at) const {
    if (at >= text_.size()) return at;
    if (text_[at] == '"') return SkipString(at);
    if (text_[at] != '{' && text_[at] != '[') {
        while (at < text_.size() && !IsBlank(text_[at]) && text_[at] != ',' && text_[at] != ']' &&
               text_[at] != '}')
            ++at;
        return at;
    }
    std::size_t depth = 0;
    for (std::size_t i = at; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c == '"') {
            i = SkipString(i) - 1;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            return i + 1;
        }
    }
    return text_.size();
}

JsonSpan JsonText::Root() const {
    const std::size_t begin = SkipBlanks(0);
    return {begin, SkipValue(begin)};
}

std::vector<std::pair<std::string, JsonSpan>> JsonText::Members(JsonSpan object) const {
    std::vector<std::pair<std::string, JsonSpan>> members;
    if (!IsObject(object)) return members;
    std::size_t at = SkipBlanks(object.begin + 1);
    while (at < object.end && text_[at] == '"') {
        const std::size_t keyEnd = SkipString(at);
        std::string key = KeyText(text_.substr(at, keyEnd - at));
        at = SkipBlanks(keyEnd);
        if (at >= object.end || text_[at] != ':') break;
        const std::size_t valueBegin = SkipBlanks(at + 1);
        const std::size_t valueEnd = SkipValue(valueBegin);
        if (valueEnd == valueBegin) break;  // no value: not a document the reader took
        members.emplace_back(std::move(key), JsonSpan{valueBegin, valueEnd});
        at = SkipBlanks(valueEnd);
        if (at < object.end && text_[at] == ',') at = SkipBlanks(at + 1);
    }
    return members;
}

bool JsonText::Find(const std::vector<std::pair<std::string, JsonSpan>>& members, std::string_view key,
                    JsonSpan& value) {
    // The reader keeps the last of repeated keys.
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        if (it->first != key) continue;
        value = it->second;
        return true;
    }
    return false;
}

std::vector<JsonSpan> JsonText::Elements(JsonSpan array) const {
    std::vector<JsonSpan> elements;
    if (array.begin >= text_.size() || text_[array.begin] != '[') return elements;
    std::size_t at = SkipBlanks(array.begin + 1);
    while (at < array.end && text_[at] != ']') {
        const std::size_t end = SkipValue(at);
        if (end == at) break;  // no value: not a document the reader took
        elements.push_back({at, end});
        at = SkipBlanks(end);
        if (at < array.end && text_[at] == ',') at = SkipBlanks(at + 1);
    }
    return elements;
}

std::string JsonTextEdits::ApplyTo(std::string_view text) const {
    std::vector<std::pair<JsonSpan, std::string>> edits = edits_;
    std::stable_sort(edits.begin(), edits.end(),
                     [](const auto& a, const auto& b) { return a.first.begin < b.first.begin; });
    std::string out;
    std::size_t at = 0;
    for (const auto& [span, replacement] : edits) {
        if (span.begin < at) continue;  // overlaps an edit before it
        out.append(text.substr(at, span.begin - at));
        out += replacement;
        at = span.end;
    }
    out.append(text.substr(at));
    return out;
}
