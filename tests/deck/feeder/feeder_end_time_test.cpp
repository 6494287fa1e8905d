// The end-time check of a feeder opened on a case, against result descriptions written by the
// stand-in solver's own writer into the deck's working folder.
#include <gtest/gtest.h>

#include <array>

#include "feeder_test_support.h"
#include "result_files.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "settings/step_controls.h"

using feedertest::FeederUnderTest;
using feedertest::ModelCase;

namespace {

constexpr int kUntouched = -7;  // the package's error code before the check
constexpr unsigned kIncomplete = ReturnPackage::kStatusIncompleteSolution;
constexpr unsigned kFlagged = ReturnPackage::kStatusLastSetFlagged;

class ProgressRecorder : public IProgressCallback {
  public:
    int OnProgress(int overall, int percent, int messageId) override {
        reports.push_back({overall, percent, messageId});
        return 1;
    }
    std::vector<std::array<int, 3>> reports;
};

struct EndTimeCase {
    const char* name;
    double end;
    std::vector<double> times;  // no file when empty
    int lastCode;
    bool skip;
    int code;  // handed in
    int returned;
    int codeAfter;
    int packageError;
    unsigned bits;
    bool incompleteFlag;
};

// A feeder as the solve leaves it, opened on a case: static structural settings with two steps
// (time functions; one step is a load case), the deck written in a scratch folder, the run's
// description file (when it has sets) beside it.
struct SolvedFeeder {
    SolvedFeeder(double end, const std::vector<double>& times, int lastCode, bool skip, int steps = 2) {
        if (skip) model.MutableCase().namedOptions["skip endtime check"] = "1";
        feeder.UseSolveArguments(&model.DataSource(), &package);
        EXPECT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
        feeder.UseSettings(kStaticAnalysis, kMechanicalPhysics, steps);
        feeder.GetSettings()->GetStepControlsAs<DorvixStepControls>(steps, kStepSelector)->StoreEndTime(end);
        feeder.OpenDeck();
        package.SetErrorCode(kUntouched);
        SolutionIncompleteFlag = 0;
        if (times.empty()) return;
        std::vector<ResultSet> sets;
        for (std::size_t i = 0; i < times.size(); ++i)
            sets.push_back({static_cast<int>(i + 1), times[i], static_cast<int>(i + 1)});
        sets.back().code = lastCode;
        EXPECT_TRUE(WriteResultDescription(DescriptionPath().string(), "as", false, sets, {}, 0.0));
    }
    std::filesystem::path DescriptionPath() const { return scratch.Path() / "dorvix_as.des"; }
    int PackageError() const {
        int result = 0, error = 0;
        unsigned bits = 0;
        (void)package.GetStatus(result, bits, error);
        return error;
    }

    decktest::ScratchFolder scratch;
    ModelCase model{"mesh-single-hexa"};
    ReturnPackage package;
    FeederUnderTest feeder;
};

}  // namespace

TEST(EndTimeCheck, ComparesTheLastSolvedTimeWithTheLastStepsEnd) {
    const EndTimeCase cases[] = {
        {"reached", 1.0, {0.5, 1.0}, 2, false, 0, 0, 0, kUntouched, 0, false},
        {"same in single precision", 1.0, {0.9999999999}, 1, false, 0, 0, 0, kUntouched, 0, false},
        {"short", 1.0, {0.25, 0.5}, 2, false, 0, 11, 0, 11, kIncomplete, true},
        {"short, skipped", 1.0, {0.5}, 1, true, 0, 0, 0, kUntouched, 0, false},
        {"zero end at zero", 0.0, {0.0}, 1, false, 0, 0, 0, kUntouched, 0, false},
        {"zero end passed", 0.0, {0.5}, 1, false, 0, 0, 0, kUntouched, 0, false},
        {"zero end, negative time", 0.0, {-0.5}, 1, false, 0, 11, 0, 11, kIncomplete, true},
        {"flagged only set", 1.0, {1.0}, 999999, false, 0, 11, 0, 11, kFlagged, true},
        {"flagged second set", 1.0, {0.5, 1.0}, 999999, false, 0, 11, 0, 11, kFlagged | kIncomplete, true},
        {"flagged, skipped", 1.0, {0.5, 1.0}, 999999, true, 0, 0, 0, kUntouched, kFlagged, false},
        {"earlier code moves", 1.0, {1.0}, 1, false, 104, 104, 0, 104, 0, false},
        {"no set", 1.0, {}, 0, false, 0, 11, 11, kUntouched, 0, false},
        {"no set, earlier code", 1.0, {}, 0, false, 25, 25, 25, kUntouched, 0, false},
    };
    for (const EndTimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        SolvedFeeder solved(c.end, c.times, c.lastCode, c.skip);
        ProgressRecorder progress;
        ScopedProgressCallback scoped(&progress);
        int code = c.code;
        EXPECT_EQ(solved.feeder.CheckEndTime("dorvix_as.des", code), c.returned);
        EXPECT_EQ(code, c.codeAfter);
        EXPECT_EQ(solved.PackageError(), c.packageError);
        EXPECT_EQ(solved.feeder.GetStatusBits(), c.bits);
        EXPECT_EQ(SolutionIncompleteFlag, c.incompleteFlag ? 1 : 0);
        EXPECT_TRUE(progress.reports.empty());
        EXPECT_FALSE(solved.feeder.WasMessagePosted());
    }
}

