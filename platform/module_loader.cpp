// Opening a module with dlopen and finding its class-object export, module paths, classes the registry names.
#include "platform/module_loader.h"

#include <dlfcn.h>

#include <system_error>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace platform {

void* ComponentModule::FindExport(const char* name) const {
    return handle_ && name ? dlsym(handle_, name) : nullptr;
}

HRESULT ComponentModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!getClassObject_) return E_UNEXPECTED;
    return getClassObject_(clsid, iid, out);
}

HRESULT LoadComponentModule(const std::filesystem::path& path, ComponentModule* out, std::string* error) {
    if (!out) return E_POINTER;
    *out = ComponentModule();
    if (!FileExists(path)) {
        if (error) *error = "no module file " + Utf8FromPath(path);
        return E_NOTFOUND;
    }
    // A bare file name would send the loader searching the library path instead of this file.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    const std::string file = Utf8FromPath(ec ? path : full);
    // Kept for the life of the process: objects of the module may outlive every reference the
    // caller holds, and the module never agrees to unload.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        if (error) *error = "cannot load " + file + ": " + (reason ? reason : "unknown reason");
        return E_FAIL;
    }
    void* entry = dlsym(handle, kGetClassObjectExport);
    if (!entry) {
        // Nothing of it is in use yet, so it need not stay.
        dlclose(handle);
        if (error) *error = file + " is no component module: it exports no " + kGetClassObjectExport;
        return E_FAIL;
    }
    out->handle_ = handle;
    out->getClassObject_ = reinterpret_cast<GetClassObjectFunction>(entry);
    return S_OK;
}

std::filesystem::path ModulePathOf(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname) return {};
    std::error_code ec;
    const std::filesystem::path path = PathFromUtf8(info.dli_fname);
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

std::wstring ClassKeyPath(REFCLSID clsid) { return L"CLSID\\" + Utf8ToWide(GuidToString(clsid)); }

HRESULT RegisteredServerPath(REFCLSID clsid, std::filesystem::path* out) {
    if (!out) return E_POINTER;
    std::wstring server;
    if (FAILED(RegistryReadString(RegistryRoot::ClassesRoot, ClassKeyPath(clsid) + L"\\InprocServer32", L"",
                                  &server)) ||
        server.empty())
        return REGDB_E_CLASSNOTREG;
    *out = PathFromWide(server);
    return S_OK;
}

HRESULT GetRegisteredClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::filesystem::path server;
    HRESULT hr = RegisteredServerPath(clsid, &server);
    if (FAILED(hr)) return hr;
    ComponentModule module;
    hr = LoadComponentModule(server, &module);
    if (FAILED(hr)) return hr;
    return module.GetClassObject(clsid, iid, out);
}

}  // namespace platform
