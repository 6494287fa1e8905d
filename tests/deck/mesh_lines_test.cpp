// Node and element lines of the deck (columns, element shapes, long records) and named selection groups.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <numeric>

#include "deck/deck_file.h"
#include "deck_test_support.h"

namespace {

std::vector<std::string> Written(const std::function<void(DorvixDeckFile&)>& write) {
    std::vector<std::string> lines = decktest::DeckLines(write);
    lines.erase(lines.begin(), lines.begin() + 5);
    return lines;
}

std::vector<int> Sequence(int n) {
    std::vector<int> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), 1);
    return v;
}

}  // namespace

TEST(NodeLines, FixedColumnsWithThreeDigitExponents) {
    const auto lines = Written([](DorvixDeckFile& d) {
        d.WriteNode(12, 1.0, -0.5, 0.0);
        d.WriteNode(-3, 123456.789, 1e-300, -1e300);
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "        12    1.000000000E+000   -5.000000000E-001    0.000000000E+000");
    EXPECT_EQ(lines[0].size(), 70u);
    EXPECT_EQ(lines[1], "        -3    1.234567890E+005    1.000000000E-300   -1.000000000E+300");
}

TEST(ElementLines, LinearShapes) {
    const int tet[] = {10, 11, 12, 13};
    const std::vector<int> n = Sequence(8);
    const auto lines = Written([&](DorvixDeckFile& d) {
        d.WriteTetra(7, 4, tet);
        d.WriteHexa(2, 8, n.data());
        d.WriteWedge(4, 6, n.data());
        d.WritePyramid(6, 5, n.data());
    });
    const std::vector<std::string> expected = {"    I 7 N 10 11 12 0 13", "    I 2 N 1 2 3 4 0 5 6 7 8",
                                               "    I 4 N 1 2 3 0 4 5 6", "    I 6 N 1 2 3 4 0 5 5 5 5"};
    EXPECT_EQ(lines, expected);
}

TEST(ElementLines, QuadraticShapesNegateMidSideNodes) {
    const std::vector<int> n = Sequence(20);
    const auto lines = Written([&](DorvixDeckFile& d) {
        d.WriteTetra(1, 10, n.data());
        d.WriteWedge(5, 15, n.data());
        d.WritePyramid(7, 13, n.data());
        d.WriteHexa(3, 20, n.data());
    });
    const std::vector<std::string> expected = {
        "    I 1 N 1 -5 2 -6 3 -7 0 4 0 -8 0 -9 0 -10",
        "    I 5 N 1 -7 2 -8 3 -9 0 4 -10 5 -11 6 -12 0 -13 0 -14 0 -15",
        "    I 7 N 1 -6 2 -7 3 -8 4 -9 0 5 -5 5 -5 5 -5 5 -5 0 -10 0 -11 0 -12 0 -13",
        // 82 characters: cut at the blank before the last node.
        "    I 3 N 1 -9 2 -10 3 -11 4 -12 0 5 -13 6 -14 7 -15 8 -16 0 -17 0 -18 0 -19 0 $", " -20"};
    EXPECT_EQ(lines, expected);
}

// A node list of neither the linear nor the quadratic count is not read past its end: the
// element is left out (the lists below hold exactly the given count).
TEST(ElementLines, NodeCountOfNeitherFormWritesNothing) {
    const auto lines = Written([&](DorvixDeckFile& d) {
        const std::vector<int> seven = Sequence(7);
        d.WriteTetra(1, 7, seven.data());
        const std::vector<int> twelve = Sequence(12);
        d.WriteHexa(2, 12, twelve.data());
        const std::vector<int> nine = Sequence(9);
        d.WriteWedge(3, 9, nine.data());
        const std::vector<int> eight = Sequence(8);
        d.WritePyramid(4, 8, eight.data());
        d.WriteTetra(5, 4, Sequence(4).data());
    });
    EXPECT_EQ(lines, std::vector<std::string>{"    I 5 N 1 2 3 0 4"});
}

TEST(ElementLines, GenericElement) {
    const std::vector<int> n = Sequence(8);
    const auto lines = Written([&](DorvixDeckFile& d) {
        d.WriteElement(8, 3, n.data());
        d.WriteElement(9, 8, n.data());
        d.WriteElement(10, 4, n.data());
        d.WriteElement(11, 0, n.data());
    });
    const std::vector<std::string> expected = {"    I 8 N 1 2 3", "    I 9 N 1 -5 2 -6 3 -7 4 -8",
                                               "    I 10 N 1 2 3 4", "    I 11 N"};
    EXPECT_EQ(lines, expected);
}

TEST(SelectionGroups, HeaderAndIds) {
    int codeNodes = 1, codeElements = 1;
    const auto lines = Written([&](DorvixDeckFile& d) {
        codeNodes = d.WriteSelectionGroup("My group", {3, 1, 2}, true, 4);
        codeElements = d.WriteSelectionGroup("1st_set", {-5, 7}, false, 5);
    });
    EXPECT_EQ(codeNodes, 0);
    EXPECT_EQ(codeElements, 0);
    const std::vector<std::string> expected = {".SEL GROUP 4 NOEUDS NOM \"MY_GROUP\"", " I 1 2 3",
                                               ".SEL GROUP 5 MAILLES NOM \"C_1ST_SET\"", " I -5 7"};
    EXPECT_EQ(lines, expected);
}

TEST(SelectionGroups, RefusedGroupsWriteNothing) {
    std::vector<int> codes;
    const auto lines = Written([&](DorvixDeckFile& d) {
        codes.push_back(d.WriteSelectionGroup("empty", {}, true, 1));
        codes.push_back(d.WriteSelectionGroup("a-b", {1}, true, 1));
        codes.push_back(d.WriteSelectionGroup("x.y", {1}, true, 1));
        codes.push_back(d.WriteSelectionGroup("Static part", {1}, true, 1));
        codes.push_back(d.WriteSelectionGroup("all nodes", {1}, true, 1));
        codes.push_back(d.WriteSelectionGroup("default", {1}, true, 1));
    });
    EXPECT_EQ(codes, std::vector<int>(6, -1));
    EXPECT_TRUE(lines.empty());
}

TEST(SelectionGroups, ThousandIdsAreCutIntoShortRecords) {
    std::set<int> ids;
    for (int i = 1; i <= 1000; ++i) ids.insert(i * 7);
    const auto lines =
        Written([&](DorvixDeckFile& d) { EXPECT_EQ(d.WriteSelectionGroup("big", ids, false, 2), 0); });
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], ".SEL GROUP 2 MAILLES NOM \"BIG\"");
    std::string joined;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 81u);
        std::string record = i == 1 ? lines[i] : lines[i].substr(1);
        if (i + 1 < lines.size()) record.pop_back();
        joined += record;
    }
    std::string expected = " I";
    for (int id : ids) expected += " " + std::to_string(id);
    EXPECT_EQ(joined, expected);
}

