// What the representation asks of the host. The host layer sits above this library, so the
// representation cannot name the host's interfaces: the classes that reach host objects (mesh,
// geometry, materials, imported loads) call this port, and the host layer installs an
// implementation (per database, or process-wide as the default). Host objects travel as
// IUnknown; the host code that receives them queries its own interfaces.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com.h"

namespace NCAERep {

class CMeshRep;
class CGeometryRep;
class CMaterialLibraryRep;
namespace NBC {
class CExternalLoadRep;
}

// One property of a host material: one value per temperature point (a single value and no
// temperatures when the property does not depend on temperature).
struct MaterialPropertyTable {
    std::vector<double> values;
    std::vector<double> temperatures;
};

// Which property of a material: its name, and optionally the qualifier and property group
// that tell apart properties of the same name (orthotropic data, B-H curves).
struct MaterialPropertyRequest {
    std::wstring name;
    std::wstring qualifier;
    std::wstring group;
    std::wstring unitSystem;  // values are answered in this unit system
};

class IHostModelProvider {
  public:
    virtual ~IHostModelProvider() = default;
    // The host mesh / geometry object that a mesh / geometry representation stands for.
    [[nodiscard]] virtual HRESULT getMesh(const CMeshRep& rep, ComPtr<IUnknown>& out) = 0;
    [[nodiscard]] virtual HRESULT getGeometry(const CGeometryRep& rep, ComPtr<IUnknown>& out) = 0;
    // The host material of that name in the library; S_FALSE and null when there is none.
    [[nodiscard]] virtual HRESULT findMaterial(const CMaterialLibraryRep& library, const std::wstring& name,
                                               ComPtr<IUnknown>& out) = 0;
    // Reads a material property; a negative answer when the material does not define it.
    [[nodiscard]] virtual int readMaterialProperty(IUnknown* material, const MaterialPropertyRequest& request,
                                                   MaterialPropertyTable& out) = 0;
    // Whether the material defines the named model (for instance "Neo-Hookean").
    virtual bool materialHasModel(IUnknown* material, const std::wstring& model) = 0;
    // Fills the tables of an imported load from the host's data in the given solver unit
    // system; 0 on success.
    [[nodiscard]] virtual int importLoadData(NBC::CExternalLoadRep& load, int solverUnits) = 0;
};

// The host component through which a loaded add-in module reaches the host's model provider:
// the module cannot see what the host installed in the program's own copy of this library, so
// it creates the component by class id.
inline constexpr CLSID CLSID_HostModelProvider = MakeGuid("39855dbd-1e04-4bc5-9c26-4f27666da424");
inline constexpr IID IID_IHostModelPort = MakeGuid("eaa92b98-30e1-4110-bcaf-147fc98d0a7f");

struct IHostModelPort : IUnknown {
    static constexpr const IID& iid() { return IID_IHostModelPort; }
    // The provider; it lives as long as the host keeps the component's class registered.
    virtual IHostModelProvider* GetProvider() = 0;

  protected:
    ~IHostModelPort() = default;
};

// The provider used by databases that have none of their own: the one installed here, else the
// host component's (null when there is neither).
void SetDefaultHostModelProvider(std::shared_ptr<IHostModelProvider> provider);
IHostModelProvider* GetDefaultHostModelProvider();

}  // namespace NCAERep
