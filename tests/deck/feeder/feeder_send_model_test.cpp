// The model section of the deck, written for the bundled block example by a feeder that was
// loaded and opened as the analysis feeders do.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

#include "../deck_test_support.h"
#include "deck/deck_counters.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "feeder_test_support.h"
#include "runtime/progress.h"

using feedertest::CaseRun;
using feedertest::FeederUnderTest;
using feedertest::kBlock;
using Lines = std::vector<std::string>;

namespace {

namespace fs = std::filesystem;

void Replace(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Answers "cancel" at the n-th report (0: never) and records the stage percentages.
class ProgressRecorder : public IProgressCallback {
  public:
    explicit ProgressRecorder(int cancelAt = 0) : cancelAt_(cancelAt) {}
    int OnProgress(int, int percent, int) override {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) == cancelAt_ ? 0 : 1;
    }
    std::vector<int> percents;

  private:
    int cancelAt_;
};

bool IsCount(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "The current time is <24-character date>", five lines "<name> = <milliseconds>", a blank line.
bool IsTimingLog(const fs::path& path) {
    const std::string text = decktest::ReadText(path);
    const Lines lines = decktest::ReadLines(path);
    const char* names[] = {"Send Nodes      = ", "Send Elements   = ", "Send Attributes = ",
                           "Send Materials  = ", "Send Components = "};
    if (lines.size() != 7 || lines[0].rfind("The current time is ", 0) != 0 || lines[0].size() != 20 + 24 ||
        !lines[6].empty() || text.substr(text.size() - 2) != "\n\n")
        return false;
    for (int i = 0; i < 5; ++i)
        if (lines[i + 1].rfind(names[i], 0) != 0 || !IsCount(std::string_view(lines[i + 1]).substr(18)))
            return false;
    return true;
}

std::ptrdiff_t IndexOf(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

}  // namespace

TEST(SendModel, WritesTheModelSectionInItsOrder) {
    CaseRun run;
    run.Case().solveJob.emplace().geometryAttachFile = L"/models/bl\u00F6ck 1.agdb";
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    ASSERT_EQ(run.feeder.SendModel(), kRC_Success);
    ASSERT_EQ(run.feeder.WriteReturn(), kRC_Success);
    EXPECT_EQ(run.feeder.GetNodeCount(), 125);
    EXPECT_EQ(run.feeder.GetElementCount(), 64);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 1);

    const Lines lines = run.feeder.CloseDeckLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(
        Lines(lines.begin(), lines.begin() + 5),
        (Lines{"! File used for geometry attach: ",
               "! /models/bl\xC3\xB6"
               "ck 1.agdb",
               "! Data in consistent MKS units.", "!---------------------------------------", "! Topology"}));
    const std::ptrdiff_t elements = IndexOf(lines, ".MAI");
    const std::ptrdiff_t group = IndexOf(lines, ".AEL GROUP 1 DEGRE 1 MAT 1");
    const std::ptrdiff_t materials = IndexOf(lines, "! Materials");
    EXPECT_LT(elements, group);
    EXPECT_LT(group, materials);
    EXPECT_LT(materials, static_cast<std::ptrdiff_t>(lines.size()));
    EXPECT_EQ(lines.back(), "RETURN");
}

TEST(SendModel, ReportsFromFiveToSeventyAndStopsWhenCancelled) {
    std::size_t reports = 0;
    {
        CaseRun run;
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
        ProgressRecorder progress;
        ScopedProgressCallback scope(&progress);
        ASSERT_EQ(run.feeder.SendModel(), kRC_Success);
        ASSERT_GE(progress.percents.size(), 3u);
        EXPECT_EQ(progress.percents.front(), 5);
        EXPECT_EQ(progress.percents.back(), 70);  // the one part: 25 + 45 * 1 / 1
        const auto at25 = std::find(progress.percents.begin(), progress.percents.end(), 25);
        EXPECT_NE(std::find(at25, progress.percents.end(), 70), progress.percents.end());
        reports = progress.percents.size();
    }
    for (const std::size_t cancelAt : {std::size_t{1}, reports}) {
        CaseRun run;
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
        ProgressRecorder progress(static_cast<int>(cancelAt));
        ScopedProgressCallback scope(&progress);
        EXPECT_EQ(run.feeder.SendModel(), kRC_Cancelled) << cancelAt;
        if (cancelAt == 1) {
            EXPECT_EQ(run.feeder.CloseDeckLines(), Lines{});
        }
    }
}

TEST(SendModel, TheUnitsCommentNamesTheDeckUnitSystem) {
    const std::pair<int, const char*> table[] = {
        {5, "! Data in consistent CGS units."},   {6, "! Data in consistent NMM units."},
        {7, "! Data in consistent BFT units."},   {8, "! Data in consistent BIN units."},
        {10, "! Data in consistent uMKS units."}, {11, "! Data in consistent MKS units."},
        {2, "! Data in unknown units."},
    };
    for (const auto& [system, comment] : table) {
        CaseRun run;
        run.Case().deckUnitSystem = system;
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success) << system;
        // The comment comes before anything that depends on the units.
        (void)run.feeder.SendModel();
        const Lines lines = run.feeder.CloseDeckLines();
        ASSERT_GE(lines.size(), 3u) << system;
        EXPECT_EQ(lines[2], comment) << system;
    }
}

