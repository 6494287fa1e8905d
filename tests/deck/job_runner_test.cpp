// The job runner against the stand-in solver, started as a real child process.
#include <gtest/gtest.h>

#include <stdexcept>

#include "deck/deck_file.h"
#include "deck/return_codes.h"
#include "deck_test_support.h"
#include "host/solver_database.h"
#include "platform/clock.h"
#include "platform/com_object.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/notifier.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/text.h"

using decktest::FakeOwner;
using decktest::ReadText;
using decktest::ScratchFolder;
using decktest::WriteText;

namespace {

std::string SolverFolder() {
    const auto binary = platform::ReadEnvironmentVariable(std::string_view("DORVIX_BINARY_DIR"));
    return (binary ? *binary : std::string(DORVIX_BINARY_DIR)) + "/solver";
}

class JobRunner : public ::testing::Test {
  protected:
    // Writes a small deck with the given body lines and runs it with the control file.
    int Run(const std::string& control, const std::vector<std::string>& body = {},
            std::function<int(int, int)> progress = nullptr) {
        if (!control.empty()) WriteText(folder.Path() / "dorvix-standin.ctl", control);
        deck = std::make_unique<DorvixDeckFile>(&owner);
        SolverRunOptions options;
        options.pollIntervalMs = 50;
        options.killSettleMs = 50;
        options.reportProgress = progress ? progress : [](int, int) { return 1; };
        deck->SetRunOptions(options);
        EXPECT_EQ(deck->Open("dorvix.dat"), 0);
        for (const std::string& line : body) deck->WriteLine(line);
        deck->WriteLine("RETURN");
        return deck->CloseAndRun(300);
    }
    bool Exists(const char* name) const { return platform::FileExists(folder.Path() / name); }

    ScratchFolder folder;
    platform::ScopedEnvironmentVariable dvxExe{"DVX_EXE", SolverFolder()};
    FakeOwner owner;
    std::unique_ptr<DorvixDeckFile> deck;
};

}  // namespace

TEST_F(JobRunner, NormalRunLeavesResultsAndNoErrorStream) {
    // The solver's variables go to its own environment; this process's stay as they were.
    platform::ScopedEnvironmentVariable zone("DVX_ZONE", "host value");
    platform::ScopedEnvironmentVariable home("DVX_HOME", std::nullopt);
    EXPECT_EQ(Run("", {"  NPAS 1 T1 0.  T2 1.", "  NPAS 1 T1 1.  T2 2.5"}), 0);
    EXPECT_EQ(ReadText(folder.Path() / "dummy.dat"), "INPUT.alin \"dorvix.dat\"\n.FIN 1\n");
    EXPECT_EQ(deck->GetModuleName(), L"as");
    const std::string des = ReadText(folder.Path() / "dorvix_as.des");
    EXPECT_NE(des.find("set 1 1 1 0\n"), std::string::npos) << des;
    EXPECT_NE(des.find("set 2 2.5 2 0\n"), std::string::npos) << des;
    EXPECT_TRUE(Exists("dorvix.out"));
    EXPECT_TRUE(Exists("solve.out"));
    EXPECT_FALSE(Exists("dorvix_err.out"));
    EXPECT_TRUE(owner.messages.empty());
    // The solver saw the environment the runner sets.
    const std::string out = ReadText(folder.Path() / "dorvix.out");
    EXPECT_NE(out.find("DVX_ZONE=75000000 DVX_DBRAM=50 DVX_LANG=vfr DVX_HOME=."), std::string::npos) << out;
    EXPECT_EQ(platform::ReadEnvironmentVariable(std::string_view("DVX_ZONE")), "host value");
    EXPECT_FALSE(platform::ReadEnvironmentVariable(std::string_view("DVX_HOME")));
    EXPECT_FALSE(platform::ReadEnvironmentVariable(std::string_view("DVX_LANG")));
    EXPECT_EQ(deck->GetOpenFailure(), "");
}

