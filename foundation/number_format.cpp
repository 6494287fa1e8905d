// Rounding to significant digits (exact 128-bit path, to_chars fallback), the format writers and node lines.
#include "foundation/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// A positive finite value rounded to a number of significant digits: the digits (no trailing
// padding beyond `count`) and the decimal exponent of the first one.
struct DecimalDigits {
    char digits[24];
    int count = 0;
    int exponent = 0;
};

// Splits the scientific text of to_chars ("d.ddde+XX" or "de-XX") into digits and exponent.
void SplitScientific(const char* begin, const char* end, DecimalDigits& out) {
    out.count = 0;
    const char* p = begin;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') out.digits[out.count++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
    out.exponent = exponent;
}

void ExactDigits(double value, int significant, DecimalDigits& out) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    SplitScientific(buffer, result.ptr, out);
}

// Rounds value to `significant` digits (1..17) exactly as the C runtime does. Up to 15 digits
// the shortest round-trip digits are correct whenever they are no longer than asked; when
// longer, rounding them is correct unless they end in an exact tie, which only the exact
// expansion can settle.
void RoundToSignificant(double value, int significant, DecimalDigits& out) {
    // Subnormals carry too few bits for their shortest digits to decide the rounding.
    if (value < 2.2250738585072014e-308) return ExactDigits(value, significant, out);
    // Past 15 digits the decimal grid is as fine as the binary one, so even shortest digits
    // that fit, padded with zeros, are not the rounding of the exact value.
    if (significant > 15) return ExactDigits(value, significant, out);
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    SplitScientific(buffer, result.ptr, out);
    if (out.count <= significant) {
        while (out.count < significant) out.digits[out.count++] = '0';
        return;
    }
    const char next = out.digits[significant];
    bool roundUp = next > '5';
    if (next == '5') {
        bool beyond = false;
        for (int i = significant + 1; i < out.count; ++i) beyond |= out.digits[i] != '0';
        if (!beyond) return ExactDigits(value, significant, out);
        roundUp = true;
    }
    out.count = significant;
    if (!roundUp) return;
    int i = significant - 1;
    while (i >= 0 && out.digits[i] == '9') out.digits[i--] = '0';
    if (i >= 0) {
        ++out.digits[i];
    } else {
        out.digits[0] = '1';
        ++out.exponent;
    }
}

// Two decimal digits per table entry, "00" .. "99".
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Exactly `count` decimal digits of v (v < 10^count, leading zeros written) into p.
void WriteSmallDigits(char* p, std::uint32_t v, int count) {
    while (count >= 2) {
        count -= 2;
        std::memcpy(p + count, kDigitPairs + 2 * (v % 100), 2);
        v /= 100;
    }
    if (count == 1) p[0] = static_cast<char>('0' + v);
}

// Exactly eight decimal digits of v (v < 10^8) into p. The digits are split in the lanes of
// one 64-bit word (two of 4 digits, four of 2, eight of 1), each step dividing every lane at
// once by a multiply and shift, so there is no chain of divisions; lane 0 is the byte
// written first, whatever the byte order.
void WriteEightDigits(char* p, std::uint32_t v) {
    const std::uint64_t fours = (v / 10000) | (static_cast<std::uint64_t>(v % 10000) << 32);
    // x / 100 == (x * 10486) >> 20 for x < 10000.
    const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t twos = hundreds | ((fours - hundreds * 100) << 16);
    // x / 10 == (x * 103) >> 10 for x < 100.
    const std::uint64_t tens = ((twos * 103) >> 10) & 0x000F000F000F000FULL;
    const std::uint64_t ones = tens | ((twos - tens * 10) << 8);
    const std::uint64_t text = ones | 0x3030303030303030ULL;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &text, 8);
    } else {
        for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((text >> (8 * i)) & 0xFF);
    }
}

// Exactly `count` (1..17) digits of v; p has room for 16 bytes beyond the digits.
void WriteDigits(char* p, std::uint64_t v, int count) {
    if (count > 16) {
        WriteSmallDigits(p + count - 8, static_cast<std::uint32_t>(v % 100000000), 8);
        WriteSmallDigits(p, static_cast<std::uint32_t>(v / 100000000), count - 8);
        return;
    }
    char sixteen[32] = {};
    WriteEightDigits(sixteen, static_cast<std::uint32_t>(v / 100000000));
    WriteEightDigits(sixteen + 8, static_cast<std::uint32_t>(v % 100000000));
    std::memcpy(p, sixteen + 16 - count, 16);
}

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL};

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 Wide;

constexpr int kMaxScale = 32;  // 2^53 * 5^32 < 2^128

struct PowersOfFive {
    Wide value[kMaxScale + 1];
    constexpr PowersOfFive() : value() {
        value[0] = 1;
        for (int i = 1; i <= kMaxScale; ++i) value[i] = value[i - 1] * 5;
    }
};
constexpr PowersOfFive kPow5;

