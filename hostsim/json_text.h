// Where the values of a JSON document lie in its text, so that an edit can replace the bytes of
// a few values and keep every other byte of the user's file: its layout, number forms and
// members the reader does not know. The text must be a document the case reader accepted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct JsonSpan {
    std::size_t begin = 0;
    std::size_t end = 0;  // just after the value
};

class JsonText {
  public:
    explicit JsonText(std::string_view text) : text_(text) {}

    // The document's one value.
    JsonSpan Root() const;
    // The members of the object at `object` in the text's order, keys unescaped; none for a value
    // that is no object.
    std::vector<std::pair<std::string, JsonSpan>> Members(JsonSpan object) const;
    // The value of the member `key` among members; false when there is none.
    static bool Find(const std::vector<std::pair<std::string, JsonSpan>>& members, std::string_view key,
                     JsonSpan& value);
    // The elements of the array at `array`; none for a value that is no array.
    std::vector<JsonSpan> Elements(JsonSpan array) const;
    std::string_view Text(JsonSpan span) const { return text_.substr(span.begin, span.end - span.begin); }
    bool IsObject(JsonSpan span) const { return span.begin < text_.size() && text_[span.begin] == '{'; }

  private:
    std::size_t SkipBlanks(std::size_t at) const;
    // Just after the value that starts at `at`.
    std::size_t SkipValue(std::size_t at) const;
    std::size_t SkipString(std::size_t at) const;

    std::string_view text_;
};

// Replacements of spans of a text (an empty span inserts), applied in one pass.
class JsonTextEdits {
  public:
    void Replace(JsonSpan span, std::string text) { edits_.push_back({span, std::move(text)}); }
    bool Empty() const { return edits_.empty(); }
    std::string ApplyTo(std::string_view text) const;

  private:
    std::vector<std::pair<JsonSpan, std::string>> edits_;
};
