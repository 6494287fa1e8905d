// The structural deck in order: the header of each run mode, supports, a load case per step, prestress copy.
#include "deck/feeders/struct_dorvix_feeder.h"

#include <filesystem>

#include "deck/solver_job.h"
#include "foundation/analysis_kind.h"
#include "host/object_types.h"
#include "platform/files.h"
#include "platform/text.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "settings/solver_controls.h"

namespace {

constexpr const char* kRuleLine =
    "! ------------------------------------------------------------------------------";
constexpr const char* kModeLine = "MODE IMPRES 0 LECT 132 MOUCHARD 1 ECHO 1";
constexpr int kLoadsDoneProgress = 72;

}  // namespace

StructDorvixFeeder::StructDorvixFeeder() : DorvixFeeder(kAnalysisStructural) { SetNumberOfSteps(1); }

StructDorvixFeeder::~StructDorvixFeeder() = default;

int StructDorvixFeeder::Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) {
    SetSolveArguments(dataSource, returnPackage);
    int code = Open();
    if (code == kRC_Success) code = WriteAnalysisHeader();
    if (code == kRC_Success) code = SendModel();
    if (code == kRC_Success) code = WriteMiscellaneous();
    if (code == kRC_Success) code = WriteLoadsAndBCs();
    if (code == kRC_Success) code = WriteBeginCommands();
    if (code == kRC_Success) code = WriteInitialVelocity();
    if (code == kRC_Success) code = WriteTimeDefinitions();
    if (code == kRC_Success) code = WriteLoadCases();
    if (code == kRC_Success) code = WriteRunOptions(true);
    if (code == kRC_Success) code = WriteReturn();
    if (code == kRC_Success) code = Solve();

    // Only the deck was asked for: no solver ran, so there is nothing to check or keep.
    if (!GetCopyTargetPath().empty()) {
        Close(code);
        return code;
    }
    if (code == kRC_Success && IsPrestressedModalIntent()) code = CopyPrestressFile();
    (void)CheckEndTime(GetDescriptionFileName(), code);
    Close(code);
    return code;
}

bool StructDorvixFeeder::IsPrestressedStatic() {
    const DorvixSolutionSettings* settings = GetSettings();
    const auto* solver =
        settings ? settings->GetControlsAs<DorvixSolverControls>(kSolverControlsTag) : nullptr;
    return solver && solver->GetDoPrestressedStatic();
}

int StructDorvixFeeder::WriteAnalysisHeader() try {
    DorvixSolutionSettings* settings = GetSettings();
    if (const int code = TakeStepCount(true); code != kRC_Success) return code;
    if (!settings || !settings->GetControls(kSolverFileControlsTag) ||
        !settings->GetControls(kSolverControlsTag) || !settings->GetControls(kStepListTag))
        return kRC_MissingStepValue;
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;

    std::vector<const char*> lines;
    switch (ChooseStructuralRunMode(*this)) {
        case StructuralRunMode::kNonLinear:
            lines = {"! ELASTO VISCO PLASTIQUE (NOLIN)", kRuleLine, ".MCNL &", "! ",
                     "! ELASTO VISCO PLASTIQUE (NOLIN)", "! "};
            break;
        case StructuralRunMode::kLinear:
            lines = {"! ANALYSE STATIQUE LINEAIRE (ALIN)", kRuleLine, ".ALIN &", "! ",
                     "! ANALYSE STATIQUE LINEAIRE (ALIN)", "! "};
            break;
        case StructuralRunMode::kPrestressedOnePass:
            lines = {"! ANALYSE STATIQUE LINEAIRE PRECONTRAINTE (ALIN precontraint en TIME)",
                     kRuleLine,
                     ".ALIN &",
                     "! ",
                     "! ANALYSE STATIQUE LINEAIRE (ALIN)",
                     "! ",
                     ".DVX IFPR 19"};
            break;
        case StructuralRunMode::kPrestressedTwoPasses:
            lines = {"! ANALYSE STATIQUE LINEAIRE PRECONTRAINTE (ALIN-ALIN precontraint en NC)",
                     kRuleLine,
                     "! ",
                     "! FIRST STATIC ANALYSIS (ALIN)",
                     "! ",
                     ".ALIN_1 &",
                     ".DVX IU18 19",
                     "input.ALIN CURRENT",
                     "RETURN",
                     "! ",
                     "! SECOND STATIC ANALYSIS (ALIN)",
                     "! ",
                     ".ALIN_2 &",
                     ".DVX IFPR 19",
                     "input.ALIN CURRENT",
                     "RETURN",
                     "! ",
                     ".ALIN &",
                     "! "};
            break;
    }
    for (const char* line : lines) deck->WriteLine(line);
    deck->WriteLine(kModeLine);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the analysis header");
}

int StructDorvixFeeder::WriteLoadsAndBCs() try {
    if (const int code = BeginLoadsSection(GetDescriptionFileName()); code != kRC_Success) return code;
    int code = WriteCouplingConditions();
    if (code == kRC_Success) code = WriteNodeRotations();
    if (code == kRC_Success) code = WriteSupports();
    if (code == kRC_Success) code = WriteRemotePoints();
    if (code == kRC_Success) code = WriteRemoteMasses();
    if (code == kRC_Success) code = WriteSprings();
    if (code == kRC_Success) code = WriteBeamConnections();
    if (code != kRC_Success) return code;
    return ::ReportProgress(kLoadsDoneProgress, kProgressDeckWriting) == 0 ? kRC_Cancelled : kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the loads and supports");
}

int StructDorvixFeeder::WriteLoadCases() try {
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    for (int step = 1; step <= GetNumberOfSteps(); ++step) {
        deck->WriteLine("!******************* LC " + std::to_string(step) + " ****************");
        int code = WriteStepSubcase(step);
        if (code == kRC_Success) code = WritePressureLoads(step);
        if (code == kRC_Success) code = WriteSurfaceForceLoads(step, kLoadTypeForce);
        if (code == kRC_Success) code = WriteSurfaceForceLoads(step, kLoadTypeForcePerArea);
        if (code == kRC_Success) code = WriteVertexForceLoads(step, kLoadTypeForce);
        if (code == kRC_Success) code = WriteRemotePointLoads(step, kLoadTypeMoment);
        if (code == kRC_Success) code = WriteRemotePointLoads(step, kLoadTypeRemoteForce);
        if (code == kRC_Success) code = WriteRemoteDisplacements(step);
        if (code == kRC_Success) code = WriteAccelerations(step);
        if (code == kRC_Success) code = WriteRotationalVelocity(step);
        if (code == kRC_Success) code = WriteDisplacementLoads(step);
        if (code == kRC_Success) code = WriteDirectedLineLoads(step);
        if (code == kRC_Success) code = WriteLineLoads(step);
        if (code == kRC_Success) code = WriteNodalTemperatureLoads(step, true);
        if (code == kRC_Success) code = WriteImportedLoads(step);
        if (code != kRC_Success) return code;
        WriteStepSnippets(kSnippetStep, step);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the load cases");
}

int StructDorvixFeeder::CopyPrestressFile() {
    const DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_PrestressCopyFailed;
    const std::filesystem::path folder = deck->GetWorkingFolder();
    std::string reason;
    if (!platform::CopyFileTo(folder / deck->GetPath(), folder / "prestress.dat", false, &reason)) {
        PostHostMessage(L"The deck could not be kept as prestress.dat: " + platform::Utf8ToWide(reason),
                        L"Error");
        return kRC_PrestressCopyFailed;
    }
    return kRC_Success;
}
