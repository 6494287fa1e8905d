// The structural feeder: its own sections on an opened deck, and whole decks of the
// structural example cases written and solved by the stand-in solver.
#include <gtest/gtest.h>

#include <functional>

#include "../deck_test_support.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "feeder_test_support.h"
#include "hostsim/object_model.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "runtime/addin_services.h"
#include "runtime/return_package.h"
#include "settings/output_controls.h"
#include "settings/settings_factory.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"
#include "tests/golden_file.h"

using feedertest::kAutomaticStepCard;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

class StructUnderTest : public feedertest::InScratch<StructDorvixFeeder> {
  public:
    using DorvixFeeder::SetNonLinearFlag;
    using DorvixFeeder::SetSolveArguments;
    void UseSettings(int analysis, int steps) {
        std::unique_ptr<DorvixSolutionSettings> settings =
            CreateDorvixSolutionSettings(analysis, kMechanicalPhysics);
        ASSERT_TRUE(settings);
        ASSERT_EQ(settings->GetControlsAs<DorvixStepControlsList>(kStepListTag)->SetNumberOfSteps(steps),
                  kSettingsDone);
        AdoptSettings(std::move(settings));
        SetNumberOfSteps(steps);
    }
    DorvixTimeStepOptions& Options(int step = 1) {
        return *GetSettings()->GetStepControlsAs<DorvixTimeStepOptions>(step, kTimeStepOptionsSelector);
    }
    DorvixOutputControls& Output(int step = 1) {
        return *GetSettings()->GetStepControlsAs<DorvixOutputControls>(step, kStepOutputControlsSelector);
    }
    DorvixSolverControls& Solver() {
        return *GetSettings()->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    }
    void KeepForPrestressedModal() {
        GetSettings()
            ->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag)
            ->SetFutureAnalysisType(kSaveFilesForPrestressedModalAnalysis);
    }
};

const char* const kRule = "! ------------------------------------------------------------------------------";
const char* const kMode = "MODE IMPRES 0 LECT 132 MOUCHARD 1 ECHO 1";

TEST(StructHeader, FollowsTheRunMode) {
    struct Row {
        int nonLinear;
        bool prestressed;
        int steps;
        bool keepForModal;
        Lines expected;
    };
    const Lines linear = {"! ANALYSE STATIQUE LINEAIRE (ALIN)", kRule, ".ALIN &", "! ",
                          "! ANALYSE STATIQUE LINEAIRE (ALIN)", "! ",  kMode};
    const Lines twoPasses = {"! ANALYSE STATIQUE LINEAIRE PRECONTRAINTE (ALIN-ALIN precontraint en NC)",
                             kRule,
                             "! ",
                             "! FIRST STATIC ANALYSIS (ALIN)",
                             "! ",
                             ".ALIN_1 &",
                             ".DVX IU18 19",
                             "input.ALIN CURRENT",
                             "RETURN",
                             "! ",
                             "! SECOND STATIC ANALYSIS (ALIN)",
                             "! ",
                             ".ALIN_2 &",
                             ".DVX IFPR 19",
                             "input.ALIN CURRENT",
                             "RETURN",
                             "! ",
                             ".ALIN &",
                             "! ",
                             kMode};
    const Row rows[] = {
        {0, false, 1, false, linear},
        {1,
         true,
         1,
         false,
         {"! ELASTO VISCO PLASTIQUE (NOLIN)", kRule, ".MCNL &", "! ", "! ELASTO VISCO PLASTIQUE (NOLIN)",
          "! ", kMode}},
        {0, true, 1, false, twoPasses},
        {0, true, 3, true, twoPasses},
        {0,
         true,
         3,
         false,
         {"! ANALYSE STATIQUE LINEAIRE PRECONTRAINTE (ALIN precontraint en TIME)", kRule, ".ALIN &", "! ",
          "! ANALYSE STATIQUE LINEAIRE (ALIN)", "! ", ".DVX IFPR 19", kMode}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "non-linear " << row.nonLinear << ", prestressed " << row.prestressed << ", steps "
                     << row.steps << ", modal " << row.keepForModal);
        decktest::ScratchFolder scratch;
        StructUnderTest feeder;
        feeder.UseSettings(kStaticAnalysis, row.steps);
        feeder.SetNonLinearFlag(row.nonLinear);
        feeder.Solver().SetDoPrestressedStatic(row.prestressed);
        if (row.keepForModal) feeder.KeepForPrestressedModal();
        feeder.OpenDeck();
        EXPECT_EQ(feeder.WriteAnalysisHeader(), kRC_Success);
        EXPECT_EQ(feeder.GetNumberOfSteps(), row.steps);
        EXPECT_EQ(feeder.CloseDeckLines(), row.expected);
    }
}