// A body meshed in both orders takes two element groups; the selection groups written after
// the model start above all three groups, not above the two bodies.
TEST(SendModel, SelectionGroupsStartAboveEveryElementGroup) {
    // The mixed-order case with the block's material library for both its bodies.
    CaseRun run(decktest::CaseFolder("mesh-mixed-solids"), [](const fs::path& folder) {
        ASSERT_TRUE(platform::CopyFileTo(kBlock / "MatML.xml", folder / "MatML.xml", false));
        std::string model = decktest::ReadText(folder / "CAERep.xml");
        Replace(model, ">Steel<", ">Structural Steel<");
        Replace(model, ">Aluminium<", ">Structural Steel<");
        Replace(model, "  </MeshRep>\n",
                "  </MeshRep>\n  <MaterialLibraryRep CAEType=\"object\" Type=\"MaterialLibraryRep\" "
                "Version=\"1\" "
                "Id=\"4\">\n    <FileName CAEType=\"property\" ValueType=\"string\">MatML.xml</FileName>\n"
                "  </MaterialLibraryRep>\n");
        decktest::WriteText(folder / "CAERep.xml", model);
    });
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    ASSERT_EQ(run.feeder.SendModel(), kRC_Success);
    ASSERT_EQ(run.feeder.GetBodyWrapper()->GetBodyCount(), 2);
    EXPECT_EQ(run.feeder.GetGroupCounterCarry(), 3);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 3);
}

// "track times" writes the timing log into the working folder only when the option reads as 1;
// "create components" read the same way no longer warns (its writer exists now).
TEST(SendModel, OptionsThatReadAsOneAskForTheTimingLogAndTheComponents) {
    const std::pair<const char*, bool> table[] = {{"1", true},  {" +1", true}, {"01", true},  {"1 x", true},
                                                  {"0", false}, {"10", false}, {"-1", false}, {"yes", false}};
    for (const auto& [value, on] : table) {
        CaseRun run;
        run.Case().namedOptions["track times"] = value;
        run.Case().namedOptions["create components"] = value;
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success) << value;
        ASSERT_EQ(run.feeder.SendModel(), kRC_Success) << value;
        const fs::path log = run.Folder() / "dorvixWrite.log";
        EXPECT_EQ(platform::FileExists(log), on) << value;
        EXPECT_FALSE(run.feeder.WasMessagePosted()) << value;
        if (on) {
            EXPECT_TRUE(IsTimingLog(log)) << decktest::ReadText(log);
        }
    }
}

TEST(SendModel, BeforeTheDeckIsOpenedItAnswers25) {
    FeederUnderTest feeder;
    EXPECT_EQ(feeder.SendModel(), kRC_MissingData);
    EXPECT_EQ(feeder.SendPartMesh(0), kRC_MissingData);
    EXPECT_EQ(feeder.UpdateNonlinearFlag(), kRC_MissingData);
}
