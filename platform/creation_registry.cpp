// The locked table of creators by class id, CoCreateInstance over it and then over modules, and the shims.
#include "platform/creation_registry.h"

#include <map>
#include <mutex>

#include "platform/module_loader.h"

namespace {

struct Registry {
    std::mutex mutex;
    std::map<CLSID, ComponentCreator> creators;
};

Registry& TheRegistry() {
    static Registry* r = new Registry();  // never destroyed: creators may run during exit
    return *r;
}

}  // namespace

HRESULT RegisterComponentClass(const CLSID& clsid, ComponentCreator creator) {
    if (!creator) return E_INVALIDARG;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.creators[clsid] = std::move(creator);
    return S_OK;
}

HRESULT UnregisterComponentClass(const CLSID& clsid) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.creators.erase(clsid) ? S_OK : S_FALSE;
}

bool IsComponentClassRegistered(const CLSID& clsid) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.creators.count(clsid) != 0;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComponentCreator creator;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.creators.find(clsid);
        if (it != r.creators.end())
            creator = it->second;  // run outside the lock: a creator may create components itself
    }
    if (creator) return RunComponentCreator(creator, outer, iid, out);
    ComPtr<IClassFactory> factory;
    HRESULT hr =
        platform::GetRegisteredClassObject(clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    hr = factory->CreateInstance(outer, iid, out);
    if (FAILED(hr)) *out = nullptr;
    return hr;
}

HRESULT XenAtlCoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context, REFIID iid,
                               void** out) {
    return CoCreateInstance(clsid, outer, context, iid, out);
}

GUID Xen::Vexcomp::Guid(std::wstring_view text) {
    GUID g = GUID_NULL;
    TryParseGuid(text, g);
    return g;
}

void* XenCoTaskMemAlloc(std::size_t bytes) { return CoTaskMemAlloc(bytes); }
BSTR XenSysAllocString(const OLECHAR* text) { return SysAllocString(text); }
