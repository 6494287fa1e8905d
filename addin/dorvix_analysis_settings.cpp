// Settings built per analysis type, their save and resume in the project stream, hand-over, change notices.
#include "addin/dorvix_analysis_settings.h"

#include <functional>
#include <new>
#include <string>
#include <utility>

#include "foundation/jx_stream.h"
#include "platform/creation_registry.h"
#include "platform/error_info.h"
#include "runtime/addin_services.h"
#include "settings/modal_controls.h"
#include "settings/output_controls.h"
#include "settings/settings_factory.h"
#include "settings/solution_settings.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"
#include "settings/time_step_options.h"

namespace {

// What SaveDB writes ahead of the settings' own records: the record version of an object with
// settings, or the mark of an object without settings (nothing follows it).
constexpr std::uint32_t kSettingsObjectVersion = 1;
constexpr std::uint32_t kNoSettingsMark = 0;

// The settings object behind `source`; null for an object of another class. Only this class
// answers the adoption interface, and only inside the module.
CDorvixAnalysisSettings* SettingsObjectOf(IUnknown* source) {
    ComPtr<IDorvixSettingsAdoption> adoption;
    if (FAILED(source->QueryInterface(IDorvixSettingsAdoption::iid(), adoption.ReleaseAndGetVoidAddress())) ||
        !adoption)
        return nullptr;
    return static_cast<CDorvixAnalysisSettings*>(adoption.Get());
}

}  // namespace

CDorvixAnalysisSettings::CDorvixAnalysisSettings() { ModuleLock(); }

CDorvixAnalysisSettings::~CDorvixAnalysisSettings() { ModuleUnlock(); }

HRESULT CDorvixAnalysisSettings::QueryInterfaceExtra(REFIID iid, void** out) {
    return QueryMarshaler(ControllingUnknown(), iid, out);
}

void CDorvixAnalysisSettings::FinalRelease() {
    ForgetRecords();
    settings_.reset();
    hostCallback_.Reset();
}

// ---- types and the settings object ----

