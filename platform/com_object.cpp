// The class factory, the module lock count, the object map's lazily made factories, free-threaded marshaler.
#include "platform/com_object.h"

#include <atomic>

namespace {

std::atomic<long> g_moduleLocks{0};

class ClassFactory : public ComObject<ClassFactory, IClassFactory> {
  public:
    explicit ClassFactory(ComponentCreator creator) : creator_(std::move(creator)) {}

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        return RunComponentCreator(creator_, outer, iid, out);
    }
    HRESULT LockServer(bool lock) override {
        if (lock)
            ModuleLock();
        else
            ModuleUnlock();
        return S_OK;
    }

  private:
    ComponentCreator creator_;
};

class FreeThreadedMarshaler : public ComObject<FreeThreadedMarshaler, IMarshal> {
  public:
    static constexpr bool kAggregatable = true;
    HRESULT IsFreeThreaded() override { return S_OK; }
};

}  // namespace

HRESULT RunComponentCreator(const ComponentCreator& creator, IUnknown* outer, REFIID iid, void** out) {
    *out = nullptr;
    try {
        const HRESULT hr = creator(outer, iid, out);
        if (FAILED(hr)) *out = nullptr;
        return hr;
    } catch (...) {
        // No exception crosses the component boundary.
        *out = nullptr;
        return E_FAIL;
    }
}

void ModuleLock() { g_moduleLocks.fetch_add(1); }
void ModuleUnlock() { g_moduleLocks.fetch_sub(1); }
long ModuleLockCount() { return g_moduleLocks.load(); }

ComPtr<IClassFactory> MakeClassFactory(ComponentCreator creator) {
    if (!creator) return nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr =
        CreateComInstanceWith<ClassFactory>(nullptr, IID_IClassFactory, factory.ReleaseAndGetVoidAddress(),
                                            [&] { return new ClassFactory(std::move(creator)); });
    return SUCCEEDED(hr) ? factory : nullptr;
}

ComObjectMap::ComObjectMap(std::vector<ObjectMapEntry> entries)
    : entries_(std::move(entries)), factories_(entries_.size()) {}

HRESULT ComObjectMap::GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!(entries_[i].clsid == clsid)) continue;
        if (!factories_[i]) factories_[i] = MakeClassFactory(entries_[i].creator);
        if (!factories_[i]) return E_OUTOFMEMORY;
        return factories_[i]->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ComObjectMap::Term() {
    std::vector<ComPtr<IClassFactory>> released;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& f : factories_) released.push_back(std::move(f));
        factories_.assign(entries_.size(), nullptr);
    }
}

HRESULT CoCreateFreeThreadedMarshaler(IUnknown* outer, IUnknown** innerUnknown) {
    if (!innerUnknown) return E_POINTER;
    *innerUnknown = nullptr;
    if (!outer) return E_INVALIDARG;
    return CreateComInstance<FreeThreadedMarshaler>(outer, IID_IUnknown,
                                                    reinterpret_cast<void**>(innerUnknown));
}
