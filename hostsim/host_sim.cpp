// Setting up a case's host: table records joined to their host objects, components and provider registered.
#include "hostsim/host_sim.h"

#include "caerep/core/host_ports.h"
#include "hostsim/case_model_provider.h"
#include "hostsim/components.h"
#include "hostsim/selection_resolver.h"

HostSim::HostSim(const std::filesystem::path& caseFolder)
    : HostSim(std::shared_ptr<HostSimCase>(LoadHostCase(caseFolder))) {}

namespace {

// The model provider as a host component, for an add-in loaded as a module.
class HostSimModelPort : public ComObject<HostSimModelPort, NCAERep::IHostModelPort> {
  public:
    explicit HostSimModelPort(std::shared_ptr<NCAERep::IHostModelProvider> provider)
        : provider_(std::move(provider)) {}
    NCAERep::IHostModelProvider* GetProvider() override { return provider_.get(); }

  private:
    std::shared_ptr<NCAERep::IHostModelProvider> provider_;
};

}  // namespace

HostSim::HostSim(std::shared_ptr<HostSimCase> hostCase)
    : case_(std::move(hostCase)),
      objects_(std::make_shared<HostSimObjectModel>(case_->objects, case_->coordinateSystems)),
      dataSource_(case_, objects_),
      applet_(CreateHostSimApplet(objects_)) {
    AttachHostObjects();
    RegisterComponents();
    // The representation finds the provider by class id, in the program and in a loaded module
    // alike.
    auto provider = std::make_shared<CaseModelProvider>(case_);
    components_.push_back(std::make_unique<ScopedComponentClass>(
        NCAERep::CLSID_HostModelProvider, [provider](IUnknown* outer, REFIID iid, void** out) -> HRESULT {
            if (outer) return CLASS_E_NOAGGREGATION;
            ComPtr<HostSimModelPort> port = MakeComObject<HostSimModelPort>(provider);
            return port ? port->QueryInterface(iid, out) : E_OUTOFMEMORY;
        }));
}

HostSim::~HostSim() = default;

// A record of the object table and an object of the object model with the same id are one
// host object: the record hands the object out, as a host's table hands its entities.
void HostSim::AttachHostObjects() {
    if (!case_->objectTable) return;
    for (HostObjectRecord& record : case_->objectTable->records)
        if (objects_->Contains(record.id)) record.hostObject = CreateHostSimObject(objects_, record.id);
}

void HostSim::RegisterComponents() {
    const HostSimUnits units = case_->units;
    components_.push_back(
        std::make_unique<ScopedComponentClass>(CLSID_HostStringTable, CreateStringTableComponent));
    components_.push_back(
        std::make_unique<ScopedComponentClass>(CLSID_HostStringList, CreateStringListComponent));
    components_.push_back(std::make_unique<ScopedComponentClass>(
        CLSID_HostUnitsService, [units](IUnknown* outer, REFIID iid, void** out) -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (outer) return CLASS_E_NOAGGREGATION;
            ComPtr<IHostUnitsService> service = CreateHostSimUnitsService(units);
            return service ? service->QueryInterface(iid, out) : E_OUTOFMEMORY;
        }));
    components_.push_back(RegisterHostSimSelectionResolver(case_));
    components_.push_back(
        std::make_unique<ScopedComponentClass>(CLSID_HostResultReader, CreateResultReaderComponent));
    study_ = std::make_shared<HostSimStudy>(case_->parameters);
    components_.push_back(RegisterHostSimParameterManager(study_));
}
