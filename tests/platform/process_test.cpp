// The process layer against real child processes (/bin/sh and /bin/cat).

#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "platform/clock.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;
using platform::ChildProcess;
using platform::ProcessOptions;
using platform::WaitResult;

// The state letter and parent id of a process, from the process table; nothing when the
// process table has no entry for it.
std::optional<std::pair<char, int>> StatOf(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    std::istringstream rest(line.substr(line.rfind(')') + 1));
    char state = 0;
    int parent = 0;
    rest >> state >> parent;
    return std::make_pair(state, parent);
}

// Gone from this process's point of view: no entry, or an entry that is no longer ours.
bool NotOurZombie(int pid) {
    auto st = StatOf(pid);
    return !st || st->second != platform::CurrentProcessId();
}

class ProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = platform::CreateUniqueTemporaryFolder("dorvix-process-");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override { platform::DeleteFolderTree(dir_); }

    ProcessOptions Shell(const std::string& script) {
        ProcessOptions o;
        o.executable = "/bin/sh";
        o.arguments = {"-c", script};
        o.workingFolder = dir_;
        o.standardOutput = dir_ / "out.txt";
        o.standardError = dir_ / "err.txt";
        return o;
    }
    std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Waits up to two seconds for a file holding a process id.
    int ReadPid(const fs::path& p) {
        for (int i = 0; i < 400; ++i) {
            std::string text = Read(p);
            if (!text.empty() && text.back() == '\n') return std::stoi(text);
            platform::SleepMs(5);
        }
        return -1;
    }

    fs::path dir_;
};

TEST_F(ProcessTest, RedirectsAllThreeStreamsAndReportsExitStatus) {
    std::ofstream(dir_ / "dummy.dat") << "INPUT.alin \"dorvix.dat\"\n.FIN 1\n";
    ProcessOptions o;
    o.executable = "/bin/cat";
    o.standardInput = dir_ / "dummy.dat";
    o.standardOutput = dir_ / "dorvix.out";
    o.standardError = dir_ / "dorvix_err.out";
    ChildProcess cat;
    std::string error;
    ASSERT_TRUE(cat.Start(o, &error)) << error;
    EXPECT_EQ(cat.WaitAndReap(), WaitResult::Exited);
    EXPECT_EQ(cat.ExitStatus(), 0);
    EXPECT_EQ(Read(dir_ / "dorvix.out"), "INPUT.alin \"dorvix.dat\"\n.FIN 1\n");
    EXPECT_EQ(Read(dir_ / "dorvix_err.out"), "");

    ChildProcess sh;
    ASSERT_TRUE(sh.Start(Shell("echo to-out; echo to-err >&2; exit 3"), &error)) << error;
    EXPECT_EQ(sh.Wait(10000), WaitResult::Exited);
    EXPECT_EQ(sh.ExitStatus(), 3);
    EXPECT_EQ(sh.TerminatingSignal(), 0);
    EXPECT_EQ(Read(dir_ / "out.txt"), "to-out\n");
    EXPECT_EQ(Read(dir_ / "err.txt"), "to-err\n");
}

TEST_F(ProcessTest, RunsInItsFolderWithExtraEnvironmentAndSharedOutputFile) {
    ProcessOptions o = Shell("pwd; echo \"$DVX_LANG $DVX_HOME\" >&2; cat");  // stdin empty by default
    o.extraEnvironment = {{"DVX_LANG", "vfr"}, {"DVX_HOME", "."}};
    o.standardError = o.standardOutput;
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(o, &error)) << error;
    EXPECT_EQ(child.WaitAndReap(), WaitResult::Exited);
    EXPECT_EQ(Read(dir_ / "out.txt"), fs::canonical(dir_).string() + "\nvfr .\n");
}

TEST_F(ProcessTest, OutputFilesAreCreatedAnew) {
    std::ofstream(dir_ / "out.txt") << "a much longer stale listing from an earlier run\n";
    ChildProcess child;
    ASSERT_TRUE(child.Start(Shell("echo new")));
    child.WaitAndReap();
    EXPECT_EQ(Read(dir_ / "out.txt"), "new\n");
}

