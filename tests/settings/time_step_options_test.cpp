// Time-step options: defaults, sub-step counts rounded in single precision, span changes, validity checks.
#include "settings/time_step_options.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(TimeStepOptions, DefaultsMatchTheRecordTable) {
    DorvixTimeStepOptions o;
    EXPECT_EQ(o.GetUseAutoTimeStepping(), kProgramControlled);
    EXPECT_EQ(o.GetTimeStepDefineby(), kDefineByTime);
    EXPECT_EQ(o.GetStepSpan(), 1.0);
    EXPECT_EQ(o.GetNewtonIterationMaximumNumber(), 10u);
    EXPECT_EQ(o.GetNewtonIterationOptimumNumber(), 6u);
    EXPECT_EQ(o.GetNewtonResidualNormConvergence(), 0.001);
    EXPECT_EQ(o.GetNewtonEnergyConvergence(), 0.001);
    EXPECT_EQ(o.GetNewtonStiffnessMatrixConvergence(), 1e-10);
    EXPECT_EQ(o.GetNewtonRelaxationConvergence(), 1e-9);
    EXPECT_EQ(o.GetPrintingFrequencyNodalResults(), 10u);
    EXPECT_EQ(o.GetStorageFrequencyElementResults(), 10u);
    EXPECT_EQ(o.GetStorageFrequencySelectedResults(), 1u);
    EXPECT_EQ(o.GetNewtonRelaxationConvergenceType(), kProgramControlledType);
}

TEST(TimeStepOptions, DerivedCountsRoundHalfUpInSinglePrecision) {
    DorvixTimeStepOptions o;
    o.SetInitialTimeStep(0.3);  // 3.33 rounds down
    EXPECT_EQ(o.GetInitialSteps(), 3u);
    o.SetInitialTimeStep(0.4);  // 2.5 rounds up
    EXPECT_EQ(o.GetInitialSteps(), 3u);
    EXPECT_EQ(o.GetNumberOfSubSteps(), 3u);
    o.SetMinimumTimeStep(0.01);
    o.SetMaximumTimeStep(0.5);
    EXPECT_EQ(o.GetMaximumSteps(), 100u);
    EXPECT_EQ(o.GetMinimumSteps(), 2u);
    o.SetMaximumTimeStep(-0.5);  // not positive: no count
    EXPECT_EQ(o.GetMinimumSteps(), 0u);
}

TEST(TimeStepOptions, DegenerateQuotientsNeverWrapTheCount) {
    EXPECT_EQ(RoundSubStepCount(-3.0), 0u);
    EXPECT_EQ(RoundSubStepCount(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(RoundSubStepCount(1e30), std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(RoundSubStepCount(2.4999), 2u);
    // The sum is taken in single precision: 2.49999999 + 0.5 rounds to 3.0f.
    EXPECT_EQ(RoundSubStepCount(2.49999999), 3u);
    DorvixTimeStepOptions o;
    o.StoreStepSpan(-1.0);
    o.SetInitialTimeStep(0.1);
    EXPECT_EQ(o.GetInitialSteps(), 0u);
}

TEST(TimeStepOptions, CountSettersTurnCountsIntoTimeSteps) {
    DorvixTimeStepOptions o;
    o.StoreStepSpan(2.0);
    o.SetInitialSteps(4);
    o.SetMaximumSteps(20);
    o.SetMinimumSteps(2);
    EXPECT_EQ(o.GetInitialTimeStep(), 0.5);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.1);
    EXPECT_EQ(o.GetMaximumTimeStep(), 1.0);
    o.SetInitialSteps(0);  // zero changes nothing
    o.SetNumberOfSubSteps(0);
    EXPECT_EQ(o.GetInitialTimeStep(), 0.5);
    o.SetNumberOfSubSteps(8);
    EXPECT_EQ(o.GetInitialTimeStep(), 0.25);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.25);
    EXPECT_EQ(o.GetMaximumTimeStep(), 0.25);
    o.SetTimeStep(0.125);
    EXPECT_EQ(o.GetTimeStep(), 0.125);
    EXPECT_EQ(o.GetMaximumTimeStep(), 0.125);
}

TEST(TimeStepOptions, SpanChangeKeepsSubStepCountsOrTimeSteps) {
    DorvixTimeStepOptions bySubSteps;
    bySubSteps.SetTimeStepDefineby(kDefineBySubSteps);
    bySubSteps.SetInitialTimeStep(0.1);
    bySubSteps.SetMinimumTimeStep(0.05);
    bySubSteps.SetStepSpan(2.0);
    EXPECT_DOUBLE_EQ(bySubSteps.GetInitialTimeStep(), 0.2);
    EXPECT_DOUBLE_EQ(bySubSteps.GetMinimumTimeStep(), 0.1);
    EXPECT_EQ(bySubSteps.GetMaximumTimeStep(), 0.0);  // a zero count leaves its step alone
    EXPECT_EQ(bySubSteps.GetStepSpan(), 2.0);
    EXPECT_EQ(bySubSteps.GetInitialSteps(), 10u);

    DorvixTimeStepOptions byTime;
    byTime.SetInitialTimeStep(0.1);
    byTime.SetStepSpan(2.0);
    EXPECT_EQ(byTime.GetInitialTimeStep(), 0.1);
    EXPECT_EQ(byTime.GetStepSpan(), 2.0);
}

TEST(TimeStepOptions, Validation) {
    DorvixTimeStepOptions o;
    EXPECT_FALSE(o.IsTimeStepValid());
    EXPECT_FALSE(o.IsSubStepsValid());
    EXPECT_FALSE(o.IsTimeStepRangeValid());
    EXPECT_FALSE(o.IsSubStepRangeValid());

    o.SetInitialTimeStep(0.1);
    o.SetMinimumTimeStep(0.01);
    o.SetMaximumTimeStep(0.5);
    EXPECT_TRUE(o.IsTimeStepValid());
    EXPECT_TRUE(o.IsTimeStepRangeValid());
    EXPECT_TRUE(o.IsSubStepsValid());  // 2 <= 10 <= 100
    EXPECT_TRUE(o.IsSubStepRangeValid());
    o.SetInitialTimeStep(0.6);  // above the maximum step
    EXPECT_FALSE(o.IsTimeStepValid());
    o.SetInitialTimeStep(0.004);  // 250 sub-steps, above the maximum count of 100
    EXPECT_FALSE(o.IsSubStepsValid());
    o.SetCarryOverTimeStep(true);
    EXPECT_TRUE(o.IsTimeStepValid());
    EXPECT_TRUE(o.IsSubStepsValid());
    o.SetMinimumTimeStep(1e-11);  // too small to be a range
    EXPECT_FALSE(o.IsTimeStepRangeValid());
    o.SetMinimumTimeStep(0.9);  // above the maximum step: 2 sub-steps at least, 1 at most
    EXPECT_FALSE(o.IsTimeStepRangeValid());
    EXPECT_FALSE(o.IsSubStepRangeValid());
}

TEST(TimeStepOptions, TypeBytesAreProgramControlledOrManual) {
    DorvixTimeStepOptions o;
    o.SetNewtonEnergyConvergenceType(5);
    EXPECT_EQ(o.GetNewtonEnergyConvergenceType(), kManualType);
    o.SetStorageFrequencySelectedResultsType(1);
    EXPECT_EQ(o.GetFrequencyType(OutputFrequency::StorageSelectedResults), kManualType);
    DorvixTimeStepOptions other;
    EXPECT_FALSE(o == other);
    other = o;
    EXPECT_TRUE(o == other);
}

}  // namespace
