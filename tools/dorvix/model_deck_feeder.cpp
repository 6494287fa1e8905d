#include "tools/dorvix/model_deck_feeder.h"

#include <algorithm>

#include "caerep/core/cae_rep.h"
#include "deck/deck_counters.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/solver_files.h"
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
    if (code == kRC_Success) {
        summary_.stage = "deck";
        code = Open();
        if (GetDeckFile()) summary_.deckPath = GetDeckFile()->GetWorkingFolder() / kDeckName;
    }
    if (code == kRC_Success) code = WriteModelSections();
    if (code == kRC_Success) code = CloseAndRunSolver();
    // Closes an unfinished deck and saves the output model when a message was posted.
    ReleaseSolveObjects();
    return code;
}

int ModelDeckFeeder::LoadModel() {
    summary_.stage = "model load";
    analysisKind_ = dataSource_->GetAnalysisKind();
    return LoadCAERepresentation(platform::WideFromPath(modelPath_),
                                 platform::WideFromPath(workFolder_ / kOutputModelName));
}

int ModelDeckFeeder::WriteModelSections() {
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
        if (const int code = SendPartMesh(part); code != kRC_Success) return code;
        summary_.nodes += meshWrapper_->GetPartNodeCount(part);
        summary_.elements += meshWrapper_->GetPartElementCount(part);
    }
    summary_.groups = GetGroupCounterCarry();
    // Selection groups written after the model (all elements, named selections) must not
    // reuse a number the element groups took; a mixed-order solid takes two.
    DeckCounters& counters = GetDeckCounters();
    counters.selectionGroup = std::max(counters.selectionGroup, GetGroupCounterCarry());
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
    const std::string description = SolverModuleFile(deckFile_->GetModuleName(), ".des");
    if (!deckFile_->GetModuleName().empty() &&
        platform::FileExists(deckFile_->GetWorkingFolder() / description))
        return code;
    PostHostMessage(L"The solver wrote no result description (" + platform::Utf8ToWide(description) + L")",
                    L"Error");
    return kRC_SolutionIncomplete;
}
