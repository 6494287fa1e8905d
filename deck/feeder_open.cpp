// Opening a deck: the thread locale, the saved constraint table, the model's solver and mesh
// objects, the deck file with fresh counters, and the wrappers set up from the host.
#include "caerep/core/cae_rep.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "host/data_source.h"
#include "platform/clock.h"
#include "platform/stream.h"
#include "platform/text.h"
#include "runtime/progress.h"

namespace {
constexpr const char* kDeckFileName = "dorvix.dat";
}  // namespace

int DorvixFeeder::Open() try {
    if (!dataSource_) return kRC_MissingData;
    // Numbers are written with a decimal point whatever the host's locale; the close step
    // restores the caller's locale.
    if (savedLocale_ == 0) savedLocale_ = platform::SetThreadLocale(platform::kUsEnglishLocale);

    nodeConstraintHolder_ = std::make_unique<NodeConstraintTableHolder>();
    {
        ComPtr<IStream> stream;
        if (SUCCEEDED(dataSource_->GetNodeConstraintStream(stream.ReleaseAndGetAddressOf())) && stream) {
            // A project saved without a table, or with one this version cannot read, starts
            // from an empty table: the pre-pass fills it anew.
            (void)nodeConstraintHolder_->LoadFromStream(stream.Get());
        }
    }

    const HostObjectTable* hostObjects = dataSource_->GetObjectTypeTable();
    if (!hostObjects) return kRC_MissingData;
    objectTypeTable_ = std::make_unique<ObjectTypeTable>(*hostObjects);

    if (const int code = GetMeshRep(); code != kRC_Success) return code;
    if (const int code = ReadSolverRep(); code != kRC_Success) return code;
    if (settings_) numberOfSteps_ = settings_->GetNumberOfSteps();

    CreateSolveObjects();
    if (::ReportProgress(0, kProgressDeckWriting) == 0) return kRC_Cancelled;
    partCount_ = dataSource_->GetPartCount();

    if (const SolveJobRecord* job = dataSource_->GetSolveJob()) {
        deckFile_->SetWriteNothing(job->writeNothing);
        deckFile_->SetMemory(job->memory.memoryMode, job->memory.zoneMemory, job->memory.coreMemory);
        // Known before the deck is opened, so that a pass that will not run the solver
        // leaves the files of an earlier run where they are.
        if (job->inputOnly) {
            copyTargetPath_ = job->copyTargetPath;
            deckFile_->SetInputOnly(true);
        }
        // An earlier solve in this working folder left the results the deck is about to read:
        // they are no leftover until they are read.
        if (const InitialConditionEntry* entry = job->GetInitialCondition()) {
            if (const InitialConditionSource* source = entry->GetSource())
                deckFile_->SetEarlierResultFile(source->GetResultPath());
        }
    }
    if (const int code = deckFile_->Open(kDeckFileName); code != kRC_Success) {
        if (!deckFile_->GetOpenFailure().empty())
            PostHostMessage(
                L"The deck cannot be written: " + platform::Utf8ToWide(deckFile_->GetOpenFailure()),
                L"Error");
        return code;
    }

    deckUnitSystem_ = dataSource_->GetDeckUnitSystem();
    modelUnitSystem_ = dataSource_->GetModelUnitSystem();
    int code = InitBodyAttributes();
    if (code == kRC_Success) code = InitMesh();
    if (code == kRC_Success) code = UpdateNonlinearFlag();
    deckWriteStart_ = platform::WallClockNow();
    return code;
} catch (...) {
    return AnswerException(kRC_Exception, L"Opening the deck");
}

int DorvixFeeder::InitBodyAttributes() try {
    if (!bodyWrapper_ || !dataSource_) return kRC_MissingData;
    const std::vector<BodyRecord>& bodies = dataSource_->GetBodies();
    if (bodies.empty()) return kRC_MissingData;
    bodyWrapper_->SetBodies(&bodies);
    bodyWrapper_->SetUnitSystem(deckUnitSystem_);
    bodyWrapper_->SetAnalysisKind(analysisKind_);
    bodyWrapper_->SetTwoDimensional(dataSource_->Is2DAnalysis());
    bodyWrapper_->SetTransient(IsTransientAnalysis());
    if (const int code = bodyWrapper_->FillNamesAndMaterials(inputRoot_); code != kRC_Success) return code;
    bodyWrapper_->SetCoordinateSystems(dataSource_->GetCoordinateSystems());
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Setting the bodies up");
}

int DorvixFeeder::InitMesh() try {
    if (!meshWrapper_ || !dataSource_) return kRC_MissingData;
    if (FAILED(meshWrapper_->SetMesh(hostMesh_.Get()))) return kRC_HostMeshRefused;
    meshWrapper_->SetPartCount(partCount_);
    meshWrapper_->SetMeshUnitSystem(modelUnitSystem_);
    meshWrapper_->SetDeckUnitSystem(deckUnitSystem_);
    meshWrapper_->SetBodyWrapper(bodyWrapper_.Get());
    meshWrapper_->SetCoordinateSystems(dataSource_->GetMeshCoordinateSystems());
    meshWrapper_->SetModelValue(dataSource_->GetModelValue());
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Setting the mesh up");
}

int DorvixFeeder::UpdateNonlinearFlag() try {
    if (!bodyWrapper_) return kRC_MissingData;
    // Large deformation or a non-linear material sends the run to the non-linear module.
    nonLinearFlag_ = bodyWrapper_->HasNonlinearMaterial() || UsesLargeDeformation() ? 1 : 0;
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Reading the material laws");
}

int DorvixFeeder::SendPartMesh(int part) try {
    if (!meshWrapper_ || !deckFile_) return kRC_MissingData;
    // Element-group numbers run on across the parts.
    meshWrapper_->SetGroupCounter(groupCounterCarry_);
    const int code =
        meshWrapper_->WriteElementsForPart(part, analysisKind_, deckFile_.get(), bodyWrapper_.Get());
    groupCounterCarry_ = meshWrapper_->GetGroupCounter();
    return code;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the element groups");
}
