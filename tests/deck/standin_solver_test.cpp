// The stand-in solver on its own: a driver file written by hand, so that the checks the job
// runner cannot provoke (several decks, one of them broken) are driven directly.
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

// Runs the stand-in in the folder with dummy.dat as its input and the two-pass chain.
int RunTwoPass(const std::filesystem::path& folder) {
    platform::ChildProcess solver;
    platform::ProcessOptions options;
    options.executable = StandinProgram();
    options.arguments = {"ba,as,ba,as", "dorvix", "n", "1"};
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

}  // namespace
