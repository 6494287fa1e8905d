// The ".SUB" block of one structural load step: time stepping, Newton controls, the equation
// solver and the printing and storage frequencies.
#include <cstdint>
#include <string>
#include <vector>

#include "deck/feeders/struct_dorvix_feeder.h"
#include "foundation/number_format.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/time_step_options.h"

namespace {

constexpr const char* kAutomaticStepLine = "  CIBL    1 ! Automatic time step on Newton's iterations";

std::string Card(const char* keyword, double value, const char* comment) {
    std::string line = keyword;
    line += ' ';
    AppendGeneral15(line, value);
    line += ' ';
    line += comment;
    return line;
}

std::string Card(const char* keyword, std::uint32_t value, const char* comment) {
    return std::string(keyword) + ' ' + std::to_string(value) + ' ' + comment;
}

std::string TimeLine(double end) {
    std::string line = "  TIME ";
    AppendGeneral15(line, end);
    return line;
}

// The span divided by a sub-step count; false for a count of 0, which has no step length.
bool SpanPerCount(double span, std::uint32_t count, double& out) {
    if (count == 0) return false;
    out = span / count;
    return true;
}

}  // namespace

int StructDorvixFeeder::WriteStepSubcase(int step) try {
    DorvixSolutionSettings* settings = GetSettings();
    const auto* options =
        settings ? settings->GetStepControlsAs<DorvixTimeStepOptions>(step, kTimeStepOptionsSelector)
                 : nullptr;
    if (!options) return kRC_Success;
    double end = 0.0;
    if (const int code = GetStepEndTime(step, end); code != kRC_Success) return code;
    SetCurrentStepEndTime(end);
    double start = 0.0;
    if (step > 1) {
        if (const int code = GetStepEndTime(step - 1, start); code != kRC_Success) return code;
    }
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
    for (const std::string& line : timeCards) deck->WriteLine(line);
    WriteNewtonCards(*options);
    WriteSolverCard(*solver);
    WriteOutputFrequencyCards(*options);
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
            lines.push_back(kAutomaticStepLine);
            if (keepForModal) lines.push_back("  LDYN 1");
            return kRC_Success;
        case kOn: {
            if (keepForModal) lines.push_back("  LDYN 1");
            lines.push_back(TimeLine(end));
            lines.push_back(kAutomaticStepLine);
            double initial = 0.0;
            double minimum = 0.0;
            double maximum = 0.0;
            if (options.GetTimeStepDefineby() == kDefineBySubSteps) {
                const std::uint32_t initialSteps = options.GetCarryOverTimeStep() && step > 1
                                                       ? options.GetMinimumSteps()
                                                       : options.GetInitialSteps();
                if (!SpanPerCount(span, initialSteps, initial) ||
                    !SpanPerCount(span, options.GetMaximumSteps(), minimum) ||
                    !SpanPerCount(span, options.GetMinimumSteps(), maximum))
                    return kRC_MissingData;
            } else {
                initial = options.GetCarryOverTimeStep() && step > 1 ? options.GetMinimumTimeStep()
                                                                     : options.GetInitialTimeStep();
                minimum = options.GetMinimumTimeStep();
                maximum = options.GetMaximumTimeStep();
                // All three left at 0: the solver chooses.
                if (initial == 0.0 && minimum == 0.0 && maximum == 0.0) return kRC_Success;
            }
            lines.push_back(Card("  DTI0", initial, "! Initial time step"));
            lines.push_back(Card("  HMIN", minimum, "! Minimum time step"));
            lines.push_back(Card("  HMAX", maximum, "! Maximum time step"));
            return kRC_Success;
        }
        case kOff: {
            if (keepForModal) lines.push_back("  LDYN 1");
            const DorvixSolutionSettings* settings = GetSettings();
            const auto* output =
                settings->GetStepControlsAs<DorvixOutputControls>(step, kStepOutputControlsSelector);
            if (!output) return kRC_MissingStepValue;
            double dt = options.GetTimeStep();
            if (options.GetTimeStepDefineby() == kDefineBySubSteps &&
                !SpanPerCount(span, options.GetNumberOfSubSteps(), dt))
                return kRC_MissingData;
            double pas = dt;
            switch (output->GetTimePointsOptions()) {
                case kTimePointsAll:
                    break;
                case kTimePointsLast:
                    lines.push_back(TimeLine(end));
                    return kRC_Success;
                case kTimePointsEquallySpaced:
                    // A count below 1 would ask for no output step or, read as unsigned, for
                    // billions of them.
                    if (output->GetEquallySpaced() < 1) return kRC_MissingData;
                    pas = static_cast<double>(output->GetEquallySpaced()) * dt;
                    break;
                default:
                    return kRC_MissingData;
            }
            std::string line = "  TIME ";
            AppendGeneral15(line, start);
            line += " A ";
            AppendGeneral15(line, end);
            line += " PAS ";
            AppendGeneral15(line, pas);
            lines.push_back(std::move(line));
            return kRC_Success;
        }
        default:
            return kRC_MissingData;
    }
}