// The widest ids: a negated minimum id has eleven characters, and a quadratic hexahedron of
// such ids runs far past one record.
TEST(ElementLines, ExtremeIdsAreWrittenWhole) {
    const int low = -2147483647 - 1;
    std::vector<int> n(20, low);
    n[0] = 2147483647;
    const auto lines = Written([&](DorvixDeckFile& d) { d.WriteHexa(low, 20, n.data()); });
    std::string expected = "    I -2147483648 N 2147483647 2147483648";
    for (int i = 0; i < 3; ++i) expected += " -2147483648 2147483648";
    expected += " 0";
    for (int i = 0; i < 4; ++i) expected += " -2147483648 2147483648";
    for (int i = 0; i < 4; ++i) expected += " 0 2147483648";
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 81u);
        std::string record = i == 0 ? lines[i] : lines[i].substr(1);
        if (i + 1 < lines.size()) {
            EXPECT_EQ(record.back(), '$');
            record.pop_back();
        }
        joined += record;
    }
    EXPECT_EQ(joined, expected);
}

// Enough element lines to cross the output buffer's flush size several times, mixed with
// lines that are cut into records: the file holds every line once, in order.
TEST(ElementLines, ManyLinesAcrossBufferFlushes) {
    std::vector<std::string> expected;
    const auto records = Written([&](DorvixDeckFile& d) {
        char text[128];
        for (int e = 1; e <= 40000; ++e) {
            const int n[8] = {e, e + 1, e + 2, e + 3, 1000000 + e, 1000001 + e, 1000002 + e, 1000003 + e};
            d.WriteHexa(e, 8, n);
            std::snprintf(text, sizeof text, "    I %d N %d %d %d %d 0 %d %d %d %d", e, n[0], n[1], n[2],
                          n[3], n[4], n[5], n[6], n[7]);
            expected.emplace_back(text);
            if (e % 997 == 0) {
                const std::vector<int> q(10, 1234567890);
                d.WriteTetra(e, 10, q.data());
                expected.push_back("    I " + std::to_string(e) +
                                   " N 1234567890 -1234567890 1234567890 -1234567890 1234567890 -1234567890"
                                   " 0 1234567890 0 -1234567890 0 -1234567890 0 -1234567890");
            }
        }
    });
    // Join continuation records back into their logical lines.
    std::vector<std::string> lines;
    bool continued = false;
    for (const std::string& record : records) {
        std::string text = continued ? record.substr(1) : record;
        const bool more = !text.empty() && text.back() == '$';
        if (more) text.pop_back();
        if (continued)
            lines.back() += text;
        else
            lines.push_back(text);
        continued = more;
    }
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], expected[i]) << "line " << i;
    EXPECT_GT(records.size(), lines.size());
}
