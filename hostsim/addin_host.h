// The file-backed host's framework around a loaded add-in: the add-in manager that announces
// context changes, the simulation applet's context with the applet and the host's root, the
// root's applications and options, the applet's six project and object events, its solver
// registry and its current object, and the project storage kept in one file of the work folder.
// Every event is a delegate that keeps clones of the handlers it is given; the host raises it
// with a sender and an argument.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "host/addin_host.h"
#include "platform/com.h"
#include "platform/dispatch.h"

class HostSim;
class HostSimProjectStorage;

// The events a loaded add-in may subscribe to.
enum class HostSimEvent {
    ContextChange,
    OptionsChange,
    ProjectReset,
    Refresh,
    ObjectDeleted,
    ObjectNaming,
    SaveProject,
    ResumeProject,
};
inline constexpr std::array<HostSimEvent, 8> kHostSimEvents = {
    HostSimEvent::ContextChange, HostSimEvent::OptionsChange, HostSimEvent::ProjectReset,
    HostSimEvent::Refresh,       HostSimEvent::ObjectDeleted, HostSimEvent::ObjectNaming,
    HostSimEvent::SaveProject,   HostSimEvent::ResumeProject};
const char* HostSimEventName(HostSimEvent event);

class HostSimAddinHost {
  public:
    static constexpr const char* kProjectFileName = "project.hostsim";

    // The framework over the host's case, its objects and its applet (the applet's current
    // object); the project file lies in `workFolder`. The host must outlive this object.
    HostSimAddinHost(HostSim& host, const std::filesystem::path& workFolder);
    ~HostSimAddinHost();
    HostSimAddinHost(const HostSimAddinHost&) = delete;
    HostSimAddinHost& operator=(const HostSimAddinHost&) = delete;

    // What the host hands to an add-in's OnLoad.
    ComPtr<IDispatch> AddinManager() const;
    ComPtr<IJXSolverRegistry> SolverRegistry() const;
    const std::filesystem::path& ProjectFile() const { return projectFile_; }

    // Each Raise answers the first failure a handler answered (every handler still runs), else
    // S_OK.
    // Announces a context: the applet's context (the default) carries the items "QH.Applet" and
    // "QH"; any other context carries none.
    [[nodiscard]] HRESULT RaiseContextChange(const std::wstring& name = kQHAppletContextName);
    [[nodiscard]] HRESULT RaiseProjectReset();
    [[nodiscard]] HRESULT RaiseRefresh();
    // The host object of that id is the argument; E_INVALIDARG when the case has no such object.
    // The object stays in the model.
    [[nodiscard]] HRESULT RaiseObjectDeleted(int id);
    [[nodiscard]] HRESULT RaiseObjectNaming(int id);
    // Changes (or adds) an option and raises the options' change event.
    [[nodiscard]] HRESULT SetOption(const std::wstring& name, const VARIANT& value);

    // Raises the save event with the storage over the project file (created when there is
    // none). A failure answers the handlers' code, or E_FAIL when the file cannot be read,
    // with the reason in `error`.
    [[nodiscard]] HRESULT SaveProject(std::string* error = nullptr);
    // Raises the resume event with the storage over the existing project file. A failure
    // answers the handlers' code, with the add-in's reason (its error information) in `error`.
    [[nodiscard]] HRESULT ResumeProject(std::string* error = nullptr);
    // The same with the storage over another project file, which stays where it is.
    [[nodiscard]] HRESULT ResumeProjectFrom(const std::filesystem::path& file, std::string* error = nullptr);
    // The same with a storage the caller opened (HostSimProjectStorage::Open), so that a file
    // checked by the caller is not read again.
    [[nodiscard]] HRESULT ResumeProjectFrom(HostSimProjectStorage& storage, std::string* error = nullptr);

    // How many handlers the event keeps.
    std::size_t HandlerCount(HostSimEvent event) const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::filesystem::path projectFile_;
};
