// The type-info holder: loaded once under a lock and checked, single names found in a cache, calls passed on.
#include "runtime/xen_dispatch.h"

#include <cwchar>
#include <new>

XenComTypeInfoHolder::XenComTypeInfoHolder(const IID& iid, Loader loader)
    : iid_(iid), loader_(std::move(loader)) {}

XenComTypeInfoHolder::~XenComTypeInfoHolder() = default;

HRESULT XenComTypeInfoHolder::GetTypeInfoCount(unsigned* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

ITypeInfo* XenComTypeInfoHolder::EnsureLoaded(HRESULT* hr) {
    *hr = S_OK;
    if (loaded_.load(std::memory_order_acquire)) return typeInfo_.Get();
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        if (loaded_.load(std::memory_order_relaxed)) return typeInfo_.Get();
        ComPtr<ITypeInfo> info;
        *hr = loader_ ? loader_(info.ReleaseAndGetAddressOf()) : E_UNEXPECTED;
        if (SUCCEEDED(*hr) && !info) *hr = E_UNEXPECTED;
        if (FAILED(*hr)) return nullptr;

        IID described;
        if (FAILED(info->GetInterfaceId(&described)) || !(described == iid_)) {
            *hr = E_UNEXPECTED;
            return nullptr;
        }
        std::vector<CachedName> names;
        unsigned count = 0;
        (void)info->GetMemberCount(&count);  // a failure leaves no member to cache
        for (unsigned i = 0; i < count; ++i) {
            const MemberDescription* m = nullptr;
            if (FAILED(info->GetMember(i, &m)) || !m) continue;
            bool known = false;
            for (const CachedName& n : names) known = known || n.name == m->name;
            if (!known) names.push_back({m->name, m->dispid});
        }
        names_ = std::move(names);
        typeInfo_ = std::move(info);
        loaded_.store(true, std::memory_order_release);
        return typeInfo_.Get();
    } catch (const std::bad_alloc&) {
        *hr = E_OUTOFMEMORY;
    } catch (...) {
        *hr = E_FAIL;
    }
    return nullptr;
}

HRESULT XenComTypeInfoHolder::GetTypeInfo(unsigned index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = S_OK;
    ITypeInfo* loaded = EnsureLoaded(&hr);
    if (!loaded) return hr;
    loaded->AddRef();
    *info = loaded;
    return S_OK;
}

bool XenComTypeInfoHolder::FindCachedName(const OLECHAR* name, DISPID* dispid) const {
    const std::size_t length = std::wcslen(name);
    for (const CachedName& n : names_) {
        if (n.name.size() == length && n.name.compare(0, length, name, length) == 0) {
            *dispid = n.dispid;
            return true;
        }
    }
    return false;
}

HRESULT XenComTypeInfoHolder::GetIDsOfNames(REFIID, const OLECHAR* const* names, unsigned count, LCID,
                                            DISPID* dispids) {
    HRESULT hr = S_OK;
    ITypeInfo* info = EnsureLoaded(&hr);
    if (!info) return hr;
    if (count == 1 && names && names[0] && dispids && FindCachedName(names[0], dispids)) return S_OK;
    return info->GetIDsOfNames(names, count, dispids);
}

HRESULT XenComTypeInfoHolder::Invoke(IUnknown* instance, DISPID member, REFIID iid, LCID, std::uint16_t flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     unsigned* argErr) {
    if (!(iid == IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = S_OK;
    ITypeInfo* info = EnsureLoaded(&hr);
    if (!info) return hr;
    return info->Invoke(instance, member, flags, params, result, excepInfo, argErr);
}

void XenComTypeInfoHolder::Term() {
    ComPtr<ITypeInfo> released;
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_.store(false, std::memory_order_release);
    released = std::move(typeInfo_);
    names_.clear();
}
