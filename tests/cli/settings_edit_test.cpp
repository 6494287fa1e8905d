// `dorvix settings --set` as a user runs it on a case of their own: the edit changes the settings
// element of the model and nothing else of the file, holds the case while it reads, changes and
// writes it, writes its files all or none, and the host keeps in host.json what the add-in told
// it of the steps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_lock.h"
#include "platform/stop_signals.h"
#include "tests/cli/cli_run.h"
#include "tests/deck/deck_test_support.h"
#include "tools/dorvix/case_files_write.h"
#include "tools/dorvix/settings_command.h"
#include "tools/dorvix/settings_grid.h"

namespace {

namespace fs = std::filesystem;
using clitest::Outcome;

class SettingsEditTest : public ::testing::Test {
  protected:
    fs::path CopyCase(const std::string& from, const std::string& name) {
        const fs::path copy = scratch_.Path() / name;
        fs::copy(from, copy, fs::copy_options::recursive);
        return copy;
    }
    fs::path CopyExample(const std::string& example) {
        return CopyCase((fs::path(DORVIX_SOURCE_DIR) / "examples" / example).string(), example);
    }

    clitest::CliRun Start(const std::vector<std::string>& arguments, const std::string& tag) {
        return clitest::CliRun(scratch_.Path(), tag + "run", arguments);
    }
    Outcome Dorvix(const std::vector<std::string>& arguments) { return Start(arguments, "").Finish(); }
    Outcome Set(const fs::path& copy, const std::vector<std::string>& assignments) {
        std::vector<std::string> arguments{"settings", copy.string(), "--set"};
        arguments.insert(arguments.end(), assignments.begin(), assignments.end());
        return Dorvix(arguments);
    }
    std::string Grid(const fs::path& copy) { return Dorvix({"settings", copy.string()}).out; }

