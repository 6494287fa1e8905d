// The thermal deck in order: its header, a load case per step with heat loads once, time steps, run options.
#include "deck/feeders/thermal_dorvix_feeder.h"

#include <string>
#include <vector>

#include "deck/feeders/step_cards.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "foundation/analysis_kind.h"
#include "foundation/number_format.h"
#include "foundation/unit_systems.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/time_step_options.h"

using namespace stepcards;

namespace {

constexpr const char* kRuleLine =
    "! ------------------------------------------------------------------------------";
constexpr int kLoadsDoneProgress = 90;
// W/(m2 K4).
constexpr double kStefanBoltzmann = 5.669e-08;

// The radiation constant in the deck's power, area and temperature units. The temperature
// part counts where a deck degree is not a kelvin (Rankine intervals in the foot and inch
// systems). The constant's own quantity carries the whole dimension, so the degree's size is
// taken from the unit table, not from two offset temperatures whose difference loses digits.
double StefanBoltzmannInDeckUnits(int deckUnitSystem) {
    return GetUnitSystemTable().Convert(kUnitsSolverMks, deckUnitSystem, kQuantityStefanBoltzmann,
                                        kStefanBoltzmann);
}

}  // namespace

ThermalDorvixFeeder::ThermalDorvixFeeder() : DorvixFeeder(kAnalysisThermal) { SetNumberOfSteps(1); }

ThermalDorvixFeeder::~ThermalDorvixFeeder() = default;

int ThermalDorvixFeeder::Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) {
    SetSolveArguments(dataSource, returnPackage);
    int code = Open();
    if (code == kRC_Success) code = WriteAnalysisHeader();
    if (code == kRC_Success) code = SendModel();
    if (code == kRC_Success) code = WriteMiscellaneous();
    if (code == kRC_Success) code = WriteLoadsAndBCs();
    if (code == kRC_Success) code = WriteBeginCommands();
    if (code == kRC_Success) code = WriteInitialTemperatures();
    if (code == kRC_Success) code = WriteLoadCases();
    if (code == kRC_Success) code = WriteRunOptions();
    if (code == kRC_Success) code = WriteReturn();
    if (code == kRC_Success) code = Solve();
    // Only the deck was asked for: no solver ran, so there is no end time to check.
    if (GetCopyTargetPath().empty()) (void)CheckEndTime(GetDescriptionFileName(), code);
    Close(code);
    return code;
}

int ThermalDorvixFeeder::WriteAnalysisHeader() try {
    DorvixSolutionSettings* settings = GetSettings();
    // No fall-back on the object table's step count here.
    if (const int code = TakeStepCount(false); code != kRC_Success) return code;
    if (!settings->GetControls(kSolverFileControlsTag) || !settings->GetControls(kSolverControlsTag) ||
        !settings->GetControls(kStepListTag))
        return kRC_MissingStepValue;
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    const char* title = IsTransientAnalysis() ? "! ANALYSE THERMIQUE TRANSITOIRE (NOLIN)"
                                              : "! ANALYSE THERMIQUE STATIONNAIRE (NOLIN)";
    for (const char* line : {title, kRuleLine, ".MCNLTH &", "! ", title, "! "}) deck->WriteLine(line);
    deck->WriteLine("MODE IMPRES 0 LECT 132 MOUCHARD 1 ECHO 1");
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the analysis header");
}

int ThermalDorvixFeeder::WriteLoadsAndBCs() try {
    if (const int code = BeginLoadsSection(GetDescriptionFileName()); code != kRC_Success) return code;
    int code = WriteCouplingConditions();
    if (code == kRC_Success) code = CheckCouplingConditions();
    if (code != kRC_Success) return code;
    return ::ReportProgress(kLoadsDoneProgress, kProgressDeckWriting) == 0 ? kRC_Cancelled : kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the thermal boundary conditions");
}