TEST_F(JobRunner, WarningsInEitherListingAreReportedAndTheRunSucceeds) {
    EXPECT_EQ(Run("warning res pivot small\n"), 0);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].first, L"Warning(s) found in solve generated files");
    EXPECT_EQ(owner.messages[0].second, L"Warning");
    EXPECT_TRUE(Exists("dorvix_as.des"));
}

TEST_F(JobRunner, SpyWarningStopsTheScanBeforeTheModuleListing) {
    EXPECT_EQ(Run("avertissement spy first\nerror res second\n"), 0);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].second, L"Warning");
}

TEST_F(JobRunner, ErrorIsReportedAndResultFilesAreRemoved) {
    EXPECT_EQ(Run("error res matrix singular\n"), 104);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].first, L"Error(s) found in solve generated files");
    EXPECT_EQ(owner.messages[0].second, L"Error");
    EXPECT_FALSE(Exists("dorvix_as.des"));
    EXPECT_FALSE(Exists("dorvix_as.fac"));
}

TEST_F(JobRunner, ShortRunWritesOnlyTheSetsItReached) {
    EXPECT_EQ(Run("stop-at 1.5\n", {"  NPAS 1 T1 0.  T2 1.", "  NPAS 1 T1 1.  T2 2."}), 0);
    const std::string des = ReadText(folder.Path() / "dorvix_as.des");
    EXPECT_NE(des.find("sets 1\n"), std::string::npos) << des;
}

// A solver that dies leaves a listing without markers; that must not read as a success.
TEST_F(JobRunner, CrashIsAFailureEvenWithAnUnmarkedListing) {
    EXPECT_EQ(Run("crash\nwork-folder\nstderr dying\n"), 6);
    EXPECT_TRUE(Exists("dorvix_as.res"));  // the partial listing the scan found clean
    EXPECT_EQ(deck->GetSolverEnd().signal, 6);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].first, L"The solver ended abnormally (killed by signal 6)");
    EXPECT_EQ(owner.messages[0].second, L"Error");
    EXPECT_FALSE(Exists("dorvix_as.des"));
    EXPECT_FALSE(Exists("dorvix_err.out"));
    EXPECT_FALSE(platform::FolderExists(folder.Path() / "dorvix123456.dir"));
    EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
}

// A normal end is judged by the listings alone: the exit code neither fails a clean run nor
// costs it its result files.
TEST_F(JobRunner, ExitCodeOfANormalEndIsNotJudged) {
    EXPECT_EQ(Run("exit-code 3\n"), 0);
    EXPECT_EQ(deck->GetSolverEnd().exitCode, 3);
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_TRUE(Exists("dorvix_as.des"));
    EXPECT_TRUE(Exists("dorvix_as.fac"));

    EXPECT_EQ(Run("exit-code 2\nwarning res pivot small\n"), 0);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].second, L"Warning");

    owner.messages.clear();
    EXPECT_EQ(Run("exit-code 1\nerror spy no convergence\n"), 104);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].first, L"Error(s) found in solve generated files");
}

TEST_F(JobRunner, CancelKillsTheSolverAndItsChild) {
    int reports = 0;
    const int code = Run("spawn-child\nhang\n", {}, [&](int percent, int stage) {
        EXPECT_EQ(percent, 20);
        EXPECT_EQ(stage, 160);
        // Let the solver start its child before cancelling.
        return ++reports < 5 ? 1 : 0;
    });
    EXPECT_EQ(code, 1);
    const std::string pidText = ReadText(folder.Path() / "standin-child.pid");
    ASSERT_FALSE(pidText.empty());
    const int child = std::stoi(pidText);
    EXPECT_FALSE(platform::ProcessIsAlive(child));
    EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
    EXPECT_FALSE(Exists("dorvix_err.out"));
    EXPECT_FALSE(Exists("dorvix_as.des"));
}

