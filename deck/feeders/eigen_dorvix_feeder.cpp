// The modal and buckling deck in order, on its own model or on a prestress deck; its eigenvalues returned.
#include "deck/feeders/eigen_dorvix_feeder.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "deck/results/dorvix_result_reader.h"
#include "foundation/analysis_kind.h"
#include "host/data_source.h"
#include "host/object_model.h"
#include "host/object_types.h"
#include "platform/files.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"
#include "settings/modal_controls.h"
#include "settings/settings_types.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"

using loadwriter::LoadLine;

namespace {

constexpr const char* kRuleLine =
    "! ------------------------------------------------------------------------------";
constexpr const char* kModeLine = "MODE IMPRES 0 LECT 132 MOUCHARD 1 ECHO 1";
constexpr int kLoadsDoneProgress = 72;
constexpr int kVariantTrue = -1;

// The host object id of the prestress environment the run starts from; 0 for none.
int PrestressEnvironmentId(const TRVDataSourceItf* source) {
    const SolveJobRecord* job = source ? source->GetSolveJob() : nullptr;
    const InitialConditionEntry* entry = job ? job->GetInitialCondition() : nullptr;
    return entry ? entry->kind : 0;
}

}  // namespace

EigenDorvixFeeder::EigenDorvixFeeder() : DorvixFeeder(kAnalysisEigen) {}

EigenDorvixFeeder::~EigenDorvixFeeder() = default;

int EigenDorvixFeeder::Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) {
    SetSolveArguments(dataSource, returnPackage);
    const bool prestress = HasPrestress();
    int code = Open();
    // The analysis type is the settings', which exist once the deck is open.
    const bool buckling = IsBucklingAnalysis();
    if (code == kRC_Success && buckling && !prestress) {
        PostHostMessage(L"A buckling analysis needs a prestress environment", L"Error");
        code = kRC_MissingData;
    }
    if (code == kRC_Success) code = WriteAnalysisHeader();
    if (code == kRC_Success) code = prestress ? WritePrestressInputs() : SendModel();
    if (code == kRC_Success) code = WriteMiscellaneous();
    if (code == kRC_Success) code = WriteLoadsAndBCs();
    if (code == kRC_Success && !prestress) code = WriteBeginCommands();
    if (code == kRC_Success) code = WriteRunOptions(!prestress);
    WriteObjectSnippets(kSnippetStep);
    if (code == kRC_Success) code = WriteReturn();
    if (code == kRC_Success) code = Solve();
    if (code == kRC_Success && GetCopyTargetPath().empty()) code = CheckEndTime();
    Close(code);
    return code;
}

bool EigenDorvixFeeder::IsBucklingAnalysis() {
    const DorvixSolutionSettings* settings = GetSettings();
    return settings && settings->GetAnalysisType() == kBucklingAnalysis;
}

bool EigenDorvixFeeder::HasPrestress() { return PrestressEnvironmentId(GetDataSource()) != 0; }

const DorvixModalControls* EigenDorvixFeeder::GetModeControls() {
    DorvixSolutionSettings* settings = GetSettings();
    if (!settings) return nullptr;
    return settings->GetControlsAs<DorvixModalControls>(IsBucklingAnalysis() ? kBucklingControlsTag
                                                                             : kModalControlsTag);
}

bool EigenDorvixFeeder::GetPrestressSolution(PrestressSolution& solution) const {
    solution = PrestressSolution{};
    const int id = PrestressEnvironmentId(GetDataSource());
    if (id == 0) return false;
    const ComPtr<IUnknown> object = AddinServices::GetInstance().GetObjectById(id);
    const ComPtr<IHostObject> environment = object ? object.As<IHostObject>() : nullptr;
    if (!environment) return true;
    solution.known = true;
    int flag = 0;
    if (environment->GetIntProperty(kPrestressNonLinearProperty, flag) == S_OK)
        solution.nonLinear = flag == kVariantTrue;
    int step = 0;
    if (environment->GetIntProperty(kPrestressStepProperty, step) == S_OK) solution.step = step;
    return true;
}

