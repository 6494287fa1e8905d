// The solver's time-stepping block ahead of the structural load cases: the time definitions
// of a linear multi-step static run, or the initial computation of a non-linear or transient
// run.
#include <string>

#include "deck/dorvix_feeder.h"
#include "foundation/number_format.h"
#include "settings/solver_controls.h"

int DorvixFeeder::WriteTimeDefinitions() try {
    if (nonLinearFlag_ != 1 && !IsTransientAnalysis()) {
        // Loads written as numbered load cases need no time definitions.
        if (UseLoadCases()) return kRC_Success;
        WriteDeckLine("!***************** Time definitions *****************");
        WriteDeckLine(".SUB I 1");
        WriteDeckLine("  MECA 22 ! Static analysis");
        WriteDeckLine("  REAC 2");
        WriteDeckLine("  IA16 1 IA4 1 IA19 1");
        double previousEnd = 0.0;
        std::string line;
        for (int step = 1; step <= numberOfSteps_; ++step) {
            double end = 0.0;
            if (const int code = GetStepEndTime(step, end); code != kRC_Success) return code;
            line = "  NPAS 1 T1 ";
            AppendGeneral15(line, previousEnd);
            line += "  T2 ";
            AppendGeneral15(line, end);
            WriteDeckLine(line);
            previousEnd = end;
        }
        return kRC_Success;
    }

    const auto* solver =
        settings_ ? settings_->GetControlsAs<DorvixSolverControls>(kSolverControlsTag) : nullptr;
    if (!solver) return kRC_MissingStepValue;
    if (!solver->GetDoInitialComputation()) return kRC_Success;
    WriteDeckLine("!***************** Initial Compution ****************");
    WriteDeckLine(".SUB I 0");
    WriteDeckLine("  MECA 22 ! Static analysis");
    WriteDeckLine("  REAC 2");
    if (IsPrestressedModalIntent()) WriteDeckLine("  LDYN 1");
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the time definitions");
}