    decktest::ScratchFolder scratch_;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

constexpr std::size_t npos = std::string::npos;

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// A model as users keep them, and the bytes that must stay: a prefix and a suffix of the file.
struct ModelForm {
    const char* what;
    std::string text;
    std::string keptBefore;  // the file up to here stays, byte for byte
    std::string keptAfter;   // and from here on
};

// The settings element is rewritten in full and nothing else: not a blank value, the document
// type, a processing instruction, a comment, a byte-order mark or the line ends elsewhere, in a
// model whose settings element has content, is an empty-element tag, or is missing.
TEST_F(SettingsEditTest, OnlyTheSettingsElementChanges) {
    const std::string block = decktest::ReadText(fs::path(DORVIX_SOURCE_DIR) / "examples/block/CAERep.xml");
    const std::string open = "<AnalysisSettings CAEType=\"externalObject\">";
    const std::string close = "</AnalysisSettings>";
    const std::size_t settingsBegin = block.find("    " + open);
    const std::size_t settingsEnd = block.find(close) + close.size() + 1;
    const std::string hostile = WithCrLf(
        Replaced(Replaced(Replaced(block, "?>\n", "?>\n<!DOCTYPE CAERep>\n<?dorvix-note keep me?>\n"),
                          ">Part 1</Caption>", ">   </Caption>"),
                 "  </SolverRep>\n", "  </SolverRep>\n  <!-- <AnalysisSettings> in a comment -->\n"));
    const std::string empty = block.substr(0, settingsBegin) +
                              "    <AnalysisSettings CAEType=\"externalObject\"/>\n" +
                              block.substr(settingsEnd);
    const std::string missing = block.substr(0, settingsBegin) + block.substr(settingsEnd);
    // Old copies of the settings in comments that XML runs on to the next "-->": "<!-->" before
    // the element the solve reads, "<!--->" after it.
    const std::string copy = block.substr(settingsBegin + 4, settingsEnd - settingsBegin - 5);
    const std::string kept = block.substr(0, settingsBegin) + "    <!--> " + copy + " -->\n";
    const std::string commented = kept + block.substr(settingsBegin, settingsEnd - settingsBegin) +
                                  "    <!---> " + copy + " -->\n" + block.substr(settingsEnd);
    const ModelForm forms[] = {
        {"hostile", "\xEF\xBB\xBF" + hostile,
         "\xEF\xBB\xBF" + hostile.substr(0, hostile.find(open) + open.size()),
         hostile.substr(hostile.find(close))},
        {"empty-element tag", empty, empty.substr(0, empty.find("/>")), empty.substr(empty.find("/>") + 2)},
        {"missing", missing, missing.substr(0, missing.find("  </SolverRep>")),
         missing.substr(missing.find("  </SolverRep>"))},
        {"copies in comments", commented, kept + "    " + open,
         commented.substr(commented.find(close, kept.size()))},
    };
    for (const ModelForm& form : forms) {
        SCOPED_TRACE(form.what);
        const fs::path copy = CopyExample("block");
        decktest::WriteText(copy / "CAERep.xml", form.text);
        const Outcome edit = Set(copy, {"NumberOfSteps=2"});
        ASSERT_EQ(edit.exit, 0) << edit.err;
        const std::string after = decktest::ReadText(copy / "CAERep.xml");
        ASSERT_GT(after.size(), form.keptBefore.size() + form.keptAfter.size());
        EXPECT_EQ(after.substr(0, form.keptBefore.size()), form.keptBefore);
        EXPECT_EQ(after.substr(after.size() - form.keptAfter.size()), form.keptAfter);
        const std::string written = after.substr(
            form.keptBefore.size(), after.size() - form.keptBefore.size() - form.keptAfter.size());
        EXPECT_NE(written.find("<StepControls", written.find("<StepControls") + 1), std::string::npos)
            << written;
        if (form.text.find("\r\n") != std::string::npos) {
            std::size_t bareLineEnds = 0;
            for (std::size_t at = written.find('\n'); at != std::string::npos;
                 at = written.find('\n', at + 1))
                bareLineEnds += at == 0 || written[at - 1] != '\r';
            EXPECT_EQ(bareLineEnds, 0u) << written;
        }
        EXPECT_NE(Grid(copy).find("Number Of Steps: 2  (NumberOfSteps"), std::string::npos);
        fs::remove_all(copy);
    }
}

// Edits started at once on one case run one after the other: each is written and none is lost.
TEST_F(SettingsEditTest, EditsAtOnceKeepEachOthersValues) {
    const fs::path copy = CopyExample("block");
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"CalculateStress=No", "Calculate Stress: No"},
        {"CalculateStrain=No", "Calculate Strain: No"},
        {"CalculateResultsAtTimePoints=1", "Calculate Results At: Last Time Point"},
        {"CleanupOptionalDorvixFiles=No", "Delete Unneeded Files: No"},
        {"UseLargeDeformation=On", "Large Deflection: On"},
        {"NumberOfSteps=2", "Number Of Steps: 2"},
    };
    std::vector<clitest::CliRun> running;
    running.reserve(edits.size());
    for (std::size_t i = 0; i < edits.size(); ++i)
        running.push_back(Start({"settings", copy.string(), "--set", edits[i].first}, std::to_string(i)));
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const Outcome outcome = running[i].Finish();
        EXPECT_EQ(outcome.exit, 0) << edits[i].first << ": " << outcome.err;
    }
    const std::string grid = Grid(copy);
    for (const auto& [assignment, shown] : edits)
        EXPECT_NE(grid.find(shown), std::string::npos) << assignment;
    const Outcome solved = Dorvix({copy.string()});
    EXPECT_EQ(solved.exit, 0) << solved.out;
}

