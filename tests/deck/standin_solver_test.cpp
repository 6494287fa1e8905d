// The stand-in solver on its own: a driver file written by hand, so that the checks the job
// runner cannot provoke (several decks, one of them broken, a deck of several read blocks,
// records in unusual forms, a control file out of bounds) are driven directly.
#include <gtest/gtest.h>

#include "deck_test_support.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/process.h"

using decktest::ReadText;
using decktest::ScratchFolder;
using decktest::WriteText;

namespace {

std::filesystem::path StandinProgram() {
    const auto binary = platform::ReadEnvironmentVariable(std::string_view("DORVIX_BINARY_DIR"));
    return std::filesystem::path(binary ? *binary : std::string(DORVIX_BINARY_DIR)) / "solver" / "Dorvix.exe";
}

const char* const kGoodDeck = ".INIT &\n.NOE\n  1  0.0E+000  0.0E+000  0.0E+000\nRETURN\n";

// Runs the stand-in in the folder with dummy.dat as its input and the given module chain.
int RunChain(const std::filesystem::path& folder, const std::string& chain) {
    platform::ChildProcess solver;
    platform::ProcessOptions options;
    options.executable = StandinProgram();
    options.arguments = {chain, "dorvix", "n", "1"};
    options.workingFolder = folder;
    options.extraEnvironment = {
        {"DVX_LANG", "vfr"}, {"DVX_HOME", "."}, {"DVX_ZONE", "1"}, {"DVX_DBRAM", "1"}};
    options.standardInput = folder / "dummy.dat";
    options.standardOutput = folder / "dorvix.out";
    options.standardError = folder / "dorvix_err.out";
    std::string error;
    EXPECT_TRUE(solver.Start(options, &error)) << error;
    solver.WaitAndReap();
    return solver.ExitStatus().value_or(-1);
}

int RunTwoPass(const std::filesystem::path& folder) { return RunChain(folder, "ba,as,ba,as"); }

TEST(StandinSolver, TwoGoodDecksGiveAResultDescription) {
    ScratchFolder folder;
    WriteText(folder.Path() / "prestress.dat", kGoodDeck);
    WriteText(folder.Path() / "dorvix.dat", kGoodDeck);
    WriteText(folder.Path() / "dummy.dat",
              "INPUT.alin_1 \"prestress.dat\"\nINPUT.alin_2 \"dorvix.dat\"\n.FIN 1\n");
    EXPECT_EQ(RunTwoPass(folder.Path()), 0);
    EXPECT_TRUE(platform::FileExists(folder.Path() / "dorvix_as.des"));
    EXPECT_EQ(ReadText(folder.Path() / "dorvix_as.res").find("%%%E"), std::string::npos);
}

// A broken first deck stops the run even when the last deck is sound: no result description
// may suggest that the chain ran.
TEST(StandinSolver, ABrokenEarlierDeckLeavesNoResultDescription) {
    ScratchFolder folder;
    WriteText(folder.Path() / "prestress.dat", ".NOE\n");  // no .INIT, no RETURN
    WriteText(folder.Path() / "dorvix.dat", kGoodDeck);
    WriteText(folder.Path() / "dummy.dat",
              "INPUT.alin_1 \"prestress.dat\"\nINPUT.alin_2 \"dorvix.dat\"\n.FIN 1\n");
    RunTwoPass(folder.Path());
    EXPECT_FALSE(platform::FileExists(folder.Path() / "dorvix_as.des"));
    EXPECT_NE(ReadText(folder.Path() / "dorvix_as.res").find("%%%E"), std::string::npos);
}

// Records that straddle the boundaries of the blocks the deck is read in, continued lines
// among them, must all arrive whole: a thermal run lists every node id in its results, and a
// lost or doubled byte anywhere would change an id or spoil a record.
TEST(StandinSolver, ADeckOfManyReadBlocksIsReadWhole) {
    ScratchFolder folder;
    constexpr int kNodes = 120000;  // about 2.8 MB of node records
    std::string deck = ".INIT &\n.NOE\n";
    std::string listed = "set 1 1 1 " + std::to_string(kNodes) + "\n";
    for (int i = 1; i <= kNodes; ++i) {
        const std::string id = std::to_string(1000000000 + i);
        deck += id + (i % 997 == 0 ? " 0E0 1E0 $\n  2E0\n" : " 0E0 1E0 2E0\n");
        listed += "  " + id + " 295.15\n";  // room temperature in a deck without a unit line: kelvin
    }
    WriteText(folder.Path() / "dorvix.dat", deck + "RETURN\n");
    WriteText(folder.Path() / "dummy.dat", "INPUT.mcnlth \"dorvix.dat\"\n.FIN 1\n");
    EXPECT_EQ(RunChain(folder.Path(), "ba,mt"), 0);
    const std::string listing = ReadText(folder.Path() / "dorvix_mt.res");
    EXPECT_NE(listing.find("deck dorvix.dat: 120000 nodes, 0 elements\n"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("%%%E"), std::string::npos) << listing;
    const std::string des = ReadText(folder.Path() / "dorvix_mt.des");
    EXPECT_TRUE(des.find(listed + "end\n") != std::string::npos);
}

// The writer's own record forms are taken by a shortcut; a record in any other spacing or form
// must be judged as before, the shortcut or not.
TEST(StandinSolver, NodeAndElementRecordsAreRecognisedInEveryForm) {
    const struct {
        const char* record;
        int nodes;
        int elements;
    } kCases[] = {
        {"         1    0.000000000E+000    0.000000000E+000    0.000000000E+000", 1, 0},
        {"         2   -1.000000000E+279    2.000000000E-003   -3.000000000E+000", 1, 0},
        {"         3    1.000000000E+280    2.000000000E-003   -3.000000000E+000", 1, 0},
        {" 123456789\t1.5E+000 -2 3e1", 1, 0},
        {"1234567890    1.000000000E+000    2.000000000E+000    3.000000000E+000", 1, 0},
        {"9999999999    1.000000000E+000    2.000000000E+000    3.000000000E+000", 0, 0},
        {"         4    1.000000000E+999    0.000000000E+000    0.000000000E+000", 0, 0},
        {"         5    1.000000000    2.000000000E+000    3.000000000E+000", 0, 0},
        {"         6    1.000000000E+000    2.000000000E+000", 0, 0},
        {"    I 1 N 1 2 102 101 0 10001 10002 10102 10101", 0, 1},
        {"    I 2 N", 0, 1},
        {"    I x N 1 2 x", 0, 1},
        {"    I 3 M 1 2", 0, 0},
    };
    for (const auto& c : kCases) {
        ScratchFolder folder;
        WriteText(folder.Path() / "dorvix.dat", std::string(".INIT &\n") + c.record + "\nRETURN\n");
        WriteText(folder.Path() / "dummy.dat", "INPUT.alin \"dorvix.dat\"\n.FIN 1\n");
        EXPECT_EQ(RunChain(folder.Path(), "ba,as"), 0) << c.record;
        const std::string counts = "deck dorvix.dat: " + std::to_string(c.nodes) + " nodes, " +
                                   std::to_string(c.elements) + " elements\n";
        EXPECT_NE(ReadText(folder.Path() / "dorvix_as.res").find(counts), std::string::npos) << c.record;
    }
}

// Each mode is a result set written out; a count past the documented maximum is refused like
// any other bad directive instead of exhausting memory.
TEST(StandinSolver, ModeCountsAreBounded) {
    const struct {
        const char* directive;
        bool accepted;
    } kCases[] = {{"modes 0", true},           {"modes 10000", true}, {"modes 10001", false},
                  {"modes 2000000000", false}, {"modes -1", false},   {"modes 99999999999", false}};
    for (const auto& c : kCases) {
        ScratchFolder folder;
        WriteText(folder.Path() / "dorvix.dat", kGoodDeck);
        WriteText(folder.Path() / "dummy.dat", "INPUT.vibra \"dorvix.dat\"\n.FIN 1\n");
        WriteText(folder.Path() / "dorvix-standin.ctl", std::string(c.directive) + "\n");
        EXPECT_EQ(RunChain(folder.Path(), "ba,dy"), 0) << c.directive;
        EXPECT_EQ(platform::FileExists(folder.Path() / "dorvix_dy.des"), c.accepted) << c.directive;
        const std::string listing = ReadText(folder.Path() / "dorvix_dy.res");
        const std::string refusal =
            " %%%E control file: " + std::string(c.directive) + " (a count from 0 to 10000 is expected)\n";
        EXPECT_EQ(listing.find(refusal) != std::string::npos, !c.accepted) << c.directive << "\n" << listing;
        if (c.accepted) {
            const std::string count = std::string(c.directive).substr(6);
            EXPECT_NE(ReadText(folder.Path() / "dorvix_dy.des").find("sets " + count + "\n"),
                      std::string::npos);
        }
    }
}

// A thermal run's node temperature is room temperature in the temperature unit the deck's
// unit lines choose, unless the control file gives one (in the deck's unit).
TEST(StandinSolver, NodeTemperaturesAreRoomTemperatureInTheDeckUnit) {
    const struct {
        const char* unitLines;
        const char* control;
        const char* value;
    } kCases[] = {{"", "", "295.15"},
                  {".UNIT MM\n.UNIT KELVIN\n", "", "295.15"},
                  {".UNIT SI\n.UNIT CELSIUS\n", "", "22"},
                  {"! TODO tbdowner BIN units.\n.UNIT FAH\n", "", "71.6"},
                  {".UNIT FAH\n", "temperature 500\n", "500"}};
    for (const auto& c : kCases) {
        ScratchFolder folder;
        WriteText(
            folder.Path() / "dorvix.dat",
            std::string(".INIT &\n.NOE\n  1  0.0E+000  0.0E+000  0.0E+000\n") + c.unitLines + "RETURN\n");
        WriteText(folder.Path() / "dummy.dat", "INPUT.mcnlth \"dorvix.dat\"\n.FIN 1\n");
        WriteText(folder.Path() / "dorvix-standin.ctl", c.control);
        EXPECT_EQ(RunChain(folder.Path(), "ba,mt"), 0) << c.unitLines;
        EXPECT_NE(ReadText(folder.Path() / "dorvix_mt.des").find("\n  1 " + std::string(c.value) + "\nend\n"),
                  std::string::npos)
            << c.unitLines << c.control;
    }
}

}  // namespace
