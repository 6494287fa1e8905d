#include "hostsim/matml_host_port.h"

namespace {

ComPtr<IHostMaterial> AsMaterial(IUnknown* material) {
    ComPtr<IHostMaterial> host;
    if (material) material->QueryInterface(IHostMaterial::iid(), host.ReleaseAndGetVoidAddress());
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
    if (!data || !ReadColumn(data.Get(), request.name, request.unitSystem, out.values) || out.values.empty())
        return -1;
    if (!ReadColumn(data.Get(), L"Temperature", request.unitSystem, out.temperatures)) return -1;
    if (out.temperatures.size() == 1 && out.temperatures[0] == kHostUndefinedValue) out.temperatures.clear();
    return 0;
}

bool HostMaterialHasModel(IUnknown* material, const std::wstring& model) {
    ComPtr<IHostMaterial> host = AsMaterial(material);
    ComPtr<IHostMaterialPropertyCollection> collection = host ? host->GetPropertyCollection() : nullptr;
    return collection && collection->Item(model);
}
