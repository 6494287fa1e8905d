// The end-time check after a solve: did the solver reach the end time of the last step?
#include <cmath>
#include <filesystem>

#include "deck/dorvix_feeder.h"
#include "deck/results/dorvix_result_reader.h"
#include "foundation/jx_list.h"
#include "platform/files.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"

namespace {

// Step code of a result set the solver marks as special.
constexpr int kFlaggedSetCode = 999999;

// Both times in single precision, as the solver's own comparison sees them: a solved time
// within the float rounding of the end time has reached it.
bool EndTimeReached(double solved, double end) {
    const double t = static_cast<float>(solved);
    const double e = static_cast<float>(end);
    if (e <= t) return true;
    if (std::fabs(e) <= 1e-15) return std::fabs(t) <= 1e-15;
    return std::fabs(t - e) <= std::fabs(t) / 1e10;
}

}  // namespace

int DorvixFeeder::CheckEndTime(const std::string& descriptionFile, int& code) {
    int result = code;
    JXList<double> times(5, 100);
    JXList<int> setNumbers(5, 100);
    JXList<int> setCodes(5, 100);
    {
        std::filesystem::path folder = deckFile_ ? deckFile_->GetWorkingFolder() : std::filesystem::path{};
        if (folder.empty()) folder = platform::CurrentFolder();
        DorvixResultReader reader;
        reader.SetResultFile(folder / descriptionFile);
        // A refused file is no result set, never the record of a complete run.
        if (FAILED(reader.GetResultSets(times, setNumbers, setCodes)))
            PostHostMessage(reader.GetProblem(), L"Warning");
    }
    const int count = times.GetCount();
    if (count < 1) {
        if (code == kRC_Success) code = kRC_SolutionIncomplete;
        return code;
    }
    if (code == kRC_Cancelled) (void)::ReportProgress(0, kProgressCancelledRun);

    const double solved = times[count - 1];
    const int lastCode = setCodes[count - 1];
    if (lastCode == kFlaggedSetCode) AddStatusBits(ReturnPackage::kStatusLastSetFlagged);
    double end = 0.0;
    const int endCode = GetStepEndTime(numberOfSteps_, end);
    if (endCode != kRC_Success) return endCode;
    // A deck of numbered load cases states no time: the solver knows each load step by its
    // load-case number alone and reports that number as the set's time. The run is complete
    // when the last load case is solved, whatever end time the step was given.
    if (UseLoadCases()) end = numberOfSteps_;

    if ((!EndTimeReached(solved, end) || lastCode == kFlaggedSetCode) &&
        !NamedOptionIsOne("skip endtime check")) {
        SolutionIncompleteFlag = 1;
        if (lastCode != kFlaggedSetCode || count != 1)
            AddStatusBits(ReturnPackage::kStatusIncompleteSolution);
        if (code == kRC_Success) code = result = kRC_SolutionIncomplete;
    }
    if (code != kRC_Success) {
        if (returnPackage_) returnPackage_->SetErrorCode(code);
        code = kRC_Success;
    }
    return result;
}