// Each analysis runs its module chain; the stand-in refuses a driver file whose keywords do
// not match the chain of the command line, so a clean run shows that both agree.
TEST_F(JobRunner, EveryAnalysisKindRunsItsModules) {
    struct Case {
        const char* name;
        int kind, nonLinear;
        bool prestressed, buckling;
        const char* chain;
        const char* module;
    };
    const Case cases[] = {
        {"linear static", 1, 0, false, false, "ba,as", "as"},
        {"non-linear", 1, 1, false, false, "ba,me", "me"},
        {"prestressed two-pass", 1, 0, true, false, "ba,as,ba,as", "as"},
        {"buckling", 2, 0, false, true, "ba,st", "st"},
        {"modal", 2, 0, false, false, "ba,dy", "dy"},
        {"thermal", 4, 0, false, false, "ba,mt", "mt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.kind = c.kind;
        owner.nonLinear = c.nonLinear;
        owner.prestressedStatic = c.prestressed;
        owner.buckling = c.buckling;
        owner.steps = 1;
        owner.messages.clear();
        EXPECT_EQ(Run(""), 0);
        EXPECT_TRUE(owner.messages.empty());
        EXPECT_EQ(platform::WideToUtf8(deck->GetModuleName()), c.module);
        const std::string out = ReadText(folder.Path() / "dorvix.out");
        EXPECT_NE(out.find(std::string("/Dorvix.exe ") + c.chain + " dorvix n 1\n"), std::string::npos)
            << out;
        EXPECT_TRUE(Exists(("dorvix_" + std::string(c.module) + ".des").c_str()));
    }
    EXPECT_EQ(ReadText(folder.Path() / "dummy.dat"), "INPUT.mcnlth \"dorvix.dat\"\n.FIN 1\n");
}

// An analysis kind the runner does not know: the driver file holds only ".FIN 1", the
// command has no module chain, and with no module listing to read the run fails with 6.
TEST_F(JobRunner, UnknownAnalysisKindRunsNoModule) {
    owner.kind = 3;
    EXPECT_EQ(Run(""), 6);
    EXPECT_EQ(ReadText(folder.Path() / "dummy.dat"), ".FIN 1\n");
    const std::string out = ReadText(folder.Path() / "dorvix.out");
    EXPECT_NE(out.find("/Dorvix.exe dorvix n 1\n"), std::string::npos) << out;
    EXPECT_TRUE(deck->GetModuleName().empty());
    EXPECT_EQ(deck->GetOpenFailure(),
              "cannot open " + (folder.Path() / "dorvix_.res").string() + ": No such file or directory");
}

TEST_F(JobRunner, UndefinedSolverFolderAnswers100) {
    platform::ScopedEnvironmentVariable unset("DVX_EXE", std::nullopt);
    EXPECT_EQ(Run(""), 100);
    EXPECT_TRUE(Exists("dummy.dat"));
    EXPECT_FALSE(Exists("dorvix.out"));
}

TEST_F(JobRunner, MissingSolverAnswers6WithAMessage) {
    platform::ClearUserMessageLog();
    platform::ScopedEnvironmentVariable missing("DVX_EXE", (folder.Path() / "nowhere").string());
    EXPECT_EQ(Run(""), 6);
    const auto log = platform::UserMessageLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].title, L"Error");
    EXPECT_EQ(platform::Utf8ToWide(deck->GetOpenFailure()), log[0].text);
    EXPECT_NE(deck->GetOpenFailure().find((folder.Path() / "nowhere" / "Dorvix.exe").string()),
              std::string::npos);
    EXPECT_FALSE(Exists("dorvix_err.out"));
}

TEST_F(JobRunner, CommandTextOf260IsAcceptedAnd261Refused) {
    const std::size_t base = std::string("\"/Dorvix.exe\" \"ba,as\" dorvix n 1 ").size();
    std::string folder260 = "/" + std::string(260 - base - 1, 'd');
    platform::ClearUserMessageLog();
    {
        platform::ScopedEnvironmentVariable exe("DVX_EXE", folder260);
        EXPECT_EQ(Run(""), 6);  // accepted, but no solver there
    }
    {
        platform::ScopedEnvironmentVariable exe("DVX_EXE", folder260 + "d");
        EXPECT_EQ(Run(""), 25);
    }
}

