// Variant type changes (overflow, rounding, C-locale text, booleans, number text) and variant copies.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/com.h"
#include "platform/safearray.h"

namespace {

HRESULT ChangeText(const wchar_t* text, VARTYPE vt, VariantHolder* out, std::uint16_t flags = 0) {
    VariantHolder in{std::wstring_view(text)};
    return VariantChangeType(out->ReleaseAndGet(), in.Get(), flags, vt);
}

std::wstring AsText(VariantHolder v, std::uint16_t flags = 0) {
    EXPECT_EQ(v.ChangeType(VT_BSTR, flags), S_OK);
    return std::wstring(BstrView(v->bstrVal));
}

TEST(VariantChangeType, NumbersConvertWithOverflowChecks) {
    VariantHolder v(std::int32_t{300});
    VariantHolder out;
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), v.Get(), 0, VT_UI1), DISP_E_OVERFLOW);
    EXPECT_EQ(out.Type(), VT_EMPTY);  // a failed conversion leaves the destination alone
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), v.Get(), 0, VT_I2), S_OK);
    EXPECT_EQ(out->iVal, 300);

    VariantHolder negative(std::int32_t{-1});
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), negative.Get(), 0, VT_UI4), DISP_E_OVERFLOW);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), negative.Get(), 0, VT_R8), S_OK);
    EXPECT_EQ(out->dblVal, -1.0);

    VariantHolder big(3.0e9);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), big.Get(), 0, VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), big.Get(), 0, VT_UI4), S_OK);
    EXPECT_EQ(out->ulVal, 3000000000u);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), big.Get(), 0, VT_I8), S_OK);
    EXPECT_EQ(out->llVal, 3000000000LL);

    VariantHolder huge(1e300);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), huge.Get(), 0, VT_R4), DISP_E_OVERFLOW);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), huge.Get(), 0, VT_I8), DISP_E_OVERFLOW);
    VariantHolder nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), nan.Get(), 0, VT_I4), DISP_E_OVERFLOW);

    // The edges of a 32-bit integer are in range.
    VariantHolder edge(2147483647.0);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), edge.Get(), 0, VT_I4), S_OK);
    EXPECT_EQ(out->lVal, 2147483647);
    VariantHolder past(2147483648.0);
    EXPECT_EQ(VariantChangeType(out.ReleaseAndGet(), past.Get(), 0, VT_I4), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, RealsRoundHalfToEvenWhenMadeIntegers) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4999, 2}, {2.6, 3}, {-0.4, 0}};
    for (const auto& c : cases) {
        VariantHolder v(c.in);
        ASSERT_EQ(v.ChangeType(VT_I4), S_OK) << c.in;
        EXPECT_EQ(v->lVal, c.out) << c.in;
    }
    VariantHolder small(-0.4);
    ASSERT_EQ(small.ChangeType(VT_UI2), S_OK);  // rounds to zero, which fits
    EXPECT_EQ(small->uiVal, 0);
}