TEST(StructHeader, NoLoadStepAnswers2AfterTheDeckWasOpened) {
    decktest::ScratchFolder scratch;
    StructUnderTest feeder;
    feeder.UseSettings(kStaticAnalysis, 0);  // and no object table
    feeder.OpenDeck();
    EXPECT_EQ(feeder.WriteAnalysisHeader(), kRC_NoLoadStep);
    EXPECT_EQ(feeder.CloseDeckLines(), Lines{});
}

// One transient step from 0 to 1 unless a row changes it.
TEST(StructStepSubcase, WritesTheTimeSteppingOfTheChosenMode) {
    struct Row {
        const char* name;
        std::function<void(StructUnderTest&)> set;
        int code;
        Lines cards;  // after ".SUB", "  I 1", "  REAC 2"
    };
    const Row rows[] = {
        {"program controlled",
         [](StructUnderTest& f) { f.Options().SetUseAutoTimeStepping(kProgramControlled); },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard}},
        {"program controlled, kept for a modal run",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kProgramControlled);
             f.KeepForPrestressedModal();
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard, "  LDYN 1"}},
        {"on, kept for a modal run",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOn);
             f.KeepForPrestressedModal();
         },
         kRC_Success,
         {"  LDYN 1", "  TIME 1.", kAutomaticStepCard}},
        {"on, by sub-steps",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOn);
             f.Options().SetTimeStepDefineby(kDefineBySubSteps);
             f.Options().SetInitialSteps(5);
             f.Options().SetMaximumSteps(10);
             f.Options().SetMinimumSteps(2);
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard, "  DTI0 0.2 ! Initial time step", "  HMIN 0.1 ! Minimum time step",
          "  HMAX 0.5 ! Maximum time step"}},
        {"on, by time, all zero",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOn);
             f.Options().SetTimeStepDefineby(kDefineByTime);
             f.Options().SetTimeStep(0.0);
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard}},
        {"on, a sub-step count of zero",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOn);
             f.Options().SetTimeStepDefineby(kDefineBySubSteps);
             f.Options().SetTimeStep(0.0);
         },
         kRC_MissingData,
         {}},
        {"off, equally spaced",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Options().SetTimeStepDefineby(kDefineByTime);
             f.Options().SetTimeStep(0.1);
             f.Output().SetTimePointsOptions(kTimePointsEquallySpaced);
             f.Output().SetEquallySpaced(3);
         },
         kRC_Success,
         {"  TIME 0. A 1. PAS 0.3"}},
        {"off, an end time of eight digits",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Options().SetTimeStepDefineby(kDefineByTime);
             f.Options().SetTimeStep(0.1);
             f.GetSettings()
                 ->GetStepControlsAs<DorvixStepControls>(1, kStepSelector)
                 ->StoreEndTime(1.2345678);
         },
         kRC_Success,
         {"  TIME 0. A 1.2345678 PAS 0.1"}},
        {"off, last time point",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Output().SetTimePointsOptions(kTimePointsLast);
         },
         kRC_Success,
         {"  TIME 1."}},
        {"off, zero sub-steps",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Options().SetTimeStepDefineby(kDefineBySubSteps);
             f.Options().SetTimeStep(0.0);
         },
         kRC_MissingData,
         {}},
        {"off, unknown time points",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kOff);
             f.Output().SetTimePointsOptions(9);
         },
         kRC_MissingData,
         {}},
        {"unknown stepping",
         [](StructUnderTest& f) { f.Options().SetUseAutoTimeStepping(7); },
         kRC_MissingData,
         {}},
        {"manual Newton, solver and storage",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kProgramControlled);
             f.Options().SetNewtonIterationMaximumNumberType(kManualType);
             f.Options().SetNewtonIterationMaximumNumber(20);
             f.Options().SetNewtonEnergyConvergenceType(kManualType);
             f.Options().SetStorageFrequencyNodalResultsType(kManualType);
             f.Options().SetStorageFrequencyNodalResults(1);
             f.Solver().SetSolverType(kSolverManual);
             f.Solver().SetManualSolver(6);
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard, "  ITMA 20 ! Maximum number of iterations", "  PRCE 1.e-003 ! ",
          "  RESO 6 ! ", "  IA16 1 ! Storage frequency of all nodal results (.DES)"}},
        {"a solver type of its own",
         [](StructUnderTest& f) {
             f.Options().SetUseAutoTimeStepping(kProgramControlled);
             f.Solver().SetSolverType(kSolverSparse);
         },
         kRC_Success,
         {"  TIME 1.", kAutomaticStepCard, "  RESO 5 ! "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        decktest::ScratchFolder scratch;
        StructUnderTest feeder;
        feeder.UseSettings(kTransientAnalysis, 1);
        row.set(feeder);
        feeder.OpenDeck();
        EXPECT_EQ(feeder.WriteStepSubcase(1), row.code);
        Lines expected;
        if (row.code == kRC_Success) expected = {".SUB", "  I 1", "  REAC 2"};
        expected.insert(expected.end(), row.cards.begin(), row.cards.end());
        EXPECT_EQ(feedertest::NamingAutomaticStepCard(feeder.CloseDeckLines()), expected);
    }
}