TEST_F(ProcessTest, StartFailuresSayWhyAndLeaveNothingRunning) {
    std::string error;
    ProcessOptions o = Shell("exit 0");
    o.executable = dir_ / "Dorvix.exe";
    ChildProcess missing;
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_NE(error.find("Dorvix.exe"), std::string::npos) << error;
    EXPECT_FALSE(missing.IsStarted());
    EXPECT_EQ(missing.Wait(10), WaitResult::Failed);

    o = Shell("exit 0");
    o.standardInput = dir_ / "no-dummy.dat";
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_NE(error.find("no-dummy.dat"), std::string::npos) << error;

    o = Shell("exit 0");
    o.standardOutput = dir_ / "no-such-folder" / "dorvix.out";
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_NE(error.find("dorvix.out"), std::string::npos) << error;

    std::ofstream(dir_ / "not-executable") << "#!/bin/sh\n";
    o = Shell("exit 0");
    o.executable = dir_ / "not-executable";
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ProcessTest, WaitTimesOutAndTheChildCanThenBeKilled) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(Shell("sleep 30")));
    std::uint64_t start = platform::MonotonicMs();
    EXPECT_EQ(child.Wait(150), WaitResult::TimedOut);
    std::uint64_t waited = platform::MonotonicMs() - start;
    EXPECT_GE(waited, 150u);
    EXPECT_LT(waited, 5000u);
    EXPECT_TRUE(child.IsRunning());
    EXPECT_FALSE(child.ExitStatus());
    EXPECT_FALSE(child.Reap());  // a running child cannot be reaped

    child.KillTree();
    EXPECT_FALSE(child.IsRunning());
    EXPECT_EQ(child.TerminatingSignal(), 9);
    EXPECT_EQ(child.ExitStatus(), 128 + 9);
    EXPECT_TRUE(NotOurZombie(child.Id()));
}

TEST_F(ProcessTest, PollingDoesNotReapSoTheIdStaysOurs) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(Shell("exit 7")));
    int pid = child.Id();
    ASSERT_EQ(child.Wait(10000), WaitResult::Exited);
    EXPECT_FALSE(child.IsRunning());
    // Ended but held: the process table keeps the entry as our zombie.
    auto st = StatOf(pid);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->first, 'Z');
    EXPECT_EQ(st->second, platform::CurrentProcessId());
    EXPECT_EQ(child.ExitStatus(), 7);
    EXPECT_EQ(child.ExitStatus(), 7);  // asking twice changes nothing
    ASSERT_TRUE(child.Reap());
    EXPECT_TRUE(NotOurZombie(pid));
    EXPECT_EQ(child.ExitStatus(), 7);
}

TEST_F(ProcessTest, DestructorLeavesNoZombieWhetherRunningOrEnded) {
    int running = -1, ended = -1;
    {
        ChildProcess a, b;
        ASSERT_TRUE(a.Start(Shell("sleep 30")));
        ASSERT_TRUE(b.Start(Shell("exit 0")));
        running = a.Id();
        ended = b.Id();
        ASSERT_EQ(b.Wait(10000), WaitResult::Exited);
    }
    EXPECT_TRUE(NotOurZombie(running));
    EXPECT_TRUE(NotOurZombie(ended));

    // A moved-from handle owns nothing; the new owner cleans up.
    ChildProcess c;
    ASSERT_TRUE(c.Start(Shell("sleep 30")));
    int moved = c.Id();
    ChildProcess d = std::move(c);
    EXPECT_FALSE(c.IsStarted());
    EXPECT_TRUE(d.IsRunning());
    d = ChildProcess();
    EXPECT_TRUE(NotOurZombie(moved));
}

TEST_F(ProcessTest, KillsAWholeTreeOfThreeLevels) {
    // The solver stand-in's shape: a child that starts a child that starts a child.
    ChildProcess top;
    ASSERT_TRUE(
        top.Start(Shell("sh -c \"sleep 60 & echo \\$! > grand.pid; wait\" & echo $! > child.pid; wait")));
    int child = ReadPid(dir_ / "child.pid");
    int grand = ReadPid(dir_ / "grand.pid");
    ASSERT_GT(child, 0);
    ASSERT_GT(grand, 0);
    EXPECT_TRUE(platform::ProcessIsAlive(child));
    EXPECT_TRUE(platform::ProcessIsAlive(grand));
    auto kids = platform::ChildProcessIds(top.Id());
    EXPECT_NE(std::find(kids.begin(), kids.end(), child), kids.end());

    EXPECT_EQ(platform::KillProcessTree(top.Id()), 0);
    EXPECT_EQ(top.WaitAndReap(), WaitResult::Exited);
    EXPECT_EQ(top.TerminatingSignal(), 9);
    // The two below our child were orphaned to this process (their subreaper) and reaped by
    // the kill itself: no entry of theirs is left in the process table, not even a zombie.
    EXPECT_FALSE(StatOf(child).has_value()) << child;
    EXPECT_FALSE(StatOf(grand).has_value()) << grand;
    EXPECT_FALSE(platform::ProcessIsAlive(top.Id()));
    EXPECT_TRUE(NotOurZombie(top.Id()));
}

