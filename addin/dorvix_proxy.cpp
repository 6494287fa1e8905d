// The proxy's accepted analyses, its map of settings objects by host id, and their records in the project.
#include "addin/dorvix_proxy.h"

#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "addin/dorvix_analysis_settings_interface.h"
#include "foundation/jx_stream.h"
#include "host/analysis_settings_addin.h"
#include "platform/creation_registry.h"
#include "platform/error_info.h"
#include "runtime/addin_services.h"

namespace {

constexpr std::int32_t kProxyRecordVersion = 1;
// A held object's record is at least its id and the settings object's own version.
constexpr std::uint64_t kSmallestObjectRecordBytes = 2 * sizeof(std::uint32_t);

// The object's identity, with a reference of its own (null when it has none).
ComPtr<IUnknown> IdentityOf(IUnknown* object) {
    ComPtr<IUnknown> identity;
    if (object) (void)object->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddress());
    return identity;
}

// A new settings object for the host object `id`.
[[nodiscard]] HRESULT CreateSettingsObject(int id, ComPtr<IDorvixAnalysisSettings>& settings) {
    HRESULT hr =
        Xen::Vexcomp::CoCreateInstance(CLSID_DorvixAnalysisSettings, nullptr, CLSCTX_SERVER,
                                       IID_IDorvixAnalysisSettings, settings.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    if (!settings) return E_FAIL;
    const HRESULT named = settings->put_AnalysisSettingsID(id);
    if (FAILED(named)) {
        settings = nullptr;
        return named;
    }
    return hr;
}

// A new settings object for the host object `id` like `held`: of its physics and analysis
// types, with settings only when `held` has settings, for a resumed record to be read into.
[[nodiscard]] HRESULT CreateSettingsObjectLike(int id, IUnknown* held,
                                               ComPtr<IDorvixAnalysisSettings>& fresh) {
    HRESULT hr = CreateSettingsObject(id, fresh);
    if (FAILED(hr)) return hr;
    ComPtr<IDorvixSettingsAdoption> typed = fresh.As<IDorvixSettingsAdoption>();
    if (!typed) return E_FAIL;
    return typed->TakeTypesOf(held);
}

// Leaves the reason a resume of the project data fails as the thread's error information;
// answers E_FAIL.
[[nodiscard]] HRESULT RefuseResume(const std::wstring& reason) {
    return FailWithErrorInfo(kDorvixProxyProgId, reason);
}

}  // namespace

CDorvixProxy::CDorvixProxy() { ModuleLock(); }

CDorvixProxy::~CDorvixProxy() { ModuleUnlock(); }

HRESULT CDorvixProxy::QueryInterfaceExtra(REFIID iid, void** out) {
    return QueryMarshaler(ControllingUnknown(), iid, out);
}

HRESULT CDorvixProxy::get_Name(BSTR* name) { return HandOutBstrCopy(name_, name); }

HRESULT CDorvixProxy::put_Name(BSTR name) { return StoreBstrCopy(name, name_); }

HRESULT CDorvixProxy::get_Solver(BSTR* progId) { return HandOutBstrCopy(solver_, progId); }

HRESULT CDorvixProxy::put_Solver(BSTR progId) { return StoreBstrCopy(progId, solver_); }

