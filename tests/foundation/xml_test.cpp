// The XML helpers: node queries, typed readers, first matches, building documents, bad input, safe saving.
#include "foundation/xml.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"

namespace {

const char* kSample = R"(<?xml version="1.0"?>
<Settings version="2">
  <Solver>
    <Iterations>  25 </Iterations>
    <Tolerance>1.5e-3</Tolerance>
    <Enabled>True</Enabled>
    <Broken>maybe</Broken>
    <Count>-1</Count>
    <Name>Gr&#xFC;n</Name>
  </Solver>
  <Step id="1"/>
  <Step id="2"/>
</Settings>)";

class XmlTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(doc.LoadFromText(kSample), S_OK); }
    XmlDocument doc;
};

TEST_F(XmlTest, SelectNodeAndNodes) {
    XmlQuery steps(L"Step");
    EXPECT_TRUE(XmlSelectNodes(doc.Root(), steps));
    ASSERT_EQ(steps.GetNodes().GetLength(), 2);
    std::wstring id;
    EXPECT_TRUE(XmlGetAttribute(steps.GetNodes().Item(1), L"id", id));
    EXPECT_EQ(id, L"2");
    EXPECT_FALSE(steps.GetNodes().Item(2));

    XmlQuery solver(L"Solver");
    EXPECT_TRUE(XmlSelectNode(doc.Root(), solver));
    EXPECT_EQ(XmlGetName(solver.TakeNode()), L"Solver");
    EXPECT_FALSE(solver.GetNode());

    XmlQuery missing(L"Nothing");
    EXPECT_FALSE(XmlSelectNode(doc.Root(), missing));
    EXPECT_FALSE(XmlSelectNodes(doc.Root(), missing));
    EXPECT_FALSE(XmlSelectNode(XmlNode(), solver));
}

TEST_F(XmlTest, SelectSingleNodeAnswers) {
    XmlNode node;
    EXPECT_EQ(XmlSelectSingleNode(doc.Root(), L"Solver/Tolerance", node), S_OK);
    EXPECT_EQ(XmlGetText(node), L"1.5e-3");
    EXPECT_EQ(XmlSelectSingleNode(doc.Root(), L"Solver/Absent", node), S_FALSE);
    EXPECT_FALSE(node);
    node = doc.Root();
    EXPECT_EQ(XmlSelectSingleNode(XmlNode(), L"Solver", node), E_FAIL);
    EXPECT_EQ(XmlSelectSingleNode(doc.Root(), L"Solver[", node), E_FAIL);  // bad XPath
    EXPECT_EQ(node, doc.Root());
}

TEST_F(XmlTest, TrySelectNode) {
    bool found = false;
    XmlQuery present(L"Solver/Count");
    EXPECT_EQ(XmlTrySelectNode(doc.Root(), present, found), S_OK);
    EXPECT_TRUE(found);
    XmlQuery absent(L"Solver/Absent");
    EXPECT_EQ(XmlTrySelectNode(doc.Root(), absent, found), S_OK);
    EXPECT_FALSE(found);
    EXPECT_EQ(XmlTrySelectNode(XmlNode(), present, found), E_FAIL);
    XmlQuery invalid(L"((");
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(XmlTrySelectNode(doc.Root(), invalid, found), E_FAIL);
}

