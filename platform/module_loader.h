// Loadable component modules: a shared library that serves classes through DllGetClassObject,
// loaded once and kept for the life of the process (as a module that never agrees to unload),
// and the in-process servers the registry file names for class ids. CoCreateInstance asks
// here for a class that no creator of this process serves.
#pragma once

#include <filesystem>
#include <string>

#include "platform/com.h"
#include "platform/errors.h"

namespace platform {

// The module exports a host looks up by name.
inline constexpr const char* kGetClassObjectExport = "DllGetClassObject";
using GetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** out);

// A loaded module; copies refer to the same module.
class ComponentModule {
  public:
    ComponentModule() = default;
    bool IsLoaded() const { return handle_ != nullptr; }
    // The address of an exported function; null when the module does not export it.
    void* FindExport(const char* name) const;
    // The module's DllGetClassObject, found when the module was loaded.
    [[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;

  private:
    friend HRESULT LoadComponentModule(const std::filesystem::path&, ComponentModule*, std::string*);
    void* handle_ = nullptr;
    GetClassObjectFunction getClassObject_ = nullptr;
};

// Loads the module with every symbol resolved at once. E_NOTFOUND when the file does not
// exist, E_FAIL when it cannot be loaded or exports no DllGetClassObject (it is then no
// component module); the reason goes to `error`.
[[nodiscard]] HRESULT LoadComponentModule(const std::filesystem::path& path, ComponentModule* out,
                                          std::string* error = nullptr);

// The file of the loaded module (program or shared library) that holds `address`; empty when
// no module holds it.
std::filesystem::path ModulePathOf(const void* address);

// The registry file's key of a class: "CLSID\{...}" under HKEY_CLASSES_ROOT.
std::wstring ClassKeyPath(REFCLSID clsid);
// The in-process server registered for the class (the default value of its InprocServer32
// key). REGDB_E_CLASSNOTREG when the registry holds none or cannot be read (RegistryLastProblem
// then tells why).
[[nodiscard]] HRESULT RegisteredServerPath(REFCLSID clsid, std::filesystem::path* out);

// The class factory of a class from the module the registry file names for it, asked for
// `iid`. REGDB_E_CLASSNOTREG when no server is registered; the loader's failure when the
// module cannot be loaded; otherwise the module's answer.
[[nodiscard]] HRESULT GetRegisteredClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace platform