HRESULT CDorvixProxy::CheckSolverValidity(JXPhysicsType physics, JXSimulationType analysis,
                                          VARIANT_BOOL* valid) {
    if (!valid) return E_POINTER;
    bool accepted = false;
    switch (physics) {
        case kPT_Mechanical:
            accepted = analysis == kSIMULATION_STATIC || analysis == kSIMULATION_TRANSIENT ||
                       analysis == kSIMULATION_BUCKLING || analysis == kSIMULATION_MODAL;
            break;
        case kPT_Thermal:
            accepted = analysis == kSIMULATION_STATIC || analysis == kSIMULATION_TRANSIENT;
            break;
    }
    *valid = accepted ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDorvixProxy::SaveDB(IXenMultiplatformStream* stream) {
    if (!stream) return E_POINTER;
    try {
        // Objects whose host object is gone are left out; every one written must be able to
        // save itself, which is settled before anything is written.
        std::vector<std::pair<int, ComPtr<IDorvixAnalysisSettings>>> records;
        const AddinServices& services = AddinServices::GetInstance();
        for (const auto& [id, object] : objects_) {
            if (!services.GetObjectById(id)) continue;
            ComPtr<IDorvixAnalysisSettings> settings = object.As<IDorvixAnalysisSettings>();
            if (!settings) return E_FAIL;
            records.emplace_back(id, std::move(settings));
        }
        HRESULT hr = stream->writeINT(kProxyRecordVersion);
        if (SUCCEEDED(hr)) hr = stream->writeINT(static_cast<std::int32_t>(records.size()));
        for (std::size_t i = 0; SUCCEEDED(hr) && i < records.size(); ++i) {
            hr = stream->writeUINT(static_cast<std::uint32_t>(records[i].first));
            if (SUCCEEDED(hr)) hr = records[i].second->SaveDB(stream);
        }
        return FAILED(hr) ? hr : S_OK;
    } catch (...) {
        return AnswerCurrentFailure();
    }
}

HRESULT CDorvixProxy::ResumeDB(IXenMultiplatformStream* stream) {
    if (!stream) return E_POINTER;
    (void)SetErrorInfo(0, nullptr);
    try {
        HeldObjects resumed;
        const HRESULT hr = ResumeRecords(stream, resumed);
        if (FAILED(hr)) return hr;
        // The held objects take over the resumed settings, so that what the host holds keeps
        // its identity (and its notification callback). Every resumed object is of the held
        // object's class and types, and has settings just when the held one has, so no
        // hand-over can be refused half-way.
        for (auto& [id, object] : resumed) {
            ComPtr<IDorvixSettingsAdoption> held = objects_.find(id)->second.As<IDorvixSettingsAdoption>();
            if (!held) return E_FAIL;
            const HRESULT adopted = held->AdoptSettingsFrom(object.Get());
            if (FAILED(adopted)) return adopted;
        }
        return S_OK;
    } catch (...) {
        return AnswerCurrentFailure();
    }
}

HRESULT CDorvixProxy::ResumeRecords(IXenMultiplatformStream* stream, HeldObjects& resumed) const {
    std::int32_t version = 0;
    HRESULT hr = stream->readINT(&version);
    if (FAILED(hr)) return RefuseResume(L"the project data ends before the version of its settings records");
    if (version != kProxyRecordVersion)
        return RefuseResume(L"the project's settings records are of version " + std::to_wstring(version) +
                            L"; this add-in reads version " + std::to_wstring(kProxyRecordVersion));
    std::int32_t count = 0;
    hr = stream->readINT(&count);
    if (FAILED(hr)) return RefuseResume(L"the project data ends before the count of its settings records");
    // No writer leaves a negative count: the stream is damaged.
    if (count < 0)
        return RefuseResume(L"the project data counts " + std::to_wstring(count) + L" settings records");
    if (count == 0) return S_OK;
    JXStream* binary = nullptr;
    if (FAILED(stream->GetJXStreamAsLONG(&binary)) || !binary) return E_FAIL;
    const std::uint64_t left = binary->BytesLeft();
    if (static_cast<std::uint64_t>(count) > left / kSmallestObjectRecordBytes)
        return RefuseResume(L"the project data counts " + std::to_wstring(count) +
                            L" settings records, more than its " + std::to_wstring(left) +
                            L" bytes left can hold");
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t storedId = 0;
        hr = stream->readUINT(&storedId);
        if (FAILED(hr))
            return RefuseResume(L"the project data ends before settings record " + std::to_wstring(i + 1) +
                                L" of " + std::to_wstring(count));
        const int id = static_cast<int>(storedId);
        // A record carries no length: one of an id not held cannot be stepped over.
        const auto held = objects_.find(id);
        if (held == objects_.end())
            return RefuseResume(L"the project data holds settings of host object " + std::to_wstring(id) +
                                L", for which the add-in holds no settings object");
        ComPtr<IUnknown>& target = resumed[id];
        if (!target) {
            ComPtr<IDorvixAnalysisSettings> fresh;
            hr = CreateSettingsObjectLike(id, held->second.Get(), fresh);
            if (FAILED(hr)) return hr;
            target = IdentityOf(fresh.Get());
        }
        ComPtr<IDorvixAnalysisSettings> settings = target.As<IDorvixAnalysisSettings>();
        if (!settings) return E_FAIL;
        // The object leaves its own reason.
        hr = settings->ResumeDB(stream);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CDorvixProxy::IsObjectTypeSupported(int objectType, VARIANT_BOOL* supported) {
    if (!supported) return E_POINTER;
    *supported = objectType == kHostAnalysisSettingsType ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDorvixProxy::CreateObject(int objectType, int id) {
    if (objectType != kHostAnalysisSettingsType) return E_FAIL;
    try {
        if (objects_.count(id)) return S_OK;
        ComPtr<IDorvixAnalysisSettings> settings;
        const HRESULT hr = CreateSettingsObject(id, settings);
        if (FAILED(hr)) return hr;
        ComPtr<IUnknown> object = IdentityOf(settings.Get());
        if (!object) return E_FAIL;
        objects_.emplace(id, std::move(object));
        return hr;
    } catch (...) {
        return AnswerCurrentFailure();
    }
}

HRESULT CDorvixProxy::GetObject(int objectType, int id, IUnknown** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (objectType != kHostAnalysisSettingsType) return E_FAIL;
    const auto held = objects_.find(id);
    if (held == objects_.end() || !held->second) return E_FAIL;
    return held->second->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(object));
}

HRESULT CDorvixProxy::DeleteObject(int objectType, int id) {
    if (objectType != kHostAnalysisSettingsType) return E_FAIL;
    const auto held = objects_.find(id);
    if (held == objects_.end()) return S_OK;
    // The object is released after the map no longer names it.
    ComPtr<IUnknown> released = std::move(held->second);
    objects_.erase(held);
    return S_OK;
}

HRESULT CDorvixProxy::ClearObjects() {
    HeldObjects released;
    released.swap(objects_);
    return S_OK;
}

HRESULT CreateDorvixProxy(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstance<CDorvixProxy>(outer, iid, out);
}

HRESULT RegisterDorvixProxyClass() { return RegisterComponentClass(CLSID_DorvixProxy, &CreateDorvixProxy); }
