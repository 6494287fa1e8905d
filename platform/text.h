// Conversions between the text encodings the system meets: UTF-8 for files and 8-bit text,
// std::wstring (UTF-32 here) inside the add-in, and UTF-16 for binary streams.
// Malformed input never fails: each bad sequence becomes U+FFFD so that no text is lost
// silently or read past its end.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Characters beyond the basic plane become surrogate pairs.
std::u16string WideToUtf16(std::wstring_view text);
// Surrogate pairs are joined; a lone surrogate becomes U+FFFD.
std::wstring Utf16ToWide(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view text);

// Appends one code point: as a surrogate pair in UTF-16 (and in wide text where wchar_t has
// 16 bits), as one unit otherwise. A surrogate or a value beyond U+10FFFF becomes U+FFFD.
void AppendCodePoint(std::wstring& out, char32_t c);
void AppendCodePoint(std::u16string& out, char32_t c);
std::string Utf16ToUtf8(std::u16string_view text);

// ASCII-only case folding, independent of any locale.
wchar_t AsciiToLower(wchar_t c);
std::string AsciiLowerCase(std::string_view text);
bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace platform