int EigenDorvixFeeder::WriteAnalysisHeader() try {
    DorvixSolutionSettings* settings = GetSettings();
    if (const int code = TakeStepCount(true); code != kRC_Success) return code;
    if (!settings || !settings->GetControls(kSolverFileControlsTag) ||
        !settings->GetControls(kSolverControlsTag))
        return kRC_MissingStepValue;
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    const bool buckling = IsBucklingAnalysis();
    const char* title = buckling ? "! ANALYSE DE FLAMBAGE (FLAMB)" : "! ANALYSE MODALE (VIBRA)";
    for (const char* line :
         {title, kRuleLine, buckling ? ".FLAMB &" : ".VIBRA &", "! ", title, "! ", kModeLine})
        deck->WriteLine(line);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the analysis header");
}

int EigenDorvixFeeder::WritePrestressInputs() {
    PrestressSolution solution;
    if (!GetPrestressSolution(solution)) return kRC_Success;
    // Without its environment the deck would hold no model at all; the linear prestress deck
    // is the one read whenever the host does not say the solution was non-linear.
    if (!solution.known)
        PostHostMessage(L"The prestress environment " +
                            std::to_wstring(PrestressEnvironmentId(GetDataSource())) +
                            L" is not known to the host; its solution is read as linear",
                        L"Warning");
    if (DorvixDeckFile* deck = GetDeckFile())
        deck->WriteLine(solution.nonLinear ? "INPUT.mcnl \"prestress.dat\"" : "INPUT.alin \"prestress.dat\"");
    return kRC_Success;
}

void EigenDorvixFeeder::WriteModeCards(const DorvixModalControls& controls, bool prestress) {
    DorvixDeckFile& deck = *GetDeckFile();
    LoadLine line;
    deck.WriteLine(line.Start(".DVX NALG 3 NVAL").Int(controls.GetNumModesToFind()).Get());
    if (IsBucklingAnalysis()) {
        deck.WriteLine(".DVX IFPR 19");
    } else {
        deck.WriteLine(".DVX ISTOP 8");
        if (prestress) {
            PrestressSolution solution;
            (void)GetPrestressSolution(solution);
            if (solution.nonLinear) {
                deck.WriteLine(".DVX INST 2");
                deck.WriteLine(line.Start(".DVX NPR ").Int(solution.step).Get());
            } else {
                deck.WriteLine(".DVX IFPR 19");
            }
            // The stored reference temperature is in degrees Celsius; the deck takes its own unit.
            deck.WriteLine(
                line.Start(".GEL TEMP").Value(controls.GetRefTemperature(GetDeckUnitSystem())).Get());
        }
    }
    if (controls.GetRangeSearch()) {
        double low = 0.0;
        double high = 0.0;
        controls.GetFrequencyRange(low, high);
        deck.WriteLine(line.Start(".ALG V1")
                           .Value(low)
                           .Text(" V2")
                           .Value(high)
                           .Text(" LANCNVA")
                           .Int(controls.GetNumModesToFind())
                           .Get());
    }
}

int EigenDorvixFeeder::WriteLoadsAndBCs() try {
    if (const int code = NameResultDescription(GetDescriptionFileName()); code != kRC_Success) return code;
    const DorvixModalControls* controls = GetModeControls();
    if (!controls) return kRC_MissingStepValue;
    const bool prestress = HasPrestress();
    WriteModeCards(*controls, prestress);
    if (prestress) return kRC_Success;

    if (const int code = CheckBoundaryConditions(); code != kRC_Success) return code;
    WriteSectionBanner("! Loads/BCs");
    // The temperature and imported loads read the end time of the step being written.
    double endTime = 0.0;
    if (const int code = GetStepEndTime(1, endTime); code != kRC_Success) return code;
    SetCurrentStepEndTime(endTime);
    int code = WriteCouplingConditions();
    if (code == kRC_Success) code = WriteNodeRotations();
    if (code == kRC_Success) code = WriteSupports();
    if (code == kRC_Success) code = WriteRemotePoints();
    if (code == kRC_Success) code = WriteRemoteDisplacements();
    if (code == kRC_Success) code = WriteRemoteMasses();
    if (code == kRC_Success) code = WriteSprings();
    if (code == kRC_Success) code = WriteBeamConnections();
    if (code == kRC_Success) code = WriteNodalTemperatureLoads(1, true);
    if (code == kRC_Success) code = WriteImportedLoads(1);
    if (code != kRC_Success) return code;
    return ::ReportProgress(kLoadsDoneProgress, kProgressDeckWriting) == 0 ? kRC_Cancelled : kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the loads and supports");
}

