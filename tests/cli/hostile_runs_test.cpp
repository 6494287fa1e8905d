// The built command line on runs a new user may try: two runs in one work folder, a solver that
// leaves processes behind, a project saved over what is no regular file or through a link, a
// work folder whose name is not UTF-8, an output that cannot be written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/cli/cli_run.h"
#include "tests/deck/deck_test_support.h"

namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::Example;
using clitest::StandinSolver;

constexpr int kExitSuccess = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadCase = 2;
constexpr int kExitCancelled = 130;

// Waits up to a minute for a file with a line in it; its first line, or empty.
std::string AwaitLine(const fs::path& file) {
    for (int i = 0; i < 6000; ++i) {
        const std::string text = decktest::ReadText(file);
        if (const std::size_t end = text.find('\n'); end != std::string::npos) return text.substr(0, end);
        platform::SleepMs(10);
    }
    return {};
}

// A solver folder whose Dorvix.exe detaches a helper (in a session of its own, its parent gone)
// that would run for five minutes, writes its id to helper.pid in the work folder and then
// becomes the stand-in solver.
fs::path DetachingSolver(const fs::path& scratch) {
    const fs::path folder = scratch / "detaching-solver";
    EXPECT_TRUE(platform::CreateFolders(folder));
    decktest::WriteText(folder / "Dorvix.exe",
                        "#!/bin/sh\n( setsid sleep 300 > /dev/null 2>&1 & echo $! > helper.pid )\n"
                        "exec \"" +
                            (StandinSolver() / "Dorvix.exe").string() + "\" \"$@\"\n");
    fs::permissions(folder / "Dorvix.exe", fs::perms::owner_all);
    return folder;
}

}  // namespace

// While a run holds its work folder, a second run there is refused at once and names the
// folder and the run that holds it; the first run's files stay its own.
TEST(HostileRuns, ASecondRunInAWorkFolderInUseIsRefusedAtOnce) {
    decktest::ScratchFolder scratch;
    const fs::path work = clitest::HangingWorkFolder(scratch.Path());
    CliRun first(scratch.Path(), "first", {Example().string(), "--work", work.string()});
    ASSERT_FALSE(AwaitLine(work / "dorvix_as.res").empty()) << first.Err();
    const std::string deck = decktest::ReadText(work / "dorvix.dat");

    CliRun second(scratch.Path(), "second", {Example().string(), "--work", work.string()});
    const std::uint64_t started = platform::MonotonicMs();
    EXPECT_EQ(second.Exit(), kExitBadCase);
    EXPECT_LT(platform::MonotonicMs() - started, 30000u);
    EXPECT_EQ(second.Err(), "dorvix: the work folder " + work.string() +
                                " cannot be used: it is in use by another run (process " +
                                std::to_string(first.Id()) + ")\n");
    EXPECT_EQ(decktest::ReadText(work / "dorvix.dat"), deck);

    first.Interrupt();
    EXPECT_EQ(first.Exit(), kExitCancelled) << first.Out();
    // The hold ends with the run that held it.
    EXPECT_FALSE(fs::exists(fs::symlink_status(work / platform::kFolderHoldFileName)));
}

// A helper the solver detached ends with the run, whether the run ends by itself, by Ctrl-C or
// because the command line was terminated.
TEST(HostileRuns, NoProcessTheSolverStartedOutlivesTheRun) {
    enum class Ending { Normal, Interrupted, Terminated };
    for (const Ending ending : {Ending::Normal, Ending::Interrupted, Ending::Terminated}) {
        SCOPED_TRACE(static_cast<int>(ending));
        decktest::ScratchFolder scratch;
        const fs::path work = scratch.Path() / "work";
        ASSERT_TRUE(platform::CreateFolders(work));
        if (ending != Ending::Normal) decktest::WriteText(work / "dorvix-standin.ctl", "hang\n");
        CliRun run(scratch.Path(), "run", {Example().string(), "--work", work.string()},
                   DetachingSolver(scratch.Path()));
        const std::string helper = AwaitLine(work / "helper.pid");
        ASSERT_FALSE(helper.empty()) << run.Err();
        if (ending == Ending::Normal) {
            EXPECT_EQ(run.Exit(), kExitSuccess) << run.Out() << run.Err();
        } else {
            ASSERT_FALSE(AwaitLine(work / "dorvix_as.res").empty());
            const std::vector<int> keeper = platform::ChildProcessIds(run.Id());
            ASSERT_EQ(keeper.size(), 1u);
            if (ending == Ending::Interrupted) {
                run.Interrupt();
                EXPECT_EQ(run.Exit(), kExitCancelled) << run.Out() << run.Err();
            } else {
                ASSERT_EQ(::kill(run.Id(), SIGTERM), 0);
                EXPECT_EQ(run.Exit(), 128 + SIGTERM);
                // What the command line left is handed to this process, which waits for it to end
                // (and ends it, when it does not, so that the test leaves nothing either).
                bool ended = false;
                for (int i = 0; i < 1000 && !ended; ++i, platform::SleepMs(10))
                    ended = ::waitpid(keeper[0], nullptr, WNOHANG) == keeper[0];
                EXPECT_TRUE(ended);
                if (!ended) {
                    (void)platform::KillProcessTree(keeper[0]);
                    ::waitpid(keeper[0], nullptr, 0);
                }
            }
        }
        const int helperId = std::stoi(helper);
        EXPECT_FALSE(platform::ProcessIsAlive(helperId)) << helper;
        if (platform::ProcessIsAlive(helperId))
            ::kill(helperId, SIGKILL);  // not left behind by the test either
    }
}

