// Each keyword-and-value pattern of the deck with the number-format examples.
#include <gtest/gtest.h>

#include <functional>

#include "deck/deck_file.h"
#include "deck_test_support.h"

namespace {

std::string Line(const std::function<void(DorvixDeckFile&)>& write) {
    std::vector<std::string> lines = decktest::DeckLines(write);
    EXPECT_EQ(lines.size(), 6u);
    return lines.size() == 6 ? lines[5] : std::string();
}

const double kPoint[3] = {1.0, 0.0, -0.5};
const double kVector[3] = {0.05, 100.0, 2.5};
const double kList[2] = {0.5, 2.0};
const int kInts[3] = {3, -4, 5};

}  // namespace

TEST(DeckFields, GeneralNumberFormatExamples) {
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", -2); }), "K -2");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1.0); }), "K 1.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 0.0); }), "K 0.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1.0e-20); }), "K 1.e-020");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1.23456789012345678e17); }), "K 1.23456789012346e+017");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1.0 / 3.0); }), "K 0.333333333333333");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 0.05); }), "K 5.e-002");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 100.0); }), "K 100.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", -0.5); }), "K -0.5");
    // The ends of the fixed range: 0.1 and the fifteen-digit integers stay fixed, anything
    // smaller or from 10 to the 15th on takes the exponent.
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 0.1); }), "K 0.1");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 0.0999999999999999); }), "K 9.99999999999999e-002");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 123456789012345.0); }), "K 123456789012345.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1.0e15); }), "K 1.e+015");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", -1.0e-6); }), "K -1.e-006");
}

TEST(DeckFields, IntegerPatterns1To3) {
    EXPECT_EQ(Line([](auto& d) { d.WriteFields(".A", 7); }), ".A 7");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields(".A", 7, -8); }), ".A 7 -8");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields(".A", 7, -8, 1234567890); }), ".A 7 -8 1234567890");
}

TEST(DeckFields, MixedPatterns4To19) {
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2, "S", 2.5, "T", 3); }), "K 1 2 S 2.5 T 3");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2, "S", 2.5, "T", 0.05); }), "K 1 2 S 2.5 T 5.e-002");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 2.5); }), "K 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 2.5, 100.0); }), "K 2.5 100.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 2.5, "S"); }), "K 2.5 S");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 2); }), "K 1 S 2");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 2, "T", 3); }), "K 1 S 2 T 3");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 2, "T", 3, "U", 4); }), "K 1 S 2 T 3 U 4");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 1.0); }), "K 1 S 1.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 1.0, 0.0); }), "K 1 S 1. 0.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", DeckPoint{kPoint}, "T", 9); }),
              "K 1 S 1. 0. -0.5 T 9");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", DeckPoint{kPoint}, "T", 2.5); }),
              "K 1 S 1. 0. -0.5 T 2.5");
    EXPECT_EQ(
        Line([](auto& d) { d.WriteFields("K", 1, "S", DeckPoint{kPoint}, DeckPoint{kVector}, "T", 9); }),
        "K 1 S 1. 0. -0.5 5.e-002 100. 2.5 T 9");
    EXPECT_EQ(
        Line([](auto& d) { d.WriteFields("K", 1, "S", DeckPoint{kPoint}, DeckPoint{kVector}, "T", 1.0); }),
        "K 1 S 1. 0. -0.5 5.e-002 100. 2.5 T 1.");
    EXPECT_EQ(Line([](auto& d) {
                  d.WriteFields("K", 1, "S", DeckDoubles{kList, 2}, "T", 2.5);
              }),
              "K 1 S 0.5 2. T 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", 2.5, "T", 3, "U", 0.5); }),
              "K 1 S 2.5 T 3 U 0.5");
}

TEST(DeckFields, MixedPatterns20To33) {
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2, "S", 3, 2.5); }), "K 1 2 S 3 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S"); }), "K 1 S");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2.5); }), "K 1 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2, 2.5); }), "K 1 2 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2.5, 0.0); }), "K 1 2.5 0.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, DeckPoint{kPoint}); }), "K 1 1. 0. -0.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", DeckPoint{kPoint}); }), "K 1 S 1. 0. -0.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, "S", DeckDoubles{kList, 2}); }), "K 1 S 0.5 2.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 2.5, "S", 3); }), "K 2.5 S 3");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", "S", DeckPoint{kPoint}, 2.5); }), "K S 1. 0. -0.5 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckPoint{kPoint}); }), "K 1. 0. -0.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckPoint{kPoint}, DeckPoint{kVector}); }),
              "K 1. 0. -0.5 5.e-002 100. 2.5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("! DORVIX", "text"); }), "! DORVIX text");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", "S", "T"); }), "K S T");
}

TEST(DeckFields, ListAndCommentPatterns34To38) {
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckDoubles{kList, 2}); }), "K 0.5 2.");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckDoubles{kList, 0}); }), "K");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckInts{kInts, 3}); }), "K 3 -4 5");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", DeckInts{kInts, -1}); }), "K");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("  YOUNG", 2.5, DeckComment{"Young's modulus"}); }),
              "  YOUNG 2.5\t! Young's modulus");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2.5, DeckComment{"c"}); }), "K 1 2.5\t! c");
    EXPECT_EQ(Line([](auto& d) { d.WriteFields("K", 1, 2, 2.5, DeckComment{"c"}); }), "K 1 2 2.5\t! c");
}

TEST(DeckFields, LongLinesAreWrappedWithoutLimit) {
    std::vector<double> values(60);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = 1.0 / (static_cast<double>(i) + 3.0);
    decktest::ScratchFolder folder;
    decktest::FakeOwner owner;
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), 0);
    deck.WriteFields(".FCT", 1, "V", DeckDoubles{values.data(), static_cast<int>(values.size())});
    deck.CloseDeck();
    const std::vector<std::string> lines = decktest::ReadLines(folder.Path() / "dorvix.dat");
    ASSERT_GT(lines.size(), 5u + 10u);  // 60 values of 17 characters do not fit 255 either
    std::string joined;
    for (std::size_t i = 5; i < lines.size(); ++i) {
        std::string record = i == 5 ? lines[i] : lines[i].substr(1);
        EXPECT_LE(lines[i].size(), 81u);
        if (i + 1 < lines.size()) {
            EXPECT_EQ(record.back(), '$');
            record.pop_back();
        }
        joined += record;
    }
    EXPECT_EQ(joined.substr(0, 27), ".FCT 1 V 0.333333333333333 ");
    EXPECT_EQ(std::count(joined.begin(), joined.end(), ' '), 62);
}
