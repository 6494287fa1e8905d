// Finding where an element's tags and content lie, passing over comments, character data and quoted values.
#include "tools/dorvix/xml_element_span.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/'; }

// The '>' that ends the tag opened at `open` (quoted attribute values skipped), or npos.
std::size_t TagEnd(std::string_view text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>') return i;
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
            if (i == npos) return npos;
        }
    }
    return npos;
}

// Just after the markup opened at `open` that is no element tag, or npos when it does not end.
std::size_t SkipOtherMarkup(std::string_view text, std::size_t open) {
    const std::string_view rest = text.substr(open);
    const auto after = [&](std::string_view close) {
        const std::size_t at = text.find(close, open + 2);
        return at == npos ? npos : at + close.size();
    };
    if (rest.substr(0, 4) == "<!--") return after("-->");
    if (rest.substr(0, 9) == "<![CDATA[") return after("]]>");
    if (rest.substr(0, 2) == "<?") return after("?>");
    return after(">");
}

}  // namespace

std::optional<XmlElementSpan> FindXmlElementSpan(std::string_view text, std::size_t start,
                                                 std::string_view name) {
    if (start >= text.size() || text[start] != '<' || text.substr(start + 1, name.size()) != name ||
        start + 1 + name.size() >= text.size() || !IsNameEnd(text[start + 1 + name.size()]))
        return std::nullopt;
    XmlElementSpan span;
    span.start = start;
    const std::size_t startTagEnd = TagEnd(text, start);
    if (startTagEnd == npos) return std::nullopt;
    span.contentBegin = startTagEnd + 1;
    if (text[startTagEnd - 1] == '/') {
        span.emptyElementTag = true;
        span.contentEnd = span.end = span.contentBegin;
        return span;
    }
    int depth = 1;
    for (std::size_t at = text.find('<', span.contentBegin); at != npos; at = text.find('<', at)) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (next == '!' || next == '?') {
            at = SkipOtherMarkup(text, at);
            if (at == npos) return std::nullopt;
            continue;
        }
        const std::size_t tagEnd = TagEnd(text, at);
        if (tagEnd == npos) return std::nullopt;
        if (next == '/') {
            if (--depth == 0) {
                if (text.substr(at + 2, name.size()) != name || !IsNameEnd(text[at + 2 + name.size()]))
                    return std::nullopt;
                span.contentEnd = at;
                span.end = tagEnd + 1;
                return span;
            }
        } else if (text[tagEnd - 1] != '/') {
            ++depth;
        }
        at = tagEnd + 1;
    }
    return std::nullopt;
}
