// A load step's cards: time lines, time-step limits, Newton controls, equation solver, output frequencies.
#include "deck/feeders/step_cards.h"

#include <cstdint>

#include "deck/deck_file.h"
#include "deck/dorvix_feeder.h"
#include "foundation/number_format.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/time_step_options.h"

namespace stepcards {

namespace {

std::string Card(const char* keyword, std::uint32_t value, const char* comment) {
    return std::string(keyword) + ' ' + std::to_string(value) + ' ' + comment;
}

// "keyword value comment", the value with 15 significant digits.
std::string Card(const char* keyword, double value, const char* comment) {
    std::string line = keyword;
    line += ' ';
    AppendGeneral15(line, value);
    line += ' ';
    line += comment;
    return line;
}

// "  TIME start A end PAS step".
std::string TimeRangeLine(double start, double end, double step) {
    std::string line = "  TIME ";
    AppendGeneral15(line, start);
    line += " A ";
    AppendGeneral15(line, end);
    line += " PAS ";
    AppendGeneral15(line, step);
    return line;
}

// The span divided by a sub-step count; false for a count of 0, which has no step length.
bool SpanPerCount(double span, std::uint32_t count, double& out) {
    if (count == 0) return false;
    out = span / count;
    return true;
}

void WriteNewtonCards(DorvixDeckFile& deck, const DorvixTimeStepOptions& o) {
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

void WriteSolverCard(DorvixDeckFile& deck, const DorvixSolverControls& solver) {
    const std::uint32_t type = solver.GetSolverType();
    if (type == kSolverProgramControlled) return;
    const std::uint32_t number = type == kSolverManual ? solver.GetManualSolver() : type;
    deck.WriteLine(Card("  RESO", number, "! "));
}

void WriteOutputFrequencyCards(DorvixDeckFile& deck, const DorvixTimeStepOptions& o) {
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
    for (const FrequencyCard& card : kCards)
        if (o.GetFrequencyType(card.which) != 0)
            deck.WriteLine(Card(card.keyword, o.GetFrequency(card.which), card.comment));
}

}  // namespace

void WriteStepBlock(DorvixDeckFile& deck, const std::vector<std::string>& lines,
                    const DorvixTimeStepOptions& options, const DorvixSolverControls& solver) {
    for (const std::string& line : lines) deck.WriteLine(line);
    WriteNewtonCards(deck, options);
    WriteSolverCard(deck, solver);
    WriteOutputFrequencyCards(deck, options);
}

int ReadStepSpan(DorvixFeeder& feeder, int step, const DorvixTimeStepOptions*& options, double& start,
                 double& end) {
    DorvixSolutionSettings* settings = feeder.GetSettings();
    options = settings ? settings->GetStepControlsAs<DorvixTimeStepOptions>(step, kTimeStepOptionsSelector)
                       : nullptr;
    if (!options) return kRC_Success;
    if (const int code = feeder.GetStepEndTime(step, end); code != kRC_Success) return code;
    feeder.SetCurrentStepEndTime(end);
    start = 0.0;
    if (step > 1) return feeder.GetStepEndTime(step - 1, start);
    return kRC_Success;
}

std::string TimeLine(double end) {
    std::string line = "  TIME ";
    AppendGeneral15(line, end);
    return line;
}

std::string AutomaticStepLine(AutomaticStepSpacing spacing) {
    const char* blanks = spacing == AutomaticStepSpacing::kStructural ? "    " : " ";
    return std::string("  CIBL") + blanks + "1 ! Automatic time step on Newton's iterations";
}

bool AddStepLimitCards(const DorvixTimeStepOptions& options, int step, double span,
                       std::vector<std::string>& lines) {
    const bool carryOver = options.GetCarryOverTimeStep() && step > 1;
    double initial = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    if (options.GetTimeStepDefineby() == kDefineBySubSteps) {
        const std::uint32_t initialSteps = carryOver ? options.GetMinimumSteps() : options.GetInitialSteps();
        // Most sub-steps give the smallest step, fewest the largest.
        if (!SpanPerCount(span, initialSteps, initial) ||
            !SpanPerCount(span, options.GetMaximumSteps(), minimum) ||
            !SpanPerCount(span, options.GetMinimumSteps(), maximum))
            return false;
    } else {
        initial = carryOver ? options.GetMinimumTimeStep() : options.GetInitialTimeStep();
        minimum = options.GetMinimumTimeStep();
        maximum = options.GetMaximumTimeStep();
        // All three left at 0: the solver chooses.
        if (initial == 0.0 && minimum == 0.0 && maximum == 0.0) return true;
    }
    lines.push_back(Card("  DTI0", initial, "! Initial time step"));
    lines.push_back(Card("  HMIN", minimum, "! Minimum time step"));
    lines.push_back(Card("  HMAX", maximum, "! Maximum time step"));
    return true;
}

bool AddFixedStepTimeLine(const DorvixTimeStepOptions& options, const DorvixOutputControls& output,
                          double start, double end, std::vector<std::string>& lines) {
    double dt = options.GetTimeStep();
    if (options.GetTimeStepDefineby() == kDefineBySubSteps &&
        !SpanPerCount(end - start, options.GetNumberOfSubSteps(), dt))
        return false;
    switch (output.GetTimePointsOptions()) {
        case kTimePointsAll:
            lines.push_back(TimeRangeLine(start, end, dt));
            return true;
        case kTimePointsLast:
            lines.push_back(TimeLine(end));
            return true;
        case kTimePointsEquallySpaced:
            // A count below 1 would ask for no output step or, read as unsigned, for billions
            // of them.
            if (output.GetEquallySpaced() < 1) return false;
            lines.push_back(TimeRangeLine(start, end, static_cast<double>(output.GetEquallySpaced()) * dt));
            return true;
        default:
            return false;
    }
}

}  // namespace stepcards