TEST_F(XmlTest, TypedReaders) {
    XmlNode solver;
    ASSERT_EQ(XmlSelectSingleNode(doc.Root(), L"Solver", solver), S_OK);
    int i = 0;
    XmlQuery iterations(L"Iterations");
    EXPECT_EQ(XmlQueryReadInt(solver, iterations, i), S_OK);
    EXPECT_EQ(i, 25);
    double d = 0;
    XmlQuery tolerance(L"Tolerance");
    EXPECT_EQ(XmlQueryReadDouble(solver, tolerance, d), S_OK);
    EXPECT_EQ(d, 1.5e-3);
    unsigned u = 0;
    XmlQuery count(L"Count");
    EXPECT_EQ(XmlQueryReadUInt(solver, count, u), S_OK);
    EXPECT_EQ(u, 0xFFFFFFFFu);
    std::wstring s;
    XmlQuery name(L"Name");
    EXPECT_EQ(XmlQueryReadString(solver, name, s), S_OK);
    EXPECT_EQ(s, L"Gr\u00fcn");
    XmlQuery version(L"/Settings/@version");
    EXPECT_EQ(XmlQueryReadInt(solver, version, i), S_OK);
    EXPECT_EQ(i, 2);
    bool b = false;
    XmlQuery enabled(L"Enabled");
    EXPECT_EQ(XmlQueryReadBool(solver, enabled, b), S_OK);
    EXPECT_TRUE(b);

    // Failures leave the values alone.
    XmlQuery absent(L"Absent");
    i = 7;
    EXPECT_EQ(XmlQueryReadInt(solver, absent, i), E_FAIL);
    EXPECT_EQ(XmlQueryReadInt(XmlNode(), iterations, i), E_FAIL);
    EXPECT_EQ(i, 7);
    d = 7;
    EXPECT_EQ(XmlQueryReadDouble(solver, absent, d), E_FAIL);
    EXPECT_EQ(d, 7.0);
    s = L"keep";
    EXPECT_EQ(XmlQueryReadString(solver, absent, s), E_FAIL);
    EXPECT_EQ(s, L"keep");
    XmlQuery broken(L"Broken");
    b = true;
    EXPECT_EQ(XmlQueryReadBool(solver, broken, b), E_FAIL);
    EXPECT_TRUE(b);
    EXPECT_TRUE(XmlQueryExists(solver, broken));
    EXPECT_FALSE(XmlQueryExists(solver, absent));
}

TEST(XmlReadBool, AcceptedTexts) {
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText("<r><a>true</a><b>FALSE</b><c> 1 </c><d>0</d><e>yes</e><f/></r>"), S_OK);
    auto read = [&](const wchar_t* name, bool& value) {
        XmlNode node;
        EXPECT_EQ(XmlSelectSingleNode(doc.Root(), name, node), S_OK) << name;
        return XmlReadBool(node, value);
    };
    bool v = false;
    EXPECT_EQ(read(L"a", v), S_OK);
    EXPECT_TRUE(v);
    EXPECT_EQ(read(L"b", v), S_OK);
    EXPECT_FALSE(v);
    EXPECT_EQ(read(L"c", v), S_OK);
    EXPECT_TRUE(v);
    EXPECT_EQ(read(L"d", v), S_OK);
    EXPECT_FALSE(v);
    v = true;
    EXPECT_EQ(read(L"e", v), E_FAIL);
    EXPECT_EQ(read(L"f", v), E_FAIL);
    EXPECT_EQ(XmlReadBool(XmlNode(), v), E_FAIL);
    EXPECT_TRUE(v);
}

TEST_F(XmlTest, SelectFirstMatch) {
    XmlNode solver;
    ASSERT_EQ(XmlSelectSingleNode(doc.Root(), L"Solver", solver), S_OK);
    std::vector<XmlQuery> queries;
    queries.emplace_back(L"Absent");
    queries.emplace_back(L"Count");
    queries.emplace_back(L"Name");
    const int values[] = {10, 20, 30};
    int value = 0;
    EXPECT_EQ(XmlSelectFirstMatch(solver, values, queries, value), S_OK);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(XmlGetName(queries[1].GetNode()), L"Count");

    const bool flags[] = {true, false, true};
    bool flag = true;
    EXPECT_EQ(XmlSelectFirstMatchBool(solver, flags, queries, flag), S_OK);
    EXPECT_FALSE(flag);

    value = 5;
    EXPECT_EQ(XmlSelectFirstMatch(solver, std::span<const int>(values, 2), queries, value), E_FAIL);
    EXPECT_EQ(XmlSelectFirstMatch(XmlNode(), values, queries, value), E_FAIL);
    std::vector<XmlQuery> none;
    none.emplace_back(L"Absent");
    EXPECT_EQ(XmlSelectFirstMatch(solver, std::span<const int>(values, 1), none, value), E_FAIL);
    EXPECT_EQ(value, 5);
}

