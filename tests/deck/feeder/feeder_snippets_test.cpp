// Command snippets in the deck: by object, step and key, between their markers, for materials, comment-only.
#include <gtest/gtest.h>

#include "../deck_test_support.h"
#include "feeder_test_support.h"
#include "hostsim/json_reader.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;
using Lines = std::vector<std::string>;

namespace {

const std::string kBegin = "! ****** Begin Command Snippet ******";
const std::string kEnd = "! ****** End   Command Snippet ******";

// A feeder over the model-parameters case with an open deck in a scratch folder.
class SnippetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        feeder_.UseDataSource(&model_.DataSource());
        ASSERT_EQ(feeder_.LoadCAERepresentation(model_.ModelPath(), L""), kRC_Success);
        feeder_.OpenDeck();
    }

    decktest::ScratchFolder scratch_;
    ModelCase model_{"model-parameters"};
    FeederUnderTest feeder_;
};

// A data source over a host.json text alone.
class SnippetSource {
  public:
    explicit SnippetSource(const std::string& json) : case_(std::make_shared<HostSimCase>()) {
        ReadHostJson(json, "host.json", *case_);
        source_ =
            std::make_unique<HostSimDataSource>(case_, std::make_shared<HostSimObjectModel>(case_->objects));
    }
    TRVDataSourceItf* Get() { return source_.get(); }

  private:
    std::shared_ptr<HostSimCase> case_;
    std::unique_ptr<HostSimDataSource> source_;
};

}  // namespace

TEST_F(SnippetTest, ObjectSnippetsOfAKeyAreFramedByTheMarkers) {
    feeder_.WriteObjectSnippets(2);
    EXPECT_EQ(feeder_.CloseDeckLines(), (Lines{kBegin, ".SAI EXTRA 1", kEnd}));
}

TEST_F(SnippetTest, StepSnippetsTakeTheirStepAndEveryStep) {
    feeder_.WriteStepSnippets(1, 2);
    feeder_.WriteStepSnippets(1, 1);
    EXPECT_EQ(feeder_.CloseDeckLines(),
              (Lines{kBegin, ".OPT STEP 2", kEnd, kBegin, ".OPT EVERY STEP", kEnd, kBegin, ".OPT EVERY STEP",
                     kEnd, kBegin, ".OPT STEP 1", kEnd}));
}

TEST_F(SnippetTest, SnippetsForAnObjectAndKey) {
    feeder_.WriteObjectSnippetsForKey(1, 31);
    feeder_.WriteObjectSnippetsForKey(2, 31);
    EXPECT_EQ(feeder_.CloseDeckLines(), (Lines{kBegin, ".OPT STEP 1", kEnd}));
}

TEST_F(SnippetTest, MaterialSnippetsNameTheDeckMaterialOfTheirBodies) {
    ASSERT_EQ(feeder_.SetUpBodies(), kRC_Success);
    // Material 71 is the second distinct material of the bodies; material 99 is used by none.
    feeder_.WriteObjectSnippets(5);
    EXPECT_EQ(feeder_.CloseDeckLines(),
              (Lines{kBegin, "ABRE '/matid'   '2'", "! aluminium damping", "DAMP /matid 0.02", kEnd}));
}

TEST_F(SnippetTest, MaterialSnippetsWithoutBodiesWriteNothing) {
    feeder_.WriteObjectSnippets(5);
    EXPECT_EQ(feeder_.CloseDeckLines(), Lines{});
}

TEST_F(SnippetTest, BeginCommandsAreOneDeckLine) {
    EXPECT_EQ(feeder_.WriteBeginCommands(), kRC_Success);
    EXPECT_EQ(feeder_.CloseDeckLines(), (Lines{".OPT BEGIN 1"}));
}

TEST(Snippets, LongLinesStayWholeAndEmptyTextsWriteNothing) {
    decktest::ScratchFolder scratch;
    const std::string longLine = ".OPT " + std::string(90, 'X') + " END";
    SnippetSource source(R"({"snippets": [{"key": 2, "text": ")" + longLine +
                         R"("}, {"key": 2, "text": ""}, {"key": 3, "text": "x"}]})");
    FeederUnderTest feeder;
    feeder.UseDataSource(source.Get());
    feeder.OpenDeck();
    feeder.WriteObjectSnippets(2);
    EXPECT_EQ(feeder.CloseDeckLines(), (Lines{kBegin, longLine, kEnd}));
}

TEST(Snippets, WithoutDataSourceOrDeckNothingIsWritten) {
    FeederUnderTest feeder;
    feeder.WriteObjectSnippets(2);
    feeder.WriteStepSnippets(1, 1);
    feeder.WriteObjectSnippetsForKey(3, 1);
    EXPECT_FALSE(feeder.SnippetHasCommands(3, 1));
    EXPECT_EQ(feeder.WriteBeginCommands(), kRC_Success);

    SnippetSource source(R"({"snippets": [{"key": 2, "text": ".OPT X"}]})");
    feeder.UseDataSource(source.Get());
    feeder.WriteObjectSnippets(2);  // no deck yet: must not fail
    std::string text = "stale";
    EXPECT_EQ(feeder.GetNamedOption("begin_commands", text), 0);
    EXPECT_TRUE(text.empty());
}

TEST(Snippets, CommandsAreLinesThatAreNotComments) {
    SnippetSource source(R"({"snippets": [
        {"objectId": 1, "key": 3, "text": "! only a comment\n\n   ! indented comment\n"},
        {"objectId": 2, "key": 3, "text": "! comment\n   \n"},
        {"objectId": 3, "key": 3, "text": "! comment\n  .STI PROJ 1"},
        {"objectId": 4, "key": 3, "text": "! first has none"},
        {"objectId": 4, "key": 3, "text": ".MCT X"},
        {"objectId": 5, "key": 6, "text": ".MCT X"},
        {"objectId": 6, "key": 3, "text": ""}
    ]})");
    FeederUnderTest feeder;
    feeder.UseDataSource(source.Get());
    EXPECT_FALSE(feeder.SnippetHasCommands(3, 1));
    EXPECT_TRUE(feeder.SnippetHasCommands(3, 2));  // a line of blanks counts as a command
    EXPECT_TRUE(feeder.SnippetHasCommands(3, 3));
    EXPECT_TRUE(feeder.SnippetHasCommands(3, 4));  // a later snippet of the object decides
    EXPECT_FALSE(feeder.SnippetHasCommands(3, 5));
    EXPECT_FALSE(feeder.SnippetHasCommands(3, 6));
    EXPECT_FALSE(feeder.SnippetHasCommands(3, 7));
}