HRESULT CDorvixAnalysisSettings::put_AnalysisSettingsID(int id) {
    analysisSettingsId_ = id;
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::get_PhysicsType(JXPhysicsType* type) {
    if (!type) return E_POINTER;
    *type = physicsType_;
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::get_AnalysisType(JXSimulationType* type) {
    if (!type) return E_POINTER;
    *type = analysisType_;
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::SetTypes(JXPhysicsType physics, JXSimulationType analysis) try {
    physicsType_ = physics;
    analysisType_ = analysis;
    return RebuildSettings();
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::RebuildSettings() {
    ForgetRecords();
    settings_.reset();
    try {
        settings_ = CreateDorvixSolutionSettings(analysisType_, physicsType_);
    } catch (...) {
        return AnswerCurrentFailure();
    }
    if (!settings_) return E_FAIL;
    FetchRecords();
    currentTime_ = 1.0;
    return S_OK;
}

void CDorvixAnalysisSettings::FetchRecords() {
    ForgetRecords();
    if (!settings_) return;
    if (IsEigenAnalysisType(analysisType_)) {
        const int tag = analysisType_ == kSIMULATION_MODAL ? kModalControlsTag : kBucklingControlsTag;
        modalControls_ = settings_->GetControlsAs<DorvixModalControls>(tag);
        outputControls_ = settings_->GetControlsAs<DorvixOutputControls>(kOutputControlsTag);
    }
    solverControls_ = settings_->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    solverFileControls_ = settings_->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag);
    stepList_ = settings_->GetControlsAs<DorvixStepControlsList>(kStepListTag);
    if (stepList_) SelectStep(stepList_->GetStep(1));
}

void CDorvixAnalysisSettings::ForgetRecords() {
    stepList_ = nullptr;
    currentStep_ = nullptr;
    currentTimeStepOptions_ = nullptr;
    modalControls_ = nullptr;
    outputControls_ = nullptr;
    solverFileControls_ = nullptr;
    solverControls_ = nullptr;
}

void CDorvixAnalysisSettings::SelectStep(DorvixStepControls* step) {
    currentStep_ = step;
    currentTimeStepOptions_ = step ? &step->GetTimeStepOptions() : nullptr;
    // Analyses with steps keep their output requests per step; the others at settings level.
    if (stepList_) outputControls_ = step ? &step->GetOutputControls() : nullptr;
}

void CDorvixAnalysisSettings::MakeCurrent(DorvixStepControls* step) {
    SelectStep(step);
    currentTime_ = step->GetEndTime();
}

// ---- project stream ----

HRESULT CDorvixAnalysisSettings::SaveDB(IXenMultiplatformStream* stream) try {
    if (!stream) return E_POINTER;
    HRESULT hr = stream->writeUINT(settings_ ? kSettingsObjectVersion : kNoSettingsMark);
    if (FAILED(hr) || !settings_) return hr;
    JXStream* binary = nullptr;
    hr = stream->GetJXStreamAsLONG(&binary);
    if (FAILED(hr)) return hr;
    if (!binary) return E_FAIL;
    hr = settings_->SaveDB(*binary);
    return FAILED(hr) ? hr : S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::ResumeDB(IXenMultiplatformStream* stream) try {
    if (!stream) return E_POINTER;
    std::uint32_t version = 0;
    HRESULT hr = stream->readUINT(&version);
    if (FAILED(hr)) {
        (void)ReportResumeFailure(L"end before their version");
        return hr;
    }
    // What was saved must be what this object holds: settings into settings, none into none.
    if (version == kNoSettingsMark) {
        if (!settings_) return S_OK;
        return ReportResumeFailure(L"are missing: the object saved had no settings");
    }
    if (version != kSettingsObjectVersion)
        return ReportResumeFailure(L"are of version " + std::to_wstring(version) +
                                   L"; this add-in reads version " + std::to_wstring(kSettingsObjectVersion));
    if (!settings_)
        return ReportResumeFailure(L"cannot be taken: the object has no analysis types it supports");
    JXStream* binary = nullptr;
    hr = stream->GetJXStreamAsLONG(&binary);
    if (FAILED(hr)) return hr;
    if (!binary) return E_FAIL;
    hr = ReplaceSettings([binary](DorvixSolutionSettings& fresh) { return fresh.ResumeDB(*binary); });
    if (FAILED(hr) && hr != E_OUTOFMEMORY)
        (void)ReportResumeFailure(binary->Good() ? L"cannot be read: they are of another analysis or layout"
                                                 : L"end early");
    return hr;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::ReportResumeFailure(const std::wstring& what) const {
    std::wstring subject = L"the saved settings";
    if (analysisSettingsId_ != 0) subject += L" of host object " + std::to_wstring(analysisSettingsId_);
    return FailWithErrorInfo(kDorvixAnalysisSettingsProgId, subject + L" " + what);
}

HRESULT CDorvixAnalysisSettings::ReplaceSettings(
    const std::function<HRESULT(DorvixSolutionSettings&)>& read) {
    if (!settings_) return E_FAIL;
    // Read into a fresh object of the same class, so that what cannot be read leaves the
    // settings (and every record the object points into) as they were.
    HRESULT hr = S_OK;
    try {
        std::unique_ptr<DorvixSolutionSettings> fresh =
            CreateDorvixSolutionSettings(settings_->GetAnalysisType(), settings_->GetPhysicsType());
        if (!fresh) return E_FAIL;
        hr = read(*fresh);
        if (FAILED(hr)) return hr;
        settings_ = std::move(fresh);
    } catch (...) {
        return AnswerCurrentFailure();
    }
    FetchRecords();
    return hr;
}

HRESULT CDorvixAnalysisSettings::AdoptSettingsFrom(IUnknown* source) {
    if (!source) return E_POINTER;
    CDorvixAnalysisSettings* other = SettingsObjectOf(source);
    if (!other) return E_INVALIDARG;
    if (other == this) return S_OK;
    if (other->physicsType_ != physicsType_ || other->analysisType_ != analysisType_) return E_INVALIDARG;
    // An object without settings takes over the nothing another one without settings holds.
    if (!other->settings_) return settings_ ? E_INVALIDARG : S_OK;
    settings_ = std::move(other->settings_);
    other->ForgetRecords();
    FetchRecords();
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::TakeTypesOf(IUnknown* source) {
    if (!source) return E_POINTER;
    const CDorvixAnalysisSettings* other = SettingsObjectOf(source);
    if (!other) return E_INVALIDARG;
    physicsType_ = other->physicsType_;
    analysisType_ = other->analysisType_;
    if (other->settings_) return RebuildSettings();
    ForgetRecords();
    settings_.reset();
    return S_OK;
}

// ---- notifications and the host ----

HRESULT CDorvixAnalysisSettings::get_IgnoreNotify(VARIANT_BOOL* ignore) {
    if (!ignore) return E_POINTER;
    *ignore = ignoreNotify_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::put_IgnoreNotify(VARIANT_BOOL ignore) {
    ignoreNotify_ = ignore == VARIANT_TRUE;
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::SetHostCallback(IUnknown* callback) {
    hostCallback_.Reset();
    // An object without the notification interface leaves the object without a callback.
    if (callback)
        (void)callback->QueryInterface(IID_IHostSettingsCallback, hostCallback_.ReleaseAndGetVoidAddress());
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::ReleaseHostCallback() {
    hostCallback_.Reset();
    return S_OK;
}

void CDorvixAnalysisSettings::NotifyChange() {
    if (ignoreNotify_ || !hostCallback_) return;
    // Keeps the callback alive should the host release it from inside the call.
    ComPtr<IHostSettingsCallback> callback = hostCallback_;
    (void)callback->OnSettingsChanged(kSettingsChangedNotification);
}

int CDorvixAnalysisSettings::GetOwnerAnalysisId() const {
    if (analysisSettingsId_ == 0) return 0;
    return AddinServices::GetInstance().GetObjectProperty(analysisSettingsId_, kHostOwnerAnalysisProperty);
}

void CDorvixAnalysisSettings::RefreshHostTime() {
    if (ignoreNotify_) return;
    const int analysisId = GetOwnerAnalysisId();
    if (analysisId == 0) return;
    ComPtr<IHostAnalysisTime> display =
        AddinServices::GetInstance().GetObjectById(analysisId).As<IHostAnalysisTime>();
    if (display) (void)display->SetCurrentTime(currentTime_);
}

HRESULT CDorvixAnalysisSettings::get_SolverName(BSTR* name) { return HandOutBstrCopy(L"Dorvix", name); }

// ---- the host's step, time and directory operations ----

HRESULT CDorvixAnalysisSettings::JX_get_NumberOfSteps(std::uint32_t* count) {
    return get_NumberOfSteps(count);
}
HRESULT CDorvixAnalysisSettings::JX_put_NumberOfSteps(std::uint32_t count) {
    return put_NumberOfSteps(count);
}
HRESULT CDorvixAnalysisSettings::JX_get_CurrentStepNumber(std::uint32_t* step) {
    return get_CurrentStepNumber(step);
}
HRESULT CDorvixAnalysisSettings::JX_put_CurrentStepNumber(std::uint32_t step) {
    return put_CurrentStepNumber(step);
}
HRESULT CDorvixAnalysisSettings::JX_get_EndTime(double* time) { return get_EndTime(time); }
HRESULT CDorvixAnalysisSettings::JX_put_EndTime(double time) { return put_EndTime(time); }
HRESULT CDorvixAnalysisSettings::JX_get_NumModesToFind(int* count) { return get_NumModesToFind(count); }
HRESULT CDorvixAnalysisSettings::JX_put_NumModesToFind(int count) { return put_NumModesToFind(count); }
HRESULT CDorvixAnalysisSettings::JX_get_FutureIntent(JXFutureIntentType* intent) {
    return get_FutureIntent(intent);
}
HRESULT CDorvixAnalysisSettings::JX_get_UseLargeDeformation(VARIANT_BOOL* value) {
    return get_UseLargeDeformation(value);
}
HRESULT CDorvixAnalysisSettings::JX2_put_FutureIntent(JXFutureIntentType intent) {
    return put_FutureIntent(intent);
}

namespace {

// The host's directory operations: a copy of a set directory (the out value left alone when
// none is set), and a quiet store of a copy.
[[nodiscard]] HRESULT CopyDirectoryOut(const std::wstring& directory, BSTR* out) {
    return directory.empty() ? S_OK : HandOutBstrCopy(directory, out);
}

}  // namespace

HRESULT CDorvixAnalysisSettings::JX_get_SolverFilesDirectory(BSTR* directory) {
    if (!directory || !solverFileControls_) return E_POINTER;
    return CopyDirectoryOut(solverFileControls_->GetSolverFilesDirectory(), directory);
}

HRESULT CDorvixAnalysisSettings::JX_put_SolverFilesDirectory(BSTR directory) try {
    if (!solverFileControls_) return E_POINTER;
    solverFileControls_->SetSolverFilesDirectory(std::wstring(BstrView(directory)));
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::JX_get_SolverFilesRelativeDirectory(BSTR* directory) {
    if (!directory || !solverFileControls_) return E_POINTER;
    return CopyDirectoryOut(solverFileControls_->GetSolverFilesRelativeDirectory(), directory);
}

HRESULT CDorvixAnalysisSettings::JX_put_SolverFilesRelativeDirectory(BSTR directory) try {
    if (!solverFileControls_) return E_POINTER;
    solverFileControls_->SetSolverFilesRelativeDirectory(std::wstring(BstrView(directory)));
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

// ---- creation ----

HRESULT CreateDorvixAnalysisSettings(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstance<CDorvixAnalysisSettings>(outer, iid, out);
}

HRESULT RegisterDorvixAnalysisSettingsClass() {
    return RegisterComponentClass(CLSID_DorvixAnalysisSettings, &CreateDorvixAnalysisSettings);
}
