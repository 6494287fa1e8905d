// The file-backed host for one case folder: its solve context, its object model and applet,
// its components registered by class id (string table, string list, units service, selection
// resolver, result reader) and the model provider through which a loaded model reaches the case's mesh and
// material library (offered as a component by class id, which the representation asks when no
// provider of its own is installed), for as long as the host lives. One host lives at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "host/object_model.h"
#include "hostsim/data_source.h"
#include "hostsim/host_case.h"
#include "hostsim/object_model.h"
#include "hostsim/parameters.h"
#include "platform/creation_registry.h"

class HostSim {
  public:
    // Throws HostCaseError when the case cannot be read.
    explicit HostSim(const std::filesystem::path& caseFolder);
    explicit HostSim(std::shared_ptr<HostSimCase> hostCase);
    // Withdraws the components and the model provider this host installed.
    ~HostSim();
    HostSim(const HostSim&) = delete;
    HostSim& operator=(const HostSim&) = delete;

    const HostSimCase& Case() const { return *case_; }
    HostSimDataSource& DataSource() { return dataSource_; }
    ComPtr<IHostApplet> Applet() const { return applet_; }
    const std::shared_ptr<HostSimObjectModel>& Objects() const { return objects_; }
    // The changes the add-in asked of the host's objects, in order (docs/case-format/analysis-objects.md).
    const std::shared_ptr<HostSimCallLog>& Calls() const { return objects_->Calls(); }

  private:
    void AttachHostObjects();
    void RegisterComponents();

    std::shared_ptr<HostSimCase> case_;
    std::shared_ptr<HostSimObjectModel> objects_;
    HostSimDataSource dataSource_;
    ComPtr<IHostApplet> applet_;
    std::vector<std::unique_ptr<ScopedComponentClass>> components_;

  public:
    // The study the parameter-list component answers: the case's parameters as they stand
    // after the writes it received, and the settings it was handed.
    const std::shared_ptr<HostSimStudy>& Study() const { return study_; }

  private:
    std::shared_ptr<HostSimStudy> study_;
};