// The steps the add-in added to the host's objects are kept in host.json: a later edit adds the
// next step to objects that already hold the ones added before, and the case still solves.
TEST_F(SettingsEditTest, TheHostKeepsTheStepsItWasTold) {
    const fs::path copy = CopyCase(std::string(DORVIX_TEST_DATA) + "/cases/settings-tree", "tree");
    const Outcome three = Set(copy, {"NumberOfSteps=3"});
    ASSERT_EQ(three.exit, 0) << three.err;
    EXPECT_NE(three.out.find("written:   " + (copy / "host.json").string() + "\n"), std::string::npos);
    const Outcome four = Set(copy, {"NumberOfSteps=4", "CurrentStepNumber=4", "EndTime=6"});
    ASSERT_EQ(four.exit, 0) << four.err;
    // Only the values' own calls: the edit's rereading at step 1 moves the current step too.
    EXPECT_NE(four.out.find("host calls:\n  add step 4 to object 21\n  add step 4 to object 22\n"
                            "  insert step row 4 into object 23\n  step count 4 on object 28\n"
                            "  current time of object 9: 1\n  settings changed (11)\n"
                            "  current time of object 9: 4\n  settings changed (11)\n"
                            "  current time of object 9: 6\n  settings changed (11)\n"),
              std::string::npos)
        << four.out;
    EXPECT_EQ(four.out.find("refused"), std::string::npos) << four.out;
    const Outcome solved = Dorvix({copy.string()});
    EXPECT_EQ(solved.exit, 0) << solved.out;
    EXPECT_NE(solved.out.find("4 result sets"), std::string::npos) << solved.out;
}

// A modal case whose settings object has a linked environment and a cyclic region: a value that a
// unit conversion there and back rounds is taken, when set and when written (kelvin kept in
// degrees Celsius; 0 in a Fahrenheit system), and a range is told in numbers. Each row: the
// value, the host's unit system, what its refusal tells (nothing: it is taken).
TEST_F(SettingsEditTest, AModalCaseWithACyclicRegion) {
    const char* const rows[][3] = {
        {"RefTemperature=21.7", "11", ""},
        {"RefTemperature=0", "7", ""},
        {"HarmonicIndex=-1", "11", "takes a whole number from 0 to 4294967295, not \"-1\""}};
    for (const auto& [assignment, system, told] : rows) {
        const fs::path host =
            CopyCase(std::string(DORVIX_SOURCE_DIR) + "/examples/modal", assignment) / "host.json";
        decktest::WriteText(
            host, Replaced(Replaced(decktest::ReadText(host), "11}}", std::string(system) + "}}"), "{",
                           R"({"objects": [{"id": 10, "type": 429, "properties": {"419": 60},
            "idLists": {"422": [50]}}, {"id": 50, "linkedObjectId": 10}, {"id": 60, "idLists": {"585": [61]}},
            {"id": 61, "cyclicRegion": {"kind": 3}}],)"));
        const Outcome edit = Set(host.parent_path(), {assignment});
        EXPECT_EQ(edit.exit, *told ? 3 : 0) << edit.err;
        EXPECT_NE(edit.err.find(told), npos) << edit.err;
    }
}