int ThermalDorvixFeeder::WriteLoadCases() try {
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    for (int step = 1; step <= GetNumberOfSteps(); ++step) {
        deck->WriteLine("!******************* LC " + std::to_string(step) + " ****************");
        int code = WriteStepSubcase(step);
        if (code == kRC_Success) code = WriteNodalTemperatureLoads(step, false);
        // The heat loads are functions of time over every step: written once.
        if (step == 1) {
            if (code == kRC_Success) code = WriteHeatFluxes();
            if (code == kRC_Success) code = WriteVertexHeatFlows();
            if (code == kRC_Success) code = WriteEdgeHeatFlows();
            if (code == kRC_Success) code = WriteSurfaceHeatFlows();
            if (code == kRC_Success) code = WriteConvections();
            if (code == kRC_Success) code = WriteRadiations();
            if (code == kRC_Success) code = WriteBodyHeatLoads();
        }
        if (code == kRC_Success) code = WriteImportedLoads(step);
        if (code != kRC_Success) return code;
        WriteStepSnippets(kSnippetStep, step);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the load cases");
}

int ThermalDorvixFeeder::WriteStepSubcase(int step) try {
    DorvixSolutionSettings* settings = GetSettings();
    const DorvixTimeStepOptions* options = nullptr;
    double start = 0.0;
    double end = 0.0;
    if (const int code = stepcards::ReadStepSpan(*this, step, options, start, end); code != kRC_Success)
        return code;
    if (!options) return kRC_Success;
    const auto* solver = settings->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    if (!solver) return kRC_MissingStepValue;

    // Everything is checked before the first line, so a refused step leaves no half block.
    std::vector<std::string> lines = {".SUB", "  I " + std::to_string(step)};
    if (IsTransientAnalysis()) {
        lines.emplace_back("  MECA 42 ! Transient analysis");
        lines.emplace_back("  IREF 0");
    } else {
        lines.emplace_back("  MECA 22 ! Steady state analysis");
    }
    std::string sigma = "  SIGMA ";
    AppendGeneral15(sigma, StefanBoltzmannInDeckUnits(GetDeckUnitSystem()));
    lines.push_back(std::move(sigma));
    lines.emplace_back("  REAC 2");
    switch (options->GetUseAutoTimeStepping()) {
        case kProgramControlled:
            lines.push_back(TimeLine(end));
            lines.push_back(AutomaticStepLine(AutomaticStepSpacing::kThermal));
            break;
        case kOn:
            lines.push_back(TimeLine(end));
            lines.push_back(AutomaticStepLine(AutomaticStepSpacing::kThermal));
            if (!AddStepLimitCards(*options, step, end - start, lines)) return kRC_MissingData;
            break;
        case kOff: {
            const auto* output =
                settings->GetStepControlsAs<DorvixOutputControls>(step, kStepOutputControlsSelector);
            if (!output) return kRC_MissingStepValue;
            if (!AddFixedStepTimeLine(*options, *output, start, end, lines)) return kRC_MissingData;
            break;
        }
        default:
            return kRC_MissingData;
    }
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    stepcards::WriteStepBlock(*deck, lines, *options, *solver);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the time stepping of a load step");
}

int ThermalDorvixFeeder::WriteRunOptions() try {
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck || !GetBodyWrapper()) return kRC_MissingData;
    WriteSectionBanner("! Run Options");
    deck->WriteLine(".DVX NOP1 -2 NOP2 0 NOP3 0 NOP4 0 NOP5 -1 NOP6 -1");
    deck->WriteLine(".OPT METHODE 3");
    if (GetBodyWrapper()->IsAxisymmetricModel()) deck->WriteLine(".ALGO AXER 1 AXES 2");
    deck->WriteFields("TITRE \"DORVIX job created on", deck->GetCreationDate(), "\"");
    WriteSectionBanner("! Result Options");
    for (const char* line : {"! - Standard Codes", ".SAI ARCHIVE STRUCTURE $", " STYPE 1122 1346 $",
                             " 1511 1521 1802 1803 1804 1805 1806 1807 1808 1809 1810 1811 $",
                             " 3521 3802 3803 3804 3805 3806 3807 3808 3809 3810 3811 $", " 225"})
        deck->WriteLine(line);
    WriteObjectSnippets(kSnippetRunOptions);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the run options");
}
