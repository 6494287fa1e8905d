// Progress reports scaled into each stage's band, the incomplete-solution mark, and the cancel answer.
#include "runtime/progress.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct RecordingCallback : IProgressCallback {
    std::vector<std::tuple<int, int, int>> calls;
    int answer = 1;
    int OnProgress(int overall, int percent, int messageId) override {
        calls.emplace_back(overall, percent, messageId);
        return answer;
    }
};

class ProgressTest : public ::testing::Test {
  protected:
    void SetUp() override { SolutionIncompleteFlag = 0; }
    void TearDown() override {
        SolutionIncompleteFlag = 0;
        ProgressCallback = nullptr;
    }
    RecordingCallback callback;
};

TEST_F(ProgressTest, WithoutCallbackEveryReportGoesOn) {
    ProgressCallback = nullptr;
    EXPECT_EQ(ReportProgress(50, kProgressDeckWriting), 1);
    EXPECT_EQ(ReportProgress(0, kProgressCancelledRun), 1);
}

TEST_F(ProgressTest, StagesScaleIntoTheirBandsRoundingHalfUp) {
    ScopedProgressCallback scope(&callback);
    EXPECT_EQ(ReportProgress(37, kProgressStage170), 1);   // 40 + 14.8 -> 55
    EXPECT_EQ(ReportProgress(20, kProgressSolverRun), 1);  // 10 + 6.0 -> 16
    EXPECT_EQ(ReportProgress(100, kProgressModelLoad), 1);
    EXPECT_EQ(ReportProgress(5, kProgressDeckWriting), 1);  // 0.5 rounds up to 1
    EXPECT_EQ(ReportProgress(4, kProgressDeckWriting), 1);  // 0.4 rounds down to 0
    EXPECT_EQ(ReportProgress(1, kProgressStage165), 1);     // 10 + 0.7 -> 11
    EXPECT_EQ(ReportProgress(100, kProgressStage180), 1);
    EXPECT_EQ(ReportProgress(50, kProgressStage190), 1);  // 90 + 5 -> 95
    EXPECT_EQ(ReportProgress(3, kProgressStage200), 1);   // 50 + 1.5 -> 52
    const std::vector<std::tuple<int, int, int>> expected = {{55, 37, 3003},   {16, 20, 3002}, {10, 100, 101},
                                                             {1, 5, 3001},     {0, 4, 3001},   {11, 1, 3006},
                                                             {100, 100, 4001}, {95, 50, 3004}, {52, 3, 3005}};
    EXPECT_EQ(callback.calls, expected);
}

TEST_F(ProgressTest, UnknownStageAndIncompleteSolution) {
    ScopedProgressCallback scope(&callback);
    EXPECT_EQ(ReportProgress(30, 155), 1);
    SolutionIncompleteFlag = 1;
    EXPECT_EQ(ReportProgress(30, 155), 1);
    EXPECT_EQ(ReportProgress(100, kProgressDeckWriting), 1);
    EXPECT_EQ(ReportProgress(77, kProgressCancelledRun), 1);  // never carries the incomplete mark
    const std::vector<std::tuple<int, int, int>> expected = {
        {0, 30, 0}, {0, 30, 3008}, {10, 100, 3008}, {0, 0, 4}};
    EXPECT_EQ(callback.calls, expected);
}

TEST_F(ProgressTest, CancelAnswerReachesTheCallerAndScopeClearsCallback) {
    {
        ScopedProgressCallback scope(&callback);
        callback.answer = 0;
        EXPECT_EQ(ReportProgress(10, kProgressDeckWriting), 0);
        EXPECT_EQ(ProgressCallback, &callback);
    }
    EXPECT_EQ(ProgressCallback, nullptr);
    EXPECT_EQ(ReportProgress(10, kProgressDeckWriting), 1);
}

}  // namespace
