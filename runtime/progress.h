// Progress reporting of a running solve. Every stage of the deck writer and the solver run
// reports here; the host's answer is the cancel signal.
#pragma once

#include <cstdint>

#include "host/progress_callback.h"

// Progress stages of a solve, each scaled into its own band of the overall percentage.
enum ProgressStage : int {
    kProgressCancelledRun = 4,  // after a run that was cancelled
    kProgressDeckWriting = 150,
    kProgressSolverRun = 160,
    kProgressStage165 = 165,
    kProgressStage170 = 170,
    kProgressStage180 = 180,
    kProgressStage190 = 190,
    kProgressStage200 = 200,
    kProgressModelLoad = 210,
};

// Message id every report carries once the solve is known to be incomplete.
inline constexpr int kProgressIncompleteSolutionMessage = 3008;

// Process-wide state of the one solve that may run at a time. The solve entry clears the flag at
// the start of each solve and sets the callback for its length; the end-time check sets the flag.
extern std::uint8_t SolutionIncompleteFlag;
extern IProgressCallback* ProgressCallback;

// Non-zero: go on; 0: the user cancelled. Answers 1 without a callback.
[[nodiscard]] int ReportProgress(int percent, int stage);

// The overall percentage and the message id a report of the stage is shown with.
struct ProgressBand {
    int overall = 0;
    int messageId = 0;
};
ProgressBand ScaleProgress(int percent, int stage);

// Holds the host's callback for one solve and clears it on every way out.
class ScopedProgressCallback {
  public:
    explicit ScopedProgressCallback(IProgressCallback* callback) { ProgressCallback = callback; }
    ~ScopedProgressCallback() { ProgressCallback = nullptr; }
    ScopedProgressCallback(const ScopedProgressCallback&) = delete;
    ScopedProgressCallback& operator=(const ScopedProgressCallback&) = delete;
};
