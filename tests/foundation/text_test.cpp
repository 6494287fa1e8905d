// Deck name repair, C-style number parsing, the conversion pool, relative equality, rounding, analysis codes.
#include "foundation/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "foundation/analysis_kind.h"
#include "foundation/locale_text.h"
#include "foundation/numeric.h"
#include "platform/text.h"

namespace {

std::string Sanitize(const std::string& name, bool repair, bool* ok = nullptr) {
    char out[260];
    std::memset(out, 'x', sizeof out);
    bool flag = repair;
    const bool result = SanitizeDeckName(name, out, flag);
    if (ok) *ok = result;
    EXPECT_EQ(out[259], 0);  // the buffer is cleared first
    return result ? std::string(out) : std::string("<fail:") + out + ">";
}

TEST(SanitizeDeckName, UpperCaseBlanksAndPrefix) {
    EXPECT_EQ(Sanitize("Body 1", false), "BODY_1");
    EXPECT_EQ(Sanitize("_part", false), "_PART");
    EXPECT_EQ(Sanitize("1st part", false), "C_1ST_PART");
    EXPECT_EQ(Sanitize("", false), "C_");
}

TEST(SanitizeDeckName, CutTo32Characters) {
    EXPECT_EQ(Sanitize(std::string(40, 'a'), false), std::string(32, 'A'));
    // The prefix counts: 2 + 32 characters are cut back to 32.
    EXPECT_EQ(Sanitize("9" + std::string(40, 'b'), false), "C_9" + std::string(29, 'B'));
}

TEST(SanitizeDeckName, ForbiddenCharacters) {
    bool ok = true;
    Sanitize("a-b", false, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Sanitize("a-b.c", true), "A_B_C");
    // One non-ASCII character is one replacement, not one per byte.
    EXPECT_EQ(Sanitize("Gr\xc3\xbc\xc3\x9f"
                       "e",
                       true),
              "GR__E");
    Sanitize(
        "Gr\xc3\xbc"
        "n",
        false, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Sanitize("\xc3\xa9t\xc3\xa9", true), "C__T_");
}

TEST(SanitizeDeckName, ReservedBeginnings) {
    for (const char* name : {"all_nodes", "Default", "STATIC", "Alloy"}) {
        bool ok = true;
        Sanitize(name, true, &ok);
        EXPECT_FALSE(ok) << name;
    }
    EXPECT_EQ(Sanitize("AL", false), "AL");
    EXPECT_EQ(Sanitize("DEF", false), "DEF");
    EXPECT_EQ(Sanitize("STA", false), "STA");
}

TEST(NumberParsing, CRuntimeStyle) {
    EXPECT_EQ(ParseDouble("  2.5e3xyz"), 2500.0);
    EXPECT_EQ(ParseDouble("+.5"), 0.5);
    EXPECT_EQ(ParseDouble("-7"), -7.0);
    EXPECT_EQ(ParseDouble("abc"), 0.0);
    EXPECT_EQ(ParseDouble(""), 0.0);
    EXPECT_EQ(ParseDouble("1,5"), 1.0);  // the C locale: ',' ends the number
    EXPECT_EQ(ParseDouble("1e999"), INFINITY);
    EXPECT_EQ(ParseDouble("-1e999"), -INFINITY);
    EXPECT_EQ(ParseDouble("1e-999"), 0.0);
    EXPECT_EQ(ParseDouble(L" 3.25"), 3.25);
    EXPECT_EQ(ParseDouble(L"4\u00e9"), 4.0);
    // One sign only, as the C runtime reads it.
    EXPECT_EQ(ParseDouble("--3"), 0.0);
    EXPECT_EQ(ParseDouble("+-3"), 0.0);
    // Overflow is judged on the number that was read, not on text after it.
    EXPECT_EQ(ParseDouble(std::string(400, '9') + " e-999"), INFINITY);
    EXPECT_EQ(ParseDouble("0." + std::string(400, '0') + "1 e999"), 0.0);
    EXPECT_EQ(ParseDouble(std::string(400, '9') + "e"), INFINITY);
    EXPECT_EQ(ParseDouble("1e99999999999999999999999"), INFINITY);
    EXPECT_EQ(ParseDouble("1e-99999999999999999999999"), 0.0);
    EXPECT_EQ(ParseInt(" -42abc"), -42);
    EXPECT_EQ(ParseInt("+7"), 7);
    EXPECT_EQ(ParseInt("x"), 0);
    EXPECT_EQ(ParseInt("3.9"), 3);
    EXPECT_EQ(ParseInt("99999999999"), INT_MAX);
    EXPECT_EQ(ParseInt("-99999999999"), INT_MIN);
    EXPECT_EQ(ParseInt(L"12"), 12);
}

TEST(NumberParsing, StrictForms) {
    double d = 9;
    EXPECT_TRUE(TryParseDouble(" -1.5e2 ", d));
    EXPECT_EQ(d, -150.0);
    d = 9;
    EXPECT_FALSE(TryParseDouble("1.5x", d));
    EXPECT_FALSE(TryParseDouble("", d));
    EXPECT_FALSE(TryParseDouble("--1", d));
    EXPECT_EQ(d, 9.0);
    int i = 9;
    EXPECT_TRUE(TryParseInt("+12", i));
    EXPECT_EQ(i, 12);
    EXPECT_FALSE(TryParseInt("1.0", i));
    EXPECT_FALSE(TryParseInt("4294967296", i));
    EXPECT_EQ(i, 12);
}

TEST(StringConversionPool, KeepsCopiesAlive) {
    StringConversionPool pool;
    const char* a = pool.ToMultiByte(L"\u00e9t\u00e9");
    const char* b = pool.ToMultiByte(L"two");
    for (int i = 0; i < 100; ++i) pool.ToMultiByte(L"filler");
    EXPECT_STREQ(a, "\xc3\xa9t\xc3\xa9");
    EXPECT_STREQ(b, "two");
    EXPECT_EQ(platform::Utf8ToWide(platform::WideToUtf8(L"\U0001F600x")), L"\U0001F600x");
}

TEST(Numeric, AreEqualRelative) {
    EXPECT_TRUE(AreEqualRelative(1.0, 1.0, 0.0));
    EXPECT_TRUE(AreEqualRelative(100.0, 100.5, 0.005));
    EXPECT_FALSE(AreEqualRelative(100.0, 101.0, 0.005));
    EXPECT_TRUE(AreEqualRelative(-2.0, -2.000001, 1e-6));
    EXPECT_TRUE(AreEqualRelative(0.0, 0.0, 0.1));
    EXPECT_FALSE(AreEqualRelative(0.0, 1e-300, 10.0));  // against 0 only an exact 0
    EXPECT_FALSE(AreEqualRelative(NAN, NAN, 1.0));
}

TEST(Numeric, RoundToInt) {
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(2.4), 2);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(-2.4), -2);
    EXPECT_EQ(RoundToInt(0.0), 0);
    // The sum is rounded to single precision first: 2.4999999 + 0.5 becomes 3.0f.
    EXPECT_EQ(RoundToInt(2.4999999), 3);
    EXPECT_EQ(RoundToInt(16777216.4), 16777216);
    EXPECT_EQ(RoundToInt(1e12), INT_MAX);
    EXPECT_EQ(RoundToInt(-1e12), INT_MIN);
    EXPECT_EQ(RoundToInt(NAN), 0);
}

