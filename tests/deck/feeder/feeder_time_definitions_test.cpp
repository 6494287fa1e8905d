// The time definitions section: a line per step, load cases instead, the initial computation when asked.
#include <gtest/gtest.h>

#include "../deck_test_support.h"
#include "feeder_test_support.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"

using feedertest::FeederUnderTest;
using Lines = std::vector<std::string>;

namespace {

const Lines kTimeHeader = {"!***************** Time definitions *****************", ".SUB I 1",
                           "  MECA 22 ! Static analysis", "  REAC 2", "  IA16 1 IA4 1 IA19 1"};
const Lines kInitialComputation = {"!***************** Initial Compution ****************", ".SUB I 0",
                                   "  MECA 22 ! Static analysis", "  REAC 2"};

class TimeDefinitionsTest : public ::testing::Test {
  protected:
    void Use(int analysis, int steps) {
        feeder_.UseSettings(analysis, kMechanicalPhysics, steps);
        feeder_.OpenDeck();
    }
    void SetEndTime(int step, double end) {
        auto* controls = feeder_.GetSettings()->GetStepControlsAs<DorvixStepControls>(step, kStepSelector);
        ASSERT_NE(controls, nullptr);
        controls->StoreEndTime(end);
    }
    DorvixSolverControls& Solver() {
        return *feeder_.GetSettings()->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    }
    void SetModalIntent() {
        feeder_.GetSettings()
            ->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag)
            ->SetFutureAnalysisType(kSaveFilesForPrestressedModalAnalysis);
    }
    static Lines Join(Lines a, const Lines& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    decktest::ScratchFolder scratch_;
    FeederUnderTest feeder_;
};

}  // namespace

TEST_F(TimeDefinitionsTest, OneLinearStepUsesLoadCasesAndWritesNothing) {
    Use(kStaticAnalysis, 1);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(), Lines{});
}

TEST_F(TimeDefinitionsTest, SeveralStepsGetOneNpasLineEach) {
    Use(kStaticAnalysis, 3);
    SetEndTime(1, 1.0);
    SetEndTime(2, 2.0);
    SetEndTime(3, 3.0);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(),
              Join(kTimeHeader, {"  NPAS 1 T1 0.  T2 1.", "  NPAS 1 T1 1.  T2 2.", "  NPAS 1 T1 2.  T2 3."}));
}

TEST_F(TimeDefinitionsTest, StepTimesUseTheDecksNumberFormat) {
    Use(kStaticAnalysis, 2);
    SetEndTime(1, 0.0001);
    SetEndTime(2, 1.5e16);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(),
              Join(kTimeHeader, {"  NPAS 1 T1 0.  T2 1.e-004", "  NPAS 1 T1 1.e-004  T2 1.5e+016"}));
}

TEST_F(TimeDefinitionsTest, PrestressedModalIntentUsesLoadCases) {
    Use(kStaticAnalysis, 2);
    SetModalIntent();
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(), Lines{});
}

TEST_F(TimeDefinitionsTest, AMissingStepEndsAfterTheEarlierSteps) {
    Use(kStaticAnalysis, 2);
    feeder_.SetNumberOfSteps(3);  // more steps than the settings hold
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_MissingStepValue);
    EXPECT_EQ(feeder_.CloseDeckLines(),
              Join(kTimeHeader, {"  NPAS 1 T1 0.  T2 1.", "  NPAS 1 T1 1.  T2 2."}));
}

TEST_F(TimeDefinitionsTest, NonLinearRunsWriteTheInitialComputationWhenAsked) {
    Use(kStaticAnalysis, 3);
    feeder_.SetNonLinearFlag(1);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);  // not asked for
    Solver().SetDoInitialComputation(true);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    SetModalIntent();
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(), Join(Join(kInitialComputation, kInitialComputation), {"  LDYN 1"}));
}

TEST_F(TimeDefinitionsTest, TransientRunsWriteTheInitialComputationEvenWithOneStep) {
    Use(kTransientAnalysis, 1);
    Solver().SetDoInitialComputation(true);
    EXPECT_EQ(feeder_.WriteTimeDefinitions(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(), kInitialComputation);
}

TEST(TimeDefinitions, WithoutSolverControlsANonLinearRunGives36) {
    FeederUnderTest feeder;
    feeder.SetNonLinearFlag(1);
    EXPECT_EQ(feeder.WriteTimeDefinitions(), kRC_MissingStepValue);
}
