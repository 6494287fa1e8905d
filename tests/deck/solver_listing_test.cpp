// The solver listing scan for warning and error marks, unreadable listings, work folders and stale files.
#include "deck/solver_listing.h"

#include <gtest/gtest.h>

#include "deck/return_codes.h"
#include "deck_test_support.h"

using decktest::ScratchFolder;
using decktest::WriteText;

namespace {

std::string Lines(int count, int markAt, const std::string& mark) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i == markAt ? mark : " line " + std::to_string(i)) + "\n";
    return text;
}

}  // namespace

TEST(ListingScan, Codes) {
    ScratchFolder folder;
    WriteText("empty.res", "");
    EXPECT_EQ(ScanSolverListing("empty.res"), 0);
    EXPECT_EQ(ScanSolverListing("missing.res"), 6);
    WriteText("warn.res", Lines(30, 10, " %%%A something"));
    EXPECT_EQ(ScanSolverListing("warn.res"), 103);
    WriteText("avert.res", Lines(30, 3, "!%%%AVERTISSEMENT: pivot"));
    EXPECT_EQ(ScanSolverListing("avert.res"), 103);
    WriteText("both.res", Lines(10, 10, " %%%A w") + Lines(10, 10, " %%%E e") + Lines(5, 1, " %%%A w"));
    EXPECT_EQ(ScanSolverListing("both.res"), 104);
    WriteText("other.res", Lines(10, 4, " %%%X other %%%E not first"));
    EXPECT_EQ(ScanSolverListing("other.res"), 0);
}

TEST(ListingScan, OnlyTheFirstMarkerOfALineCounts) {
    ScratchFolder folder;
    WriteText("l.res", " %%%A warning then %%%E error\n");
    EXPECT_EQ(ScanSolverListing("l.res"), 103);
}

TEST(ListingScan, LongLinesAreReadInPieces) {
    ScratchFolder folder;
    WriteText("long.res", std::string(400, 'x') + "%%%E" + std::string(196, 'y') + "\n");
    EXPECT_EQ(ScanSolverListing("long.res"), 104);
    // A piece starting at 558 begins with the marker.
    WriteText("third.res", std::string(558, 'x') + "%%%A" + std::string(20, 'y') + "\n");
    EXPECT_EQ(ScanSolverListing("third.res"), 103);
}

// A listing that cannot be read to its end may hide an error: it is unreadable, not clean.
TEST(ListingScan, UnreadableListingSaysWhy) {
    ScratchFolder folder;
    SolverListingScan scan;
    EXPECT_EQ(scan.ScanFile("missing.res"), kRC_ListingUnreadable);
    EXPECT_EQ(scan.GetFailure(), "cannot open missing.res: No such file or directory");
    platform::CreateFolders(folder.Path() / "dorvix_as.res");
    EXPECT_EQ(scan.ScanFile("dorvix_as.res"), kRC_ListingUnreadable);
    EXPECT_EQ(scan.GetFailure(), "cannot read dorvix_as.res: Is a directory");
    WriteText("clean.res", " line\n");
    EXPECT_EQ(scan.ScanFile("clean.res"), kRC_Success);
    EXPECT_EQ(scan.GetFailure(), "");
}

TEST(WorkFolders, OnlySixCharacterNamesAreRemoved) {
    ScratchFolder folder;
    for (const char* name : {"dorvix123456.dir", "dorvixabcdef.dir"})
        platform::CreateFolders(folder.Path() / name / "sub");
    platform::CreateFolders(folder.Path() / "dorvix12345.dir");
    platform::CreateFolders(folder.Path() / "dorvix1234567.dir");
    EXPECT_EQ(DeleteSolverWorkDirectories(), 1);
    EXPECT_FALSE(platform::FolderExists(folder.Path() / "dorvix123456.dir"));
    EXPECT_FALSE(platform::FolderExists(folder.Path() / "dorvixabcdef.dir"));
    EXPECT_TRUE(platform::FolderExists(folder.Path() / "dorvix12345.dir"));
    EXPECT_TRUE(platform::FolderExists(folder.Path() / "dorvix1234567.dir"));
    EXPECT_EQ(DeleteSolverWorkDirectories(), 0);  // nothing left to remove
}

TEST(StaleFiles, EveryModulesListingsAndResults) {
    const std::vector<std::string> names = StaleSolverFileNames();
    EXPECT_EQ(names.size(), 17u);
    for (const char* name : {"dorvix.spy", "solve.out", "dorvix_as.res", "dorvix_me.des", "dorvix_dy.fac",
                             "dorvix_mt.des", "dorvix_st.res"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
}
