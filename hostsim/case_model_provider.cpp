// The provider's answers: mesh and geometry objects of the case, materials from its library, no imports.
#include "hostsim/case_model_provider.h"

#include "hostsim/geometry_objects.h"
#include "hostsim/matml_host_port.h"
#include "hostsim/mesh_object.h"

HRESULT CaseModelProvider::getMesh(const NCAERep::CMeshRep&, ComPtr<IUnknown>& out) {
    out = nullptr;
    if (!case_->mesh) return E_FAIL;
    ComPtr<IHostMesh> mesh = CreateHostSimMeshObject(case_->mesh.Shared());
    if (!mesh) return E_FAIL;
    out = mesh;
    return S_OK;
}

HRESULT CaseModelProvider::getGeometry(const NCAERep::CGeometryRep&, ComPtr<IUnknown>& out) {
    out = nullptr;
    if (!case_->geometry) return E_FAIL;
    ComPtr<IHostGeometry> geometry = CreateHostSimGeometryObject(case_->geometry);
    if (!geometry) return E_FAIL;
    out = geometry;
    return S_OK;
}

HRESULT CaseModelProvider::findMaterial(const NCAERep::CMaterialLibraryRep&, const std::wstring& name,
                                        ComPtr<IUnknown>& out) {
    return FindHostLibraryMaterial(case_->materialLibrary.Get(), name, out);
}

int CaseModelProvider::readMaterialProperty(IUnknown* material,
                                            const NCAERep::MaterialPropertyRequest& request,
                                            NCAERep::MaterialPropertyTable& out) {
    return ReadHostMaterialProperty(material, request, out);
}

bool CaseModelProvider::materialHasModel(IUnknown* material, const std::wstring& model) {
    return HostMaterialHasModel(material, model);
}

int CaseModelProvider::importLoadData(NCAERep::NBC::CExternalLoadRep&, int) { return -1; }