TEST(StructStepSubcase, LinearStaticStepsOnlyKeepTheirEndTime) {
    decktest::ScratchFolder scratch;
    StructUnderTest feeder;
    feeder.UseSettings(kStaticAnalysis, 2);
    feeder.OpenDeck();
    EXPECT_EQ(feeder.WriteStepSubcase(2), kRC_Success);
    EXPECT_EQ(feeder.GetCurrentStepEndTime(), 2.0);
    EXPECT_EQ(feeder.CloseDeckLines(), Lines{});
}

TEST(StructPrestressCopy, CopiesTheDeckAnd37WhenItCannot) {
    decktest::ScratchFolder scratch;
    StructUnderTest feeder;
    feeder.OpenDeck();
    feeder.GetDeckFile()->WriteLine("RETURN");
    ASSERT_TRUE(feeder.GetDeckFile()->CloseDeck());
    EXPECT_EQ(feeder.CopyPrestressFile(), kRC_Success);
    EXPECT_EQ(decktest::ReadText(scratch.Path() / "prestress.dat"),
              decktest::ReadText(scratch.Path() / "dorvix.dat"));
    ASSERT_TRUE(platform::RemoveFile(scratch.Path() / "prestress.dat"));
    ASSERT_TRUE(platform::CreateFolders(scratch.Path() / "prestress.dat"));
    EXPECT_EQ(feeder.CopyPrestressFile(), kRC_PrestressCopyFailed);
}

using StructCaseRun = feedertest::SolvedCase<StructUnderTest>;

class StructWholeDeck : public ::testing::TestWithParam<const char*> {};

TEST_P(StructWholeDeck, IsSolvedAndMatchesItsReviewedDeck) {
    const std::string name = GetParam();
    StructCaseRun run(name);
    EXPECT_EQ(run.Feed(), kRC_Success);
    int result = -1;
    unsigned bits = 1;
    int error = -1;
    (void)run.Package().GetStatus(result, bits, error);
    EXPECT_EQ(result, kRC_Success);
    EXPECT_EQ(bits, 0u);
    char description[64] = {};
    ASSERT_EQ(run.Package().GetResultFileName(description, sizeof description), S_OK);
    const std::string expectedDescription = name == "struct-nonlinear" ? "dorvix_me.des" : "dorvix_as.des";
    EXPECT_EQ(std::string(description), expectedDescription);
    EXPECT_TRUE(platform::FileExists(run.Folder() / expectedDescription));
    EXPECT_EQ(platform::FileExists(run.Folder() / "prestress.dat"), name == "struct-prestressed");
    golden::ExpectText(decktest::CaseFolder(name) / "expected-deck.dat",
                       decktest::ReadText(run.Folder() / "dorvix.dat"));
}

