// A load's magnitude read as time or temperature pairs, its scoping as references and ids, and refusals.
#include <gtest/gtest.h>

#include <vector>

#include "../deck_test_support.h"
#include "../feeder/feeder_test_support.h"
#include "settings/step_controls.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Pairs = std::vector<double>;

namespace {

// Convection objects of the "loads-magnitude" case, by id, each built for one edge of the readers.
constexpr int kConstant = 10;
constexpr int kTemperatureTable = 20;
constexpr int kTimeTable = 30;
constexpr int kEndsAtTheEnd = 40;
constexpr int kUnknownStep = 50;
constexpr int kNoActiveRow = 60;
constexpr int kUnresolved = 70;
constexpr int kWithoutSteps = 80;

NCAERep::CIdentity Object(int id) { return NCAERep::CIdentity(L"Convection", id); }

class ScopingAndMagnitudeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success); }

    void UseStepEnds(const std::vector<double>& ends) {
        feeder_.UseSettings(kStaticAnalysis, kMechanicalPhysics, static_cast<int>(ends.size()));
        for (std::size_t i = 0; i < ends.size(); ++i) {
            auto* controls = feeder_.GetSettings()->GetStepControlsAs<DorvixStepControls>(
                static_cast<int>(i) + 1, kStepSelector);
            ASSERT_NE(controls, nullptr);
            controls->StoreEndTime(ends[i]);
        }
    }

    decktest::ScratchFolder scratch_;
    ModelCase model_{"loads-magnitude"};
    FeederUnderTest feeder_;
};

struct MagnitudeCase {
    int object;
    const wchar_t* name;
    double scale;
    std::vector<double> stepEnds;
    Pairs expected;
    bool byTime;
};

TEST_F(ScopingAndMagnitudeTest, ReadsTheMagnitudeAsPairs) {
    const MagnitudeCase cases[] = {
        // The constant at 0 and at each step end, unscaled.
        {kConstant, L"Magnitude", 2.0, {1.0, 2.0, 3.0}, {0, 5, 1, 5, 2, 5, 3, 5}, true},
        // Rows in their own order, values scaled.
        {kTemperatureTable, L"Scalar2", 2.0, {1.0}, {300, 60, 100, 20, 200, 40}, false},
        // The inactive step's row is dropped and the last value held to the end.
        {kTimeTable, L"Magnitude", 1.0, {1.0, 2.0}, {1, 10, 2, 10}, true},
        // A last row within 1e-6 of the end gets no extra pair.
        {kEndsAtTheEnd, L"Magnitude", 1.0, {1.0, 2.0}, {1, 10, 1.9999995, 20}, true},
        // No active row: the constant.
        {kNoActiveRow, L"Magnitude", 1.0, {1.0, 2.0}, {0, 7, 1, 7, 2, 7}, true},
    };
    for (const MagnitudeCase& c : cases) {
        UseStepEnds(c.stepEnds);
        Pairs pairs{99.0};
        bool byTime = !c.byTime;
        EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(c.object), c.name, c.scale, pairs, &byTime), kRC_Success)
            << c.object;
        EXPECT_EQ(pairs, c.expected) << c.object;
        EXPECT_EQ(byTime, c.byTime) << c.object;
    }
}

TEST_F(ScopingAndMagnitudeTest, RefusesWithItsCodeAndLeavesNoPairs) {
    UseStepEnds({1.0, 2.0});
    Pairs pairs;
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(kUnknownStep), L"Magnitude", 1.0, pairs), kRC_ModelLoadFailed);
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(kConstant), L"Caption", 1.0, pairs), kRC_DataMismatch);
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(kWithoutSteps), L"Magnitude", 1.0, pairs),
              kRC_ModelLoadFailed);
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(999), L"Magnitude", 1.0, pairs), kRC_ModelLoadFailed);
    // Three steps in the load, two in the settings: the third end time is missing.
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(kConstant), L"Magnitude", 1.0, pairs), kRC_Success);
    feeder_.SetNumberOfSteps(3);
    EXPECT_EQ(feeder_.ReadLoadMagnitude(Object(kConstant), L"Magnitude", 1.0, pairs), kRC_MissingStepValue);
    EXPECT_TRUE(pairs.empty());
}

TEST_F(ScopingAndMagnitudeTest, ARepeatedEntityGivesOneReferenceAndTwoIds) {
    JXReferenceList references;
    JXList<unsigned int> ids(5, 100);
    ASSERT_EQ(feeder_.ReadScoping(Object(kConstant), references, ids), kRC_Success);
    ASSERT_EQ(references.GetCount(), 3);
    EXPECT_EQ(references.GetAt(0), (JXReference{101, 32}));
    EXPECT_EQ(references.GetAt(2), (JXReference{103, 32}));
    EXPECT_EQ(std::vector<unsigned int>(ids.begin(), ids.end()), std::vector<unsigned int>({7, 8, 7, 0}));
}

TEST_F(ScopingAndMagnitudeTest, ScopingThatResolvesToNothingIs44) {
    JXReferenceList references;
    JXList<unsigned int> ids;
    EXPECT_EQ(feeder_.ReadScoping(Object(kUnresolved), references, ids), kRC_ModelLoadFailed);
    EXPECT_EQ(feeder_.ReadScoping(Object(kWithoutSteps), references, ids), kRC_ModelLoadFailed);
    EXPECT_EQ(feeder_.ReadScoping(Object(999), references, ids), kRC_ModelLoadFailed);
    FeederUnderTest unloaded;
    EXPECT_EQ(unloaded.ReadScoping(Object(kConstant), references, ids), kRC_ModelLoadFailed);
    EXPECT_EQ(references.GetCount() + ids.GetCount(), 0);
}

}  // namespace