TEST(MapAnalysisKindCode, HostCodesAndTheDefault) {
    EXPECT_EQ(MapAnalysisKindCode(1, 1), 5);
    EXPECT_EQ(MapAnalysisKindCode(1, 3), 8);
    EXPECT_EQ(MapAnalysisKindCode(1, 4), 2);
    EXPECT_EQ(MapAnalysisKindCode(1, 5), 2);
    EXPECT_EQ(MapAnalysisKindCode(1, 9), 10);
    EXPECT_EQ(MapAnalysisKindCode(1, 10), 12);
    EXPECT_EQ(MapAnalysisKindCode(2, 0), 4);
    EXPECT_EQ(MapAnalysisKindCode(2, 2), 4);
    EXPECT_EQ(MapAnalysisKindCode(3, 0), 6);
    EXPECT_EQ(MapAnalysisKindCode(3, 2), 6);
    EXPECT_EQ(MapAnalysisKindCode(5, 0), 9);
    EXPECT_EQ(MapAnalysisKindCode(6, 0), 11);
    EXPECT_EQ(MapAnalysisKindCode(6, 2), 11);
    // Mechanical static and transient, thermal modal and unknown pairs get the default.
    for (auto [physics, analysis] : {std::pair{1, 0}, {1, 2}, {2, 5}, {5, 2}, {0, 0}, {-1, 1}, {4, 0}})
        EXPECT_EQ(MapAnalysisKindCode(physics, analysis), 1) << physics << " " << analysis;
}

TEST(DoubleToLocaleBSTR, SignificantDigitsWithAPoint) {
    EXPECT_EQ(DoubleToLocaleBSTR(1.0, 5, nullptr), E_POINTER);
    BSTR text = nullptr;
    ASSERT_EQ(DoubleToLocaleBSTR(1234.5678, 5, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"1234.6");
    SysFreeString(text);
    ASSERT_EQ(DoubleToLocaleBSTR(-2.5e-7, 3, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"-2.5e-007");
    SysFreeString(text);
    ASSERT_EQ(DoubleToLocaleBSTR(123456.0, 2, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"1.2e+005");
    SysFreeString(text);
}

}  // namespace
