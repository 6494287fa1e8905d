// The built command line driven as a user drives it: a solver that never ends, then Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/process.h"
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

TEST(CommandLine, CtrlCCancelsTheRunKillsTheSolverAndExitsWithTheCancelCode) {
    decktest::ScratchFolder scratch;
    const fs::path work = scratch.Path() / "work";
    ASSERT_TRUE(platform::CreateFolders(work));
    decktest::WriteText(work / "dorvix-standin.ctl", "hang\n");

    platform::ProcessOptions options;
    options.executable = DORVIX_PROGRAM;
    options.arguments = {(fs::path(DORVIX_SOURCE_DIR) / "examples" / "block").string(), "--work",
                         work.string()};
    options.extraEnvironment = {{"DVX_EXE", (fs::path(DORVIX_BINARY_DIR) / "solver").string()}};
    options.standardOutput = scratch.Path() / "out.txt";
    options.standardError = scratch.Path() / "err.txt";
    platform::ChildProcess cli;
    std::string error;
    ASSERT_TRUE(cli.Start(options, &error)) << error;

    // The solver is the command line's only child: once it runs, the run is under way.
    const int solver = WaitForChild(cli.Id(), 60000);
    ASSERT_GT(solver, 0) << decktest::ReadText(scratch.Path() / "err.txt");
    platform::SleepMs(200);
    ASSERT_EQ(kill(cli.Id(), SIGINT), 0);

    const std::uint64_t sent = platform::MonotonicMs();
    ASSERT_EQ(cli.Wait(15000), platform::WaitResult::Exited);
    EXPECT_LT(platform::MonotonicMs() - sent, 5000u);
    EXPECT_EQ(cli.ExitStatus(), kExitCancelled) << decktest::ReadText(scratch.Path() / "out.txt");
    ASSERT_TRUE(cli.Reap());

    const std::string out = decktest::ReadText(scratch.Path() / "out.txt");
    EXPECT_NE(out.find("run code:  1 (kRC_Cancelled"), std::string::npos) << out;
    EXPECT_NE(out.find("\ncancelled\n"), std::string::npos) << out;
    EXPECT_NE(decktest::ReadText(scratch.Path() / "err.txt").find("% cancelling\n"), std::string::npos);
    // Nothing is left: not the solver, and no process the test would have inherited.
    EXPECT_FALSE(platform::ProcessIsAlive(solver));
    EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
}
