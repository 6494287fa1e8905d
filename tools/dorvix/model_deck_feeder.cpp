#include "tools/dorvix/model_deck_feeder.h"

#include <algorithm>

#include "caerep/core/cae_rep.h"
#include "deck/deck_counters.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "host/data_source.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {
constexpr const char* kDeckName = "dorvix.dat";
constexpr const char* kOutputModelName = "CAERepOutput.xml";
}  // namespace

ModelDeckFeeder::ModelDeckFeeder(std::filesystem::path modelPath, std::filesystem::path workFolder)
    : modelPath_(std::move(modelPath)), workFolder_(std::move(workFolder)) {}

bool ModelDeckFeeder::ReadNamedOption(const std::string& name, std::string& text) {
    // The deck file takes its working folder from this option; the command line's folder
    // wins over one the case may name, so the summary points where the files really are.
    if (name == "XENRADir") {
        text = workFolder_.string();
        return true;
    }
    return DorvixFeeder::ReadNamedOption(name, text);
}

void ModelDeckFeeder::PostHostMessage(const std::wstring& text, const std::wstring& type) {
    summary_.messages.emplace_back(type, text);
    DorvixFeeder::PostHostMessage(text, type);
}

int ModelDeckFeeder::Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) {
    dataSource_ = dataSource;
    returnPackage_ = returnPackage;
    summary_ = ModelDeckSummary{};
    int code = dataSource_ ? LoadModel() : kRC_MissingData;
    if (code == kRC_Success) code = PrepareWrappers();
    if (code == kRC_Success) code = WriteModelSections();
    if (code == kRC_Success) code = CloseAndRunSolver();
    // Closes an unfinished deck and saves the output model when a message was posted.
    ReleaseSolveObjects();
    return code;
}

int ModelDeckFeeder::LoadModel() {
    summary_.stage = "model load";
    analysisKind_ = dataSource_->GetAnalysisKind();
    partCount_ = dataSource_->GetPartCount();
    deckUnitSystem_ = dataSource_->GetDeckUnitSystem();
    modelUnitSystem_ = dataSource_->GetModelUnitSystem();
    int code = LoadCAERepresentation(platform::WideFromPath(modelPath_),
                                     platform::WideFromPath(workFolder_ / kOutputModelName));
    if (code != kRC_Success) return code;
    summary_.stage = "settings";
    code = ReadSolverRep();
    if (code != kRC_Success) return code;
    numberOfSteps_ = settings_->GetNumberOfSteps();
    summary_.stage = "mesh";
    return GetMeshRep();
}

int ModelDeckFeeder::PrepareWrappers() {
    summary_.stage = "bodies";
    const std::vector<BodyRecord>& bodies = dataSource_->GetBodies();
    if (bodies.empty()) return kRC_MissingData;
    bodyWrapper_ = LateOwned<CBodyAttributeWrapper>::Make();
    bodyWrapper_->SetBodies(&bodies);
    bodyWrapper_->SetUnitSystem(deckUnitSystem_);
    bodyWrapper_->SetAnalysisKind(analysisKind_);
    bodyWrapper_->SetTwoDimensional(dataSource_->Is2DAnalysis());
    bodyWrapper_->SetTransient(IsTransientAnalysis());
    if (const int code = bodyWrapper_->FillNamesAndMaterials(inputRoot_); code != kRC_Success) return code;
    bodyWrapper_->SetCoordinateSystems(dataSource_->GetCoordinateSystems());

    summary_.stage = "mesh";
    meshWrapper_ = LateOwned<CMeshWrapper>::Make();
    if (FAILED(meshWrapper_->SetMesh(hostMesh_.Get()))) return kRC_HostMeshRefused;
    meshWrapper_->SetPartCount(partCount_);
    meshWrapper_->SetMeshUnitSystem(modelUnitSystem_);
    meshWrapper_->SetDeckUnitSystem(deckUnitSystem_);
    meshWrapper_->SetBodyWrapper(bodyWrapper_.Get());
    meshWrapper_->SetCoordinateSystems(dataSource_->GetMeshCoordinateSystems());
    meshWrapper_->SetModelValue(dataSource_->GetModelValue());

    // Large deformation or a non-linear material sends the run to the non-linear module.
    nonLinearFlag_ = bodyWrapper_->HasNonlinearMaterial() || UsesLargeDeformation() ? 1 : 0;
    return kRC_Success;
}

