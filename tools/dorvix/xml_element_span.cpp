// Finding elements and entity references in XML text, passing over comments, character data, quoted values.
#include "tools/dorvix/xml_element_span.h"

#include <vector>

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

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

// The '>' that ends the document type declaration opened at `open`: quoted literals, the
// internal subset in brackets and the comments in it may all hold a '>'.
std::size_t DocumentTypeEnd(std::string_view text, std::size_t open) {
    bool inSubset = false;
    for (std::size_t i = open + 2; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
        } else if (inSubset && StartsWith(text, i, "<!--")) {
            i = text.find("-->", i + 4);
            if (i != npos) i += 2;
        } else if (c == '[' || c == ']') {
            inSubset = c == '[';
        } else if (c == '>' && !inSubset) {
            return i;
        }
        if (i == npos) return npos;
    }
    return npos;
}

std::string_view NameAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && !IsNameEnd(text[end])) ++end;
    return text.substr(at, end - at);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Just after the markup at `at` that is no element tag; npos, with the fault, when it does not
// end or does not belong where it stands.
std::size_t PassOtherMarkup(std::string_view text, std::size_t at, bool inRoot, std::string& fault) {
    std::string_view close = ">";
    const char* what = "a document type declaration";
    if (StartsWith(text, at, "<!--")) {
        close = "-->";
        what = "a comment";
    } else if (StartsWith(text, at, "<?")) {
        close = "?>";
        what = "a processing instruction";
    } else if (StartsWith(text, at, "<![CDATA[")) {
        close = "]]>";
        what = "a character data section";
        if (!inRoot) fault = "character data outside the root element";
    } else if (inRoot) {
        fault = "a declaration inside the root element";
    }
    if (!fault.empty()) return npos;
    const std::size_t end = close == ">" ? DocumentTypeEnd(text, at) : text.find(close, at + 2);
    if (end == npos) {
        fault = std::string(what) + " does not end";
        return npos;
    }
    return end + close.size();
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

bool ScanXmlDocument(std::string_view text, const std::function<void(const XmlStartTag&)>& visit,
                     std::size_t& faultOffset, std::string& fault) {
    // The names of the elements open where the scan is, outermost first.
    std::vector<std::string_view> open;
    bool rootSeen = false;
    const auto failAt = [&](std::size_t at, std::string what) {
        faultOffset = at;
        fault = std::move(what);
        return false;
    };
    for (std::size_t at = text.find('<'); at != npos; at = text.find('<', at)) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (next == '!' || next == '?') {
            std::string problem;
            const std::size_t end = PassOtherMarkup(text, at, !open.empty(), problem);
            if (end == npos) return failAt(at, problem);
            at = end;
            continue;
        }
        const std::size_t tagEnd = TagEnd(text, at);
        if (tagEnd == npos) return failAt(at, "a tag does not end");
        const bool endTag = next == '/';
        const std::string_view name = NameAt(text, at + (endTag ? 2 : 1));
        if (name.empty()) return failAt(at, "a '<' that opens no tag");
        if (endTag) {
            if (open.empty() || open.back() != name)
                return failAt(at, "the end tag </" + std::string(name) + "> does not close " +
                                      (open.empty() ? "any element" : "<" + std::string(open.back()) + ">"));
            open.pop_back();
        } else {
            if (open.empty() && rootSeen)
                return failAt(at, "a second root element <" + std::string(name) + ">");
            rootSeen = true;
            const bool emptyElement = text[tagEnd - 1] == '/';
            const std::size_t attributes = at + 1 + name.size();
            visit({name, text.substr(attributes, tagEnd - attributes - (emptyElement ? 1 : 0)), at,
                   static_cast<int>(open.size())});
            if (!emptyElement) open.push_back(name);
        }
        at = tagEnd + 1;
    }
    if (!open.empty())
        return failAt(text.size(), "the element <" + std::string(open.back()) + "> does not end");
    if (!rootSeen) return failAt(0, "the document has no root element");
    return true;
}

std::optional<std::string_view> XmlAttributeValue(std::string_view attributes, std::string_view name) {
    for (std::size_t at = 0; at < attributes.size();) {
        if (IsSpace(attributes[at])) {
            ++at;
            continue;
        }
        const std::size_t equals = attributes.find('=', at);
        if (equals == npos) return std::nullopt;
        std::size_t nameEnd = equals;
        while (nameEnd > at && IsSpace(attributes[nameEnd - 1])) --nameEnd;
        std::size_t quote = equals + 1;
        while (quote < attributes.size() && IsSpace(attributes[quote])) ++quote;
        if (quote >= attributes.size() || (attributes[quote] != '"' && attributes[quote] != '\''))
            return std::nullopt;
        const std::size_t close = attributes.find(attributes[quote], quote + 1);
        if (close == npos) return std::nullopt;
        if (attributes.substr(at, nameEnd - at) == name)
            return attributes.substr(quote + 1, close - quote - 1);
        at = close + 1;
    }
    return std::nullopt;
}

std::optional<XmlEntityReference> FindEntityReference(std::string_view text) {
    constexpr std::string_view kPredefined[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    std::size_t at = text.find_first_of("<&");
    while (at != npos) {
        // Comments, character data and processing instructions hold no references.
        if (StartsWith(text, at, "<!--") || StartsWith(text, at, "<![CDATA[") || StartsWith(text, at, "<?")) {
            const std::size_t after = SkipOtherMarkup(text, at);
            if (after == npos) return std::nullopt;
            at = text.find_first_of("<&", after);
            continue;
        }
        if (text[at] == '&' && !StartsWith(text, at, "&#")) {
            const std::size_t end = text.find_first_of(";<&\"' \t\r\n", at + 1);
            if (end != npos && text[end] == ';' && end > at + 1) {
                const std::string_view reference = text.substr(at, end + 1 - at);
                bool predefined = false;
                for (std::string_view known : kPredefined) predefined = predefined || reference == known;
                if (!predefined) return XmlEntityReference{at, reference};
            }
        }
        at = text.find_first_of("<&", at + 1);
    }
    return std::nullopt;
}

std::string XmlLineAndColumn(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // a byte that begins a character, not one that continues it
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}
