#include "foundation/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// Rounds value to `significant` digits (1..17) exactly as the C runtime does. The shortest
// round-trip digits are correct whenever they are no longer than asked; when longer, rounding
// them is correct up to 15 digits unless they end in an exact tie, which only the exact
// expansion can settle.
void RoundToSignificant(double value, int significant, DecimalDigits& out) {
    // Subnormals carry too few bits for their shortest digits to decide the rounding.
    if (value < 2.2250738585072014e-308) return ExactDigits(value, significant, out);
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    SplitScientific(buffer, result.ptr, out);
    if (out.count <= significant) {
        while (out.count < significant) out.digits[out.count++] = '0';
        return;
    }
    if (significant > 15) return ExactDigits(value, significant, out);
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

// Correctly rounded powers of ten 1e-300 .. 1e300, read from their decimal text once.
struct PowersOfTen {
    double value[601];
    PowersOfTen() {
        for (int k = -300; k <= 300; ++k) {
            char text[8] = {'1', 'e'};
            auto end = std::to_chars(text + 2, text + sizeof text, k).ptr;
            std::from_chars(text, end, value[k + 300]);
        }
    }
    double operator()(int k) const { return value[k + 300]; }
};

const PowersOfTen& Pow10() {
    static const PowersOfTen table;
    return table;
}

// Ten significant digits by scaling into [1e9, 1e10) in double arithmetic. The scaled value
// is within 3e-6 of the exact product, so only a fraction that close to one half can round
// the wrong way; those (and magnitudes whose scale factor leaves the table) answer false for
// the exact path.
bool FastTenDigits(double value, DecimalDigits& out) {
    if (!(value >= 1e-290 && value <= 1e290)) return false;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF) - 1022;  // value in [2^(b-1), 2^b)
    // floor((b - 1) log10 2) in integer arithmetic (exact for |b| < 1650): log10(value) lies in
    // [(b - 1) log10 2, b log10 2), so the estimate is exact or one low.
    int exponent = ((binaryExponent - 1) * 78913) >> 18;
    double scaled = value * Pow10()(9 - exponent);
    if (scaled >= 1e10) {
        ++exponent;
        scaled = value * Pow10()(9 - exponent);
    }
    const auto whole = static_cast<std::uint64_t>(scaled);  // positive: truncation is floor
    const double fraction = scaled - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) < 1e-5) return false;
    std::uint64_t digits = whole + (fraction > 0.5 ? 1 : 0);
    if (digits >= 10000000000ULL) {
        digits /= 10;
        ++exponent;
    }
    if (digits < 1000000000ULL) return false;  // estimate too low by more than one: not expected
    for (int i = 9; i >= 0; --i) {
        out.digits[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    out.count = 10;
    out.exponent = exponent;
    return true;
}

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
    unsigned e = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    p[0] = static_cast<char>('0' + e / 100);
    p[1] = static_cast<char>('0' + e / 10 % 10);
    p[2] = static_cast<char>('0' + e % 10);
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
    RoundToSignificant(value, 15, d);
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

// "%20.9E" with a three-digit exponent into p (room for 20 bytes); answers the end.
char* WriteE20_9(char* p, double value) {
    char text[24];
    char* t = text;
    if (int n = WriteSpecial(t, value)) {
        t += n;
    } else {
        DecimalDigits d;
        if (value == 0.0) {
            std::memset(d.digits, '0', 10);
            d.exponent = 0;
        } else {
            if (value < 0) {
                *t++ = '-';
                value = -value;
            }
            if (!FastTenDigits(value, d)) RoundToSignificant(value, 10, d);
        }
        *t++ = d.digits[0];
        *t++ = '.';
        std::memcpy(t, d.digits + 1, 9);
        t = WriteExponent(t + 9, 'E', d.exponent);
    }
    const int length = static_cast<int>(t - text);
    const int pad = 20 - length;
    if (pad > 0) {
        std::memset(p, ' ', pad);
        p += pad;
    }
    std::memcpy(p, text, length);
    return p + length;
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
    RoundToSignificant(value, significant, d);
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

void AppendNodeLine(std::string& out, int node, double x, double y, double z) {
    char buffer[96];
    char* p = buffer;
    *p++ = ' ';
    *p++ = ' ';
    p = WriteInt8(p, node);
    p = WriteE20_9(p, x);
    p = WriteE20_9(p, y);
    p = WriteE20_9(p, z);
    *p++ = '\n';
    out.append(buffer, p);
}
