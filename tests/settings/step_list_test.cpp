// The list of load steps: grown to its bound, end times kept in order, steps found, added, deleted, copied.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "settings/step_controls_list.h"
#include "settings/step_settings_classes.h"

namespace {

// A list without an owner: steps take no template.
class BareStepList : public ::testing::Test {
  protected:
    void MakeSteps(int n) { ASSERT_EQ(list.SetNumberOfSteps(n), 0); }
    std::vector<double> EndTimes() const {
        std::vector<double> times;
        for (int i = 1; i <= list.GetCount(); ++i) times.push_back(list.GetStep(i)->GetEndTime());
        return times;
    }
    DorvixStepControlsList list;
};

TEST_F(BareStepList, StartsWithOneStepEndingAtOne) {
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetStep(1)->GetEndTime(), 1.0);
    EXPECT_TRUE(list.GetStep(1)->HasStepCode(0));
    EXPECT_EQ(list.GetStep(0), nullptr);
    EXPECT_EQ(list.GetStep(2), nullptr);
}

TEST_F(BareStepList, SetNumberOfStepsGrowsAndShrinks) {
    MakeSteps(3);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(list.SetNumberOfSteps(-1), -1);
    EXPECT_EQ(list.SetNumberOfSteps(3), 0);
    EXPECT_EQ(list.SetNumberOfSteps(2), 0);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1, 2}));
    EXPECT_EQ(list.SetNumberOfSteps(0), 0);
    EXPECT_EQ(list.GetCount(), 0);
    MakeSteps(1);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1}));
}

// The list grows to its bound, each new step a second after the one before, and no further:
// a count beyond it leaves the list as it was.
TEST_F(BareStepList, HoldsAtMostTheBoundedCountOfSteps) {
    MakeSteps(kMaxStepCount);
    EXPECT_EQ(list.GetStep(kMaxStepCount)->GetEndTime(), static_cast<double>(kMaxStepCount));
    EXPECT_EQ(list.GetStep(kMaxStepCount)->GetTimeStepOptions().GetStepSpan(), 1.0);
    EXPECT_EQ(list.SetNumberOfSteps(kMaxStepCount + 1), -1);
    EXPECT_EQ(list.AddStepAtTime(kMaxStepCount + 0.5), -1);
    EXPECT_EQ(list.InsertStep(std::make_unique<DorvixStepControls>()), -1);
    EXPECT_EQ(list.GetCount(), kMaxStepCount);
    EXPECT_EQ(list.SetNumberOfSteps(2), 0);
    EXPECT_EQ(list.SetNumberOfSteps(705894383), -1);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1, 2}));
}

TEST_F(BareStepList, EndTimeMustStayBetweenNeighbours) {
    MakeSteps(3);
    DorvixStepControls* second = list.GetStep(2);
    EXPECT_EQ(second->SetEndTime(3.0), -1);
    EXPECT_EQ(second->SetEndTime(1.0), -1);
    EXPECT_EQ(second->SetEndTime(2.0), 0);  // unchanged
    EXPECT_EQ(second->SetEndTime(2.5), 0);
    EXPECT_EQ(second->GetTimeStepOptions().GetStepSpan(), 1.5);
    EXPECT_EQ(list.GetStep(3)->GetTimeStepOptions().GetStepSpan(), 0.5);
    EXPECT_EQ(second->GetStepSpan(), 1.5);
    EXPECT_EQ(list.GetStep(1)->GetStepSpan(), 1.0);
}

TEST_F(BareStepList, EndTimeAtOrBeforeZeroIsRejected) {
    DorvixStepControls* only = list.GetStep(1);
    EXPECT_EQ(only->SetEndTime(1e-11), -1);
    EXPECT_EQ(only->SetEndTime(-2.0), -1);
    EXPECT_EQ(only->SetEndTime(std::numeric_limits<double>::infinity()), -1);
    EXPECT_EQ(only->SetEndTime(std::numeric_limits<double>::quiet_NaN()), -1);
    EXPECT_EQ(list.AddStepAtTime(std::numeric_limits<double>::infinity()), -1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(only->SetEndTime(7.0), 0);  // a single step takes any positive time
    EXPECT_EQ(only->GetTimeStepOptions().GetStepSpan(), 7.0);
}

TEST_F(BareStepList, StepsAreFoundByTime) {
    MakeSteps(3);
    EXPECT_EQ(list.GetStepAtTime(-0.5), nullptr);
    EXPECT_EQ(list.GetStepAtTime(0.0), list.GetStep(1));
    EXPECT_EQ(list.GetStepAtTime(1.5), list.GetStep(2));
    EXPECT_EQ(list.GetStepAtTime(4.0), nullptr);
    EXPECT_EQ(list.GetStepIndexAtTime(-0.5), 1);  // no test on the sign
    EXPECT_EQ(list.GetStepIndexAtTime(3.0), 3);
    EXPECT_EQ(list.GetStepIndexAtTime(3.5), -1);
    EXPECT_EQ(list.GetStepIndex(list.GetStep(2)), 2);
    DorvixStepControls stranger;
    EXPECT_EQ(list.GetStepIndex(&stranger), -1);
}

TEST_F(BareStepList, DeletingAStepHandsItsDurationToTheNext) {
    EXPECT_EQ(list.DeleteStep(1), -1);  // the only step stays
    MakeSteps(3);
    EXPECT_EQ(list.DeleteStep(4), -1);
    EXPECT_EQ(list.DeleteStep(0), -1);
    ASSERT_EQ(list.DeleteStep(1), 0);
    EXPECT_EQ(EndTimes(), (std::vector<double>{2, 3}));
    EXPECT_EQ(list.GetStep(1)->GetTimeStepOptions().GetStepSpan(), 2.0);
    ASSERT_EQ(list.DeleteStepAtTime(2.5), 0);  // the step ending at 3
    EXPECT_EQ(EndTimes(), (std::vector<double>{2}));
    EXPECT_EQ(list.DeleteStepAtTime(9.0), -1);
}

TEST_F(BareStepList, AddStepAtTimePlacesTheStepInOrder) {
    MakeSteps(2);
    EXPECT_EQ(list.AddStepAtTime(0.0), -1);
    EXPECT_EQ(list.AddStepAtTime(-1.0), -1);
    EXPECT_EQ(list.AddStepAtTime(2.0 * (1 - 1e-12)), -1);  // equal within the tolerance
    EXPECT_EQ(list.AddStepAtTime(2.0 * (1 + 1e-12)), -1);  // on either side
    ASSERT_EQ(list.AddStepAtTime(0.5), 0);
    ASSERT_EQ(list.AddStepAtTime(1.5), 0);
    ASSERT_EQ(list.AddStepAtTime(4.0), 0);
    EXPECT_EQ(EndTimes(), (std::vector<double>{0.5, 1, 1.5, 2, 4}));
    EXPECT_EQ(list.GetStep(2)->GetTimeStepOptions().GetStepSpan(), 0.5);
    EXPECT_EQ(list.GetStep(4)->GetTimeStepOptions().GetStepSpan(), 0.5);
    EXPECT_EQ(list.GetStep(5)->GetTimeStepOptions().GetStepSpan(), 2.0);
    for (int i = 1; i <= list.GetCount(); ++i) EXPECT_EQ(list.GetStep(i)->GetOwner(), &list);
}

// End times are one only within a relative 1e-10: a step a hundred-millionth of its time
// after another, or after the start, is a step of its own and keeps the list in order.
TEST_F(BareStepList, StepsCloseInTimeAreStillDistinct) {
    MakeSteps(2);
    ASSERT_EQ(list.AddStepAtTime(2.0 * (1 + 1e-8)), 0);
    ASSERT_EQ(list.AddStepAtTime(1e-8), 0);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1e-8, 1, 2, 2.0 * (1 + 1e-8)}));
    EXPECT_TRUE(list.HasOrderedEndTimes());
}

