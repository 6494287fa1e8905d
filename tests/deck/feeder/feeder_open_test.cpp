#include <gtest/gtest.h>

#include "deck/deck_counters.h"
#include "deck/mesh/mesh_wrapper.h"
#include "feeder_test_support.h"
#include "hostsim/host_case.h"
#include "platform/locale.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;

namespace {

// A feeder driven as a host drives it: model loaded, then opened.
struct OpenedFeeder {
    explicit OpenedFeeder(const char* name) : model(name) {
        feeder.UseDataSource(&model.DataSource());
        EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), 0);
    }
    decktest::ScratchFolder folder;
    ModelCase model;
    FeederUnderTest feeder;
};

}  // namespace

TEST(FeederOpen, StartsEveryDeckWithFreshCountersAndSetsTheModelUp) {
    // What an earlier deck of this process left behind.
    GetDeckCounters().function = 17;
    GetDeckCounters().selectionGroup = 9;
    OpenedFeeder opened("mesh-single-hexa");
    ASSERT_EQ(opened.feeder.Open(), 0);
    EXPECT_EQ(GetDeckCounters().function, 0);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
    EXPECT_EQ(platform::GetThreadLocale(), platform::kUsEnglishLocale);
    ASSERT_NE(opened.feeder.GetDeckFile(), nullptr);
    EXPECT_TRUE(opened.feeder.GetDeckFile()->IsOpen());
    EXPECT_NE(opened.feeder.GetMeshWrapper(), nullptr);
    EXPECT_NE(opened.feeder.GetObjectTypeTable(), nullptr);
    ASSERT_EQ(opened.feeder.SendPartMesh(0), 0);
    EXPECT_GT(opened.feeder.GetGroupCounterCarry(), 0);
}

TEST(FeederOpen, AHostWithoutAnObjectTableAnswers25BeforeAnyDeckExists) {
    OpenedFeeder opened("mesh-single-hexa");
    opened.model.MutableCase().objectTable.reset();
    EXPECT_EQ(opened.feeder.Open(), kRC_MissingData);
    EXPECT_EQ(opened.feeder.GetDeckFile(), nullptr);
    EXPECT_FALSE(platform::FileExists(opened.folder.Path() / "dorvix.dat"));
}

// A pass that will not run the solver leaves what an earlier run wrote.
TEST(FeederOpen, PassesThatRunNoSolverKeepAnEarlierRunsFiles) {
    for (const bool inputOnly : {true, false}) {
        OpenedFeeder opened("mesh-single-hexa");
        auto& job = opened.model.MutableCase().solveJob;
        job.emplace();
        (inputOnly ? job->inputOnly : job->writeNothing) = true;
        decktest::WriteText(opened.folder.Path() / "dorvix_as.des", "sets 1\n");
        ASSERT_EQ(opened.feeder.Open(), 0);
        EXPECT_TRUE(platform::FileExists(opened.folder.Path() / "dorvix_as.des")) << inputOnly;
        EXPECT_EQ(opened.feeder.GetDeckFile()->IsInputOnly(), inputOnly);
    }
}
