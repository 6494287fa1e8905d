// The console progress display: plain lines only for a new stage or ten percent, a redrawn line, a cancel.
#include "tools/dorvix/progress_display.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

bool never() { return false; }
bool always() { return true; }

struct Report {
    int overall;
    int messageId;
};

}  // namespace

// Into a file or a pipe a line is written only for a new stage or a move of ten or more.
TEST(ProgressDisplay, PlainLinesOnlyForANewStageOrTenPercent) {
    std::ostringstream out;
    ProgressDisplay display(out, false, &never);
    const Report reports[] = {{1, 101},   {10, 101},  {0, 3001},  {1, 3001},  {9, 3001},  {10, 3001},
                              {16, 3002}, {16, 3002}, {25, 3002}, {26, 3002}, {105, 3002}};
    for (const Report& r : reports) EXPECT_EQ(display.OnProgress(r.overall, 0, r.messageId), 1);
    display.Finish();
    EXPECT_EQ(out.str(),
              "progress:  1% loading model\n"
              "progress:  0% writing deck\n"
              "progress: 10% writing deck\n"
              "progress: 16% solving\n"
              "progress: 26% solving\n"
              "progress:100% solving\n");
}

// At a terminal one line is redrawn for every change and covers the longer line before it.
TEST(ProgressDisplay, ATerminalLineIsRedrawnInPlace) {
    std::ostringstream out;
    ProgressDisplay display(out, true, &never);
    EXPECT_NE(display.OnProgress(5, 50, 3001), 0);
    EXPECT_NE(display.OnProgress(5, 50, 3001), 0);
    EXPECT_NE(display.OnProgress(16, 20, 3002), 0);
    display.Finish();
    EXPECT_EQ(out.str(),
              "\r[#...................]  5% writing deck"
              "\r[###.................] 16% solving     "
              "\n");
}

TEST(ProgressDisplay, ARequestedCancelIsAnsweredAndShown) {
    std::ostringstream out;
    ProgressDisplay display(out, false, &always);
    EXPECT_EQ(display.OnProgress(16, 20, 3002), 0);
    EXPECT_EQ(out.str(), "progress: 16% cancelling\n");
}