TEST_F(BareStepList, InsertStepRejectsAnEqualEndTimeAndKeepsTheStep) {
    MakeSteps(2);
    auto step = std::make_unique<DorvixStepControls>();
    step->StoreEndTime(2.0);
    EXPECT_EQ(list.InsertStep(std::move(step)), -1);
    ASSERT_NE(step, nullptr);  // still the caller's
    step->StoreEndTime(1.5);
    ASSERT_EQ(list.InsertStep(std::move(step)), 0);
    EXPECT_EQ(step, nullptr);
    EXPECT_EQ(EndTimes(), (std::vector<double>{1, 1.5, 2}));
    EXPECT_EQ(list.GetStep(2)->GetOwner(), &list);
}

TEST_F(BareStepList, CopyIsDeepAndComparesEqual) {
    MakeSteps(2);
    list.GetStep(2)->SetInertialRelief(true);
    DorvixStepControlsList copy;
    copy.CopyFrom(list);
    EXPECT_TRUE(copy == list);
    EXPECT_NE(copy.GetStep(2), list.GetStep(2));
    EXPECT_EQ(copy.GetStep(2)->GetOwner(), &copy);
    copy.GetStep(2)->GetTimeStepOptions().SetReserved(3);
    EXPECT_FALSE(copy == list);
    DorvixStepControlsList shorter;
    EXPECT_FALSE(shorter == list);
}

TEST(StepListWithTemplate, NewStepsTakeTheTemplateAndKeepSubStepCounts) {
    DorvixStaticMechanicalSettings settings;
    DorvixStepControlsList& list = settings.GetStepList();
    ASSERT_EQ(list.SetNumberOfSteps(2), 0);
    DorvixStepControls* second = list.GetStep(2);
    const DorvixTimeStepOptions& o = second->GetTimeStepOptions();
    EXPECT_EQ(second->GetEndTime(), 2.0);
    EXPECT_EQ(o.GetStepSpan(), 1.0);
    EXPECT_EQ(o.GetInitialTimeStep(), 1.0);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.1);
    EXPECT_EQ(o.GetMaximumTimeStep(), 1.0);
    EXPECT_EQ(second->GetStepCodes(), (std::set<int>{2, 3, 4}));
    ASSERT_EQ(second->SetEndTime(3.0), 0);
    EXPECT_EQ(o.GetStepSpan(), 2.0);
    EXPECT_EQ(o.GetInitialTimeStep(), 2.0);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.2);
    EXPECT_EQ(o.GetMaximumTimeStep(), 2.0);
    EXPECT_EQ(o.GetInitialSteps(), 1u);
    EXPECT_EQ(o.GetMaximumSteps(), 10u);
    EXPECT_EQ(o.GetMinimumSteps(), 1u);
}

TEST(StepListWithTemplate, TransientStepsIntegrateInTimeStaticOnesDoNot) {
    DorvixTransientThermalSettings transient;
    ASSERT_EQ(transient.GetStepList().AddStepAtTime(5.0), 0);
    EXPECT_TRUE(transient.GetStepList().GetStep(2)->GetTimeIntegration());
    EXPECT_TRUE(transient.GetStepList().GetStep(1)->GetTimeIntegration());
    DorvixStaticMechanicalSettings statics;
    ASSERT_EQ(statics.GetStepList().AddStepAtTime(5.0), 0);
    EXPECT_FALSE(statics.GetStepList().GetStep(2)->GetTimeIntegration());
}

}  // namespace
