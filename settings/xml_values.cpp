// Strict parsing of numbers, integers and booleans, typed reads that note each failure, and element writers.
#include "settings/xml_values.h"

#include <charconv>
#include <cmath>

#include "foundation/number_format.h"
#include "foundation/text.h"
#include "platform/text.h"
#include "settings/xml_read_log.h"

namespace settings_xml {

namespace {

std::wstring_view Trim(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// The trimmed text as ASCII; false when it holds anything else (no number does).
bool ToAscii(std::wstring_view text, std::string& out) {
    out.clear();
    for (wchar_t c : Trim(text)) {
        if (c <= 0 || c >= 0x80) return false;
        out.push_back(static_cast<char>(c));
    }
    return true;
}

}  // namespace

XmlNode Find(XmlNode context, const char* xpath) {
    XmlQuery query(xpath);
    if (!XmlSelectNode(context, query)) return XmlNode();
    return query.GetNode();
}

bool Has(XmlNode context, const char* xpath) { return Find(context, xpath) != XmlNode(); }

bool ParseStrictDouble(std::wstring_view text, double& value) {
    std::string ascii;
    if (!ToAscii(text, ascii) || ascii.empty()) return false;
    double parsed = 0.0;
    // No settings value is infinite or undefined; such a text is as bad as a word.
    if (!TryParseDouble(ascii, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool ParseStrictInt(std::wstring_view text, std::int32_t& value) {
    std::string ascii;
    return ToAscii(text, ascii) && TryParseInt(ascii, value);
}

bool ParseStrictUInt(std::wstring_view text, std::uint32_t& value) {
    std::string ascii;
    if (!ToAscii(text, ascii) || ascii.empty()) return false;
    std::uint32_t parsed = 0;
    const char* begin = ascii.data() + (ascii.front() == '+' ? 1 : 0);
    const char* end = ascii.data() + ascii.size();
    const auto [ptr, ec] = std::from_chars(begin, end, parsed);
    if (ec != std::errc() || ptr != end) return false;
    value = parsed;
    return true;
}

bool ParseStrictBool(std::wstring_view text, bool& value) {
    const std::wstring_view trimmed = Trim(text);
    if (platform::EqualsIgnoreAsciiCase(trimmed, L"true")) {
        value = true;
        return true;
    }
    if (platform::EqualsIgnoreAsciiCase(trimmed, L"false")) {
        value = false;
        return true;
    }
    double number = 0.0;
    if (!ParseStrictDouble(trimmed, number)) return false;
    value = number != 0.0;
    return true;
}

template <class T, class Parse>
[[nodiscard]] static HRESULT ReadValue(XmlNode context, const char* xpath, T& value, Parse parse,
                                       const wchar_t* kind) {
    const XmlNode node = Find(context, xpath);
    if (!node) return XmlReadLog::Note(context, xpath, L"missing");
    T parsed{};
    if (!parse(XmlGetText(node), parsed)) return XmlReadLog::Note(node, {}, kind);
    value = parsed;
    return S_OK;
}

HRESULT ReadDouble(XmlNode context, const char* xpath, double& value) {
    return ReadValue(context, xpath, value, ParseStrictDouble, L"not a number");
}
HRESULT ReadInt(XmlNode context, const char* xpath, std::int32_t& value) {
    return ReadValue(context, xpath, value, ParseStrictInt, L"not an integer");
}
HRESULT ReadUInt(XmlNode context, const char* xpath, std::uint32_t& value) {
    return ReadValue(context, xpath, value, ParseStrictUInt, L"not a whole number of 0 or more");
}
HRESULT ReadBool(XmlNode context, const char* xpath, bool& value) {
    return ReadValue(context, xpath, value, ParseStrictBool, L"neither true nor false");
}

HRESULT ReadText(XmlNode context, const char* xpath, std::wstring& value) {
    const XmlNode node = Find(context, xpath);
    if (!node) return XmlReadLog::Note(context, xpath, L"missing");
    value = XmlGetText(node);
    return S_OK;
}

HRESULT FirstMatch(XmlNode context, std::initializer_list<std::pair<const char*, int>> choices, int& value,
                   XmlNode* found) {
    for (const auto& [xpath, choice] : choices) {
        if (const XmlNode node = Find(context, xpath)) {
            value = choice;
            if (found != nullptr) *found = node;
            return S_OK;
        }
    }
    return E_FAIL;
}

XmlNode Append(XmlNode parent, std::wstring_view name) {
    XmlNode element;
    if (FAILED(XmlCreateChildElement(XmlNode(), name, parent, element))) return XmlNode();
    return element;
}

XmlNode AppendBlock(XmlNode parent, std::wstring_view name, int version) {
    XmlNode element = Append(parent, name);
    if (element) (void)XmlSetAttribute(element, L"version", std::to_wstring(version));
    return element;
}

void AppendText(XmlNode parent, std::wstring_view name, std::wstring_view text) {
    (void)XmlCreateTextElement(XmlNode(), parent, name, text);
}

void AppendDouble(XmlNode parent, std::wstring_view name, double value) {
    AppendText(parent, name, DoubleText(value));
}

void AppendInt(XmlNode parent, std::wstring_view name, std::int64_t value) {
    AppendText(parent, name, std::to_wstring(value));
}

void AppendBool(XmlNode parent, std::wstring_view name, bool value) {
    AppendText(parent, name, BoolText(value));
}

std::wstring DoubleText(double value) {
    const std::string text = FormatGeneral15(value);
    return std::wstring(text.begin(), text.end());
}

const wchar_t* BoolText(bool value) { return value ? L"true" : L"false"; }

}  // namespace settings_xml
