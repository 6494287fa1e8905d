// The stage word of each progress message, and the redrawn bar or the plain lines the console shows.
#include "tools/dorvix/progress_display.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kBarWidth = 20;
constexpr int kPlainStep = 10;
}  // namespace

const char* ProgressStageWord(int messageId) {
    switch (messageId) {
        case 101:
            return "loading model";
        case 3001:
            return "writing deck";
        case 3002:
        case 3003:
        case 3005:
        case 3006:
            return "solving";
        case 3004:
        case 4001:
            return "reading results";
        case 3008:
            return "solution incomplete";
        case 4:
            return "cancelled";
        default:
            return "working";
    }
}

ProgressDisplay::ProgressDisplay(std::ostream& out, bool terminal, bool (*cancelRequested)())
    : out_(out), terminal_(terminal), cancelRequested_(cancelRequested) {}

int ProgressDisplay::OnProgress(int overall, int /*percent*/, int messageId) {
    const bool cancel = cancelRequested_ && cancelRequested_();
    const std::string stage = cancel ? "cancelling" : ProgressStageWord(messageId);
    overall = std::clamp(overall, 0, 100);
    const bool stageChanged = stage != shownStage_;
    if (terminal_ ? stageChanged || overall != shownPercent_
                  : stageChanged || shownPercent_ < 0 || std::abs(overall - shownPercent_) >= kPlainStep)
        Show(overall, stage);
    return cancel ? 0 : 1;
}

void ProgressDisplay::Show(int overall, const std::string& stage) {
    shownPercent_ = overall;
    shownStage_ = stage;
    std::string percent = std::to_string(overall) + "% ";
    percent.insert(0, 5 - std::min<std::size_t>(percent.size(), 5), ' ');
    if (!terminal_) {
        out_ << "progress:" << percent << stage << "\n" << std::flush;
        return;
    }
    const int filled = overall * kBarWidth / 100;
    std::string line =
        "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "]" + percent + stage;
    const std::size_t width = line.size();
    // A shorter line than the one before must cover all of it.
    if (width < lineWidth_) line.append(lineWidth_ - width, ' ');
    lineWidth_ = width;
    out_ << '\r' << line << std::flush;
}

void ProgressDisplay::Finish() {
    if (terminal_ && shownPercent_ >= 0) out_ << "\n" << std::flush;
    shownPercent_ = -1;
    shownStage_.clear();
    lineWidth_ = 0;
}