int ModelDeckFeeder::WriteModelSections() {
    summary_.stage = "deck";
    deckFile_ = std::make_unique<DorvixDeckFile>(this);
    ResetDeckCounters();
    if (const SolveJobRecord* job = dataSource_->GetSolveJob()) {
        deckFile_->SetWriteNothing(job->writeNothing);
        deckFile_->SetMemory(job->memory.memoryMode, job->memory.zoneMemory, job->memory.coreMemory);
    }
    if (const int code = deckFile_->Open(kDeckName); code != kRC_Success) return code;
    summary_.deckPath = deckFile_->GetWorkingFolder() / kDeckName;
    // An input-only job writes the deck and starts no solver; copying the deck to the job's
    // target is the close step's work, which the analysis feeders bring.
    if (const SolveJobRecord* job = dataSource_->GetSolveJob(); job && job->inputOnly)
        deckFile_->SetInputOnly(true);

    summary_.stage = "topology";
    if (const int code = meshWrapper_->WriteNodes(deckFile_.get()); code != kRC_Success) return code;
    if (const int code = meshWrapper_->WriteElements(deckFile_.get()); code != kRC_Success) return code;
    summary_.stage = "element groups";
    if (const int code = WriteElementGroups(); code != kRC_Success) return code;
    summary_.stage = "materials";
    if (const int code = bodyWrapper_->WriteMaterials(*deckFile_); code != kRC_Success) return code;
    summary_.materials = GetDeckCounters().material;
    summary_.stage = "time definitions";
    if (const int code = WriteTimeDefinitions(); code != kRC_Success) return code;
    deckFile_->WriteLine("RETURN");
    return kRC_Success;
}

int ModelDeckFeeder::WriteElementGroups() {
    for (int part = 0; part < partCount_; ++part) {
        // Group numbers run on across the parts.
        meshWrapper_->SetGroupCounter(groupCounterCarry_);
        const int code =
            meshWrapper_->WriteElementsForPart(part, analysisKind_, deckFile_.get(), bodyWrapper_.Get());
        groupCounterCarry_ = meshWrapper_->GetGroupCounter();
        if (code != kRC_Success) return code;
        summary_.nodes += meshWrapper_->GetPartNodeCount(part);
        summary_.elements += meshWrapper_->GetPartElementCount(part);
    }
    summary_.groups = groupCounterCarry_;
    // Selection groups written after the model (all elements, named selections) must not
    // reuse a number the element groups took; a mixed-order solid takes two.
    DeckCounters& counters = GetDeckCounters();
    counters.selectionGroup = std::max(counters.selectionGroup, groupCounterCarry_);
    return kRC_Success;
}

int ModelDeckFeeder::CloseAndRunSolver() {
    summary_.stage = "solver run";
    if (!deckFile_->CloseDeck()) return kRC_FileNotCreated;
    const int code = deckFile_->CloseAndRun(0);
    if (code != kRC_Success || deckFile_->IsInputOnly() || deckFile_->IsWriteNothing()) return code;
    // A solver that died without an error marker leaves clean listings: only the missing
    // result description tells that the run produced nothing. The analysis feeders' end-time
    // check takes this over.
    const std::string description = "dorvix_" + platform::WideToUtf8(deckFile_->GetModuleName()) + ".des";
    if (!deckFile_->GetModuleName().empty() &&
        platform::FileExists(deckFile_->GetWorkingFolder() / description))
        return code;
    PostHostMessage(L"The solver wrote no result description (" + platform::Utf8ToWide(description) + L")",
                    L"Error");
    return kRC_SolutionIncomplete;
}
