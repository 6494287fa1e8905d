// The deck's number texts (fifteen digits, fixed columns, node lines, significant digits) against snprintf.
#include "foundation/number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace {

TEST(General15, WorkedExamples) {
    EXPECT_EQ(FormatGeneral15(1.0), "1.");
    EXPECT_EQ(FormatGeneral15(0.0), "0.");
    EXPECT_EQ(FormatGeneral15(1.0e-20), "1.e-020");
    EXPECT_EQ(FormatGeneral15(1.23456789012345678e17), "1.23456789012346e+017");
    EXPECT_EQ(FormatGeneral15(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral15(0.5), "0.5");
    EXPECT_EQ(FormatGeneral15(100.0), "100.");
    EXPECT_EQ(FormatGeneral15(0.05), "5.e-002");
    EXPECT_EQ(FormatGeneral15(1.0e-6), "1.e-006");
    EXPECT_EQ(FormatGeneral15(2.5), "2.5");
}

TEST(General15, ExponentBoundaries) {
    // m = -1 is the smallest exponent written in fixed notation, m = 14 the largest.
    EXPECT_EQ(FormatGeneral15(0.1), "0.1");
    EXPECT_EQ(FormatGeneral15(0.09), "9.e-002");
    EXPECT_EQ(FormatGeneral15(1e14), "100000000000000.");
    EXPECT_EQ(FormatGeneral15(1e15), "1.e+015");
    EXPECT_EQ(FormatGeneral15(123456789012345.0), "123456789012345.");
    // Rounding to 15 digits decides the exponent: these round up into the next decade.
    EXPECT_EQ(FormatGeneral15(999999999999999.9), "1.e+015");
    EXPECT_EQ(FormatGeneral15(0.09999999999999999), "0.1");
    EXPECT_EQ(FormatGeneral15(9.9999999999999999), "10.");
}

TEST(General15, SignsAndExtremes) {
    EXPECT_EQ(FormatGeneral15(-2.0), "-2.");
    EXPECT_EQ(FormatGeneral15(-0.25), "-0.25");
    EXPECT_EQ(FormatGeneral15(-1.5e-7), "-1.5e-007");
    EXPECT_EQ(FormatGeneral15(DBL_MAX), "1.79769313486232e+308");
    EXPECT_EQ(FormatGeneral15(-DBL_MAX), "-1.79769313486232e+308");
    EXPECT_EQ(FormatGeneral15(DBL_MIN), "2.2250738585072e-308");
    EXPECT_EQ(FormatGeneral15(std::numeric_limits<double>::denorm_min()), "4.94065645841247e-324");
    EXPECT_EQ(FormatGeneral15(210000.0), "210000.");
    EXPECT_EQ(FormatGeneral15(7.85e-9), "7.85e-009");
}

TEST(NumberFormats, SpecialValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatGeneral15(-0.0), "0.");
    EXPECT_EQ(FormatGeneral15(nan), "NaN");
    EXPECT_EQ(FormatGeneral15(inf), "Inf");
    EXPECT_EQ(FormatGeneral15(-inf), "-Inf");
    EXPECT_EQ(FormatE20_9(-0.0), "    0.000000000E+000");
    EXPECT_EQ(FormatE20_9(nan), "                 NaN");
    EXPECT_EQ(FormatE20_9(-inf), "                -Inf");
    EXPECT_EQ(FormatSignificant(-0.0, 6), "0");
    EXPECT_EQ(FormatSignificant(inf, 6), "Inf");
}

TEST(E20_9, ValuesAndWidth) {
    EXPECT_EQ(FormatE20_9(1.0), "    1.000000000E+000");
    EXPECT_EQ(FormatE20_9(-0.5), "   -5.000000000E-001");
    EXPECT_EQ(FormatE20_9(0.0), "    0.000000000E+000");
    EXPECT_EQ(FormatE20_9(0.1), "    1.000000000E-001");
    EXPECT_EQ(FormatE20_9(1e15), "    1.000000000E+015");
    EXPECT_EQ(FormatE20_9(123.456789012345), "    1.234567890E+002");
    EXPECT_EQ(FormatE20_9(9.9999999996), "    1.000000000E+001");
    EXPECT_EQ(FormatE20_9(-DBL_MAX), "   -1.797693135E+308");
    EXPECT_EQ(FormatE20_9(DBL_MIN), "    2.225073859E-308");
    EXPECT_EQ(FormatE20_9(std::numeric_limits<double>::denorm_min()), "    4.940656458E-324");
    // Shortest digits ending in an exact tie are settled by the binary value: 1.0000000005 is
    // stored just above its text and rounds up, 1.0000000015 just below and rounds down.
    EXPECT_EQ(FormatE20_9(1.0000000005), "    1.000000001E+000");
    EXPECT_EQ(FormatE20_9(1.0000000015), "    1.000000001E+000");
    EXPECT_EQ(FormatE20_9(0.125), "    1.250000000E-001");
}

