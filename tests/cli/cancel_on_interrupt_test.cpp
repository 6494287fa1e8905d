// The built command line driven as a user drives it: a solver that never ends, then Ctrl-C.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"
#include "tests/cli/cli_run.h"
#include "tests/deck/deck_test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitCancelled = 130;

// The first child process of pid within the time-out; -1 when none appeared.
int WaitForChild(int pid, std::uint64_t timeoutMs) {
    const std::uint64_t end = platform::MonotonicMs() + timeoutMs;
    while (platform::MonotonicMs() < end) {
        const std::vector<int> children = platform::ChildProcessIds(pid);
        if (!children.empty()) return children.front();
        platform::SleepMs(20);
    }
    return -1;
}

}  // namespace

// Ctrl-C at a terminal reaches the whole foreground group, the solver too, which may end by it
// before the run sees the cancel; an interrupt sent to the command line alone reaches only it.
// Both are the user cancelling.
TEST(CommandLine, CtrlCCancelsTheRunKillsTheSolverAndExitsWithTheCancelCode) {
    for (const bool wholeGroup : {false, true}) {
        SCOPED_TRACE(wholeGroup ? "the terminal's foreground group" : "the command line alone");
        decktest::ScratchFolder scratch;
        const fs::path work = clitest::HangingWorkFolder(scratch.Path());
        clitest::CliRun cli(scratch.Path(), "run", {clitest::Example().string(), "--work", work.string()},
                            clitest::StandinSolver(), wholeGroup);

        // The solver is the command line's only child: once it runs, the run is under way.
        const int solver = WaitForChild(cli.Id(), 60000);
        ASSERT_GT(solver, 0) << cli.Err();
        platform::SleepMs(200);
        if (wholeGroup)
            cli.InterruptGroup();
        else
            cli.Interrupt();

        const std::uint64_t sent = platform::MonotonicMs();
        const std::optional<int> exit = cli.Exit(15000);
        ASSERT_TRUE(exit.has_value());
        EXPECT_LT(platform::MonotonicMs() - sent, 5000u);
        EXPECT_EQ(exit, kExitCancelled) << cli.Out();
        ASSERT_TRUE(cli.Reap());

        const std::string out = cli.Out();
        EXPECT_NE(out.find("run code:  1 (kRC_Cancelled"), std::string::npos) << out;
        EXPECT_NE(out.find("\ncancelled\n"), std::string::npos) << out;
        EXPECT_NE(cli.Err().find("% cancelling\n"), std::string::npos);
        // Nothing is left: not the solver, and no process the test would have inherited.
        EXPECT_FALSE(platform::ProcessIsAlive(solver));
        EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
    }
}