int EigenDorvixFeeder::WriteRemoteDisplacements() try {
    const ObjectTypeTable* table = GetObjectTypeTable();
    DorvixDeckFile* deck = GetDeckFile();
    if (!table || !deck) return kRC_Success;
    std::vector<int> ids;
    std::vector<const ObjectTypeRecord*> records;
    if (FAILED(FindEntriesById(*table, kLoadTypeRemoteDisplacement, ids, records))) return kRC_Success;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const ObjectTypeRecord* record = records[i];
        deck->WriteLine("!*********** Construct Remote Displacement ***********");
        if (!record) continue;
        const int id = ids[i];
        if (const int code = RegisterEntityLookup(id, record->GetHostObject()); code != kRC_Success)
            return code;
        int node = 0;
        int kind = 0;
        if (!GetReturnPackage() || FAILED(GetReturnPackage()->GetLookup(id, node, kind)))
            return loadwriter::Refuse(*this, *record, kRC_MissingData, L"its remote point has no deck node");
        const ComPtr<IHostLoad> load = loadwriter::HostLoadOf(record->GetHostLoad());
        if (!load) return loadwriter::Refuse(*this, *record, kRC_MissingData, L"the host has no such load");
        deck->WriteLine(loadwriter::HeaderLine("DEP NOE", *record));
        LoadLine line;
        for (int component = 1; component <= 6; ++component) {
            const ComPtr<IHostLoadVariable> variable =
                loadwriter::VariableOf(load.Get(), kLoadVariableComponentX + component - 1);
            if (!variable || GetVariableDefinitionKind(variable.Get()) == kLoadDefinitionFree) continue;
            const int quantity = component <= 3 ? kLoadQuantityComponent : kLoadQuantityRotation;
            double value = 0.0;
            // The value the load holds at the end of the run's one step, as the other loads
            // of an eigen deck take theirs (a table's start is often a ramp's zero).
            if (variable->GetValueAt(GetCurrentStepEndTime(), quantity, GetDeckUnitSystem(), value) != S_OK ||
                !std::isfinite(value))
                return loadwriter::Refuse(*this, *record, kRC_MissingData, L"a component has no value");
            deck->WriteLine(
                line.Start("  I").Int(node).Text(" V").Value(value).Text(" COMP").Int(component).Get());
        }
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the remote displacements");
}

int EigenDorvixFeeder::CheckEndTime() {
    std::filesystem::path folder;
    if (const DorvixDeckFile* deck = GetDeckFile()) folder = deck->GetWorkingFolder();
    if (folder.empty()) folder = platform::CurrentFolder();
    DorvixResultReader reader;
    reader.SetResultFile(folder / GetDescriptionFileName());
    JXList<double> values(5, 100);
    if (FAILED(reader.GetResultValues(values))) PostHostMessage(reader.GetProblem(), L"Warning");
    if (values.GetCount() < 1) {
        PostHostMessage(L"The solver wrote no eigenvalue", L"Error");
        return kRC_SolutionIncomplete;
    }
    std::vector<double> eigenvalues;
    for (int i = 0; i < values.GetCount(); ++i) eigenvalues.push_back(values[i]);
    if (ReturnPackage* package = GetReturnPackage()) (void)package->SetValueList(eigenvalues);
    return kRC_Success;
}
