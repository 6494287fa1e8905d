// The eigen feeder: whole modal and buckling decks of the example cases, written and solved by
// the stand-in solver (a prestressed one after the structural pass that leaves its prestress
// deck), the eigenvalues handed back, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>

#include "../deck_test_support.h"
#include "caerep/core/cae_rep.h"
#include "deck/feeders/eigen_dorvix_feeder.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "feeder_test_support.h"
#include "hostsim/object_model.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "runtime/addin_services.h"
#include "runtime/return_package.h"
#include "settings/modal_controls.h"
#include "settings/settings_factory.h"
#include "tests/golden_file.h"

namespace fs = std::filesystem;

namespace {

using feedertest::InScratch;

class EigenCaseRun {
  public:
    // With a prestress pass, the structural case "struct-prestressed" is solved in the folder
    // first (one simulated host lives at a time, so before the eigen case is loaded).
    explicit EigenCaseRun(const std::string& name, bool prestressPass = false)
        : passed_(prestressPass && RunPrestressPass()), model_(name) {
        (void)AddinServices::GetInstance().SetApplet(CreateHostSimApplet(model_.Objects()).Get());
    }
    ~EigenCaseRun() { AddinServices::ReleaseInstance(); }
    feedertest::ModelCase& Model() { return model_; }
    // The applet answers from these objects instead of the case's.
    void UseObjects(const std::vector<HostSimObject>& objects) {
        (void)AddinServices::GetInstance().SetApplet(
            CreateHostSimApplet(
                std::make_shared<HostSimObjectModel>(objects, std::vector<CoordinateSystemData>{}))
                .Get());
    }
    // The structural pass that leaves "prestress.dat" in the folder.
    static bool RunPrestressPass() {
        feedertest::ModelCase structural("struct-prestressed");
        InScratch<StructDorvixFeeder> feeder;
        ReturnPackage package;
        return feeder.LoadCAERepresentation(structural.ModelPath(), L"") == kRC_Success &&
               feeder.Feed(&structural.DataSource(), &package) == kRC_Success &&
               platform::FileExists(platform::CurrentFolder() / "prestress.dat");
    }
    bool PrestressPassed() const { return passed_; }
    int Feed() {
        const int code = feeder_.LoadCAERepresentation(model_.ModelPath(), L"");
        if (code != kRC_Success) return code;
        return feeder_.Feed(&model_.DataSource(), &package_);
    }
    const ReturnPackage& Package() const { return package_; }
    // "Type: Text" of every message the feeder posted.
    std::vector<std::wstring> Messages() const { return feedertest::PostedMessages(feeder_); }
    const fs::path& Folder() const { return scratch_.Path(); }
    std::string Deck() const { return decktest::ReadText(Folder() / "dorvix.dat"); }

