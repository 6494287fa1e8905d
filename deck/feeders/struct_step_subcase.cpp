// The ".SUB" block of one structural load step: time stepping, Newton controls, the equation
// solver and the printing and storage frequencies.
#include <cstdint>
#include <string>
#include <vector>

#include "deck/feeders/step_cards.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "foundation/number_format.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/time_step_options.h"

using namespace stepcards;

int StructDorvixFeeder::WriteStepSubcase(int step) try {
    DorvixSolutionSettings* settings = GetSettings();
    const DorvixTimeStepOptions* options = nullptr;
    double start = 0.0;
    double end = 0.0;
    if (const int code = stepcards::ReadStepSpan(*this, step, options, start, end); code != kRC_Success)
        return code;
    if (!options) return kRC_Success;
    // A linear static run takes its times from the time definitions.
    if (GetNonLinearFlag() != 1 && !IsTransientAnalysis()) return kRC_Success;
    const auto* solver = settings->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    if (!solver || !settings->GetControls(kSolverFileControlsTag)) return kRC_MissingStepValue;

    // Everything is checked before the first line, so a refused step leaves no half block.
    std::vector<std::string> timeCards;
    if (const int code = BuildTimeCards(step, start, end, *options, timeCards); code != kRC_Success)
        return code;
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    stepcards::WriteStepBlock(*deck, timeCards, *options, *solver);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the time stepping of a load step");
}

int StructDorvixFeeder::BuildTimeCards(int step, double start, double end,
                                       const DorvixTimeStepOptions& options,
                                       std::vector<std::string>& lines) const {
    const bool keepForModal = IsPrestressedModalIntent();
    const double span = end - start;
    lines = {".SUB", "  I " + std::to_string(step), "  REAC 2"};
    switch (options.GetUseAutoTimeStepping()) {
        case kProgramControlled:
            lines.push_back(TimeLine(end));
            lines.push_back(AutomaticStepLine(AutomaticStepSpacing::kStructural));
            if (keepForModal) lines.push_back("  LDYN 1");
            return kRC_Success;
        case kOn: {
            if (keepForModal) lines.push_back("  LDYN 1");
            lines.push_back(TimeLine(end));
            lines.push_back(AutomaticStepLine(AutomaticStepSpacing::kStructural));
            if (!AddStepLimitCards(options, step, span, lines)) return kRC_MissingData;
            return kRC_Success;
        }
        case kOff: {
            if (keepForModal) lines.push_back("  LDYN 1");
            const DorvixSolutionSettings* settings = GetSettings();
            const auto* output =
                settings->GetStepControlsAs<DorvixOutputControls>(step, kStepOutputControlsSelector);
            if (!output) return kRC_MissingStepValue;
            if (!AddFixedStepTimeLine(options, *output, start, end, lines)) return kRC_MissingData;
            return kRC_Success;
        }
        default:
            return kRC_MissingData;
    }
}
