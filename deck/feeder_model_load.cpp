// The feeder's readers of the model: the load of the input representation, the settings object
// rebuilt from the model's settings XML, the host mesh and the named analysis parameters.
#include <string_view>

#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/external_object.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/geometry_reps.h"
#include "deck/dorvix_feeder.h"
#include "foundation/case_fold.h"
#include "foundation/text.h"
#include "platform/creation_registry.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/progress.h"
#include "settings/settings_factory.h"

namespace {

constexpr const wchar_t* kAnalysisSettings = L"AnalysisSettings";

// The first object of the type below the root. Several mesh objects are not refused: the first
// one found is the model's.
template <class T>
T* FirstOfType(NCAERep::CCAERepBase* root, const wchar_t* type) {
    if (!root) return nullptr;
    std::vector<NCAERep::CCAERepBase*> found;
    root->getDescendantsByType(type, found);
    return found.empty() ? nullptr : dynamic_cast<T*>(found.front());
}

// The settings element holds the settings class's root element beside the analysis
// parameters; without such an element the host saved no settings and the defaults stand.
bool HoldsSettings(XmlNode settingsElement) {
    for (XmlNode child : settingsElement.children())
        if (child.type() == pugi::node_element && std::string_view(child.name()) != "Parameters") return true;
    return false;
}

// A parameter's field: the text of the child element of that name, else the attribute of that
// name. Absent in both forms: false.
bool ReadParameterField(XmlNode parameter, const char* field, std::wstring& out) {
    if (XmlNode element = parameter.child(field)) {
        out = platform::Utf8ToWide(element.child_value());
        return true;
    }
    if (pugi::xml_attribute attribute = parameter.attribute(field)) {
        out = platform::Utf8ToWide(attribute.value());
        return true;
    }
    return false;
}

}  // namespace

int DorvixFeeder::LoadCAERepresentation(BSTR inputPath, BSTR outputPath) {
    return LoadCAERepresentation(std::wstring(inputPath ? inputPath : L""),
                                 std::wstring(outputPath ? outputPath : L""));
}

int DorvixFeeder::LoadCAERepresentation(const std::wstring& inputPath, const std::wstring& outputPath) try {
    // Every solve loads its model first: what an earlier solve collected is not this one's.
    NCAERep::ClearCollectedCAEExceptions();
    // Known first, so that the reason of a model refused here reaches the host.
    outputPath_ = outputPath;
    if (!inputRoot_) return kRC_ModelLoadFailed;
    if (ReportProgress(10, kProgressModelLoad) == 0) return kRC_Cancelled;
    if (inputPath.empty()) return RefuseModel(L"no model file was named");
    if (inputRoot_->resumeFromFile(platform::PathFromWide(inputPath)) < 0) {
        const NCAERep::CCAEException* error = inputRoot_->getLastError();
        return RefuseModel(error ? error->getMessage() : L"the file " + inputPath + L" cannot be read");
    }
    if (ReportProgress(100, kProgressModelLoad) == 0) return kRC_Cancelled;

    selectionResolver_.Reset();
    if (FAILED(Xen::Vexcomp::CoCreateInstance(CLSID_SelectionResolver, selectionResolver_,
                                              CLSCTX_INPROC_SERVER)) ||
        !selectionResolver_)
        return RefuseModel(L"the host has no selection resolver");
    (void)selectionResolver_->SetRoot(inputRoot_);

    auto* solver = NCAERep::FindModelSolver(inputRoot_);
    if (!solver) return RefuseModel(L"it has no solver object (SolverRep)");
    int solverUnits = 0;
    solver->getProperty(L"SolverUnits").getValue(solverUnits);

    std::vector<NCAERep::CIdentity> loads;
    inputRoot_->getIdentitiesByType(NCAERep::NBC::CExternalLoadRep::kTypeName, loads);
    for (const NCAERep::CIdentity& identity : loads) {
        auto* load = dynamic_cast<NCAERep::NBC::CExternalLoadRep*>(inputDatabase_.getObject(identity));
        if (!load)
            return RefuseModel(L"its imported load " + std::to_wstring(identity.getId()) +
                               L" cannot be read");
        (void)load->importLoadData(solverUnits);
    }

    if (!outputRoot_) return kRC_ModelLoadFailed;
    NCAERep::CCAERepBase* post =
        outputDatabase_.createNew(NCAERep::CIdentity(NCAERep::CPostRep::kTypeName, outputDatabase_.NextId()));
    if (!post) return kRC_ModelLoadFailed;
    outputRoot_->addObject(post);
    return kRC_Success;
} catch (...) {
    // A property of an unexpected type, an import that fails: the model cannot be solved.
    return AnswerException(kRC_ModelLoadFailed, L"Loading the model");
}

