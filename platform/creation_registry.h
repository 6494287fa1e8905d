// The process-wide registry that stands in for creating components by CLSID. The add-in's
// own co-classes, the host simulator's components and test doubles register a creator
// here; CoCreateInstance and the maker's helpers find them, and find the classes of loaded
// modules through the registry file.
#pragma once

#include <cstdint>

#include "platform/com.h"
#include "platform/com_object.h"

// Class contexts: accepted and ignored, since every component lives in this process.
constexpr std::uint32_t CLSCTX_INPROC_SERVER = 0x1;
constexpr std::uint32_t CLSCTX_INPROC_HANDLER = 0x2;
constexpr std::uint32_t CLSCTX_LOCAL_SERVER = 0x4;
constexpr std::uint32_t CLSCTX_REMOTE_SERVER = 0x10;
constexpr std::uint32_t CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr std::uint32_t CLSCTX_ALL = CLSCTX_SERVER | CLSCTX_INPROC_HANDLER;

// Registers (or replaces) the creator of a class. E_INVALIDARG for an empty creator.
[[nodiscard]] HRESULT RegisterComponentClass(const CLSID& clsid, ComponentCreator creator);
// S_FALSE when the class was not registered.
[[nodiscard]] HRESULT UnregisterComponentClass(const CLSID& clsid);
bool IsComponentClassRegistered(const CLSID& clsid);

// Creates an instance of a class: through its creator when one is registered in this process,
// else through the class factory of the in-process server the registry file names for it
// (platform/module_loader.h). REGDB_E_CLASSNOTREG when neither knows the CLSID; otherwise the
// creator's, the loader's or the factory's answer. *out is null on every failure.
[[nodiscard]] HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context, REFIID iid,
                                       void** out);

template <class T>
requires HasIid<T>
[[nodiscard]] HRESULT CoCreateInstance(REFCLSID clsid, ComPtr<T>& out, std::uint32_t context = CLSCTX_ALL) {
    return CoCreateInstance(clsid, nullptr, context, T::iid(), out.ReleaseAndGetVoidAddress());
}

// Registers a class for the lifetime of this object (tests, the host simulator).
class ScopedComponentClass {
  public:
    // Registration fails only for an empty creator; the class then stays unknown, which every
    // creation reports. Unregistering a class that is gone already is no failure.
    ScopedComponentClass(const CLSID& clsid, ComponentCreator creator) : clsid_(clsid) {
        (void)RegisterComponentClass(clsid, std::move(creator));
    }
    ~ScopedComponentClass() { (void)UnregisterComponentClass(clsid_); }
    ScopedComponentClass(const ScopedComponentClass&) = delete;
    ScopedComponentClass& operator=(const ScopedComponentClass&) = delete;

  private:
    CLSID clsid_;
};

// The maker's component-library helpers, as thin wrappers over the registry and the
// platform allocators.
namespace Xen::Vexcomp {
[[nodiscard]] inline HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context,
                                              REFIID iid, void** out) {
    return ::CoCreateInstance(clsid, outer, context, iid, out);
}
template <class T>
requires HasIid<T>
[[nodiscard]] HRESULT CoCreateInstance(REFCLSID clsid, ComPtr<T>& out, std::uint32_t context = CLSCTX_ALL) {
    return ::CoCreateInstance(clsid, out, context);
}
// Parses the braced text form; GUID_NULL for malformed text.
GUID Guid(std::wstring_view text);
}  // namespace Xen::Vexcomp

[[nodiscard]] HRESULT XenAtlCoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context,
                                             REFIID iid, void** out);
namespace Xen::ATL {
[[nodiscard]] inline HRESULT XenAtlCoCreateInstance(REFCLSID clsid, IUnknown* outer, std::uint32_t context,
                                                    REFIID iid, void** out) {
    return ::XenAtlCoCreateInstance(clsid, outer, context, iid, out);
}
}  // namespace Xen::ATL

void* XenCoTaskMemAlloc(std::size_t bytes);
BSTR XenSysAllocString(const OLECHAR* text);