  private:
    decktest::ScratchFolder scratch_;
    platform::ScopedFixedClock clock_{{2024, 6, 5, 9, 4, 3, 0, 3}};
    platform::ScopedEnvironmentVariable solver_{"DVX_EXE", std::string(DORVIX_BINARY_DIR) + "/solver"};
    bool passed_;
    feedertest::ModelCase model_;
    InScratch<EigenDorvixFeeder> feeder_;
    ReturnPackage package_;
};

class EigenWholeDeck : public ::testing::TestWithParam<const char*> {};

TEST_P(EigenWholeDeck, IsSolvedAndHandsBackTheEigenvalues) {
    const std::string name = GetParam();
    const bool prestressed = name != "eigen-modal";
    EigenCaseRun run(name, prestressed);
    ASSERT_EQ(run.PrestressPassed(), prestressed);
    EXPECT_EQ(run.Feed(), kRC_Success);
    int result = -1;
    unsigned bits = 1;
    int error = -1;
    (void)run.Package().GetStatus(result, bits, error);
    EXPECT_EQ(result, kRC_Success);
    char description[64] = {};
    ASSERT_EQ(run.Package().GetResultFileName(description, sizeof description), S_OK);
    EXPECT_EQ(std::string(description), name == "eigen-buckling" ? "dorvix_st.des" : "dorvix_dy.des");
    // The stand-in solver finds three modes with eigenvalues 10, 20 and 30.
    std::vector<double> values;
    run.Package().GetValueList(values);
    EXPECT_EQ(values, (std::vector<double>{10.0, 20.0, 30.0}));
    golden::ExpectText(decktest::CaseFolder(name) / "expected-deck.dat", run.Deck());
}

INSTANTIATE_TEST_SUITE_P(Cases, EigenWholeDeck,
                         ::testing::Values("eigen-modal", "eigen-buckling", "eigen-modal-prestress"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(EigenFeed, BucklingWithoutPrestressIsRefusedButGetsTheSnippetsAndNoReturn) {
    EigenCaseRun run("eigen-buckling");
    run.Model().MutableCase().solveJob->initialCondition->kind = 0;
    run.Model().MutableCase().snippets.push_back({1, "! object one", 1, -1});
    EXPECT_EQ(run.Feed(), kRC_MissingData);
    const std::string deck = run.Deck();
    EXPECT_NE(deck.find("! object one"), std::string::npos);
    EXPECT_EQ(deck.find("RETURN"), std::string::npos);
    EXPECT_EQ(deck.find(".FLAMB"), std::string::npos);
}

TEST(EigenFeed, NonLinearPrestressReadsTheNonLinearDeckFromItsStep) {
    EigenCaseRun run("eigen-modal-prestress", true);
    ASSERT_TRUE(run.PrestressPassed());
    HostSimObject environment = run.Model().MutableCase().objects.at(0);
    environment.properties = {{kPrestressNonLinearProperty, -1}, {kPrestressStepProperty, 2}};
    run.UseObjects({environment});
    EXPECT_EQ(run.Feed(), kRC_Success);
    const std::string deck = run.Deck();
    EXPECT_NE(deck.find("INPUT.mcnl \"prestress.dat\"\n"), std::string::npos);
    EXPECT_NE(deck.find(".DVX ISTOP 8\n.DVX INST 2\n.DVX NPR  2\n.GEL TEMP 295.15\n"), std::string::npos);
}

// An environment the host does not know says nothing of a non-linear solution: the deck reads
// the linear prestress deck, as it does for a linear environment, and a warning names the id.
TEST(EigenFeed, UnknownPrestressEnvironmentReadsTheLinearDeck) {
    EigenCaseRun run("eigen-modal-prestress", true);
    ASSERT_TRUE(run.PrestressPassed());
    run.UseObjects({});
    EXPECT_EQ(run.Feed(), kRC_Success);
    golden::ExpectText(decktest::CaseFolder("eigen-modal-prestress") / "expected-deck.dat", run.Deck());
    EXPECT_EQ(run.Messages(),
              std::vector<std::wstring>{L"Warning: The prestress environment 50 is not known to "
                                        L"the host; its solution is read as linear"});
}

TEST(EigenFeed, NoEigenvalueEndsWith11AndHandsNoValues) {
    EigenCaseRun run("eigen-modal");
    decktest::WriteText(run.Folder() / "dorvix-standin.ctl", "modes 0\n");
    EXPECT_EQ(run.Feed(), kRC_SolutionIncomplete);
    std::vector<double> values;
    run.Package().GetValueList(values);
    EXPECT_TRUE(values.empty());
}

class EigenSettingsUnderTest : public EigenDorvixFeeder {
  public:
    EigenSettingsUnderTest() = default;
    explicit EigenSettingsUnderTest(int analysis) { UseAnalysis(analysis); }
    void UseAnalysis(int analysis) {
        AdoptSettings(CreateDorvixSolutionSettings(analysis, kMechanicalPhysics));
    }
    void Use(TRVDataSourceItf* source, ReturnPackage* package) { SetSolveArguments(source, package); }
};

// A modal run on its own model: each remote displacement's fixed components as constants on its
// remote point's node, valued at the end of the one step.
TEST(EigenLoads, ModalRunWritesRemoteDisplacementsAsConstants) {
    decktest::ScratchFolder scratch;
    feedertest::ModelCase model("loads-remote-displacement");
    InScratch<EigenSettingsUnderTest> feeder;
    ReturnPackage package;
    feeder.Use(&model.DataSource(), &package);
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.Open(), kRC_Success);
    feeder.UseAnalysis(kModalAnalysis);
    // The remote points' host nodes 1001 and 1002 as deck nodes 9 and 10.
    (void)package.SetLookup(1001, 9, 1);
    (void)package.SetLookup(1002, 10, 1);
    ASSERT_EQ(feeder.WriteLoadsAndBCs(), kRC_Success);
    ASSERT_TRUE(feeder.GetDeckFile()->CloseDeck());
    std::vector<std::string> lines = decktest::ReadLines(scratch.Path() / "dorvix.dat");
    const auto section = std::find(lines.begin(), lines.end(), "! Loads/BCs");
    ASSERT_NE(section, lines.end());
    lines.erase(lines.begin(), section + 2);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "!*********** Construct Remote Displacement ***********",
                  ".CLM DEP NOE NOM \"Remote Displacement\"", "  I 9 V 0.5 COMP 1", "  I 9 V -0.25 COMP 3",
                  "  I 9 V 1.e-002 COMP 6", "!*********** Construct Remote Displacement ***********",
                  ".CLM DEP NOE NOM \"Held Remote Point\"", "  I 10 V 0. COMP 1", "  I 10 V 0. COMP 2",
                  "  I 10 V 0. COMP 3", "  I 10 V 0. COMP 4", "  I 10 V 0. COMP 5", "  I 10 V 0. COMP 6"}));
}

// Modal and buckling settings keep no steps, yet the writers an eigen deck shares with the
// others (temperatures, imported loads) ask for the end time of step 1.
TEST(EigenStepEndTime, OneStepEndingAt1) {
    for (int analysis : {kModalAnalysis, kBucklingAnalysis}) {
        SCOPED_TRACE(analysis);
        EigenSettingsUnderTest feeder(analysis);
        double end = -1.0;
        EXPECT_EQ(feeder.GetStepEndTime(1, end), kRC_Success);
        EXPECT_EQ(end, 1.0);
        end = -1.0;
        EXPECT_EQ(feeder.GetStepEndTime(2, end), kRC_MissingStepValue);
        EXPECT_EQ(end, -1.0);
    }
}

}  // namespace