TEST(XmlBuild, CreateElementsAttributesAndText) {
    XmlDocument doc;
    XmlNode root;
    ASSERT_EQ(XmlCreateChildElement(doc.Node(), L"Settings", doc.Node(), root), S_OK);
    EXPECT_EQ(XmlSetAttribute(root, L"version", L"1"), S_OK);
    EXPECT_EQ(XmlSetAttribute(root, L"version", L"2"), S_OK);  // replaced, not doubled
    EXPECT_EQ(XmlCreateTextElement(doc.Node(), root, L"Name", L"a<b \u00e9"), S_OK);
    XmlNode child;
    EXPECT_EQ(XmlCreateChildElement(XmlNode(), L"Empty", root, child), S_OK);  // the parent's document
    EXPECT_EQ(XmlOwnerDocument(child), doc.Node());
    EXPECT_EQ(XmlSetElementText(child, L"x"), S_OK);
    EXPECT_EQ(XmlSetElementText(child, L"y"), S_OK);

    XmlDocument other;
    XmlNode foreign = root;
    EXPECT_EQ(XmlCreateChildElement(other.Node(), L"X", root, foreign), E_FAIL);
    EXPECT_FALSE(foreign);
    EXPECT_EQ(XmlCreateChildElement(doc.Node(), L"", root, foreign), E_FAIL);
    EXPECT_EQ(XmlCreateChildElement(doc.Node(), L"X", XmlNode(), foreign), E_FAIL);
    // A second root element would make the saved document unreadable.
    EXPECT_EQ(XmlCreateChildElement(doc.Node(), L"Second", doc.Node(), foreign), E_FAIL);
    EXPECT_FALSE(foreign);
    EXPECT_EQ(XmlCreateTextElement(doc.Node(), XmlNode(), L"X", L"t"), E_FAIL);
    EXPECT_EQ(XmlSetAttribute(XmlNode(), L"a", L"b"), E_FAIL);

    XmlDocument reread;
    ASSERT_EQ(reread.LoadFromText(doc.SaveString()), S_OK);
    XmlNode name;
    ASSERT_EQ(XmlSelectSingleNode(reread.Root(), L"Name", name), S_OK);
    EXPECT_EQ(XmlGetText(name), L"a<b \u00e9");
    XmlNode empty;
    ASSERT_EQ(XmlSelectSingleNode(reread.Root(), L"Empty", empty), S_OK);
    EXPECT_EQ(XmlGetText(empty), L"y");
    std::wstring version;
    EXPECT_TRUE(XmlGetAttribute(reread.Root(), L"version", version));
    EXPECT_EQ(version, L"2");
}

TEST(XmlDocument, MalformedInputAndWhitespace) {
    XmlDocument doc;
    EXPECT_EQ(doc.LoadFromText("<a><b></a>"), E_FAIL);
    EXPECT_FALSE(doc.LastError().empty());
    EXPECT_FALSE(doc.Root());
    ASSERT_EQ(doc.LoadFromText("<a>\n  <b/>\n</a>"), S_OK);
    // Whitespace-only text is dropped: b is the first child.
    EXPECT_EQ(doc.Root().first_child().type(), pugi::node_element);
}

TEST(XmlDocument, SaveReplacesOnlyWhenComplete) {
    const std::filesystem::path folder = platform::CreateUniqueTemporaryFolder("foundation-xml");
    ASSERT_FALSE(folder.empty());
    const std::filesystem::path file = folder / "out.xml";
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText("<a>1</a>"), S_OK);
    ASSERT_EQ(doc.SaveFile(file), S_OK);
    XmlDocument back;
    ASSERT_EQ(back.LoadFile(file), S_OK);
    EXPECT_EQ(XmlGetText(back.Root()), L"1");
    EXPECT_EQ(platform::ListFolder(folder), std::vector<std::string>{"out.xml"});

    // A target that cannot be written (its folder is missing) fails and leaves nothing behind.
    EXPECT_NE(doc.SaveFile(folder / "missing" / "x.xml"), S_OK);
    EXPECT_EQ(back.LoadFile(folder / "absent.xml"), STG_E_FILENOTFOUND);
    {
        std::ofstream bad(folder / "bad.xml");
        bad << "<a>";
    }
    EXPECT_EQ(back.LoadFile(folder / "bad.xml"), E_FAIL);
    platform::DeleteFolderTree(folder);
}

}  // namespace
