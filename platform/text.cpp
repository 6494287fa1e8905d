// UTF-8, UTF-16 and wide transcoding with U+FFFD for bad sequences, and comparisons that ignore ASCII case.
#include "platform/text.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one UTF-8 sequence at text[i], advancing i; malformed input yields U+FFFD and
// advances by one byte so that decoding resynchronises on the next lead byte.
char32_t Decode(std::string_view text, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= text.size()) {  // truncated sequence
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || IsSurrogate(c)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return c;
}

void Append(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c)) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One code point as UTF-16 units into a string of 16-bit units.
template <class String>
void AppendUtf16(String& out, char32_t c) {
    using Unit = typename String::value_type;
    if (c > 0x10FFFF || IsSurrogate(c)) c = kReplacement;
    if (c < 0x10000) {
        out += static_cast<Unit>(c);
    } else {
        c -= 0x10000;
        out += static_cast<Unit>(0xD800 + (c >> 10));
        out += static_cast<Unit>(0xDC00 + (c & 0x3FF));
    }
}

void Append(std::u16string& out, char32_t c) { AppendUtf16(out, c); }
void Append(std::wstring& out, char32_t c) { AppendCodePoint(out, c); }

// Decodes one UTF-16 unit or pair at text[i], advancing i.
template <class Char>
char32_t DecodeUtf16(std::basic_string_view<Char> text, std::size_t& i) {
    char32_t u = static_cast<char32_t>(text[i++]);
    if (u >= 0xD800 && u <= 0xDBFF) {
        if (i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
            char32_t low = static_cast<char32_t>(text[i++]);
            return 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        }
        return kReplacement;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) return kReplacement;
    return u;
}

char32_t Decode(std::u16string_view text, std::size_t& i) { return DecodeUtf16(text, i); }

// Wide strings hold one code point per unit, or UTF-16 where wchar_t has 16 bits.
char32_t Decode(std::wstring_view text, std::size_t& i) {
    if constexpr (kWideIsUtf16) return DecodeUtf16(text, i);
    return static_cast<char32_t>(text[i++]);
}

template <class Out, class In>
Out Transcode(In text) {
    Out out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) Append(out, Decode(text, i));
    return out;
}

template <class Char>
Char LowerAscii(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <class Char>
bool EqualsIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

}  // namespace

void AppendCodePoint(std::wstring& out, char32_t c) {
    if constexpr (kWideIsUtf16) {
        AppendUtf16(out, c);
    } else {
        out += static_cast<wchar_t>(c > 0x10FFFF || IsSurrogate(c) ? kReplacement : c);
    }
}

void AppendCodePoint(std::u16string& out, char32_t c) { AppendUtf16(out, c); }

std::wstring Utf8ToWide(std::string_view text) { return Transcode<std::wstring>(text); }
std::string WideToUtf8(std::wstring_view text) { return Transcode<std::string>(text); }
std::u16string WideToUtf16(std::wstring_view text) { return Transcode<std::u16string>(text); }
std::wstring Utf16ToWide(std::u16string_view text) { return Transcode<std::wstring>(text); }
std::u16string Utf8ToUtf16(std::string_view text) { return Transcode<std::u16string>(text); }
std::string Utf16ToUtf8(std::u16string_view text) { return Transcode<std::string>(text); }

wchar_t AsciiToLower(wchar_t c) { return LowerAscii(c); }

std::string AsciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) { return EqualsIgnoringAsciiCase(a, b); }
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

}  // namespace platform
