// Node and element records checked eight characters at a time, coordinates by their fixed column places.
#include "writer_record.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Eight characters at a time, read as one word: in every answer below, the high bit of each
// byte says whether the character in that place has the property.
constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

std::uint64_t EightAt(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint64_t DigitPlaces(std::uint64_t word) {
    const std::uint64_t low = word & ~kHighBits;  // so that no sum carries into the next byte
    const std::uint64_t atLeastZero = low + kEveryByte * (0x80 - '0');
    const std::uint64_t pastNine = low + kEveryByte * (0x80 - '9' - 1);
    return atLeastZero & ~pastNine & ~word & kHighBits;
}

std::uint64_t PlacesOf(std::uint64_t word, char c) {
    const std::uint64_t x = word ^ (kEveryByte * static_cast<std::uint8_t>(c));
    return ~(((x & ~kHighBits) + ~kHighBits) | x) & kHighBits;
}

// The first character of [p, end) that is no digit. Runs are short: one at a time is faster
// here than eight.
const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsDigit(*p)) ++p;
    return p;
}

const char* SkipBlanks(const char* p, const char* end) {
    while (p != end && IsDeckBlank(*p)) ++p;
    return p;
}

bool IsDigitOrBlank(char c) { return IsDigit(c) || IsDeckBlank(c); }

// True when every character of [p, end) is a digit or a blank: the node list of an element
// record, long enough to be worth eight at a time.
bool OnlyDigitsAndBlanks(const char* p, const char* end) {
    for (; end - p >= 8; p += 8) {
        const std::uint64_t word = EightAt(p);
        if ((DigitPlaces(word) | PlacesOf(word, ' ')) != kHighBits && !std::all_of(p, p + 8, IsDigitOrBlank))
            return false;
    }
    return std::all_of(p, end, IsDigitOrBlank);
}

// A coordinate in the writer's own column, "%20.9E": three or four blanks, then the plain form
// with nine decimals. Every character is at a known place, so no scan is needed.
bool IsWriterColumn(const char* f) {
    return f[0] == ' ' && f[1] == ' ' && f[2] == ' ' && (f[3] == ' ' || f[3] == '-') && IsDigit(f[4]) &&
           f[5] == '.' && DigitPlaces(EightAt(f + 6)) == kHighBits && IsDigit(f[14]) && f[15] == 'E' &&
           (f[16] == '+' || f[16] == '-') && IsDigit(f[17]) && IsDigit(f[18]) && IsDigit(f[19]) &&
           (f[17] < '2' || (f[17] == '2' && f[18] < '8'));
}

// The three coordinates of a node record as the writer puts them after the id.
bool AreWriterColumns(const char* p, const char* end) {
    return end - p == 60 && IsWriterColumn(p) && IsWriterColumn(p + 20) && IsWriterColumn(p + 40);
}

}  // namespace

const char* MatchPlainNumber(const char* p, const char* end) {
    if (p != end && *p == '-') ++p;
    if (end - p < 7 || !IsDigit(p[0]) || p[1] != '.') return nullptr;
    const char* decimals = p + 2;
    p = decimals;
    // The writer's nine decimals: eight of them checked at once.
    if (end - p >= 8 && DigitPlaces(EightAt(p)) == kHighBits) p += 8;
    p = SkipDigits(p, end);
    if (p - decimals > 17 || end - p < 5 || p[0] != 'E' || (p[1] != '+' && p[1] != '-')) return nullptr;
    if (!IsDigit(p[2]) || !IsDigit(p[3]) || !IsDigit(p[4]) || p[2] > '2' || (p[2] == '2' && p[3] >= '8'))
        return nullptr;
    return p + 5;
}

WriterRecord::WriterRecord(std::string_view line)
    : end_(line.data() + line.size()), first_(SkipBlanks(line.data(), end_)), p_(first_) {}

bool WriterRecord::IsNode(int& id) {
    const char* digits = first_;
    const char* digitsEnd = SkipDigits(digits, end_);
    if (digitsEnd == digits || digitsEnd - digits > 9 || digitsEnd == end_ || !IsDeckBlank(*digitsEnd))
        return false;
    if (!AreWriterColumns(digitsEnd, end_)) {
        p_ = digitsEnd;
        for (int i = 0; i < 3; ++i) {
            p_ = MatchPlainNumber(SkipBlanks(p_, end_), end_);
            if (!p_ || !AtWordEnd()) return false;
        }
        if (SkipBlanks(p_, end_) != end_) return false;
    }
    id = 0;  // nine digits always fit
    for (const char* d = digits; d != digitsEnd; ++d) id = id * 10 + (*d - '0');
    return true;
}

bool WriterRecord::IsElement() {
    p_ = first_;
    if (!Letter('I')) return false;
    const char* digits = SkipBlanks(p_, end_);
    p_ = SkipDigits(digits, end_);
    if (p_ == digits || !AtWordEnd()) return false;
    p_ = SkipBlanks(p_, end_);
    return Letter('N') && OnlyDigitsAndBlanks(p_, end_);
}

bool WriterRecord::Letter(char c) {
    if (p_ == end_ || *p_ != c) return false;
    ++p_;
    return AtWordEnd();
}
