// What the model representation asks of the host, answered from a loaded case folder: the
// case's mesh, its geometry and its material library. The host simulator installs it as the
// default provider while it lives, so the mesh, geometry and material representations of any
// model loaded meanwhile reach the simulated host.
#pragma once

#include <memory>

#include "caerep/core/host_ports.h"
#include "hostsim/host_case.h"

class CaseModelProvider : public NCAERep::IHostModelProvider {
  public:
    explicit CaseModelProvider(std::shared_ptr<const HostSimCase> hostCase) : case_(std::move(hostCase)) {}

    // A new host mesh object over the case's mesh; E_FAIL when host.json has no "mesh".
    [[nodiscard]] HRESULT getMesh(const NCAERep::CMeshRep& rep, ComPtr<IUnknown>& out) override;
    // A new host geometry object over the case's geometry; E_FAIL when the case has none.
    [[nodiscard]] HRESULT getGeometry(const NCAERep::CGeometryRep& rep, ComPtr<IUnknown>& out) override;
    [[nodiscard]] HRESULT findMaterial(const NCAERep::CMaterialLibraryRep& library, const std::wstring& name,
                                       ComPtr<IUnknown>& out) override;
    [[nodiscard]] int readMaterialProperty(IUnknown* material,
                                           const NCAERep::MaterialPropertyRequest& request,
                                           NCAERep::MaterialPropertyTable& out) override;
    bool materialHasModel(IUnknown* material, const std::wstring& model) override;
    // Case folders carry no imported load data yet: -1.
    [[nodiscard]] int importLoadData(NCAERep::NBC::CExternalLoadRep& load, int solverUnits) override;

  private:
    std::shared_ptr<const HostSimCase> case_;
};
