#include "feeder_test_support.h"

namespace feedertest {

std::vector<std::string> FeederUnderTest::CloseDeckLines() {
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return {};
    const std::filesystem::path path = deck->GetWorkingFolder() / "dorvix.dat";
    EXPECT_TRUE(deck->CloseDeck());
    std::vector<std::string> lines = decktest::ReadLines(path);
    EXPECT_GE(lines.size(), 5u);
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(5, lines.size()));
    return lines;
}

}  // namespace feedertest
