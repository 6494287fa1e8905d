// Text helpers: deck names, C-locale number parsing and wide/narrow conversion.
#pragma once

#include <deque>
#include <string>
#include <string_view>

// The longest deck identifier SanitizeDeckName makes.
constexpr std::size_t kDeckNameLength = 32;

// Makes a deck identifier from a name into out (260 bytes, cleared first): at most 32
// characters, upper case, "C_" in front unless it starts with A-Z or '_', cut to 32, blanks
// turned into '_'. Any other character outside A-Z, 0-9 and '_' becomes '_' when repair is
// set and makes the call fail when it is not; a non-ASCII character counts as one character.
// Names beginning "ALL", "DEFA" or "STAT" fail. Answers whether out may be used.
bool SanitizeDeckName(const std::string& name, char out[260], bool& repair);
// The same with a string result (empty on failure).
bool SanitizeDeckName(const std::string& name, std::string& out, bool repair);

// Number parsing as the C runtime does it in the C locale: leading blanks skipped, the
// longest valid prefix taken, 0 when there is none. Doubles that overflow give +-infinity,
// ints that overflow give INT_MAX or INT_MIN.
double ParseDouble(std::string_view text);   // atof
double ParseDouble(std::wstring_view text);  // _wtof
int ParseInt(std::string_view text);         // atoi
int ParseInt(std::wstring_view text);        // _wtoi
// Strict forms for validated input: the whole text (blanks around allowed) must be a number.
bool TryParseDouble(std::string_view text, double& value);
bool TryParseInt(std::string_view text, int& value);

// Keeps the 8-bit copies of wide strings alive until the pool goes away.
class StringConversionPool {
  public:
    // A UTF-8 copy of text owned by the pool; the pointer stays valid while the pool lives.
    const char* ToMultiByte(std::wstring_view text);
    void Clear() { strings_.clear(); }

  private:
    std::deque<std::string> strings_;
};
