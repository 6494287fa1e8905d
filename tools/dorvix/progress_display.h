// The host's progress window, played on the console. At a terminal one line is redrawn in
// place (a bar, the overall percentage and a stage word); into a file or a pipe plain lines
// are written, only when the percentage moved by ten or more or the stage changed, so logs stay
// short. Its answer to each report is the cancel decision of the run.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "host/progress_callback.h"

// The word shown for a report's message id.
const char* ProgressStageWord(int messageId);

class ProgressDisplay : public IProgressCallback {
  public:
    // cancelRequested is asked at every report; when it answers true the report answers
    // "cancel" and the stage reads "cancelling".
    ProgressDisplay(std::ostream& out, bool terminal, bool (*cancelRequested)());

    [[nodiscard]] int OnProgress(int overall, int percent, int messageId) override;
    // Ends the redrawn line at a terminal, so that what follows starts on a line of its own.
    void Finish();

  private:
    void Show(int overall, const std::string& stage);

    std::ostream& out_;
    bool terminal_;
    bool (*cancelRequested_)();
    // The overall percentage and stage last shown; -1 before the first report.
    int shownPercent_ = -1;
    std::string shownStage_;
    std::size_t lineWidth_ = 0;
};
