// Finding elements and entity references in XML text, passing over comments, character data, quoted values.
#include "tools/dorvix/xml_element_span.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/text.h"

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

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

// Whether `text` holds `word`, ASCII letters compared without regard to case.
bool HoldsIgnoringCase(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at)
        if (platform::EqualsIgnoreAsciiCase(text.substr(at, word.size()), word)) return true;
    return false;
}

// Just after the first `close` that begins at or after `from`; npos when there is none.
std::size_t After(std::string_view text, std::size_t from, std::string_view close) {
    const std::size_t at = text.find(close, from);
    return at == npos ? npos : at + close.size();
}

// Just after the section "<![" at `open` that a document type ignores: it runs to the "]]>" that
// matches it, sections inside it counted.
std::size_t IgnoredSectionEnd(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open + 3; i < text.size();) {
        if (StartsWith(text, i, "<![")) {
            ++depth;
            i += 3;
        } else if (StartsWith(text, i, "]]>")) {
            i += 3;
            if (depth-- == 0) return i;
        } else {
            ++i;
        }
    }
    return npos;
}

// Just after the document type declaration at `open`, as the model load reads it: quoted
// literals, comments and processing instructions are passed whole wherever they stand, each
// "<!" declaration inside it opens a level that a '>' closes, and an ignored section runs to its
// own end. Brackets count for nothing: the first '>' outside all of these ends it, even one
// between the brackets of the internal subset. npos when it does not end, or holds a '<' that
// opens none of these.
std::size_t DocumentTypeEnd(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open + 2; i < text.size();) {
        const char c = text[i];
        if (StartsWith(text, i, "<![")) {
            i = IgnoredSectionEnd(text, i);
        } else if (StartsWith(text, i, "<!") && !StartsWith(text, i, "<!-")) {
            ++depth;
            i += 2;
        } else if (c == '"' || c == '\'') {
            i = After(text, i + 1, std::string_view(&c, 1));
        } else if (StartsWith(text, i, "<?")) {
            i = After(text, i + 2, "?>");
        } else if (StartsWith(text, i, "<!--")) {
            i = After(text, i + 4, "-->");
        } else if (c == '<') {
            return npos;
        } else if (c == '>') {
            if (depth-- == 0) return i + 1;
            ++i;
        } else {
            ++i;
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

bool IsPastAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Just after the markup at `at` that is no element tag (it begins "<!" or "<?"); npos, with the
// fault, when it does not end or does not belong where it stands. A comment ends at the first
// "-->" after its "<!--", so that "<!-->" and "<!--->" open one and close none.
std::size_t PassOtherMarkup(std::string_view text, std::size_t at, bool inRoot, std::string& fault) {
    std::size_t end = npos;
    const char* what = nullptr;
    if (StartsWith(text, at, "<!--")) {
        end = After(text, at + 4, "-->");
        what = "a comment";
    } else if (StartsWith(text, at, "<?")) {
        end = After(text, at + 2, "?>");
        what = "a processing instruction";
    } else if (StartsWith(text, at, "<![CDATA[")) {
        if (!inRoot) fault = "character data outside the root element";
        end = After(text, at + 9, "]]>");
        what = "a character data section";
    } else if (StartsWith(text, at, "<!DOCTYPE")) {
        if (inRoot) fault = "a document type declaration inside the root element";
        end = DocumentTypeEnd(text, at);
        what = "a document type declaration";
    } else {
        fault = "a '<!' that opens no comment, character data or document type";
    }
    if (fault.empty() && end == npos) fault = std::string(what) + " does not end";
    return fault.empty() ? end : npos;
}

// What keeps the text from being read byte for byte as the model load reads it, and where: a NUL
// ends the load's reading wherever it stands, and a declaration of Latin-1 has the load convert
// every byte past the ASCII ones (a text of ASCII bytes alone reads the same either way). False
// when there is nothing of the kind.
bool EncodingFault(std::string_view text, std::size_t& at, std::string& fault) {
    if (const std::size_t nul = text.find('\0'); nul != npos) {
        at = nul;
        fault = "a NUL character: the model is read as UTF-8 text, which holds none";
        return true;
    }
    if (!XmlDeclaresLatin1(text)) return false;
    const auto beyondAscii = std::find_if(text.begin(), text.end(), IsPastAscii);
    if (beyondAscii == text.end()) return false;
    at = static_cast<std::size_t>(beyondAscii - text.begin());
    fault =
        "a byte past ASCII in a model whose XML declaration names the encoding Latin-1: the model is read "
        "and written as UTF-8 text only";
    return true;
}

// Calls `visit(name, value)` for each attribute of a start tag's attribute text in order, the
// value as written, until it answers false or the text holds no further attribute.
template <class Visit>
void ForEachAttribute(std::string_view attributes, Visit&& visit) {
    for (std::size_t at = 0; at < attributes.size();) {
        if (IsSpace(attributes[at])) {
            ++at;
            continue;
        }
        const std::size_t equals = attributes.find('=', at);
        if (equals == npos) return;
        std::size_t nameEnd = equals;
        while (nameEnd > at && IsSpace(attributes[nameEnd - 1])) --nameEnd;
        std::size_t quote = equals + 1;
        while (quote < attributes.size() && IsSpace(attributes[quote])) ++quote;
        if (quote >= attributes.size() || (attributes[quote] != '"' && attributes[quote] != '\'')) return;
        const std::size_t close = attributes.find(attributes[quote], quote + 1);
        if (close == npos) return;
        if (!visit(attributes.substr(at, nameEnd - at), attributes.substr(quote + 1, close - quote - 1)))
            return;
        at = close + 1;
    }
}

// An attribute name that a start tag's attribute text gives twice; none when each is given once.
// `names` is room to work in.
std::optional<std::string_view> RepeatedAttribute(std::string_view attributes,
                                                  std::vector<std::string_view>& names) {
    names.clear();
    ForEachAttribute(attributes, [&names](std::string_view name, std::string_view) {
        names.push_back(name);
        return true;
    });
    std::sort(names.begin(), names.end());
    const auto repeated = std::adjacent_find(names.begin(), names.end());
    return repeated == names.end() ? std::nullopt : std::optional<std::string_view>(*repeated);
}

// The reference "&name;" at `at` when it names an entity other than the five XML predefines;
// none for a character reference or a '&' that begins no reference.
std::optional<std::string_view> UnknownReferenceAt(std::string_view text, std::size_t at) {
    constexpr std::string_view kPredefined[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    if (StartsWith(text, at, "&#")) return std::nullopt;
    const std::size_t end = text.find_first_of(";<&\"' \t\r\n", at + 1);
    if (end == npos || text[end] != ';' || end == at + 1) return std::nullopt;
    const std::string_view reference = text.substr(at, end + 1 - at);
    for (std::string_view known : kPredefined)
        if (reference == known) return std::nullopt;
    return reference;
}

}  // namespace

bool XmlDeclaresLatin1(std::string_view text) {
    // The declaration up to its first '?': the encoding it names stands before that, whichever
    // of its attributes comes first.
    const std::size_t end = text.find('?', 2);
    if (!StartsWith(text, 0, "<?xml") || end == npos) return false;
    const std::string_view declaration = text.substr(0, end);
    return HoldsIgnoringCase(declaration, "latin1") || HoldsIgnoringCase(declaration, "iso-8859-1");
}

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
            std::string fault;
            at = PassOtherMarkup(text, at, true, fault);
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
    std::vector<std::string_view> names;
    bool rootSeen = false;
    const auto failAt = [&](std::size_t at, std::string what) {
        faultOffset = at;
        fault = std::move(what);
        return false;
    };
    if (std::size_t at = 0; EncodingFault(text, at, fault)) return failAt(at, fault);
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
            const std::size_t attributesAt = at + 1 + name.size();
            const std::string_view attributes =
                text.substr(attributesAt, tagEnd - attributesAt - (emptyElement ? 1 : 0));
            // Not well-formed, and readers differ on which of the two counts.
            if (const std::optional<std::string_view> repeated = RepeatedAttribute(attributes, names))
                return failAt(at, "the element <" + std::string(name) + "> names the attribute " +
                                      std::string(*repeated) + " twice");
            visit({name, attributes, at, static_cast<int>(open.size())});
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
    std::optional<std::string_view> found;
    ForEachAttribute(attributes, [&](std::string_view attribute, std::string_view value) {
        if (attribute == name) found = value;
        return !found;
    });
    return found;
}

std::optional<XmlEntityReference> FindEntityReference(std::string_view text) {
    std::size_t at = text.find_first_of("<&");
    while (at != npos) {
        // Comments, character data and processing instructions hold no references.
        if (StartsWith(text, at, "<!--") || StartsWith(text, at, "<![CDATA[") || StartsWith(text, at, "<?")) {
            std::string fault;
            const std::size_t after = PassOtherMarkup(text, at, true, fault);
            if (after == npos) return std::nullopt;
            at = text.find_first_of("<&", after);
            continue;
        }
        if (text[at] == '&')
            if (const std::optional<std::string_view> reference = UnknownReferenceAt(text, at))
                return XmlEntityReference{at, *reference};
        at = text.find_first_of("<&", at + 1);
    }
    return std::nullopt;
}

std::optional<XmlEntityReference> FindEntityReferenceInValue(std::string_view value) {
    for (std::size_t at = value.find('&'); at != npos; at = value.find('&', at + 1))
        if (const std::optional<std::string_view> reference = UnknownReferenceAt(value, at))
            return XmlEntityReference{at, *reference};
    return std::nullopt;
}

bool XmlWithCharacterReferences(std::string& xml, std::string& problem) {
    struct OtherMarkup {
        std::string_view open, close, what;
    };
    constexpr OtherMarkup kOtherMarkup[] = {{"<!--", "-->", "a comment"},
                                            {"<![CDATA[", "]]>", "a character data section"},
                                            {"<?", "?>", "a processing instruction"},
                                            {"<!", ">", "a declaration"}};
    std::string out;
    out.reserve(xml.size());
    bool inTag = false;
    char quote = 0;
    for (std::size_t at = 0; at < xml.size();) {
        const char c = xml[at];
        if (!inTag && c == '<') {
            const auto other =
                std::find_if(std::begin(kOtherMarkup), std::end(kOtherMarkup),
                             [&](const OtherMarkup& markup) { return StartsWith(xml, at, markup.open); });
            if (other != std::end(kOtherMarkup)) {
                // A comment, character data or a processing instruction reads no reference.
                const std::size_t end = After(xml, at + other->open.size(), other->close);
                const std::string_view markup =
                    std::string_view(xml).substr(at, end == npos ? npos : end - at);
                if (std::any_of(markup.begin(), markup.end(), IsPastAscii)) {
                    problem = "a character past ASCII in " + std::string(other->what) +
                              ", where no character reference is read";
                    return false;
                }
                out += markup;
                at += markup.size();
                continue;
            }
            inTag = true;
        } else if (inTag && quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (inTag && c == quote) {
            quote = 0;
        } else if (inTag && quote == 0 && c == '>') {
            inTag = false;
        }
        if (!IsPastAscii(c)) {
            out += c;
            ++at;
            continue;
        }
        if (inTag && quote == 0) {
            problem = "a character past ASCII in a name, which no character reference can stand for";
            return false;
        }
        std::size_t end = at;
        while (end < xml.size() && IsPastAscii(xml[end])) ++end;
        const std::string_view run = std::string_view(xml).substr(at, end - at);
        const std::wstring characters = platform::Utf8ToWide(run);
        if (platform::WideToUtf8(characters) != run) {
            problem = "bytes that are no UTF-8 text";
            return false;
        }
        for (const wchar_t character : characters)
            out += "&#" + std::to_string(static_cast<std::uint32_t>(character)) + ";";
        at = end;
    }
    xml.swap(out);
    return true;
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
