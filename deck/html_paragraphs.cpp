#include "deck/html_paragraphs.h"

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

bool IsHtmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

// Decodes the character reference at html[at] ('&'); answers the character and moves `at`
// past the reference, or answers '&' unchanged when it is no reference this splitter knows.
wchar_t DecodeReference(std::wstring_view html, std::size_t& at) {
    static constexpr struct {
        std::wstring_view name;
        wchar_t c;
    } kNamed[] = {{L"amp;", L'&'},  {L"lt;", L'<'},    {L"gt;", L'>'},
                  {L"quot;", L'"'}, {L"apos;", L'\''}, {L"nbsp;", L' '}};
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
        unsigned long value = 0;
        const std::size_t digitsStart = i;
        while (i < rest.size() && (hex ? std::iswxdigit(rest[i]) : std::iswdigit(rest[i])) &&
               value < 0x110000) {
            const wchar_t d = rest[i];
            value = value * (hex ? 16 : 10) +
                    static_cast<unsigned long>(std::iswdigit(d) ? d - L'0' : AsciiToLower(d) - L'a' + 10);
            ++i;
        }
        if (i > digitsStart && i < rest.size() && rest[i] == L';' && value > 0 && value < 0x110000) {
            at += i + 2;
            return static_cast<wchar_t>(value);
        }
    }
    ++at;
    return L'&';
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
        wchar_t out = c;
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
        text.push_back(out);
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