int DorvixFeeder::RefuseModel(const std::wstring& reason) {
    PostHostMessage(L"The model cannot be loaded: " + reason, L"Error");
    return kRC_ModelLoadFailed;
}

int DorvixFeeder::ReadSolverRep() try {
    settingsReadProblem_.clear();
    auto* solver = NCAERep::FindModelSolver(inputRoot_);
    if (!solver) return kRC_MissingStepValue;
    std::wstring analysisName;
    std::wstring physicsName;
    solver->getProperty(L"AnalysisType").getValue(analysisName);
    solver->getProperty(L"PhysicsType").getValue(physicsName);
    std::unique_ptr<DorvixSolutionSettings> settings = CreateDorvixSolutionSettings(
        GetAnalysisTypeFromName(analysisName), GetPhysicsTypeFromName(physicsName));
    if (!settings) return kRC_MissingStepValue;

    if (!solver->hasExternalObject(kAnalysisSettings)) {
        PostHostMessage(L"The model holds no analysis settings", L"Error");
        return kRC_MissingStepValue;
    }
    const XmlNode element = solver->getExternalObject(kAnalysisSettings)->getRootNode();
    // A document saved by another version may hold what this build cannot read; the solve
    // goes on with what was read (the defaults where nothing was), and the reason is kept and
    // shown to the user.
    if (HoldsSettings(element)) {
        (void)settings->ReadXML(element);
        settingsReadProblem_ = settings->GetReadProblem();
        if (!settingsReadProblem_.empty())
            PostHostMessage(
                L"Analysis settings not read in full, defaults kept there: " + settingsReadProblem_,
                L"Warning");
    }
    settings_ = std::move(settings);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Reading the analysis settings");
}

int DorvixFeeder::GetMeshRep() try {
    hostMesh_.Reset();
    auto* meshRep = FirstOfType<NCAERep::CMeshRep>(inputRoot_, NCAERep::CMeshRep::kTypeName);
    if (!meshRep) return kRC_MissingData;
    ComPtr<IUnknown> mesh;
    if (FAILED(meshRep->getMesh(mesh)) || !mesh) return kRC_MissingData;
    hostMesh_ = mesh.As<IHostMesh>();
    return hostMesh_ ? kRC_Success : kRC_MissingData;
} catch (...) {
    return AnswerException(kRC_Exception, L"Taking the host mesh");
}

int DorvixFeeder::ReadAnalysisParameters(const std::wstring& name, double& value) const try {
    auto* solver = NCAERep::FindModelSolver(inputRoot_);
    if (!solver || !solver->hasExternalObject(kAnalysisSettings)) return kRC_MissingStepValue;
    const XmlNode parameters =
        solver->getExternalObject(kAnalysisSettings)->getRootNode().child("Parameters");
    if (!parameters) return kRC_MissingStepValue;

    const std::wstring wanted = ToLowerUnicode(name);
    for (XmlNode parameter : parameters.children()) {
        if (parameter.type() != pugi::node_element) continue;
        std::wstring parameterName;
        if (!ReadParameterField(parameter, "Name", parameterName)) continue;
        parameterName = ToLowerUnicode(parameterName);
        if (parameterName.empty() || parameterName.find(wanted) == std::wstring::npos) continue;
        std::wstring text;
        if (!ReadParameterField(parameter, "Value", text)) continue;
        value = ParseDouble(std::wstring_view(text));
        return kRC_Success;
    }
    return kRC_MissingStepValue;
} catch (...) {
    // A query has no channel for the reason; the caller that needs the value stops on it.
    return kRC_Exception;
}
