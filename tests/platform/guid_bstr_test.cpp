// Unique ids as text, length-prefixed strings and their holders, task memory, and UTF-8/UTF-16 conversion.
#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/text.h"

namespace {

constexpr GUID kSolverDb = MakeGuid("75D0B49B-24D5-43F0-B2C0-2365563A45CA");

TEST(GuidText, ParsesBracedAndBareFormsInEitherCase) {
    GUID g;
    ASSERT_TRUE(TryParseGuid("{75D0B49B-24D5-43F0-B2C0-2365563A45CA}", g));
    EXPECT_EQ(g, kSolverDb);
    EXPECT_EQ(g.Data1, 0x75D0B49Bu);
    EXPECT_EQ(g.Data2, 0x24D5);
    EXPECT_EQ(g.Data3, 0x43F0);
    EXPECT_EQ(g.Data4[0], 0xB2);
    EXPECT_EQ(g.Data4[7], 0xCA);

    GUID lower;
    ASSERT_TRUE(TryParseGuid("75d0b49b-24d5-43f0-b2c0-2365563a45ca", lower));
    EXPECT_EQ(lower, kSolverDb);
    GUID mixed;  // the category text of the module is written in mixed case
    ASSERT_TRUE(TryParseGuid(L"{179D6D81-459C-42b8-A671-A1BBBDEC9671}", mixed));
    EXPECT_EQ(mixed, MakeGuid("179d6d81-459c-42b8-a671-a1bbbdec9671"));
}

TEST(GuidText, RefusesMalformedTextAndLeavesTheOutputAlone) {
    const char* bad[] = {
        "",
        "{75D0B49B-24D5-43F0-B2C0-2365563A45CA",    // no closing brace
        "75D0B49B-24D5-43F0-B2C0-2365563A45CA}",    // no opening brace
        "{75D0B49B-24D5-43F0-B2C0-2365563A45C}",    // one digit short
        "{75D0B49B-24D5-43F0-B2C0-2365563A45CAA}",  // one digit long
        "{75D0B49B+24D5-43F0-B2C0-2365563A45CA}",   // wrong separator
        "{75D0B49B-24D5-43F0-B2C02-365563A45CA}",   // separator misplaced
        "{75D0B49G-24D5-43F0-B2C0-2365563A45CA}",   // not hex
        "(75D0B49B-24D5-43F0-B2C0-2365563A45CA)",
    };
    for (const char* text : bad) {
        GUID g = kSolverDb;
        EXPECT_FALSE(TryParseGuid(text, g)) << text;
        EXPECT_EQ(g, kSolverDb) << text;
    }
    GUID g = kSolverDb;
    EXPECT_FALSE(TryParseGuid(std::wstring(L"{75D0B49B-24D5-43F0-B2C0-2365563A45\u00C9A}"), g));
}

TEST(GuidText, FormatsBracedUpperCaseAndRoundTrips) {
    EXPECT_EQ(GuidToString(kSolverDb), "{75D0B49B-24D5-43F0-B2C0-2365563A45CA}");
    EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
    GUID back;
    ASSERT_TRUE(TryParseGuid(GuidToString(IID_IUnknown), back));
    EXPECT_EQ(back, IID_IUnknown);
    EXPECT_TRUE(GUID_NULL < kSolverDb);
    EXPECT_FALSE(kSolverDb < kSolverDb);
}

TEST(Bstr, NullReadsAsEmpty) {
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    EXPECT_TRUE(BstrView(nullptr).empty());
    EXPECT_EQ(SysAllocString(static_cast<const OLECHAR*>(nullptr)), nullptr);
    SysFreeString(nullptr);  // harmless
    BstrHolder h;
    EXPECT_TRUE(h.IsNull());
    EXPECT_EQ(h.Str(), L"");
}

TEST(Bstr, KeepsLengthPrefixEmbeddedZerosAndTerminator) {
    BSTR s = SysAllocString(L"Dorvix");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 6u);
    EXPECT_EQ(SysStringByteLen(s), 6u * sizeof(OLECHAR));
    EXPECT_EQ(s[6], L'\0');
    SysFreeString(s);

    const OLECHAR withZero[] = {L'a', L'\0', L'b'};
    BSTR z = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(z), 3u);
    EXPECT_EQ(BstrView(z), std::wstring_view(withZero, 3));
    SysFreeString(z);

    BSTR empty = SysAllocString(std::wstring_view());
    ASSERT_NE(empty, nullptr);  // an empty string is not a null string
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);

    BSTR blank = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(SysStringLen(blank), 4u);
    EXPECT_EQ(BstrView(blank), std::wstring(4, L'\0'));
    SysFreeString(blank);
}

TEST(Bstr, HolderCopiesAndReallocates) {
    BstrHolder a(L"first");
    BstrHolder b = a;
    EXPECT_NE(a.Get(), b.Get());
    EXPECT_EQ(b.Str(), L"first");
    BSTR raw = a.Get();
    ASSERT_TRUE(SysReAllocString(&raw, L"second, longer"));
    a.Detach();
    BstrHolder c = BstrHolder::Attach(raw);
    EXPECT_EQ(c.Str(), L"second, longer");
    EXPECT_FALSE(SysReAllocString(nullptr, L"x"));
}