// Powers of ten 1e-31 .. 1e18 as the compiler rounds them: comparing a value with them
// settles its decimal exponent except right at a power of ten, where the digits below tell.
constexpr int kLowestPower = -31;
constexpr double kPow10Double[] = {1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22,
                                   1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12,
                                   1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,
                                   1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,
                                   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18};

// Rounds a positive normal value to `significant` (1..17) digits in exact integer arithmetic:
// value = M * 2^E, so value * 10^q = M * 5^q * 2^(E + q), whose integer part and remainder a
// 128-bit product and a shift give exactly; ties go to even as in the C library. Answers
// the digits as an integer of exactly `significant` digits and the decimal exponent of the
// first; false outside the magnitudes the product covers (scales 10^0 .. 10^32), where the
// general path takes over.
inline bool ScaledDigits(double value, int significant, std::uint64_t& digits, int& exponent) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7FF;
    if (biased == 0 || biased == 0x7FF) return false;
    const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int binaryExponent = biased - 1075;
    // floor((biased - 1023) log10 2) is floor(log10 value) or one less.
    int k = ((biased - 1023) * 78913) >> 18;
    const int next = k + 1 - kLowestPower;
    if (next < 0 || next >= static_cast<int>(std::size(kPow10Double))) return false;
    k += value >= kPow10Double[next] ? 1 : 0;
    const std::uint64_t limit = kPow10[significant];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = significant - 1 - k;
        if (scale < 0 || scale > kMaxScale) return false;
        const int shift = -(binaryExponent + scale);
        if (shift < 1 || shift > 127) return false;
        const Wide product = static_cast<Wide>(mantissa) * kPow5.value[scale];
        const Wide scaled = product >> shift;
        if (scaled >= limit) {
            ++k;
            continue;
        }
        const auto whole = static_cast<std::uint64_t>(scaled);
        if (whole < limit / 10) {
            --k;
            continue;
        }
        const Wide remainder = product & ((static_cast<Wide>(1) << shift) - 1);
        const Wide half = static_cast<Wide>(1) << (shift - 1);
        digits = whole + ((remainder > half) | ((remainder == half) & (whole & 1)));
        if (digits == limit) {
            digits /= 10;
            ++k;
        }
        exponent = k;
        return true;
    }
    return false;
}

bool ExactFastDigits(double value, int significant, DecimalDigits& out) {
    std::uint64_t digits;
    if (!ScaledDigits(value, significant, digits, out.exponent)) return false;
    WriteDigits(out.digits, digits, significant);
    out.count = significant;
    return true;
}
#else
bool ScaledDigits(double, int, std::uint64_t&, int&) { return false; }
bool ExactFastDigits(double, int, DecimalDigits&) { return false; }
#endif

// Writes the special values; answers the length, 0 when value is an ordinary number.
int WriteSpecial(char* p, double value) {
    if (std::isnan(value)) {
        std::memcpy(p, "NaN", 3);
        return 3;
    }
    if (std::isinf(value)) {
        if (value < 0) {
            std::memcpy(p, "-Inf", 4);
            return 4;
        }
        std::memcpy(p, "Inf", 3);
        return 3;
    }
    return 0;
}

// 'e' or 'E', the sign and three digits.
char* WriteExponent(char* p, char letter, int exponent) {
    *p++ = letter;
    *p++ = exponent < 0 ? '-' : '+';
    const auto e = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    p[0] = static_cast<char>('0' + e / 100);
    std::memcpy(p + 1, kDigitPairs + 2 * (e % 100), 2);
    return p + 3;
}

int TrimTrailingZeros(const DecimalDigits& d) {
    int n = d.count;
    while (n > 1 && d.digits[n - 1] == '0') --n;
    return n;
}

// General15 into p (room for 32 bytes); answers the end.
char* WriteGeneral15(char* p, double value) {
    if (int n = WriteSpecial(p, value)) return p + n;
    if (value == 0.0) {
        p[0] = '0';
        p[1] = '.';
        return p + 2;
    }
    if (value < 0) {
        *p++ = '-';
        value = -value;
    }
    DecimalDigits d;
    if (!ExactFastDigits(value, 15, d)) RoundToSignificant(value, 15, d);
    const int n = TrimTrailingZeros(d);
    const int m = d.exponent;
    if (m >= -1 && m <= 14) {
        if (m == -1) {
            *p++ = '0';
            *p++ = '.';
            std::memcpy(p, d.digits, n);
            return p + n;
        }
        for (int i = 0; i <= m; ++i) *p++ = i < n ? d.digits[i] : '0';
        *p++ = '.';
        for (int i = m + 1; i < n; ++i) *p++ = d.digits[i];
        return p;
    }
    *p++ = d.digits[0];
    *p++ = '.';
    std::memcpy(p, d.digits + 1, n - 1);
    p += n - 1;
    return WriteExponent(p, 'e', m);
}