TEST_F(JobRunner, CommandTextLimitCountsCharactersNotBytes) {
    const std::size_t base = std::string("\"/Dorvix.exe\" \"ba,as\" dorvix n 1 ").size();
    std::string folder260 = "/";
    for (std::size_t i = 0; i < 260 - base - 1; ++i) folder260 += "\xC3\xA9";  // two bytes each
    {
        platform::ScopedEnvironmentVariable exe("DVX_EXE", folder260);
        EXPECT_EQ(Run(""), 6);  // accepted, but no solver there
    }
    {
        platform::ScopedEnvironmentVariable exe("DVX_EXE", folder260 + "\xC3\xA9");
        EXPECT_EQ(Run(""), 25);
    }
}

TEST_F(JobRunner, SolverAndWorkFoldersMayHaveNonAsciiNames) {
    const std::filesystem::path solver = folder.Path() / platform::PathFromWide(L"s\u00F6lver \u65E5\u672C");
    const std::filesystem::path work = folder.Path() / platform::PathFromWide(L"\u00E9tude");
    ASSERT_TRUE(platform::CreateFolders(solver));
    ASSERT_TRUE(platform::CreateFolders(work));
    ASSERT_TRUE(platform::CopyFileTo(std::filesystem::path(SolverFolder()) / "Dorvix.exe",
                                     solver / "Dorvix.exe", true));
    platform::ScopedEnvironmentVariable exe("DVX_EXE", platform::Utf8FromPath(solver));
    owner.options["XENRADir"] = platform::Utf8FromPath(work);
    EXPECT_EQ(Run("", {"  NPAS 1 T1 0.  T2 1."}), 0);
    EXPECT_EQ(deck->GetWorkingFolder(), work);
    EXPECT_TRUE(platform::FileExists(work / "dorvix_as.des"));
    const std::string out = ReadText(work / "dorvix.out");
    EXPECT_NE(out.find(platform::Utf8FromPath(solver / "Dorvix.exe")), std::string::npos) << out;
}

// A working folder another process holds is refused before anything in it is touched: a run
// there would take that run's listings for its own and remove its results.
TEST_F(JobRunner, AWorkingFolderAnotherRunHoldsIsRefused) {
    if (!platform::FileExists("/usr/bin/flock")) GTEST_SKIP() << "no flock program to hold the folder";
    WriteText(folder.Path() / "dorvix_as.des", "the other run's results");
    platform::ProcessOptions options;
    options.executable = "/usr/bin/flock";
    options.arguments = {platform::kFolderHoldFileName, "sh", "-c", "echo > held; exec sleep 30"};
    options.workingFolder = folder.Path();
    platform::ChildProcess other;
    ASSERT_TRUE(other.Start(options));
    for (int i = 0; i < 1000 && !Exists("held"); ++i) platform::SleepMs(5);
    ASSERT_TRUE(Exists("held"));

    deck = std::make_unique<DorvixDeckFile>(&owner);
    EXPECT_EQ(deck->Open("dorvix.dat"), kRC_FileNotCreated);
    EXPECT_EQ(deck->GetOpenFailure(), "the working folder " + folder.Path().string() +
                                          " cannot be used: it is in use by another run");
    EXPECT_TRUE(Exists("dorvix_as.des"));
    EXPECT_FALSE(Exists("dorvix.dat"));
    other.KillTree();
}

TEST_F(JobRunner, InputOnlyRunsNothing) {
    deck = std::make_unique<DorvixDeckFile>(&owner);
    ASSERT_EQ(deck->Open("dorvix.dat"), 0);
    deck->SetInputOnly(true);
    EXPECT_EQ(deck->CloseAndRun(300), 0);
    EXPECT_FALSE(Exists("dummy.dat"));
    EXPECT_FALSE(Exists("dorvix.out"));
    EXPECT_TRUE(Exists("dorvix.dat"));
}

namespace {

int g_prepareCalls = 0;

class FakeSolverDatabase : public ComObject<FakeSolverDatabase, IHostSolverDatabase> {
  public:
    HRESULT PrepareRun() override {
        ++g_prepareCalls;
        return S_OK;
    }
};

}  // namespace

