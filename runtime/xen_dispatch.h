// Late binding for the add-in's dual interfaces: the type information of one interface,
// built once on first use, with a cache of its member names, and the IDispatch operations a
// co-class inherits from IXenDispatchImpl.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/dispatch.h"
#include "platform/type_info.h"

class XenComTypeInfoHolder {
  public:
    // Makes the type information; asked again after a failure, never after a success.
    using Loader = std::function<HRESULT(ITypeInfo** out)>;

    XenComTypeInfoHolder(const IID& iid, Loader loader);
    ~XenComTypeInfoHolder();
    XenComTypeInfoHolder(const XenComTypeInfoHolder&) = delete;
    XenComTypeInfoHolder& operator=(const XenComTypeInfoHolder&) = delete;

    [[nodiscard]] static HRESULT GetTypeInfoCount(unsigned* count);
    // The type information with a reference added for the caller; DISP_E_BADINDEX for an
    // index other than 0.
    [[nodiscard]] HRESULT GetTypeInfo(unsigned index, LCID locale, ITypeInfo** info);
    // One name is looked up in the name cache first (same length, then same characters);
    // anything else, or a name the cache does not hold, is answered by the type information.
    [[nodiscard]] HRESULT GetIDsOfNames(REFIID iid, const OLECHAR* const* names, unsigned count, LCID locale,
                                        DISPID* dispids);
    // `instance` is the object whose described interface receives the call.
    [[nodiscard]] HRESULT Invoke(IUnknown* instance, DISPID member, REFIID iid, LCID locale,
                                 std::uint16_t flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excepInfo, unsigned* argErr);

    // Releases the type information and the cached names when the module ends; a later call
    // loads them again.
    void Term();

  private:
    struct CachedName {
        std::wstring name;
        DISPID dispid;
    };

    // The loaded type information (owned by the holder), or null with the loader's failure.
    ITypeInfo* EnsureLoaded(HRESULT* hr);
    bool FindCachedName(const OLECHAR* name, DISPID* dispid) const;

    const IID iid_;
    Loader loader_;
    std::mutex mutex_;
    std::atomic<bool> loaded_{false};
    ComPtr<ITypeInfo> typeInfo_;
    std::vector<CachedName> names_;
};

// The IDispatch operations of a co-class whose dual interface I is described by the holder
// that `Holder` answers:
//   class CFoo : public ComObject<CFoo, IXenDispatchImpl<IFoo, &FooTypeInfo>> { ... };
template <class I, XenComTypeInfoHolder& (*Holder)()>
class IXenDispatchImpl : public I {
  public:
    [[nodiscard]] HRESULT GetTypeInfoCount(unsigned* count) override {
        return XenComTypeInfoHolder::GetTypeInfoCount(count);
    }
    [[nodiscard]] HRESULT GetTypeInfo(unsigned index, LCID locale, ITypeInfo** info) override {
        return Holder().GetTypeInfo(index, locale, info);
    }
    [[nodiscard]] HRESULT GetIDsOfNames(REFIID iid, const OLECHAR* const* names, unsigned count, LCID locale,
                                        DISPID* dispids) override {
        return Holder().GetIDsOfNames(iid, names, count, locale, dispids);
    }
    [[nodiscard]] HRESULT Invoke(DISPID member, REFIID iid, LCID locale, std::uint16_t flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                 unsigned* argErr) override {
        return Holder().Invoke(static_cast<I*>(this), member, iid, locale, flags, params, result, excepInfo,
                               argErr);
    }

  protected:
    ~IXenDispatchImpl() = default;
};