// "%20.9E" with a three-digit exponent into p (room for 20 bytes); answers the end. Every
// ordinary number takes 16 or 17 columns, so the padding is written first and the sign, when
// there is one, takes the last blank.
char* WriteE20_9(char* p, double value) {
    if (!std::isfinite(value)) {
        std::memset(p, ' ', 20);
        char* end = p + 20;
        WriteSpecial(end - (value < 0 ? 4 : 3), value);
        return end;
    }
    std::memcpy(p, "    ", 4);
    p[3] = std::signbit(value) && value != 0.0 ? '-' : ' ';
    value = std::fabs(value);
    p += 4;
    std::uint64_t digits = 0;
    int exponent = 0;
    if (value != 0.0 && !ScaledDigits(value, 10, digits, exponent)) {
        DecimalDigits d;
        RoundToSignificant(value, 10, d);
        p[0] = d.digits[0];
        p[1] = '.';
        std::memcpy(p + 2, d.digits + 1, 9);
        return WriteExponent(p + 11, 'E', d.exponent);
    }
    // The first two digits straddle the point.
    const char* firstTwo = kDigitPairs + 2 * (digits / 100000000);
    p[0] = firstTwo[0];
    p[1] = '.';
    p[2] = firstTwo[1];
    WriteEightDigits(p + 3, static_cast<std::uint32_t>(digits % 100000000));
    return WriteExponent(p + 11, 'E', exponent);
}

// "%.<P>g" with a three-digit exponent into p (room for 40 bytes); answers the end.
char* WriteSignificant(char* p, double value, int significant) {
    if (int n = WriteSpecial(p, value)) return p + n;
    if (value == 0.0) {
        *p = '0';
        return p + 1;
    }
    if (value < 0) {
        *p++ = '-';
        value = -value;
    }
    DecimalDigits d;
    if (!ExactFastDigits(value, significant, d)) RoundToSignificant(value, significant, d);
    const int n = TrimTrailingZeros(d);
    const int x = d.exponent;
    if (x >= -4 && x < significant) {
        if (x < 0) {
            *p++ = '0';
            *p++ = '.';
            for (int i = -1; i > x; --i) *p++ = '0';
            std::memcpy(p, d.digits, n);
            return p + n;
        }
        for (int i = 0; i <= x; ++i) *p++ = i < n ? d.digits[i] : '0';
        if (n > x + 1) {
            *p++ = '.';
            for (int i = x + 1; i < n; ++i) *p++ = d.digits[i];
        }
        return p;
    }
    *p++ = d.digits[0];
    if (n > 1) {
        *p++ = '.';
        std::memcpy(p, d.digits + 1, n - 1);
        p += n - 1;
    }
    return WriteExponent(p, 'e', x);
}

// "%8i": the digits right-aligned in at least 8 columns.
char* WriteInt8(char* p, int value) {
    if (value >= 0 && value < 100000000) {
        std::memset(p, ' ', 8);
        auto v = static_cast<std::uint32_t>(value);
        char* q = p + 8;
        while (v >= 100) {
            q -= 2;
            std::memcpy(q, kDigitPairs + 2 * (v % 100), 2);
            v /= 100;
        }
        if (v >= 10) {
            q -= 2;
            std::memcpy(q, kDigitPairs + 2 * v, 2);
        } else {
            *--q = static_cast<char>('0' + v);
        }
        return p + 8;
    }
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    const int length = static_cast<int>(result.ptr - digits);
    for (int i = length; i < 8; ++i) *p++ = ' ';
    std::memcpy(p, digits, length);
    return p + length;
}

int ClampDigits(int digits) { return digits < 1 ? 1 : digits > 17 ? 17 : digits; }

}  // namespace

std::string FormatGeneral15(double value) {
    std::string out;
    AppendGeneral15(out, value);
    return out;
}

void AppendGeneral15(std::string& out, double value) {
    char buffer[40];
    out.append(buffer, WriteGeneral15(buffer, value));
}

std::string FormatE20_9(double value) {
    std::string out;
    AppendE20_9(out, value);
    return out;
}

void AppendE20_9(std::string& out, double value) {
    char buffer[32];
    out.append(buffer, WriteE20_9(buffer, value));
}

std::string FormatSignificant(double value, int digits) {
    std::string out;
    AppendSignificant(out, value, digits);
    return out;
}

void AppendSignificant(std::string& out, double value, int digits) {
    char buffer[48];
    out.append(buffer, WriteSignificant(buffer, value, ClampDigits(digits)));
}

void AppendInt(std::string& out, int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The line is formatted in place at the end of `out`: node sections run to millions of lines,
// and a copy from a scratch buffer per line is measurable there.
void AppendNodeLine(std::string& out, int node, double x, double y, double z) {
    constexpr std::size_t kRoom = 80;  // 2 + 11 + 3 * 20 + 1 = 74 at most
    const std::size_t start = out.size();
    out.resize(start + kRoom);
    char* const begin = out.data() + start;
    char* p = begin;
    *p++ = ' ';
    *p++ = ' ';
    p = WriteInt8(p, node);
    p = WriteE20_9(p, x);
    p = WriteE20_9(p, y);
    p = WriteE20_9(p, z);
    *p++ = '\n';
    out.resize(start + static_cast<std::size_t>(p - begin));
}
