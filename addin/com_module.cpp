// The four co-classes of the object map and their registry keys: written, removed, or collected for the host.
#include "addin/com_module.h"

#include <new>
#include <string>

#include "addin/dorvix_addin.h"
#include "addin/dorvix_analysis_settings.h"
#include "addin/dorvix_analysis_settings_interface.h"
#include "addin/dorvix_proxy.h"
#include "addin/jx_dorvix_solver.h"
#include "host/dorvix_proxy_interface.h"
#include "host/solver_interfaces.h"
#include "platform/module_loader.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace {

using platform::RegistryRoot;

std::vector<ObjectMapEntry> MapEntries(const std::vector<CoClassEntry>& entries) {
    std::vector<ObjectMapEntry> map;
    map.reserve(entries.size());
    for (const CoClassEntry& e : entries) map.push_back({e.clsid, e.progId, e.creator});
    return map;
}

}  // namespace

std::vector<CoClassEntry> DorvixObjectMap() {
    return {
        {CLSID_JXDorvixSolver, kJXDorvixSolverProgId, L"JXDorvixSolver", &CreateJXDorvixSolver},
        {CLSID_DorvixProxy, kDorvixProxyProgId, L"DorvixProxy", &CreateDorvixProxy},
        {CLSID_DorvixAnalysisSettings, kDorvixAnalysisSettingsProgId, L"DorvixAnalysisSettings",
         &CreateDorvixAnalysisSettings},
        {CLSID_DorvixAddin, kDorvixAddinProgId, L"DorvixAddin", &CreateDorvixAddin},
    };
}

DorvixComModule::DorvixComModule(std::vector<CoClassEntry> entries, std::filesystem::path modulePath,
                                 CoClassAllocators allocators)
    : entries_(std::move(entries)),
      modulePath_(std::move(modulePath)),
      allocators_(allocators),
      map_(MapEntries(entries_)) {}

DorvixComModule::~DorvixComModule() {
    FreeCollected();
    map_.Term();
}

HRESULT DorvixComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return map_.GetClassObject(clsid, iid, out);
}

HRESULT DorvixComModule::UpdateRegistry(const CoClassEntry& entry, bool doRegister, RegistrationMode mode) {
    if (mode == RegistrationMode::Normal) return doRegister ? WriteClassKeys(entry) : RemoveClassKeys(entry);
    if (!doRegister) return S_OK;  // nothing was written that could be removed
    BSTR progId = allocators_.allocString(entry.progId);
    auto* clsid = static_cast<CLSID*>(allocators_.allocMemory(sizeof(CLSID)));
    if (!progId || !clsid) {
        SysFreeString(progId);
        CoTaskMemFree(clsid);
        return E_FAIL;
    }
    *clsid = entry.clsid;
    try {
        collectedList_.emplace_back(progId, clsid);
    } catch (const std::bad_alloc&) {
        SysFreeString(progId);
        CoTaskMemFree(clsid);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT DorvixComModule::WriteClassKeys(const CoClassEntry& entry) const {
    if (modulePath_.empty()) return E_FAIL;
    const std::wstring classKey = platform::ClassKeyPath(entry.clsid);
    const std::wstring progIdKey = entry.progId;
    const std::wstring server = classKey + L"\\InprocServer32";
    // One pass, so that a class is never left registered in part.
    return platform::RegistryWriteStrings(
        RegistryRoot::ClassesRoot,
        {
            {classKey, L"", entry.name},
            {server, L"", platform::WideFromPath(modulePath_)},
            {server, L"ThreadingModel", L"Both"},
            {classKey + L"\\ProgID", L"", entry.progId},
            {progIdKey, L"", entry.name},
            {progIdKey + L"\\CLSID", L"", platform::Utf8ToWide(GuidToString(entry.clsid))},
        });
}

HRESULT DorvixComModule::RemoveClassKeys(const CoClassEntry& entry) const {
    HRESULT hr = platform::RegistryDeleteKey(RegistryRoot::ClassesRoot, platform::ClassKeyPath(entry.clsid));
    const HRESULT progId = platform::RegistryDeleteKey(RegistryRoot::ClassesRoot, entry.progId);
    if (SUCCEEDED(hr)) hr = progId;
    return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT DorvixComModule::RegisterCoClasses(RegistrationMode mode) {
    for (const CoClassEntry& entry : entries_) {
        const HRESULT hr = UpdateRegistry(entry, true, mode);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT DorvixComModule::UnregisterCoClasses() {
    HRESULT first = S_OK;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        const HRESULT hr = UpdateRegistry(*it, false, RegistrationMode::Normal);
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    }
    return first;
}

void DorvixComModule::FreeCollected() {
    for (auto& [progId, clsid] : collectedList_) {
        SysFreeString(progId);
        CoTaskMemFree(clsid);
    }
    collectedList_.clear();
}

HRESULT DorvixComModule::CollectRegisteredCoClasses(ULONG* count, BSTR** progIds, CLSID*** clsids) {
    if (count) *count = 0;
    if (progIds) *progIds = nullptr;
    if (clsids) *clsids = nullptr;
    if (!count || !progIds || !clsids) return E_POINTER;
    collected_ = true;
    HRESULT hr = RegisterCoClasses(RegistrationMode::Collect);
    const std::size_t n = collectedList_.size();
    auto* names = SUCCEEDED(hr) ? static_cast<BSTR*>(allocators_.allocMemory(n * sizeof(BSTR))) : nullptr;
    auto* ids = names ? static_cast<CLSID**>(allocators_.allocMemory(n * sizeof(CLSID*))) : nullptr;
    if (FAILED(hr) || !names || !ids) {
        CoTaskMemFree(names);
        FreeCollected();
        return FAILED(hr) ? hr : E_OUTOFMEMORY;
    }
    for (std::size_t i = 0; i < n; ++i) {
        names[i] = collectedList_[i].first;
        ids[i] = collectedList_[i].second;
    }
    // The caller owns the strings and the copies now.
    collectedList_.clear();
    *count = static_cast<ULONG>(n);
    *progIds = names;
    *clsids = ids;
    return S_OK;
}

HRESULT DorvixComModule::CollectRuntimeCoClasses(ULONG* count, CLSID*** coClasses, GUID*** categories) {
    if (count) *count = 0;
    if (coClasses) *coClasses = nullptr;
    if (categories) *categories = nullptr;
    if (!count || !coClasses || !categories) return E_POINTER;
    if (!collected_) return E_FAIL;
    const std::size_t n = runtimeList_.size();
    auto* entries = static_cast<CLSID**>(allocators_.allocMemory(n * sizeof(CLSID*)));
    auto* guids = entries ? static_cast<GUID**>(allocators_.allocMemory(n * sizeof(GUID*))) : nullptr;
    std::size_t filled = 0;
    for (; guids && filled < n; ++filled) {
        guids[filled] = static_cast<GUID*>(allocators_.allocMemory(sizeof(GUID)));
        if (!guids[filled]) break;
        *guids[filled] = kRuntimeCoClassCategory;
        entries[filled] = runtimeList_[filled];
    }
    if (!entries || !guids || filled < n) {
        for (std::size_t i = 0; guids && i < filled; ++i) CoTaskMemFree(guids[i]);
        CoTaskMemFree(guids);
        CoTaskMemFree(entries);
        return E_OUTOFMEMORY;
    }
    runtimeList_.clear();
    *count = static_cast<ULONG>(n);
    *coClasses = entries;
    *categories = guids;
    return S_OK;
}