TEST(Bstr, CopiesAreHandedOutAndStoredWithTheirLengths) {
    const OLECHAR withZero[] = {L'a', L'\0', L'b'};
    BstrHolder source = BstrHolder::Attach(SysAllocStringLen(withZero, 3));
    BstrHolder out;
    EXPECT_EQ(HandOutBstrCopy(source, out.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_NE(out.Get(), source.Get());
    EXPECT_EQ(out.View(), source.View());
    EXPECT_EQ(HandOutBstrCopy(BstrHolder(), out.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(out.IsNull());
    EXPECT_EQ(HandOutBstrCopy(std::wstring_view(), out.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_FALSE(out.IsNull());  // an empty text is handed out as an empty string
    EXPECT_EQ(HandOutBstrCopy(L"x", nullptr), E_POINTER);

    BstrHolder kept;
    EXPECT_EQ(StoreBstrCopy(std::wstring_view(withZero, 3), kept), S_OK);
    EXPECT_EQ(kept.View(), std::wstring_view(withZero, 3));
}

TEST(TaskMemory, AllocatesReallocatesAndFrees) {
    auto* p = static_cast<unsigned char*>(CoTaskMemAlloc(16));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 16; ++i) p[i] = static_cast<unsigned char>(i);
    p = static_cast<unsigned char*>(CoTaskMemRealloc(p, 4096));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[15], 15);
    CoTaskMemFree(p);
    CoTaskMemFree(nullptr);
    void* zero = CoTaskMemAlloc(0);  // a usable, freeable block even for 0 bytes
    EXPECT_NE(zero, nullptr);
    CoTaskMemFree(zero);
}

TEST(TextConversion, RoundTripsAcrossEncodings) {
    const std::wstring wide = L"Temp\u00E9rature \u03C3 = 5 \U0001F600";
    const std::string utf8 = platform::WideToUtf8(wide);
    EXPECT_EQ(utf8, "Temp\xC3\xA9rature \xCF\x83 = 5 \xF0\x9F\x98\x80");
    EXPECT_EQ(platform::Utf8ToWide(utf8), wide);
    const std::u16string utf16 = platform::WideToUtf16(wide);
    ASSERT_EQ(utf16.size(), wide.size() + 1);  // the emoji becomes a surrogate pair
    EXPECT_EQ(utf16[utf16.size() - 2], 0xD83D);
    EXPECT_EQ(utf16.back(), 0xDE00);
    EXPECT_EQ(platform::Utf16ToWide(utf16), wide);
    EXPECT_EQ(platform::Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(platform::Utf16ToUtf8(utf16), utf8);
}

TEST(TextConversion, ReplacesMalformedInputWithoutReadingPastIt) {
    EXPECT_EQ(platform::Utf8ToWide("a\xC3"), L"a\uFFFD");                    // truncated sequence
    EXPECT_EQ(platform::Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(platform::Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(platform::Utf8ToWide("\xFFz"), L"\uFFFDz");
    EXPECT_EQ(platform::Utf16ToWide(std::u16string{0xD800, u'x'}), L"\uFFFDx");
    EXPECT_EQ(platform::Utf16ToWide(std::u16string{0xDC00}), L"\uFFFD");
    EXPECT_EQ(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
}

TEST(TextConversion, AppendsCodePointsAsUnitsOrSurrogatePairs) {
    const struct {
        char32_t c;
        std::u16string utf16;
    } cases[] = {
        {U'A', u"A"},
        {0xFFFF, std::u16string(1, 0xFFFF)},
        {0x10000, std::u16string{0xD800, 0xDC00}},
        {0x1F600, std::u16string{0xD83D, 0xDE00}},
        {0x10FFFF, std::u16string{0xDBFF, 0xDFFF}},
        {0xD800, u"\uFFFD"},  // a surrogate alone is no character
        {0xDFFF, u"\uFFFD"},
        {0x110000, u"\uFFFD"},
        {0xFFFFFFFF, u"\uFFFD"},
    };
    for (const auto& c : cases) {
        std::u16string utf16 = u"<";
        platform::AppendCodePoint(utf16, c.c);
        EXPECT_EQ(utf16, u"<" + c.utf16) << static_cast<std::uint32_t>(c.c);
        std::wstring wide = L"<";
        platform::AppendCodePoint(wide, c.c);
        // Wide text takes the same units where wchar_t has 16 bits, one code point otherwise.
        const char32_t kept = c.utf16 == u"\uFFFD" ? U'\uFFFD' : c.c;
        const std::wstring expected = sizeof(wchar_t) == 2 ? std::wstring(c.utf16.begin(), c.utf16.end())
                                                           : std::wstring(1, static_cast<wchar_t>(kept));
        EXPECT_EQ(wide, L"<" + expected) << static_cast<std::uint32_t>(c.c);
    }
}

}  // namespace
