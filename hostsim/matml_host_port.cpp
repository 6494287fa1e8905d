// A library material found by name, and a property's values and temperatures read as one table or refused.
#include "hostsim/matml_host_port.h"

namespace {

ComPtr<IHostMaterial> AsMaterial(IUnknown* material) {
    ComPtr<IHostMaterial> host;
    if (material) (void)material->QueryInterface(IHostMaterial::iid(), host.ReleaseAndGetVoidAddress());
    return host;
}

bool ReadColumn(IHostMaterialData* data, const std::wstring& name, const std::wstring& system,
                std::vector<double>& out) {
    ComPtr<IHostMaterialColumn> column = data->GetVariable(name);
    if (!column) return false;
    out.clear();
    for (int i = 0; i < column->GetCount(); ++i) {
        ComPtr<IHostMaterialValue> value = column->GetValue(i, system, kHostValueConverted);
        if (!value) return false;
        out.push_back(value->GetDouble());
    }
    return true;
}

[[nodiscard]] int Missing(NCAERep::MaterialPropertyTable& out) {
    out = NCAERep::MaterialPropertyTable{};
    return -1;
}

}  // namespace

HRESULT FindHostLibraryMaterial(IHostMaterialLibrary* library, const std::wstring& name,
                                ComPtr<IUnknown>& out) {
    out = nullptr;
    if (!library) return E_POINTER;
    ComPtr<IHostMaterial> material = library->GetMaterial(name);
    if (!material) return S_FALSE;
    out = ComPtr<IUnknown>(material.Get());
    return S_OK;
}

int ReadHostMaterialProperty(IUnknown* material, const NCAERep::MaterialPropertyRequest& request,
                             NCAERep::MaterialPropertyTable& out) {
    out = NCAERep::MaterialPropertyTable{};
    ComPtr<IHostMaterial> host = AsMaterial(material);
    if (!host) return -1;
    ComPtr<IHostMaterialProperty> property =
        host->GetProperty(request.group.empty() ? request.name : request.group);
    ComPtr<IHostMaterialData> data = property ? property->GetData(request.name, request.qualifier) : nullptr;
    // Within a group the name is usually a column of the group's own datum ("Young's Modulus X
    // direction" of "Orthotropic Elasticity", "Magnetic Flux Density" of "B-H Curve").
    if (!data && property && !request.group.empty())
        data = property->GetData(request.group, request.qualifier);
    if (!data || !ReadColumn(data.Get(), request.name, request.unitSystem, out.values) || out.values.empty())
        return Missing(out);
    // A value the user left undefined is no value.
    if (out.values.size() == 1 && out.values[0] == kHostUndefinedValue) return Missing(out);
    if (!ReadColumn(data.Get(), L"Temperature", request.unitSystem, out.temperatures)) return Missing(out);
    if (out.temperatures.size() == 1 && out.temperatures[0] == kHostUndefinedValue) out.temperatures.clear();
    // One value per temperature point, or one value and no temperatures: anything else cannot be
    // read as a table.
    if (!out.temperatures.empty() && out.temperatures.size() != out.values.size()) return Missing(out);
    return 0;
}

bool HostMaterialHasModel(IUnknown* material, const std::wstring& model) {
    ComPtr<IHostMaterial> host = AsMaterial(material);
    ComPtr<IHostMaterialPropertyCollection> collection = host ? host->GetPropertyCollection() : nullptr;
    return collection && collection->Item(model);
}
