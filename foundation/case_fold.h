// Lower-casing that knows the letters of the scripts users name things in (Latin with its
// accented forms, Greek, Cyrillic, Armenian, Georgian, fullwidth and a few others), without
// the process locale: names typed by users compare equal however they were capitalised.
#pragma once

#include <string>
#include <string_view>

// The lower-case form of one character; characters without one come back unchanged.
char32_t ToLowerUnicode(char32_t c);
std::wstring ToLowerUnicode(std::wstring_view text);
