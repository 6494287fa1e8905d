// The ranges and single pairs of capitals and their small letters, and lower-casing of UTF-16 text.
#include "foundation/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// How the upper-case letters of one range map to lower case: by a fixed offset, or (for the
// ranges where capitals and small letters alternate) to the next code point.
enum class Step : std::uint8_t { Offset, EvenToOdd, OddToEven };

struct CaseRange {
    char32_t first;
    char32_t last;
    Step step;
    std::int32_t offset;
};

// Sorted by first code point, without overlaps.
constexpr CaseRange kRanges[] = {
    {0x0041, 0x005A, Step::Offset, 32},    // Basic Latin
    {0x00C0, 0x00D6, Step::Offset, 32},    // Latin-1
    {0x00D8, 0x00DE, Step::Offset, 32},    //
    {0x0100, 0x012F, Step::EvenToOdd, 0},  // Latin Extended-A
    {0x0132, 0x0137, Step::EvenToOdd, 0},  //
    {0x0139, 0x0148, Step::OddToEven, 0},  //
    {0x014A, 0x0177, Step::EvenToOdd, 0},  //
    {0x0179, 0x017E, Step::OddToEven, 0},  //
    {0x0182, 0x0185, Step::EvenToOdd, 0},  // Latin Extended-B, the regular pairs
    {0x01A0, 0x01A5, Step::EvenToOdd, 0},  //
    {0x01CD, 0x01DC, Step::OddToEven, 0},  //
    {0x01DE, 0x01EF, Step::EvenToOdd, 0},  //
    {0x01F8, 0x021F, Step::EvenToOdd, 0},  //
    {0x0222, 0x0233, Step::EvenToOdd, 0},  //
    {0x0246, 0x024F, Step::EvenToOdd, 0},  //
    {0x0370, 0x0373, Step::EvenToOdd, 0},  // Greek
    {0x0388, 0x038A, Step::Offset, 37},    //
    {0x038E, 0x038F, Step::Offset, 63},    //
    {0x0391, 0x03A1, Step::Offset, 32},    //
    {0x03A3, 0x03AB, Step::Offset, 32},    //
    {0x03D8, 0x03EF, Step::EvenToOdd, 0},  //
    {0x0400, 0x040F, Step::Offset, 80},    // Cyrillic
    {0x0410, 0x042F, Step::Offset, 32},    //
    {0x0460, 0x0481, Step::EvenToOdd, 0},  //
    {0x048A, 0x04BF, Step::EvenToOdd, 0},  //
    {0x04C1, 0x04CE, Step::OddToEven, 0},  //
    {0x04D0, 0x052F, Step::EvenToOdd, 0},  //
    {0x0531, 0x0556, Step::Offset, 48},    // Armenian
    {0x10A0, 0x10C5, Step::Offset, 7264},  // Georgian
    {0x1E00, 0x1E95, Step::EvenToOdd, 0},  // Latin Extended Additional
    {0x1EA0, 0x1EFF, Step::EvenToOdd, 0},  //
    {0x1F08, 0x1F0F, Step::Offset, -8},    // Greek Extended
    {0x1F18, 0x1F1D, Step::Offset, -8},    //
    {0x1F28, 0x1F2F, Step::Offset, -8},    //
    {0x1F38, 0x1F3F, Step::Offset, -8},    //
    {0x1F48, 0x1F4D, Step::Offset, -8},    //
    {0x1F68, 0x1F6F, Step::Offset, -8},    //
    {0x2160, 0x216F, Step::Offset, 16},    // Roman numerals
    {0x24B6, 0x24CF, Step::Offset, 26},    // circled letters
    {0x2C00, 0x2C2F, Step::Offset, 48},    // Glagolitic
    {0x2C80, 0x2CE3, Step::EvenToOdd, 0},  // Coptic
    {0xA640, 0xA66D, Step::EvenToOdd, 0},  // Cyrillic Extended-B
    {0xA680, 0xA69B, Step::EvenToOdd, 0},  //
    {0xA722, 0xA72F, Step::EvenToOdd, 0},  // Latin Extended-D
    {0xA732, 0xA76F, Step::EvenToOdd, 0},  //
    {0xFF21, 0xFF3A, Step::Offset, 32},    // fullwidth Latin
    {0x10400, 0x10427, Step::Offset, 40},  // Deseret
};

// Capitals whose small letter lies outside any regular range.
struct CasePair {
    char32_t upper;
    char32_t lower;
};
constexpr CasePair kSingles[] = {
    {0x0130, 0x0069},  // capital I with dot above
    {0x0178, 0x00FF},  // capital Y with diaeresis
    {0x0386, 0x03AC},  // Greek capital alpha with tonos
    {0x038C, 0x03CC},  // Greek capital omicron with tonos
    {0x04C0, 0x04CF},  // Cyrillic palochka
    {0x1E9E, 0x00DF},  // capital sharp s
    {0x2126, 0x03C9},  // ohm sign
    {0x212A, 0x006B},  // kelvin sign
    {0x212B, 0x00E5},  // angstrom sign
};

}  // namespace

char32_t ToLowerUnicode(char32_t c) {
    if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c;
    for (const CasePair& pair : kSingles)
        if (pair.upper == c) return pair.lower;
    const auto* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                         [](char32_t v, const CaseRange& r) { return v < r.first; });
    if (range == std::begin(kRanges)) return c;
    --range;
    if (c > range->last) return c;
    switch (range->step) {
        case Step::Offset:
            return static_cast<char32_t>(static_cast<std::int64_t>(c) + range->offset);
        case Step::EvenToOdd:
            return c % 2 == 0 ? c + 1 : c;
        case Step::OddToEven:
            return c % 2 == 1 ? c + 1 : c;
    }
    return c;
}

std::wstring ToLowerUnicode(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        // Where wide text is UTF-16, a letter beyond U+FFFF arrives as a surrogate pair.
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
                ++i;
                const char32_t lower = ToLowerUnicode(c) - 0x10000;
                out.push_back(static_cast<wchar_t>(0xD800 + (lower >> 10)));
                out.push_back(static_cast<wchar_t>(0xDC00 + (lower & 0x3FF)));
                continue;
            }
        }
        out.push_back(static_cast<wchar_t>(ToLowerUnicode(c)));
    }
    return out;
}
