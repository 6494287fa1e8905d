// Deck names made upper-case and safe, lenient and strict number parsing, and a pool of narrow copies.
#include "foundation/text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <limits>

#include "platform/text.h"

namespace {

// Stands for one non-ASCII character while a deck name is built; never allowed in a name.
constexpr char kForeign = '\x80';

bool IsBlank(unsigned c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDeckNameChar(char c) { return IsUpperLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

// The first `limit` characters of UTF-8 text, each non-ASCII character as one kForeign.
std::string FirstCharacters(const std::string& name, std::size_t limit) {
    std::string out;
    for (std::size_t i = 0; i < name.size() && out.size() < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c & 0xC0) != 0x80) {
            out += kForeign;  // a lead byte (or a stray byte); continuation bytes are skipped
        }
    }
    return out;
}

// The leading part of text that from_chars can read as a number: blanks skipped, '+' allowed.
std::string_view NumberStart(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    return text.substr(i);
}

// Digits before the decimal point plus the written exponent: a rough decimal magnitude, to
// tell overflow from underflow when from_chars reports a value out of range.
long Magnitude(std::string_view number) {
    long digits = 0;
    std::size_t i = 0;
    while (i < number.size() && number[i] == '0') ++i;
    while (i < number.size() && number[i] >= '0' && number[i] <= '9') ++i, ++digits;
    if (digits == 0 && i < number.size() && number[i] == '.') {
        ++i;
        while (i < number.size() && number[i] == '0') ++i, --digits;
    }
    const std::size_t e = number.find_first_of("eE");
    long exponent = 0;
    if (e != std::string_view::npos && e + 1 < number.size()) {
        const std::size_t start = e + 1 + (number[e + 1] == '+' ? 1 : 0);
        if (std::from_chars(number.data() + start, number.data() + number.size(), exponent).ec != std::errc())
            exponent = number[e + 1] == '-' ? LONG_MIN : LONG_MAX;  // beyond any double
    }
    // Both parts are far beyond any double's range long before the sum could overflow.
    return std::clamp(digits, -100000L, 100000L) + std::clamp(exponent, LONG_MIN / 2, LONG_MAX / 2);
}

std::string AsciiPrefix(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 0 || c > 0x7F) break;
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

bool SanitizeDeckName(const std::string& name, char out[260], bool& repair) {
    std::memset(out, 0, 260);
    std::string result;
    if (!SanitizeDeckName(name, result, repair)) return false;
    std::memcpy(out, result.data(), result.size());
    return true;
}

bool SanitizeDeckName(const std::string& name, std::string& out, bool repair) {
    out.clear();
    std::string text = FirstCharacters(name, kDeckNameLength);
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (text.empty() || !(IsUpperLetter(text[0]) || text[0] == '_')) text = "C_" + text;
    if (text.size() > kDeckNameLength) text.resize(kDeckNameLength);
    for (char& c : text) {
        if (c == ' ') c = '_';
        if (IsDeckNameChar(c)) continue;
        if (!repair) return false;
        c = '_';
    }
    if (text.starts_with("ALL") || text.starts_with("DEFA") || text.starts_with("STAT")) return false;
    out = text;
    return true;
}

double ParseDouble(std::string_view text) {
    bool negative = false;
    const std::string_view number = NumberStart(text, negative);
    // One sign only: "--1" and "+-1" are no numbers.
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Only the part that was read counts: "1e999 to 1e-5" overflows.
        const std::string_view read = number.substr(0, static_cast<std::size_t>(result.ptr - number.data()));
        value = Magnitude(read) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

double ParseDouble(std::wstring_view text) { return ParseDouble(AsciiPrefix(text)); }

int ParseInt(std::string_view text) {
    bool negative = false;
    std::string_view number = NumberStart(text, negative);
    std::size_t digits = 0;
    while (digits < number.size() && number[digits] >= '0' && number[digits] <= '9') ++digits;
    number = number.substr(0, digits);
    long long value = 0;
    for (char c : number) {
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int ParseInt(std::wstring_view text) { return ParseInt(AsciiPrefix(text)); }

bool TryParseDouble(std::string_view text, double& value) {
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    bool negative = false;
    const std::string_view number = NumberStart(text, negative);
    if (number.empty() || number[0] == '+' || number[0] == '-') return false;
    double parsed = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return false;
    value = negative ? -parsed : parsed;
    return true;
}

bool TryParseInt(std::string_view text, int& value) {
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    bool negative = false;
    const std::string_view number = NumberStart(text, negative);
    if (number.empty() || number[0] < '0' || number[0] > '9') return false;
    long long parsed = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return false;
    if (negative) parsed = -parsed;
    if (parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

const char* StringConversionPool::ToMultiByte(std::wstring_view text) {
    strings_.push_back(platform::WideToUtf8(text));
    return strings_.back().c_str();
}