TEST(NodeLine, WorkedExample) {
    std::string line;
    AppendNodeLine(line, 12, 1.0, -0.5, 0.0);
    EXPECT_EQ(line, "        12    1.000000000E+000   -5.000000000E-001    0.000000000E+000\n");
    EXPECT_EQ(line.size(), 71u);
}

TEST(NodeLine, WideAndNegativeIdsAreNotCut) {
    std::string line;
    AppendNodeLine(line, 123456789, 0.0, 0.0, 0.0);
    EXPECT_EQ(line.substr(0, 11), "  123456789");
    line.clear();
    AppendNodeLine(line, -2147483647 - 1, 1.0, 1.0, 1.0);
    EXPECT_EQ(line.substr(0, 13), "  -2147483648");
    line.clear();
    AppendNodeLine(line, 7, 1.5, 2.5, 3.5);
    EXPECT_EQ(line, "         7    1.500000000E+000    2.500000000E+000    3.500000000E+000\n");
}

TEST(Significant, PercentGStyle) {
    EXPECT_EQ(FormatSignificant(1.0, 6), "1");
    EXPECT_EQ(FormatSignificant(0.001, 6), "0.001");
    EXPECT_EQ(FormatSignificant(1e-6, 6), "1e-006");
    EXPECT_EQ(FormatSignificant(0.0001, 6), "0.0001");
    EXPECT_EQ(FormatSignificant(0.00001, 6), "1e-005");
    EXPECT_EQ(FormatSignificant(123456.0, 6), "123456");
    EXPECT_EQ(FormatSignificant(1234567.0, 6), "1.23457e+006");
    EXPECT_EQ(FormatSignificant(0.3048, 6), "0.3048");
    EXPECT_EQ(FormatSignificant(-2.5, 6), "-2.5");
    EXPECT_EQ(FormatSignificant(1.0 / 3.0, 15), "0.333333333333333");
    EXPECT_EQ(FormatSignificant(100.0, 1), "1e+002");
    EXPECT_EQ(FormatSignificant(5.5, 0), "6");  // digits below 1 count as 1
}

TEST(AppendInt, ItoaStyle) {
    std::string s;
    AppendInt(s, -2);
    AppendInt(s, 0);
    AppendInt(s, 2147483647);
    EXPECT_EQ(s, "-202147483647");
}

}  // namespace

namespace {

// The C library writes at least two exponent digits; the deck always has three.
std::string WithThreeDigitExponent(const char* text) {
    std::string s(text);
    const std::size_t e = s.find_first_of("eE");
    if (e == std::string::npos) return s;
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return s.substr(0, e + 2) + digits;
}

// snprintf is the independent oracle for the digits: random doubles of every magnitude and
// the values next to each power of ten, where the exponent and the rounding change.
TEST(NumberFormats, AgreeWithTheCLibrary) {
    std::vector<double> values;
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        double v;
        std::uint64_t bits = state;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
    }
    for (int k = -310; k <= 308; ++k) {
        const double p = std::pow(10.0, k);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, INFINITY), -p});
    }
    for (double v : values) {
        char text[64];
        std::snprintf(text, sizeof text, "%.9E", v);
        std::string expected = WithThreeDigitExponent(text);
        expected.insert(0, 20 - std::min<std::size_t>(20, expected.size()), ' ');
        ASSERT_EQ(FormatE20_9(v), expected) << v;
        std::snprintf(text, sizeof text, "%.6g", v);
        ASSERT_EQ(FormatSignificant(v, 6), WithThreeDigitExponent(text)) << v;
        std::snprintf(text, sizeof text, "%.15g", v);
        ASSERT_EQ(FormatSignificant(v, 15), WithThreeDigitExponent(text)) << v;
    }
}

}  // namespace
