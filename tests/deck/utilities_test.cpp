// Deck helpers: freedom digits, load and support type lists, HTML paragraphs, registry values, counters.
#include <gtest/gtest.h>

#include "deck/addin_utilities.h"
#include "deck/deck_counters.h"
#include "deck/html_paragraphs.h"
#include "deck_test_support.h"
#include "host/string_table.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/text.h"

TEST(DofDigits, MasksAndPlanarModels) {
    EXPECT_EQ(DofMaskToDigits(false, 0x7F), "123456");
    EXPECT_EQ(DofMaskToDigits(true, 0x7F), "126");
    EXPECT_EQ(DofMaskToDigits(false, 0x08), "");
    EXPECT_EQ(DofMaskToDigits(false, 0x50), "46");
    char digits[7] = {'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(DofMaskToDigits(false, 0x77, digits), 0);
    EXPECT_STREQ(digits, "123456");
}

TEST(ObjectTypeLists, LoadsAndSupports) {
    JXList<int> loads(5, 100);
    AddLoadObjectTypes(loads);
    ASSERT_EQ(loads.GetCount(), 28);
    EXPECT_EQ(loads[0], 500);
    EXPECT_EQ(loads[27], 564);
    int count521 = 0, count564 = 0;
    for (int i = 0; i < loads.GetCount(); ++i) {
        count521 += loads[i] == 521;
        count564 += loads[i] == 564;
    }
    EXPECT_EQ(count521, 2);
    EXPECT_EQ(count564, 2);
    JXList<int> supports(5, 100);
    AddSupportObjectTypes(supports);
    ASSERT_EQ(supports.GetCount(), 17);
    EXPECT_EQ(supports[0], 518);
    EXPECT_EQ(supports[16], 538);
}

TEST(HtmlParagraphs, SplitsDropsMarkupAndEmptyParagraphs) {
    EXPECT_TRUE(SplitHtmlParagraphs(L"<HTML><BODY>no paragraphs</BODY></HTML>").empty());
    const auto p = SplitHtmlParagraphs(
        L"<HTML><BODY><P>First <b>bold</b>  line</P><p class=x>\n</p><P>A &amp; B &lt;3&gt; "
        L"&#65;</P></BODY></HTML>");
    EXPECT_EQ(p, (std::vector<std::wstring>{L"First bold line", L"A & B <3> A"}));
    EXPECT_EQ(SplitHtmlParagraphs(L"<BODY><P>one<P>two</BODY>"), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_TRUE(SplitHtmlParagraphs(L"<PRE>not a paragraph</PRE>").empty());
}

TEST(HtmlParagraphs, NumericReferencesReachEveryPlaneAndNoCharacterBecomesAReplacement) {
    const struct {
        std::wstring_view reference;
        char32_t decoded;
    } cases[] = {
        {L"&#65;", U'A'},        {L"&#x1F600;", 0x1F600},
        {L"&#128512;", 0x1F600}, {L"&#X10FFFF;", 0x10FFFF},
        {L"&#xD800;", 0xFFFD},   {L"&#x110000;", 0xFFFD},
        {L"&#0;", 0xFFFD},       {L"&#99999999999999999999;", 0xFFFD},
    };
    for (const auto& c : cases) {
        std::wstring expected = L"x";
        platform::AppendCodePoint(expected, c.decoded);
        EXPECT_EQ(SplitHtmlParagraphs(L"<P>x" + std::wstring(c.reference) + L"</P>"),
                  std::vector<std::wstring>{expected})
            << platform::WideToUtf8(c.reference);
    }
    // Not references: left as written.
    EXPECT_EQ(SplitHtmlParagraphs(L"<P>&#x; &#12 &#\u0663;</P>"),
              std::vector<std::wstring>{L"&#x; &#12 &#\u0663;"});
}

TEST(AddinRegistry, ReadsAndExpandsValues) {
    decktest::ScratchFolder folder;
    decktest::WriteText(
        folder.Path() / "registry.txt",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin]\n"
        "\"InstallDir\"=\"%DECK_TEST_HOME%/addin\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin\\Contacts "
        "Default Options]\n"
        "\"STI\"=\"PROJ 1\"\n");
    platform::ScopedEnvironmentVariable registry("DORVIX_REGISTRY",
                                                 (folder.Path() / "registry.txt").string());
    platform::ScopedEnvironmentVariable home("DECK_TEST_HOME", "/opt/home");
    std::wstring value;
    EXPECT_EQ(GetAddinDirectory(L"", L"InstallDir", value), S_OK);
    EXPECT_EQ(value, L"/opt/home/addin");
    EXPECT_EQ(GetAddinDirectory(L"Contacts Default Options", L"STI", value), S_OK);
    EXPECT_EQ(value, L"PROJ 1");
    wchar_t small[8] = L"keep";
    EXPECT_EQ(GetAddinDirectory(L"", L"InstallDir", small, 8), E_FAIL);  // does not fit
    EXPECT_STREQ(small, L"keep");
    EXPECT_EQ(GetAddinDirectory(L"Contacts Default Options", L"MCT", small, 8), E_FAIL);
    EXPECT_EQ(GetAddinDirectory(L"Nothing", L"STI", small, 8), E_FAIL);
    EXPECT_STREQ(small, L"keep");
}

TEST(DeckCounters, StartAtOneAfterResetAndContactElementsStepByTen) {
    NextFunctionNumber();
    NextSelectionGroupNumber();
    ResetDeckCounters();
    EXPECT_EQ(NextSelectionGroupNumber(), 1);
    EXPECT_EQ(NextSelectionGroupNumber(), 2);
    EXPECT_EQ(NextFunctionNumber(), 1);
    EXPECT_EQ(NextMaterialNumber(), 1);
    EXPECT_EQ(NextTieNumber(), 1);
    EXPECT_EQ(NextContactElementNumber(), 10);
    EXPECT_EQ(NextContactElementNumber(), 20);
    EXPECT_EQ(NextThermalContactNumber(), 1);
    ResetDeckCounters();
    EXPECT_EQ(NextContactElementNumber(), 10);
}

namespace {

class FakeStringList : public ComObject<FakeStringList, IHostStringList> {
  public:
    HRESULT Add(BSTR text) override {
        items.emplace_back(BstrView(text));
        return S_OK;
    }
    HRESULT GetCount(int& count) override {
        count = static_cast<int>(items.size());
        return S_OK;
    }
    HRESULT GetItem(int index, std::wstring& text) override {
        if (index < 0 || index >= static_cast<int>(items.size())) return E_INVALIDARG;
        text = items[static_cast<std::size_t>(index)];
        return S_OK;
    }
    std::vector<std::wstring> items;
};

}  // namespace

TEST(HtmlMessage, ParagraphsGoToTheHostStringList) {
    ScopedComponentClass registration(CLSID_HostStringList, CreatorFor<FakeStringList>());
    ComPtr<IHostStringList> list;
    EXPECT_EQ(
        ListHtmlParagraphs(SysAllocString(L"<P>one</P><P></P><P>two</P>"), list.ReleaseAndGetAddressOf()),
        S_OK);
    ASSERT_TRUE(list);
    int count = 0;
    EXPECT_EQ(list->GetCount(count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ListHtmlParagraphs(SysAllocString(L""), list.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(list->GetCount(count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ListHtmlParagraphs(SysAllocString(L"<P>x</P>"), nullptr), E_POINTER);
}

TEST(HtmlMessage, MissingStringListComponentFails) {
    ComPtr<IHostStringList> list;
    if (IsComponentClassRegistered(CLSID_HostStringList)) GTEST_SKIP() << "a string list is registered";
    EXPECT_EQ(ListHtmlParagraphs(SysAllocString(L"<P>x</P>"), list.ReleaseAndGetAddressOf()), E_FAIL);
    EXPECT_FALSE(list);
}