TEST(EndTimeCheck, ADeckOfLoadCasesIsCompleteWhenItsLastLoadCaseIsSolved) {
    // The deck states no time: the solver reports load case 1 as solved at time 1, whatever end
    // time the step was given.
    struct Row {
        double end;
        double solved;
        int returned;
    };
    for (const Row& row :
         {Row{2.0, 1.0, kRC_Success}, Row{0.5, 1.0, kRC_Success}, Row{2.0, 0.5, kRC_SolutionIncomplete}}) {
        SCOPED_TRACE(row.end);
        SolvedFeeder solved(row.end, {row.solved}, 1, false, 1);
        ASSERT_TRUE(solved.feeder.UseLoadCases());
        int code = kRC_Success;
        EXPECT_EQ(solved.feeder.CheckEndTime("dorvix_as.des", code), row.returned);
        EXPECT_EQ(SolutionIncompleteFlag, row.returned == kRC_Success ? 0 : 1);
    }
}

TEST(EndTimeCheck, ACancelledRunWithSetsReportsItsStageAndHandsCodeOneOver) {
    SolvedFeeder solved(1.0, {1.0}, 1, false);
    ProgressRecorder progress;
    ScopedProgressCallback scoped(&progress);
    int code = kRC_Cancelled;
    EXPECT_EQ(solved.feeder.CheckEndTime("dorvix_as.des", code), kRC_Cancelled);
    EXPECT_EQ(code, kRC_Success);
    EXPECT_EQ(solved.PackageError(), kRC_Cancelled);
    // The host hears of the stage alone: no percentage, no incomplete mark.
    EXPECT_EQ(progress.reports, (std::vector<std::array<int, 3>>{{0, 0, kProgressCancelledRun}}));
}

TEST(EndTimeCheck, ARefusedDescriptionIsNoResultSetAndItsReasonIsPosted) {
    SolvedFeeder solved(1.0, {0.5, 1.0}, 2, false);
    std::string text = decktest::ReadText(solved.DescriptionPath());
    text.erase(text.rfind("end\n"));  // a run that stopped while writing it
    decktest::WriteText(solved.DescriptionPath(), text);
    int code = kRC_Success;
    EXPECT_EQ(solved.feeder.CheckEndTime("dorvix_as.des", code), kRC_SolutionIncomplete);
    EXPECT_EQ(code, kRC_SolutionIncomplete);
    EXPECT_EQ(solved.PackageError(), kUntouched);
    EXPECT_EQ(solved.feeder.GetStatusBits(), 0u);
    ASSERT_EQ(solved.feeder.GetOutputRoot()->getChildrenByType(L"Message").size(), 1u);
    std::wstring type, reason;
    NCAERep::CCAERepBase* message = solved.feeder.GetOutputRoot()->getChildrenByType(L"Message")[0];
    message->getProperty(L"Type").getValue(type);
    message->getProperty(L"Text").getValue(reason);
    EXPECT_EQ(type, L"Warning");
    EXPECT_NE(reason.find(L"dorvix_as.des\" is refused, after line 6: the file ends before its \"end\" line"),
              std::wstring::npos)
        << reason;
}

TEST(EndTimeCheck, AMissingEndTimeIsReturnedAndTheCodeStays) {
    SolvedFeeder solved(1.0, {0.5}, 1, false);
    solved.feeder.SetNumberOfSteps(3);  // the settings hold two
    int code = kRC_Success;
    EXPECT_EQ(solved.feeder.CheckEndTime("dorvix_as.des", code), kRC_MissingStepValue);
    EXPECT_EQ(code, kRC_Success);
    EXPECT_EQ(solved.PackageError(), kUntouched);
    EXPECT_EQ(SolutionIncompleteFlag, 0);
}