TEST(VariantChangeType, TextParsesInTheCLocale) {
    VariantHolder out;
    ASSERT_EQ(ChangeText(L"  1.5e3 ", VT_R8, &out), S_OK);
    EXPECT_EQ(out->dblVal, 1500.0);
    ASSERT_EQ(ChangeText(L"-0.125", VT_R8, &out), S_OK);
    EXPECT_EQ(out->dblVal, -0.125);
    ASSERT_EQ(ChangeText(L".5", VT_R8, &out), S_OK);
    EXPECT_EQ(out->dblVal, 0.5);
    ASSERT_EQ(ChangeText(L"+42", VT_I4, &out), S_OK);
    EXPECT_EQ(out->lVal, 42);
    ASSERT_EQ(ChangeText(L"12.5", VT_I4, &out), S_OK);
    EXPECT_EQ(out->lVal, 12);
    ASSERT_EQ(ChangeText(L"-9223372036854775808", VT_I8, &out), S_OK);
    EXPECT_EQ(out->llVal, std::numeric_limits<std::int64_t>::min());
    ASSERT_EQ(ChangeText(L"1e-400", VT_R8, &out), S_OK);  // underflow is zero, not an error
    EXPECT_EQ(out->dblVal, 0.0);

    EXPECT_EQ(ChangeText(L"1,5", VT_R8, &out), DISP_E_TYPEMISMATCH);  // no decimal comma
    EXPECT_EQ(ChangeText(L"", VT_R8, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"   ", VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"12abc", VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"abc", VT_R8, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"inf", VT_R8, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"nan", VT_R8, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"--1", VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ChangeText(L"1e999", VT_R8, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(ChangeText(L"99999999999999999999", VT_I8, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(ChangeText(L"4294967296", VT_UI4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(out.Type(), VT_EMPTY);
}

TEST(VariantChangeType, TextBecomesBool) {
    const struct {
        const wchar_t* text;
        VARIANT_BOOL value;
    } good[] = {{L"true", VARIANT_TRUE},   {L"TRUE", VARIANT_TRUE},     {L"False", VARIANT_FALSE},
                {L"#TRUE#", VARIANT_TRUE}, {L"#FALSE#", VARIANT_FALSE}, {L"0", VARIANT_FALSE},
                {L"1", VARIANT_TRUE},      {L"-2.5", VARIANT_TRUE},     {L" 0.0 ", VARIANT_FALSE}};
    VariantHolder out;
    for (const auto& c : good) {
        ASSERT_EQ(ChangeText(c.text, VT_BOOL, &out), S_OK) << c.text;
        EXPECT_EQ(out->boolVal, c.value) << c.text;
    }
    for (const wchar_t* bad : {L"yes", L"on", L"", L"tru", L"#true#"})
        EXPECT_EQ(ChangeText(bad, VT_BOOL, &out), DISP_E_TYPEMISMATCH) << bad;
}

TEST(VariantChangeType, NumbersAndBoolsBecomeText) {
    EXPECT_EQ(AsText(VariantHolder(std::int32_t{-17})), L"-17");
    EXPECT_EQ(AsText(VariantHolder(1500.0)), L"1500");
    EXPECT_EQ(AsText(VariantHolder(0.1)), L"0.1");
    EXPECT_EQ(AsText(VariantHolder(1.0 / 3.0)), L"0.333333333333333");
    EXPECT_EQ(AsText(VariantHolder(-2.5e-7)), L"-2.5E-07");
    EXPECT_EQ(AsText(VariantHolder(1e20)), L"1E+20");
    EXPECT_EQ(AsText(VariantHolder(123456789012345.0)), L"123456789012345");
    EXPECT_EQ(AsText(VariantHolder(1234567890123456.0)), L"1.23456789012346E+15");
    EXPECT_EQ(AsText(VariantHolder(0.0001)), L"0.0001");
    EXPECT_EQ(AsText(VariantHolder(-0.0)), L"0");
    EXPECT_EQ(AsText(VariantHolder(true)), L"-1");
    EXPECT_EQ(AsText(VariantHolder(true), VARIANT_ALPHABOOL), L"True");
    EXPECT_EQ(AsText(VariantHolder(false), VARIANT_ALPHABOOL), L"False");
    EXPECT_EQ(AsText(VariantHolder()), L"");
    VariantHolder f;
    f.Get()->vt = VT_R4;
    f.Get()->fltVal = 0.1f;
    EXPECT_EQ(AsText(f), L"0.1");
    // Text written here reads back as the same number.
    VariantHolder back(AsText(VariantHolder(-2.5e-7)));
    ASSERT_EQ(back.ChangeType(VT_R8), S_OK);
    EXPECT_EQ(back->dblVal, -2.5e-7);
}

TEST(VariantChangeType, EmptyNullAndUnknowns) {
    VariantHolder empty;
    ASSERT_EQ(empty.ChangeType(VT_I4), S_OK);
    EXPECT_EQ(empty->lVal, 0);
    VariantHolder null;
    null.Get()->vt = VT_NULL;
    EXPECT_EQ(null.ChangeType(VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(null.ChangeType(VT_BSTR), DISP_E_TYPEMISMATCH);
    VariantHolder bogus;
    bogus.Get()->vt = 99;
    EXPECT_EQ(bogus.ChangeType(VT_I4), DISP_E_BADVARTYPE);
    bogus.Get()->vt = VT_EMPTY;
    VariantHolder number(std::int32_t{5});
    EXPECT_EQ(number.ChangeType(VT_UNKNOWN), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(number->lVal, 5);
}

TEST(Variant, CopyAndClearOwnTheirStringsAndArrays) {
    VariantHolder text(std::wstring_view(L"owned"));
    VariantHolder copy = text;
    EXPECT_NE(copy->bstrVal, text->bstrVal);
    EXPECT_EQ(BstrView(copy->bstrVal), L"owned");

    VariantHolder array;
    array.Get()->vt = VT_ARRAY | VT_BSTR;
    array.Get()->parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
    std::int32_t i = 1;
    BstrHolder item(L"second");
    ASSERT_EQ(SafeArrayPutElement(array->parray, &i, item.Get()), S_OK);
    VariantHolder arrayCopy = array;
    ASSERT_NE(arrayCopy->parray, array->parray);
    BSTR got = nullptr;
    ASSERT_EQ(SafeArrayGetElement(arrayCopy->parray, &i, &got), S_OK);
    EXPECT_EQ(BstrView(got), L"second");
    SysFreeString(got);

    VARIANT self;
    VariantInit(&self);
    EXPECT_EQ(VariantCopy(&self, &self), S_OK);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, ConversionInPlaceReplacesTheOldValue) {
    VariantHolder v(std::wstring_view(L"2.75"));
    ASSERT_EQ(VariantChangeType(v.Get(), v.Get(), 0, VT_R8), S_OK);
    EXPECT_EQ(v.Type(), VT_R8);
    EXPECT_EQ(v->dblVal, 2.75);  // and the string was freed (the sanitizer checks)
}

}  // namespace