TEST_F(JobRunner, WriteNothingCallsTheHostComponentButStartsNoSolver) {
    ScopedComponentClass registration(CLSID_HostSolverDatabase, CreatorFor<FakeSolverDatabase>());
    g_prepareCalls = 0;
    deck = std::make_unique<DorvixDeckFile>(&owner);
    deck->SetWriteNothing(true);
    ASSERT_EQ(deck->Open("dorvix.dat"), 0);
    EXPECT_EQ(deck->CloseAndRun(300), 0);
    EXPECT_EQ(g_prepareCalls, 1);
    EXPECT_FALSE(Exists("dummy.dat"));
    EXPECT_FALSE(Exists("dorvix.out"));
}

TEST_F(JobRunner, InputOnlyCallsNoHostComponent) {
    ScopedComponentClass registration(CLSID_HostSolverDatabase, CreatorFor<FakeSolverDatabase>());
    g_prepareCalls = 0;
    deck = std::make_unique<DorvixDeckFile>(&owner);
    ASSERT_EQ(deck->Open("dorvix.dat"), 0);
    deck->SetInputOnly(true);
    EXPECT_EQ(deck->CloseAndRun(300), 0);
    EXPECT_EQ(g_prepareCalls, 0);
}

// A deck that could not be written completely (here: a full device) is neither run nor
// handed over as the requested input deck.
TEST_F(JobRunner, IncompleteDeckAnswers3) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
    for (bool inputOnly : {false, true}) {
        SCOPED_TRACE(inputOnly);
        platform::RemoveFile(folder.Path() / "dorvix.dat");
        std::filesystem::create_symlink("/dev/full", folder.Path() / "dorvix.dat");
        deck = std::make_unique<DorvixDeckFile>(&owner);
        ASSERT_EQ(deck->Open("dorvix.dat"), 0);
        deck->SetInputOnly(inputOnly);
        for (int i = 0; i < 100; ++i) deck->WriteLine("  NPAS 1 T1 0.  T2 1.");
        EXPECT_EQ(deck->CloseAndRun(300), 3);
        EXPECT_EQ(deck->GetOpenFailure(),
                  "cannot write " + (folder.Path() / "dorvix.dat").string() + ": No space left on device");
        EXPECT_FALSE(Exists("dummy.dat"));
        EXPECT_FALSE(Exists("dorvix.out"));
    }
}

TEST_F(JobRunner, UncreatableDriverFileAnswers3AndStartsNothing) {
    std::filesystem::create_directory(folder.Path() / "dummy.dat");
    EXPECT_EQ(Run(""), 3);
    EXPECT_EQ(deck->GetOpenFailure(),
              "cannot create " + (folder.Path() / "dummy.dat").string() + ": Is a directory");
    EXPECT_FALSE(Exists("dorvix.out"));
    EXPECT_TRUE(owner.messages.empty());
}

// A failure of the host's progress report mid-run ends the run with a code and its reason;
// the solver does not outlive it.
TEST_F(JobRunner, ExceptionDuringTheRunBecomesACode) {
    const int code =
        Run("hang\n", {}, [](int, int) -> int { throw std::runtime_error("progress report failed"); });
    EXPECT_EQ(code, kRC_Exception);
    EXPECT_EQ(deck->GetOpenFailure(), "progress report failed");
    EXPECT_TRUE(platform::ChildProcessIds(platform::CurrentProcessId()).empty());
}

// The deck's own memory values reach the solver through its environment.
TEST_F(JobRunner, DeckMemoryValuesReachTheSolver) {
    deck = std::make_unique<DorvixDeckFile>(&owner);
    SolverRunOptions options;
    options.pollIntervalMs = 50;
    options.reportProgress = [](int, int) { return 1; };
    deck->SetRunOptions(options);
    ASSERT_EQ(deck->Open("dorvix.dat"), 0);
    deck->SetMemory(1, 100, 50);
    deck->WriteLine("RETURN");
    EXPECT_EQ(deck->CloseAndRun(300), 0);
    const std::string out = ReadText(folder.Path() / "dorvix.out");
    EXPECT_NE(out.find("DVX_ZONE=12500000 DVX_DBRAM=50 "), std::string::npos) << out;
}