void StructDorvixFeeder::WriteNewtonCards(const DorvixTimeStepOptions& o) {
    DorvixDeckFile& deck = *GetDeckFile();
    if (o.GetNewtonIterationMaximumNumberType() != 0)
        deck.WriteLine(Card("  ITMA", o.GetNewtonIterationMaximumNumber(), "! Maximum number of iterations"));
    if (o.GetNewtonIterationOptimumNumberType() != 0)
        deck.WriteLine(Card("  ITEREF", o.GetNewtonIterationOptimumNumber(), "! Ideal number of iterations"));
    if (o.GetNewtonResidualNormConvergenceType() != 0)
        deck.WriteLine(
            Card("  PRCR", o.GetNewtonResidualNormConvergence(), "! Newton's convergence if TESF<PRCR"));
    if (o.GetNewtonEnergyConvergenceType() != 0)
        deck.WriteLine(Card("  PRCE", o.GetNewtonEnergyConvergence(), "! "));
    if (o.GetNewtonStiffnessMatrixConvergenceType() != 0)
        deck.WriteLine(Card("  PRCK", o.GetNewtonStiffnessMatrixConvergence(),
                            "! No iteration matrix reevaluation if TESF<PRCK"));
    if (o.GetNewtonRelaxationConvergenceType() != 0)
        deck.WriteLine(Card("  PRCC", o.GetNewtonRelaxationConvergence(), "! "));
}

void StructDorvixFeeder::WriteSolverCard(const DorvixSolverControls& solver) {
    const std::uint32_t type = solver.GetSolverType();
    if (type == kSolverProgramControlled) return;
    const std::uint32_t number = type == kSolverManual ? solver.GetManualSolver() : type;
    GetDeckFile()->WriteLine(Card("  RESO", number, "! "));
}

void StructDorvixFeeder::WriteOutputFrequencyCards(const DorvixTimeStepOptions& o) {
    struct FrequencyCard {
        OutputFrequency which;
        const char* keyword;
        const char* comment;
    };
    static constexpr FrequencyCard kCards[] = {
        {OutputFrequency::PrintingNodalResults, "  IMPD", "! Printing frequency of nodal selected results"},
        {OutputFrequency::PrintingElementResults, "  IMPE",
         "! Printing frequency of element selected results"},
        {OutputFrequency::PrintingGeneralResults, "  IMPG", "! Printing frequency of general results"},
        {OutputFrequency::StorageNodalResults, "  IA16", "! Storage frequency of all nodal results (.DES)"},
        {OutputFrequency::StorageElementResults, "  IA4",
         "! Storage frequency of all element results (.DES)"},
        {OutputFrequency::StorageSelectedResults, "  IA19", "! Storage frequency of selected results (.VIF)"},
    };
    DorvixDeckFile& deck = *GetDeckFile();
    for (const FrequencyCard& card : kCards)
        if (o.GetFrequencyType(card.which) != 0)
            deck.WriteLine(Card(card.keyword, o.GetFrequency(card.which), card.comment));
}
