// `dorvix settings --set` as a user runs it on a case of their own: the edit changes the settings
// element of the model and nothing else of the file, holds the case while it reads, changes and
// writes it, and the host keeps in host.json what the add-in told it of the steps.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/cli/cli_run.h"
#include "tests/deck/deck_test_support.h"

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
    const ModelForm forms[] = {
        {"hostile", "\xEF\xBB\xBF" + hostile,
         "\xEF\xBB\xBF" + hostile.substr(0, hostile.find(open) + open.size()),
         hostile.substr(hostile.find(close))},
        {"empty-element tag", empty, empty.substr(0, empty.find("/>")), empty.substr(empty.find("/>") + 2)},
        {"missing", missing, missing.substr(0, missing.find("  </SolverRep>")),
         missing.substr(missing.find("  </SolverRep>"))},
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
    EXPECT_NE(four.out.find("host calls:\n  add step 4 to object 21\n  add step 4 to object 22\n"
                            "  insert step row 4 into object 23\n  step count 4 on object 28\n"),
              std::string::npos)
        << four.out;
    EXPECT_EQ(four.out.find("refused"), std::string::npos) << four.out;
    const Outcome solved = Dorvix({copy.string()});
    EXPECT_EQ(solved.exit, 0) << solved.out;
    EXPECT_NE(solved.out.find("4 result sets"), std::string::npos) << solved.out;
}

}  // namespace
