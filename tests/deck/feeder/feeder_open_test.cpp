// Opening a feeder on a loaded model: fresh deck counters, no object table, earlier files kept, exceptions.
#include <gtest/gtest.h>

#include <stdexcept>

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
        EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
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
    ASSERT_EQ(opened.feeder.Open(), kRC_Success);
    EXPECT_EQ(GetDeckCounters().function, 0);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
    EXPECT_EQ(platform::GetThreadLocale(), platform::kUsEnglishLocale);
    ASSERT_NE(opened.feeder.GetDeckFile(), nullptr);
    EXPECT_TRUE(opened.feeder.GetDeckFile()->IsOpen());
    EXPECT_NE(opened.feeder.GetMeshWrapper(), nullptr);
    EXPECT_NE(opened.feeder.GetObjectTypeTable(), nullptr);
    ASSERT_EQ(opened.feeder.SendPartMesh(0), kRC_Success);
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
        ASSERT_EQ(opened.feeder.Open(), kRC_Success);
        EXPECT_TRUE(platform::FileExists(opened.folder.Path() / "dorvix_as.des")) << inputOnly;
        EXPECT_EQ(opened.feeder.GetDeckFile()->IsInputOnly(), inputOnly);
    }
}

// A host whose solve-job record cannot be read.
class JoblessSource : public HostSimDataSource {
  public:
    using HostSimDataSource::HostSimDataSource;
    const SolveJobRecord* GetSolveJob() const override {
        throw std::runtime_error("the solve-job record cannot be read");
    }
};

TEST(FeederOpen, AnExceptionBelowBecomesItsCodeAndTheReasonAnErrorMessage) {
    decktest::ScratchFolder folder;
    ModelCase model("mesh-single-hexa");
    JoblessSource source(model.SharedCase(), model.Objects());
    FeederUnderTest feeder;
    feeder.UseDataSource(&source);
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    EXPECT_EQ(feeder.Open(), kRC_Exception);
    const auto messages = feeder.GetOutputRoot()->getChildrenByType(L"Message");
    ASSERT_EQ(messages.size(), 1u);
    std::wstring type;
    std::wstring text;
    messages.front()->getProperty(L"Type").getValue(type);
    messages.front()->getProperty(L"Text").getValue(text);
    EXPECT_EQ(type, L"Error");
    EXPECT_EQ(text, L"Opening the deck failed: the solve-job record cannot be read");
}
