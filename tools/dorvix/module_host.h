// The command line as a host of the add-in module: it finds the module through the registry
// file (registering the module beside the program when the registry holds none), loads it,
// creates the add-in object from the module's class factory, loads it into the host framework
// and announces the simulation applet's context; the add-in then registers its solver proxy,
// through which the host creates the settings object of the case's analysis and saves and
// resumes the add-in's project data.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/dorvix_addin_interface.h"
#include "host/solver_interfaces.h"
#include "host/solver_proxy.h"
#include "hostsim/addin_host.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "platform/module_loader.h"

class HostSim;
struct ModelSettingsXml;

// The module's file name; the build puts it beside the program.
inline constexpr const char* kAddinModuleFileName = "libdorvixsolver.so";

// Loads the module at `path` and has it register its classes in the registry file in use, which
// is completed with the install folders it lacks (tools/dorvix/install_folders.h); the folders
// and the classes it registered are listed to `out`. False, with the reason, when the file is no
// add-in module or the registration fails.
[[nodiscard]] bool RegisterAddinModule(const std::filesystem::path& path, std::ostream& out,
                                       std::string& problem);

// The module registered for the solver's class, loaded. The registry file is completed with the
// install folders it lacks; when it names no module for one of the add-in's classes, the module
// in `programFolder` is registered first. False, with the reason,
// when there is none to register, the named file is no component module or serves no add-in.
[[nodiscard]] bool LoadRegisteredAddinModule(const std::filesystem::path& programFolder,
                                             platform::ComponentModule& module, std::filesystem::path& path,
                                             std::string& problem);

// A new object of one of the module's classes, asked for T.
template <class T>
[[nodiscard]] HRESULT CreateFromModule(const platform::ComponentModule& module, REFCLSID clsid,
                                       ComPtr<T>& out) {
    ComPtr<IClassFactory> factory;
    HRESULT hr = module.GetClassObject(clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    return factory->CreateInstance(nullptr, T::iid(), out.ReleaseAndGetVoidAddress());
}

// The add-in loaded into the host for one case: from Start to the end of its life (when it is
// unloaded) the add-in's handlers are subscribed to the host's events.
class AddinSession {
  public:
    AddinSession(HostSim& host, const std::filesystem::path& workFolder);
    ~AddinSession();
    AddinSession(const AddinSession&) = delete;
    AddinSession& operator=(const AddinSession&) = delete;

    // Creates the add-in object, raises its OnLoad and the applet's context, and finds the proxy
    // it registered in the solver registry. False, with the reason, on any failure.
    [[nodiscard]] bool Start(const platform::ComponentModule& module, std::string& problem);
    // Has the proxy create the settings object of host object `id` for the model's analysis and
    // read the settings the model holds. False, with the reason, only when no object is made.
    // Where the model's settings are not taken (no `model`, which `unread` says why, or the object
    // refuses them), `note` says so: the object then keeps the defaults of the model's analysis
    // where it took the analysis, and holds no settings where it did not.
    [[nodiscard]] bool CreateSettingsObject(int id, const ModelSettingsXml* model, const std::string& unread,
                                            std::string& note, std::string& problem);

    // Why the project cannot be saved whole: a settings object of a host object holds no settings,
    // and a project saved without them cannot be resumed. Empty when it can.
    std::string WhyProjectCannotBeSaved() const;
    // Raises the applet's save event and keeps the project in `file`. Without a resume the
    // project starts empty, whatever an earlier run left in the work folder. A project that
    // cannot be saved whole is refused, and `file` stays as it was.
    [[nodiscard]] bool SaveProject(const std::filesystem::path& file, std::string& problem);
    // Raises the applet's resume event over the project in `file`. A failed resume leaves the
    // settings objects as they were.
    [[nodiscard]] bool ResumeProject(const std::filesystem::path& file, std::string& problem);

    // One line per settings object the proxy holds: its host id, analysis, steps and end time.
    // With `hostObjectsOnly` only those of a host object (the ones a save keeps).
    void ShowSettingsObjects(std::ostream& out, bool hostObjectsOnly) const;

  private:
    HostSim& host_;
    HostSimAddinHost framework_;
    ComPtr<IQHAddin> addin_;
    ComPtr<IJXObjectsAddinProvider> objects_;
    std::vector<int> ids_;
    // Why the objects that hold no settings hold none, by host id.
    std::map<int, std::string> unsettled_;
    bool resumed_ = false;
};
