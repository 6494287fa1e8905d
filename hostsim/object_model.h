// The file-backed host's object model: the objects of the case, the applet that finds them by
// id, and renaming (which changes the model for every later reader).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "host/object_model.h"
#include "hostsim/call_log.h"
#include "hostsim/host_case.h"

class HostSimObjectModel {
  public:
    // Each coordinate system is an object of its id as well (an object listed with that id
    // keeps its type and name), answering the system's deck frame number.
    explicit HostSimObjectModel(const std::vector<HostSimObject>& objects,
                                const std::vector<CoordinateSystemData>& systems = {});

    bool Contains(int id) const;
    // A copy of the object (false when there is none).
    bool Get(int id, HostSimObject& out) const;
    bool Rename(int id, const std::wstring& name);
    // Runs `change` on the object under the model's lock and answers what it answers; E_FAIL
    // when there is no object of the id.
    [[nodiscard]] HRESULT Change(int id, const std::function<HRESULT(HostSimObject&)>& change);
    // The objects as they stand, and the objects put back as they stood; the log of calls stays.
    std::map<int, HostSimObject> Snapshot() const;
    void Restore(std::map<int, HostSimObject> objects);
    // Where the objects record the changes the add-in asks for.
    const std::shared_ptr<HostSimCallLog>& Calls() const { return calls_; }

  private:
    mutable std::mutex mutex_;
    std::map<int, HostSimObject> objects_;
    std::shared_ptr<HostSimCallLog> calls_ = std::make_shared<HostSimCallLog>();
};

// The host object with the id, answering IHostObject and IHostObjectNaming, and the
// analysis-settings interfaces its entry has members for (hostsim/analysis_facets.h); null for
// an unknown id.
ComPtr<IUnknown> CreateHostSimObject(const std::shared_ptr<HostSimObjectModel>& model, int id);
// The applet over the model.
ComPtr<IHostApplet> CreateHostSimApplet(const std::shared_ptr<HostSimObjectModel>& model);