INSTANTIATE_TEST_SUITE_P(Cases, StructWholeDeck,
                         ::testing::Values("struct-linear-static", "struct-two-steps-function",
                                           "struct-nonlinear", "struct-prestressed",
                                           "struct-transient-velocity", "struct-2d-scaled"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(StructFeed, InputOnlyCopiesTheDeckWithoutSolverOrEndTimeCheck) {
    StructCaseRun run("struct-linear-static");
    SolveJobRecord job;
    job.inputOnly = true;
    job.copyTargetPath = platform::WideFromPath(run.Folder() / "copy.dat");
    run.Model().MutableCase().solveJob = job;
    EXPECT_EQ(run.Feed(), kRC_Success);  // no result set, yet no 11
    EXPECT_FALSE(platform::FileExists(run.Folder() / "dorvix.out"));
    EXPECT_FALSE(platform::FileExists(run.Folder() / "dummy.dat"));
    EXPECT_EQ(decktest::ReadText(run.Folder() / "copy.dat"), decktest::ReadText(run.Folder() / "dorvix.dat"));
}

// The initial velocity of the transient case: 2.5, 0, -1 on the twelve nodes of its body.
class StructInitialVelocity : public ::testing::Test {
  protected:
    void Open(bool twoDimensional, int kind) {
        model_.MutableCase().is2D = twoDimensional;
        model_.MutableCase().solveJob->initialCondition->kind = kind;
        feeder_.SetSolveArguments(&model_.DataSource(), nullptr);
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        ASSERT_EQ(feeder_.Open(), kRC_Success);
    }
    decktest::ScratchFolder scratch_;
    feedertest::ModelCase model_{"struct-transient-velocity"};
    StructUnderTest feeder_;
};

TEST_F(StructInitialVelocity, TwoDimensionalModelsWriteTwoComponents) {
    ASSERT_NO_FATAL_FAILURE(Open(true, 2));
    EXPECT_EQ(feeder_.WriteInitialVelocity(), kRC_Success);
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_EQ(lines.size(), 2u + 12u);  // banner, block line, one line per node
    EXPECT_EQ(lines[1], ".CLM VII NOE NOM \"Initial Velocity\"");
    EXPECT_EQ(lines[2], "  I 1 2.5 0.");
}

TEST_F(StructInitialVelocity, ANodeWithAFrameGetsTheVelocityInItsAxesFirst) {
    ASSERT_NO_FATAL_FAILURE(Open(false, 2));
    CoordSystemSafe turned;  // 45 degrees about z
    ASSERT_EQ(turned.SetAxes({1.0, 1.0, 0.0}, 0, {-1.0, 1.0, 0.0}, 1), S_OK);
    // A displacement prescribed along the turned x axis gives node 3 that frame.
    feeder_.GetNodeConstraintTable()->AddNodalMotion(1, 513, 3, turned, {3, 1, 1}, {0, 0, 0});
    ASSERT_EQ(feeder_.GetNodeConstraintTable()->FinaliseAll(), S_OK);
    EXPECT_EQ(feeder_.WriteInitialVelocity(), kRC_Success);
    const Lines lines = feeder_.CloseDeckLines();
    ASSERT_EQ(lines.size(), 2u + 12u);
    // The table's node frame: x along the held direction (1, 1, 0)/sqrt 2, y along global z,
    // z along (1, -1, 0)/sqrt 2 (the frame the node rotations section writes for node 3).
    EXPECT_EQ(lines[2], "  I 3 1.76776695296637 -1. 1.76776695296637");
    EXPECT_EQ(lines[3], "  I 1 2.5 0. -1.");
}

TEST_F(StructInitialVelocity, Kind5IsRefusedWithNothingWritten) {
    ASSERT_NO_FATAL_FAILURE(Open(false, 5));
    EXPECT_EQ(feeder_.WriteInitialVelocity(), kRC_MissingData);
    EXPECT_EQ(feeder_.CloseDeckLines(), Lines{});
}

}  // namespace
