// The digits of every format against the C library's, on the values where a fast digit
// generator goes wrong first: exact decimal ties, the last bits of the mantissa, the edges of
// decades and the whole range of magnitudes, not only random bit patterns (which are mostly
// far outside the magnitudes of a model).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/number_format.h"

namespace {

std::string ThreeDigitExponent(std::string s) {
    const std::size_t e = s.find_first_of("eE");
    if (e == std::string::npos) return s;
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return s.substr(0, e + 2) + digits;
}

std::string ExpectedE20_9(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9E", v);
    std::string s = ThreeDigitExponent(text);
    return std::string(20 - s.size(), ' ') + s;
}

// The general format rebuilt from the library's 15 rounded digits and exponent.
std::string ExpectedGeneral15(double v) {
    if (v == 0.0) return "0.";
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(v));
    std::string digits = std::string(1, text[0]) + std::string(text + 2, 14);
    const int m = std::atoi(text + 17);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = v < 0 ? "-" : "";
    if (m >= -1 && m <= 14) {
        if (m == -1) return out + "0." + digits;
        while (static_cast<int>(digits.size()) < m + 1) digits.push_back('0');
        return out + digits.substr(0, m + 1) + "." + digits.substr(m + 1);
    }
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%03d", m < 0 ? '-' : '+', std::abs(m));
    return out + digits.substr(0, 1) + "." + digits.substr(1) + exponent;
}

void ExpectAllFormatsAgree(const std::vector<double>& values) {
    for (double v : values) {
        ASSERT_EQ(FormatE20_9(v), ExpectedE20_9(v)) << std::hexfloat << v;
        ASSERT_EQ(FormatGeneral15(v), ExpectedGeneral15(v)) << std::hexfloat << v;
    }
}

std::uint64_t Next(std::uint64_t& state) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return state ^ (state >> 29);
}

TEST(NumberFormatOracle, ExactDecimalTiesRoundToEven) {
    // J / 2^10 with J odd lies exactly halfway between two 10-digit decimals, J / 2^15 between
    // two 15-digit ones; scaling by powers of two and ten moves the tie across magnitudes.
    std::vector<double> values;
    for (int j = 1025; j < 10240; j += 2) values.push_back(j / 1024.0);
    for (int j = 32769; j < 327680; j += 2 * 37) values.push_back(j / 32768.0);
    for (int j = 1; j < 2000; j += 2) {
        values.push_back(j * 0.5);  // n.5 ties at every digit count
        values.push_back(-j * 0.125);
        values.push_back(std::ldexp(j, 20) + 0.5);  // large integers plus one half
    }
    values.push_back(12345678905.0);  // tie at 10 digits above the fast range
    values.push_back(123456789012345.5);
    values.push_back(1234567890123455.0);
    ExpectAllFormatsAgree(values);
}

TEST(NumberFormatOracle, RandomMantissasOverModelMagnitudes) {
    std::vector<double> values;
    std::uint64_t state = 12345;
    for (int i = 0; i < 30000; ++i) {
        const std::uint64_t r = Next(state);
        const int decade = static_cast<int>(r % 50) - 30;  // 1e-30 .. 1e19
        const double unit = static_cast<double>(Next(state) >> 11) * 0x1.0p-53;
        const double v = (1.0 + 9.0 * unit) * std::pow(10.0, decade);
        values.push_back((r >> 40) & 1 ? -v : v);
    }
    ExpectAllFormatsAgree(values);
}

TEST(NumberFormatOracle, MeshCoordinatesAndDecadeEdges) {
    std::vector<double> values;
    for (int i = 0; i < 2000; ++i) values.insert(values.end(), {i * 0.01, i * 0.0125, i * 0.1, -i * 1e-3});
    for (int k = -40; k <= 25; ++k) {
        double p = std::pow(10.0, k);
        for (int step = 0; step < 4; ++step) {
            values.insert(values.end(), {p, -p});
            p = std::nextafter(p, 0.0);
        }
        // Just below a power of ten, where rounding carries into the next decade.
        values.push_back(9.9999999995 * std::pow(10.0, k));
        values.push_back(9.99999999999999951 * std::pow(10.0, k));
    }
    ExpectAllFormatsAgree(values);
}

TEST(NumberFormatOracle, EveryRangeOfBitPatterns) {
    std::vector<double> values;
    std::uint64_t state = 99;
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = Next(state);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
    }
    ExpectAllFormatsAgree(values);
}

TEST(NumberFormatOracle, SignificantAtEveryDigitCount) {
    std::uint64_t state = 7;
    for (int i = 0; i < 3000; ++i) {
        const int decade = static_cast<int>(Next(state) % 40) - 25;
        const double v =
            (1.0 + static_cast<double>(Next(state) >> 11) * 0x1.0p-53 * 9.0) * std::pow(10.0, decade);
        for (int digits = 1; digits <= 17; ++digits) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*g", digits, v);
            ASSERT_EQ(FormatSignificant(v, digits), ThreeDigitExponent(text))
                << std::hexfloat << v << " " << digits;
        }
    }
}

}  // namespace
