// The <P> elements of a message and their plain text: tags dropped, references decoded, white space folded.
#include "deck/html_paragraphs.h"

#include <algorithm>
#include <cwctype>

#include "platform/text.h"

namespace {

using platform::AsciiToLower;

bool StartsWithTag(std::wstring_view html, std::size_t at, std::wstring_view name) {
    if (at + name.size() > html.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (AsciiToLower(html[at + i]) != name[i]) return false;
    const std::size_t after = at + name.size();
    return after == html.size() || html[after] == L'>' || html[after] == L'/' || std::iswspace(html[after]);
}

bool IsHtmlSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f'; }

// The value of an ASCII digit in the given base, or -1.
int DigitValue(wchar_t c, int base) {
    int value = -1;
    if (c >= L'0' && c <= L'9') value = c - L'0';
    if (base == 16 && AsciiToLower(c) >= L'a' && AsciiToLower(c) <= L'f') value = AsciiToLower(c) - L'a' + 10;
    return value < base ? value : -1;
}

// Decodes the character reference at html[at] ('&'); answers its code point and moves `at`
// past the reference, or answers '&' and moves one on when it is no reference this splitter
// knows. A numeric reference to no character (0, a surrogate, beyond U+10FFFF) is kept as
// U+FFFD, so the reader sees that something stood there.
char32_t DecodeReference(std::wstring_view html, std::size_t& at) {
    static constexpr struct {
        std::wstring_view name;
        char32_t c;
    } kNamed[] = {{L"amp;", U'&'},  {L"lt;", U'<'},    {L"gt;", U'>'},
                  {L"quot;", U'"'}, {L"apos;", U'\''}, {L"nbsp;", U' '}};
    // Saturation point of a numeric value: every longer run of digits is beyond Unicode too.
    constexpr char32_t kBeyondUnicode = 0x110000;
    const std::wstring_view rest = html.substr(at + 1);
    for (const auto& n : kNamed) {
        if (rest.substr(0, n.name.size()) == n.name) {
            at += n.name.size() + 1;
            return n.c;
        }
    }
    if (!rest.empty() && rest[0] == L'#') {
        std::size_t i = 1;
        const bool hex = i < rest.size() && (rest[i] == L'x' || rest[i] == L'X');
        if (hex) ++i;
        const int base = hex ? 16 : 10;
        char32_t value = 0;
        const std::size_t digitsStart = i;
        for (int digit; i < rest.size() && (digit = DigitValue(rest[i], base)) >= 0; ++i)
            value = std::min<char32_t>(value * base + static_cast<char32_t>(digit), kBeyondUnicode);
        if (i > digitsStart && i < rest.size() && rest[i] == L';') {
            at += i + 2;
            const bool isCharacter =
                value != 0 && value < kBeyondUnicode && (value < 0xD800 || value > 0xDFFF);
            return isCharacter ? value : U'\uFFFD';
        }
    }
    ++at;
    return U'&';
}

// Plain text of html[begin, end): tags dropped, references decoded, white space collapsed.
std::wstring InnerText(std::wstring_view html, std::size_t begin, std::size_t end) {
    std::wstring text;
    bool pendingSpace = false;
    for (std::size_t i = begin; i < end;) {
        const wchar_t c = html[i];
        if (c == L'<') {
            const std::size_t close = html.find(L'>', i);
            i = close == std::wstring_view::npos || close >= end ? end : close + 1;
            continue;
        }
        char32_t out = static_cast<char32_t>(c);
        if (c == L'&')
            out = DecodeReference(html.substr(0, end), i);
        else
            ++i;
        if (IsHtmlSpace(out)) {
            pendingSpace = !text.empty();
            continue;
        }
        if (pendingSpace) text.push_back(L' ');
        pendingSpace = false;
        platform::AppendCodePoint(text, out);
    }
    return text;
}

}  // namespace

std::vector<std::wstring> SplitHtmlParagraphs(std::wstring_view html) {
    std::vector<std::wstring> paragraphs;
    std::size_t i = 0;
    while ((i = html.find(L'<', i)) != std::wstring_view::npos) {
        if (!StartsWithTag(html, i + 1, L"p")) {
            ++i;
            continue;
        }
        const std::size_t open = html.find(L'>', i);
        if (open == std::wstring_view::npos) break;
        // A paragraph ends at its closing tag, at the next paragraph, or at the body's end.
        std::size_t end = open + 1;
        for (; end < html.size(); ++end) {
            if (html[end] != L'<') continue;
            if (StartsWithTag(html, end + 1, L"/p") || StartsWithTag(html, end + 1, L"p") ||
                StartsWithTag(html, end + 1, L"/body") || StartsWithTag(html, end + 1, L"/html"))
                break;
        }
        std::wstring text = InnerText(html, open + 1, end);
        if (!text.empty()) paragraphs.push_back(std::move(text));
        i = end;
    }
    return paragraphs;
}