// A program that detaches a helper (its own session, parent gone) and leaves a second one
// running in the background; `ending` decides how the program itself ends.
std::string LeavesHelpers(const std::string& ending) {
    return "( setsid sleep 300 > /dev/null 2>&1 & echo $! > detached.pid ); sleep 300 & echo $! > "
           "background.pid; while [ ! -s detached.pid ]; do sleep 0.01; done; " +
           ending;
}

// A contained child takes every process it started with it, however it ends: by itself (its
// exit code stays the child's), by a signal (the signal stays the child's) or killed as a tree.
TEST_F(ProcessTest, AContainedChildLeavesNoProcessItStartedBehind) {
    struct Row {
        const char* ending;
        bool killTree;
        int exitStatus;
        int signal;
    };
    const Row rows[] = {
        {"exit 3", false, 3, 0}, {"kill -ABRT $$", false, 128 + 6, 6}, {"wait", true, 128 + 9, 9}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ending);
        ProcessOptions o = Shell(LeavesHelpers(row.ending));
        o.containDescendants = true;
        ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.Start(o, &error)) << error;
        const int detached = ReadPid(dir_ / "detached.pid");
        const int background = ReadPid(dir_ / "background.pid");
        ASSERT_GT(detached, 0);
        ASSERT_GT(background, 0);
        if (row.killTree) {
            EXPECT_EQ(child.Wait(100), WaitResult::TimedOut);
            child.KillTree();
        }
        ASSERT_EQ(child.Wait(10000), WaitResult::Exited);
        EXPECT_EQ(child.ExitStatus(), row.exitStatus);
        EXPECT_EQ(child.TerminatingSignal(), row.signal);
        ASSERT_TRUE(child.Reap());
        // Gone and reaped: not even a zombie of theirs is left in the process table.
        EXPECT_FALSE(StatOf(detached).has_value()) << detached;
        EXPECT_FALSE(StatOf(background).has_value()) << background;
        EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
        for (const int pid : {detached, background})  // not left behind by the test either
            if (platform::ProcessIsAlive(pid)) ::kill(pid, SIGKILL);
        platform::RemoveFile(dir_ / "detached.pid");
        platform::RemoveFile(dir_ / "background.pid");
    }
}

// A contained program that cannot be started is refused with the reason, as any other.
TEST_F(ProcessTest, AContainedChildThatCannotStartSaysWhy) {
    ProcessOptions o = Shell("exit 0");
    o.containDescendants = true;
    o.executable = dir_ / "Dorvix.exe";
    ChildProcess missing;
    std::string error;
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_EQ(error,
              "cannot run " + o.executable.string() + " in " + dir_.string() + ": No such file or directory");
    EXPECT_FALSE(missing.IsStarted());
    o = Shell("exit 0");
    o.containDescendants = true;
    o.workingFolder = dir_ / "gone";
    EXPECT_FALSE(missing.Start(o, &error));
    EXPECT_NE(error.find("gone: No such file or directory"), std::string::npos) << error;
    EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
}

TEST(KillProcessTree, RefusesPidsThatMustNotBeKilledAndIgnoresEndedOnes) {
    EXPECT_EQ(platform::KillProcessTree(0), 2);
    EXPECT_EQ(platform::KillProcessTree(1), 2);
    EXPECT_EQ(platform::KillProcessTree(-1), 2);
    EXPECT_EQ(platform::KillProcessTree(platform::CurrentProcessId()), 2);
    EXPECT_TRUE(platform::ProcessIsAlive(platform::CurrentProcessId()));
}

}  // namespace

TEST(CurrentExecutablePath, NamesThisTestProgram) {
    const std::filesystem::path path = platform::CurrentExecutablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.filename(), "platform_tests");
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
}