// The project is written through a link to the link's target, and never over a FIFO.
TEST(HostileRuns, AProjectGoesThroughALinkAndNeverOverWhatIsNoRegularFile) {
    decktest::ScratchFolder scratch;
    const fs::path work = scratch.Path() / "work";
    ASSERT_EQ(::mkfifo((scratch.Path() / "fifo").c_str(), 0644), 0);
    CliRun toFifo(
        scratch.Path(), "fifo",
        {Example().string(), "--work", work.string(), "--save-project", (scratch.Path() / "fifo").string()});
    EXPECT_EQ(toFifo.Exit(), kExitRunFailed);
    const std::string err = toFifo.Err();
    EXPECT_NE(err.find("\ndorvix: cannot save the project " + (scratch.Path() / "fifo").string() + ": "),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("cannot write " + (scratch.Path() / "fifo").string() +
                       ": it is a FIFO, not a regular file\n"),
              std::string::npos)
        << err;
    struct stat info {};
    ASSERT_EQ(::lstat((scratch.Path() / "fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    decktest::WriteText(scratch.Path() / "kept.hostsim", "");
    fs::create_symlink("kept.hostsim", scratch.Path() / "project-link");
    CliRun toLink(scratch.Path(), "link",
                  {Example().string(), "--work", work.string(), "--save-project",
                   (scratch.Path() / "project-link").string()});
    EXPECT_EQ(toLink.Exit(), kExitSuccess) << toLink.Err();
    EXPECT_TRUE(fs::is_symlink(scratch.Path() / "project-link"));
    EXPECT_FALSE(decktest::ReadText(scratch.Path() / "kept.hostsim").empty());
}

// A work folder named under another encoding gets the solve's files and its results are read.
TEST(HostileRuns, AWorkFolderWhoseNameIsNoUtf8GetsItsResults) {
    decktest::ScratchFolder scratch;
    const fs::path work = scratch.Path() / "caf\xE9";
    CliRun run(scratch.Path(), "run", {Example().string(), "--work", work.string()});
    EXPECT_EQ(run.Exit(), kExitSuccess) << run.Out() << run.Err();
    EXPECT_NE(run.Out().find("results:   dorvix_as.des, 1 result set\n"), std::string::npos) << run.Out();
}

// An output that cannot be written is told on standard error: it fails the grid and the help,
// whose output is their work; a solve, whose work is done, keeps its exit code.
TEST(HostileRuns, AnOutputThatCannotBeWrittenIsTold) {
    decktest::ScratchFolder scratch;
    for (const bool grid : {true, false}) {
        const std::string name = grid ? "grid" : "solve";
        fs::create_symlink("/dev/full", scratch.Path() / (name + ".out"));
        CliRun run(
            scratch.Path(), name,
            grid ? std::vector<std::string>{"settings", Example().string()}
                 : std::vector<std::string>{Example().string(), "--work", (scratch.Path() / "w").string()});
        EXPECT_EQ(run.Exit(), grid ? kExitRunFailed : kExitSuccess);
        EXPECT_TRUE(run.Err().ends_with(": the output cannot be written: No space left on device\n"))
            << run.Err();
    }
    fs::create_symlink("/dev/full", scratch.Path() / "help.out");
    EXPECT_EQ(CliRun(scratch.Path(), "help", {"--help"}).Exit(), kExitRunFailed);
}
