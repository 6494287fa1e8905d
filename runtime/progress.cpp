// Each stage's band of the whole run, a percentage scaled into it, and the report to the host's callback.
#include "runtime/progress.h"

std::uint8_t SolutionIncompleteFlag = 0;
IProgressCallback* ProgressCallback = nullptr;

namespace {

// Round half up for the non-negative percentages callers give: truncation after adding 0.5.
int Band(int base, double scale, int percent) { return base + static_cast<int>(scale * percent + 0.5); }

}  // namespace

ProgressBand ScaleProgress(int percent, int stage) {
    switch (stage) {
        case kProgressDeckWriting:
            return {Band(0, 0.1, percent), 3001};
        case kProgressSolverRun:
            return {Band(10, 0.3, percent), 3002};
        case kProgressStage165:
            return {Band(10, 0.7, percent), 3006};
        case kProgressStage170:
            return {Band(40, 0.4, percent), 3003};
        case kProgressStage180:
            return {Band(80, 0.2, percent), 4001};
        case kProgressStage190:
            return {Band(90, 0.1, percent), 3004};
        case kProgressStage200:
            return {Band(50, 0.5, percent), 3005};
        case kProgressModelLoad:
            return {Band(0, 0.1, percent), 101};
        default:
            return {0, 0};
    }
}

int ReportProgress(int percent, int stage) {
    IProgressCallback* callback = ProgressCallback;
    if (!callback) return 1;
    // A cancelled run's final report carries neither a percentage nor the incomplete mark.
    if (stage == kProgressCancelledRun) return callback->OnProgress(0, 0, kProgressCancelledRun);
    ProgressBand band = ScaleProgress(percent, stage);
    if (SolutionIncompleteFlag == 1) band.messageId = kProgressIncompleteSolutionMessage;
    return callback->OnProgress(band.overall, percent, band.messageId);
}