// The edit reads the model as the solve's model load does, or refuses it and leaves it as it was;
// what only the edit refuses never stops the solve. Each row changes the block example's model,
// sets three steps, and solves.
TEST_F(SettingsEditTest, TheEditReadsTheModelAsTheSolveDoesOrRefusesIt) {
    const std::string block = decktest::ReadText(fs::path(DORVIX_SOURCE_DIR) / "examples/block/CAERep.xml");
    const std::size_t solverBegin = block.find("  <SolverRep"),
                      solverEnd = block.find("  </SolverRep>\n") + 15;
    const std::string solver = block.substr(solverBegin, solverEnd - solverBegin);
    std::string nested, deepSettings;
    for (int i = 0; i < 300; ++i)
        nested = "<O CAEType=\"object\" Type=\"O\" Id=\"" + std::to_string(100 + i) + "\">" + nested + "</O>";
    for (int i = 0; i < 1000; ++i) deepSettings = "<x>" + deepSettings + "</x>";
    const std::string latin1 =
        Replaced(block, "version=\"1.0\" encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\" version=\"1.0\"");
    const struct {
        const char* what;
        std::string model;
        std::string refusal;  // empty: the edit is written
        std::string solved;
        std::string shown = "";  // by the grid after the edit
    } rows[] = {
        // The load looks into BCRep, which it makes itself, before any object the file adds.
        {"two solver objects",
         Replaced(Replaced(block.substr(0, solverBegin) + block.substr(solverEnd), "Id=\"6\">\n",
                           "Id=\"6\">\n<Extra CAEType=\"object\" Type=\"Extra\" Id=\"50\">" + solver +
                               "</Extra>\n"),
                  "Id=\"13\">\n", "Id=\"13\">\n" + Replaced(solver, "Id=\"2\"", "Id=\"52\"")),
         "holds 2 solver objects (SolverRep): at line 13, column 48; at line 116, column 3", "1 result set"},
        {"a property named by its Name attribute",
         Replaced(block, "</PhysicsType>\n",
                  "</PhysicsType>\n<PhysicsType CAEType=\"property\" ValueType=\"string\" "
                  "Name=\"Old\">Thermal</PhysicsType>\n"),
         "", "3 result sets"},
        // Written back as character references, the text past ASCII reads the same again.
        {"a declaration of Latin-1 over ASCII",
         Replaced(latin1, "<SolverFilesDirectory/>",
                  "<SolverFilesDirectory>cases/caf&#233;&#160;&#8364;</SolverFilesDirectory>"),
         "", "3 result sets", "cases/caf\u00e9\u00a0\u20ac"},
        {"a declaration of Latin-1 over a byte past ASCII", latin1 + "<!-- \xE9 -->\n",
         "dorvix settings: cannot read the case: " + (scratch_.Path() / "block/CAERep.xml").string() +
             ": XML error at offset 5635 (line 124, column 6): a byte past ASCII in a model whose XML "
             "declaration names the encoding Latin-1: the model is read and written as UTF-8 text only\n",
         "1 result set"},
        // Readers differ on which of the two counts.
        {"an attribute named twice",
         Replaced(block, "ValueType=\"string\">Static", "ValueType=\"string\" ValueType=\"int\">Static"),
         "(line 6, column 5): the element <AnalysisType> names the attribute ValueType twice",
         "is not a value of type int"},
        {"settings nested deeper than any the edit writes",
         Replaced(block, "</DorvixStaticMechanicalSettings>",
                  deepSettings + "</DorvixStaticMechanicalSettings>"),
         "nests 1001 levels deep, more than the 64", "1 result set"},
        // The settings object cannot read the model's settings as those of a thermal analysis.
        {"a second physics property by its Name attribute",
         Replaced(block, "</PhysicsType>\n",
                  "</PhysicsType>\n<Kind CAEType=\"property\" ValueType=\"string\" "
                  "Name=\"PhysicsType\">Thermal</Kind>\n"),
         "cannot be read (0x80004005)", "1 result set"},
        {"predefined and character references",
         Replaced(Replaced(block, "Type=\"SolverRep\"", "Type=\"Solver&#82;ep\""), "</CAERep>",
                  "<Notes CAEType=\"object\" Type=\"Notes &amp; Remarks\" Id=\"90\"/></CAERep>"),
         "", "3 result sets"},
        {"an entity reference",
         Replaced(block, "</CAERep>", "<Notes CAEType=\"object\" Type=\"&note;\" Id=\"90\"/></CAERep>"),
         "holds an entity reference (&note;)", "1 result set"},
        {"objects nested past the load's bound", Replaced(block, "</CAERep>", nested + "</CAERep>"),
         "objects nest more than 256 levels deep", "objects nest more than 256 levels deep"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path copy = CopyExample("block");
        decktest::WriteText(copy / "CAERep.xml", row.model);
        const std::string hostJson = decktest::ReadText(copy / "host.json");
        const Outcome edit = Set(copy, {"NumberOfSteps=3"});
        EXPECT_EQ(edit.exit, row.refusal.empty() ? 0 : 2) << edit.err;
        EXPECT_NE(edit.err.find(row.refusal), npos) << edit.err;
        EXPECT_EQ(decktest::ReadText(copy / "CAERep.xml") == row.model, !row.refusal.empty());
        EXPECT_EQ(decktest::ReadText(copy / "host.json") == hostJson, !row.refusal.empty());
        // The example's four files and the case's lock file: none left beside them.
        EXPECT_EQ(std::distance(fs::directory_iterator(copy), fs::directory_iterator()), 5);
        EXPECT_TRUE(row.shown.empty() || Grid(copy).find("Solver Files Directory: " + row.shown) != npos);
        const Outcome solve = Dorvix({copy.string()});
        EXPECT_NE(solve.out.find(row.solved), npos) << solve.out << solve.err;
        fs::remove_all(copy);
    }
}

// A stop signal while the edit waits for another edit of the case, or for the registry's lock
// file another process holds (the module's registration the edit needs), ends it at once: exit
// code 130, the signal named, and the case and the registry as they were.
TEST_F(SettingsEditTest, AStopSignalWhileTheEditWaitsEndsItWithTheCaseAsItWas) {
    const fs::path copy = CopyExample("block"), registry = scratch_.Path() / "dorvix.reg";
    const std::string model = decktest::ReadText(copy / "CAERep.xml");
    const std::string host = decktest::ReadText(copy / "host.json");
    const std::string folders =
        "[HKLM\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin]\n\"InstallDir\"=\"a\"\n"
        "[HKLM\\SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\JXApplet]\n\"InstallDir\"=\"b\"\n";
    decktest::WriteText(registry, folders);
    const struct {
        fs::path lockFile;
        std::string waiting;
    } holds[] = {
        {copy / ".dorvix-case.lock", "dorvix settings: waiting for another edit of the case to end\n"},
        {registry.string() + ".lock", "dorvix settings: waiting up to 30 s for " + registry.string() +
                                          ".lock, which another process holds\n"}};
    for (const auto& hold : holds) {
        std::optional<platform::ScopedEnvironmentVariable> use;
        if (hold.lockFile.parent_path() != copy) use.emplace("DORVIX_REGISTRY", registry.string());
        platform::FileLock other;
        ASSERT_EQ(other.Acquire(hold.lockFile), platform::FileLock::Result::kHeld);
        for (const auto& [signal, name] :
             {std::pair{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}}) {
            SCOPED_TRACE(hold.lockFile.string() + " " + name);
            clitest::CliRun edit = Start({"settings", copy.string(), "--set", "NumberOfSteps=3"}, name);
            for (const std::uint64_t start = platform::MonotonicMs();
                 edit.Err().find(hold.waiting) == npos && platform::MonotonicMs() - start < 60000;)
                platform::SleepMs(20);
            ASSERT_EQ(::kill(edit.Id(), signal), 0);
            EXPECT_EQ(edit.Exit(10000), 130);  // at once, not when the wait would end
            const Outcome outcome = edit.Finish();
            EXPECT_NE(outcome.err.find(hold.waiting + "dorvix settings: stopped by " + std::string(name) +
                                       "; the case is unchanged\n"),
                      npos)
                << outcome.err;
            EXPECT_EQ(decktest::ReadText(copy / "CAERep.xml"), model);
            EXPECT_EQ(decktest::ReadText(copy / "host.json"), host);
            EXPECT_EQ(decktest::ReadText(registry), folders);
        }
    }
}

// What the FIFO holds, without waiting for more.
std::string Drained(int fifo) {
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fifo, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    return text;
}

// A stop signal once the model is written, however late it comes (here while the edit's printed
// lines wait for room in a full FIFO at its exit), lets the edit end as written: exit code 0 and
// the lines that say what it wrote. So does an output closed before the edit printed.
TEST_F(SettingsEditTest, AStopSignalAfterTheModelIsWrittenLetsTheEditTellWhatItWrote) {
    const fs::path copy = CopyExample("block");
    const std::string model = decktest::ReadText(copy / "CAERep.xml");
    const fs::path out = scratch_.Path() / "lateSIGTERMrun.out";  // the output of Start(..., "lateSIGTERM")
    ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
    // Open for reading and writing here, so the program's open does not wait for a reader and the
    // FIFO never reads as ended.
    const int fifo = ::open(out.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fifo, 0);
    const std::size_t filled = static_cast<std::size_t>(::fcntl(fifo, F_SETPIPE_SZ, 4096));
    ASSERT_EQ(::write(fifo, std::string(filled, '.').data(), filled), static_cast<ssize_t>(filled));
    clitest::CliRun edit = Start({"settings", copy.string(), "--set", "NumberOfSteps=3"}, "lateSIGTERM");
    const fs::path syscall = "/proc/" + std::to_string(edit.Id()) + "/syscall";
    const std::string writingOut = std::to_string(SYS_write) + " 0x1 ";
    bool flushing = false;
    for (const std::uint64_t start = platform::MonotonicMs();
         !flushing && platform::MonotonicMs() - start < 60000; platform::SleepMs(1))
        flushing = decktest::ReadText(copy / "CAERep.xml") != model &&
                   decktest::ReadText(syscall).rfind(writingOut, 0) == 0;
    ASSERT_TRUE(flushing) << "the edit did not come to write its output: " << decktest::ReadText(syscall);
    ASSERT_EQ(::kill(edit.Id(), SIGTERM), 0);
    // Emptied once, the FIFO has room for the rest of what the edit prints.
    std::string printed = Drained(fifo);
    EXPECT_EQ(edit.Exit(), 0);
    printed += Drained(fifo);
    ::close(fifo);
    (void)edit.Reap();
    EXPECT_NE(printed.find("written:   " + (copy / "host.json").string() +
                               "\nwritten:   " + (copy / "CAERep.xml").string() + "\n",
                           filled),
              npos)
        << printed.substr(std::min(filled, printed.size()));
    EXPECT_EQ(edit.Err().find("stopped by"), npos) << edit.Err();
    // Nor does an output whose reader ended: the edit exits as written.
    const std::string piped =
        "bash -c '\"$0\" settings \"$1\" --set NumberOfSteps=2 | true; exit ${PIPESTATUS[0]}' ";
    EXPECT_EQ(std::system((piped + DORVIX_PROGRAM + " " + copy.string()).c_str()), 0);
    // Nor a registration's, once the registry is written.
    const std::string registering = "bash -c '\"$0\" register | true; exit ${PIPESTATUS[0]}' ";
    EXPECT_EQ(std::system((registering + DORVIX_PROGRAM).c_str()), 0);
}

// Between the replacements of host.json and of the model, a stop signal or another program's
// model puts host.json back; a file changed since it was read is never replaced. No new file is
// left beside them.
TEST(CaseFilesWrite, AStopSignalOrAFileChangedSinceItWasReadLeavesNoPartOfTheEdit) {
    decktest::ScratchFolder scratch;
    const fs::path host = scratch.Path() / "host.json";
    const fs::path model = scratch.Path() / "CAERep.xml";
    struct Row {
        std::function<void()> before;   // the edit is given its files
        std::function<void()> between;  // host.json is replaced
        CaseWriteOutcome outcome;
        std::string problem;
        std::string hostAfter;
        std::string modelAfter;
    };
    const std::function<void()> stop = [] { raise(SIGTERM); };
    const std::function<void()> newModel = [&] { platform::WriteFileReplacing(model, "theirs"); };
    const std::function<void()> newHost = [&] { platform::WriteFileReplacing(host, "theirs"); };
    const std::string changed = " changed since the edit read it; the edit was not written";
    const std::string unchanged = "; the case is unchanged";
    const Row rows[] = {
        {{}, stop, CaseWriteOutcome::kStopped, "stopped by SIGTERM" + unchanged, "host 1", "model"},
        {{}, newModel, CaseWriteOutcome::kChanged, model.string() + changed, "host 1", "theirs"},
        {newHost, {}, CaseWriteOutcome::kChanged, host.string() + changed, "theirs", "model"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.problem);
        const std::string hostRead = "host 1";
        const std::string modelRead = "model";
        decktest::WriteText(host, hostRead);
        decktest::WriteText(model, modelRead);
        platform::FileStamp hostStamp, modelStamp;
        ASSERT_TRUE(platform::ReadFileStamp(host, hostStamp) && platform::ReadFileStamp(model, modelStamp));
        if (row.before) row.before();
        platform::StopSignalCatcher stopSignals;
        const CaseWriteResult written = WriteCaseFiles(
            {{host, hostStamp, {"host ", "2"}, hostRead}, {model, modelStamp, {"model ", "2"}, modelRead}},
            [&](std::size_t replaced) {
                if (replaced == 0 && row.between) row.between();
            });
        EXPECT_EQ(written.outcome, row.outcome);
        EXPECT_EQ(written.problem, row.problem);
        EXPECT_EQ(decktest::ReadText(host), row.hostAfter);
        EXPECT_EQ(decktest::ReadText(model), row.modelAfter);
        EXPECT_EQ(platform::ListFolder(scratch.Path()),
                  (std::vector<std::string>{"CAERep.xml", "host.json"}));
    }
}

// The new files of an edit killed while it wrote (its process gone) are removed by the next edit
// of the case; those of a running process, names with a number no process can have and other
// files stay.
TEST_F(SettingsEditTest, NewFilesThatAKilledEditLeftAreRemovedByTheNext) {
    const fs::path copy = CopyExample("block");
    platform::ChildProcess ended;
    platform::ProcessOptions options;
    options.executable = "/bin/true";
    ASSERT_TRUE(ended.Start(options));
    ASSERT_EQ(ended.WaitAndReap(), platform::WaitResult::Exited);
    const std::string gone = std::to_string(ended.Id());
    const std::string running = std::to_string(platform::CurrentProcessId());
    // The system gives ids below pid_max; a name with any other number is the user's.
    const int pidMax = std::stoi(decktest::ReadText("/proc/sys/kernel/pid_max"));
    const std::vector<std::string> left = {"CAERep.xml.tmp-" + gone + "-0", "host.json.tmp-" + gone + "-12"};
    const std::vector<std::string> kept = {"CAERep.xml.tmp-" + running + "-0",
                                           "CAERep.xml.tmp-notes",
                                           "CAERep.xml.tmp-0-1",
                                           "CAERep.xml.tmp-" + std::to_string(pidMax) + "-1",
                                           "CAERep.xml.tmp-" + std::to_string(pidMax + 1) + "-1",
                                           "host.json.tmp-2147483647-1",
                                           "CAERep.xml.bak-2024-06",
                                           "CAERep.xml.bak-" + gone + "-1",
                                           "CAERep.xml.tmp-" + gone + "-x",
                                           "CAERep.xml.tmp-0" + gone + "-1",
                                           "CAERep.xml.tmp-" + gone + "-01",
                                           "host.json.tmp-" + gone + "-00"};
    for (const std::vector<std::string>* names : {&left, &kept})
        for (const std::string& name : *names) decktest::WriteText(copy / name, "<CAERep");
    const Outcome edit = Set(copy, {"NumberOfSteps=2"});
    ASSERT_EQ(edit.exit, 0) << edit.err;
    for (const std::string& name : left) EXPECT_FALSE(fs::exists(copy / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(copy / name)) << name;
}

// An entity reference in the settings element, which the settings object would take for text, is
// refused with where it stands; character references and the predefined entities are read.
TEST_F(SettingsEditTest, AnEntityReferenceInTheSettingsIsRefusedWithWhereItStands) {
    struct Row {
        const char* what;
        std::string from;
        std::string to;
        int exit;
        std::string reason;
    };
    const Row rows[] = {
        {"an entity of the document type", "<EndTime>1.</EndTime>", "<EndTime>&end;</EndTime>", 2,
         "cannot be read: the settings element holds an entity reference (&end;) at line 14, column 20, "
         "which the settings do not read\n"},
        {"a character reference", "<EndTime>1.</EndTime>", "<EndTime>&#49;.</EndTime>", 0, ""},
        {"the predefined entities", "<SolverFilesDirectory/>",
         "<SolverFilesDirectory>&lt;&gt;&amp;&quot;&apos;</SolverFilesDirectory>", 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path copy = CopyExample("block");
        const std::string text = Replaced(Replaced(decktest::ReadText(copy / "CAERep.xml"), "?>\n",
                                                   "?>\n<!DOCTYPE CAERep [\n<!ENTITY end \"1.\">\n]>\n"),
                                          row.from, row.to);
        decktest::WriteText(copy / "CAERep.xml", text);
        const Outcome edit = Set(copy, {"NumberOfSteps=2"});
        EXPECT_EQ(edit.exit, row.exit) << edit.err;
        if (row.exit != 0) {
            EXPECT_NE(edit.err.find(row.reason), npos) << edit.err;
            EXPECT_EQ(decktest::ReadText(copy / "CAERep.xml"), text);
        }
        fs::remove_all(copy);
    }
}

// The edit asks the settings object a few things per value, however many values come before it:
// a load history and a refused edit of many values use the grid's entries in proportion to their
// values, not to their square.
TEST_F(SettingsEditTest, AnEditUsesTheGridAFewTimesPerValue) {
    const platform::ScopedEnvironmentVariable registry("DORVIX_REGISTRY", (scratch_.Path() / "reg").string()),
        language("QXW_LOCALE120", "en-us");
    std::vector<std::string> history{"NumberOfSteps=100"}, undone(200, "PrestressedStatic=Yes");
    for (int k = 1; k <= 100; ++k)
        history.insert(history.end(),
                       {"CurrentStepNumber=" + std::to_string(k), "EndTime=" + std::to_string(k)});
    undone.push_back("UseLargeDeformation=On");
    const std::string changed = "the later UseLargeDeformation=On changed it";
    for (const auto& [values, told] : {std::pair{history, std::string()}, {undone, changed}}) {
        SettingsCommand command{CopyExample("block"), {}};
        for (const std::string& value : values)
            command.assignments.emplace_back(value.substr(0, value.find('=')),
                                             value.substr(value.find('=') + 1));
        std::ostringstream out, err;
        const std::uint64_t before = GridEntryUses();
        EXPECT_EQ(RunSettingsCommand(command, fs::path(DORVIX_PROGRAM).parent_path(), out, err),
                  told.empty() ? 0 : 3);
        EXPECT_NE(err.str().find(told), npos) << err.str();
        EXPECT_LE(GridEntryUses() - before, 8 * values.size()) << values.front();
        fs::remove_all(command.caseFolder);
    }
}

// The command line run to its end with its output discarded: its exit code and the most memory it
// held (kB), as the system counts it for that one process.
int RunForPeakMemory(const std::vector<std::string>& arguments, long& peakKb) {
    std::vector<std::string> words{DORVIX_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int discard = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(discard, STDOUT_FILENO);
        ::dup2(discard, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(discard);
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return -1;
    peakKb = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An edit of a large model holds the model's text once and makes a document of its settings
// alone: beyond what an edit of the small example takes, it takes less than one and a half times
// the model's size (the text, and the sanitizer's record of it).
TEST_F(SettingsEditTest, ALargeModelCostsLittleMoreThanItsText) {
    const fs::path copy = CopyExample("block");
    long smallKb = 0;
    long largeKb = 0;
    ASSERT_EQ(RunForPeakMemory({"settings", copy.string(), "--set", "NumberOfSteps=2"}, smallKb), 0);
    const std::string model = decktest::ReadText(copy / "CAERep.xml");
    const std::size_t at = model.find("  </SolverRep>\n") + 15;
    const std::string note = "  <Note CAEType=\"property\" ValueType=\"string\">harmless</Note>\n";
    std::string large = model.substr(0, at);
    while (large.size() < (std::size_t{64} << 20)) large += note;
    large += model.substr(at);
    decktest::WriteText(copy / "CAERep.xml", large);
    ASSERT_EQ(RunForPeakMemory({"settings", copy.string(), "--set", "NumberOfSteps=3"}, largeKb), 0);
    EXPECT_LT(static_cast<double>(largeKb - smallKb) * 1024, 1.5 * static_cast<double>(large.size()))
        << smallKb << " kB for the example, " << largeKb << " kB for a model of " << large.size() << " bytes";
}

}  // namespace
