// Materials live in the host: these operations find the host material through the model's
// material library and read it through the host provider.
#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/material_reps.h"

namespace NCAERep {

namespace {
IHostModelProvider* HostOf(const CCAERepBase& rep) {
    return rep.getDatabase() ? rep.getDatabase()->getHostProvider() : nullptr;
}
constexpr const wchar_t* kHyperelasticModels[] = {L"Mooney-Rivlin", L"Neo-Hookean", L"Polynomial", L"Yeoh",
                                                  L"Ogden"};
}  // namespace

HRESULT CMaterialLibraryRep::getMaterial(const std::wstring& name, ComPtr<IUnknown>& out) const {
    out = nullptr;
    IHostModelProvider* host = HostOf(*this);
    if (!host) return E_FAIL;
    HRESULT hr = host->findMaterial(*this, name, out);
    if (FAILED(hr)) out = nullptr;
    return out ? S_OK : (FAILED(hr) ? hr : S_FALSE);
}

HRESULT CMaterialRep::getHostMaterial(ComPtr<IUnknown>& out) const {
    out = nullptr;
    if (!getDatabase() || !getDatabase()->getRoot()) return E_FAIL;
    auto* library = dynamic_cast<CMaterialLibraryRep*>(
        getDatabase()->getRoot()->getChild(L"MaterialLibraryRep", L"MaterialLibraryRep"));
    if (!library) return E_FAIL;
    // A model file may give the name a value of another type; such a material is not found,
    // and the caller learns it from the code rather than from a look-up exception.
    const CPropertyValue* nameValue = findProperty(L"MaterialName");
    if (!nameValue || nameValue->getType() != EValueType::String) return E_FAIL;
    std::wstring name;
    nameValue->getValue(name);
    return library->getMaterial(name, out);
}

bool CMaterialRep::hasHyperelasticModel() const {
    IHostModelProvider* host = HostOf(*this);
    ComPtr<IUnknown> material;
    if (!host || getHostMaterial(material) != S_OK) return false;
    for (const wchar_t* model : kHyperelasticModels)
        if (host->materialHasModel(material.Get(), model)) return true;
    return false;
}

int CMaterialRep::readPropertyData(const std::wstring& property, const std::wstring& unitSystem,
                                   MaterialPropertyTable& out, const std::wstring& qualifier,
                                   const std::wstring& group) const {
    out = MaterialPropertyTable{};
    IHostModelProvider* host = HostOf(*this);
    ComPtr<IUnknown> material;
    if (!host || getHostMaterial(material) != S_OK) return -1;
    int result = host->readMaterialProperty(material.Get(), {property, qualifier, group, unitSystem}, out);
    return result < 0 ? result : 0;
}

int CMaterialRep::getPropertyValues(const std::wstring& property, const std::wstring& qualifier,
                                    const std::wstring& group, std::vector<double>& out) const {
    out.clear();
    MaterialPropertyTable table;
    int result = readPropertyData(property, L"", table, qualifier, group);
    if (result < 0) return result;
    out = std::move(table.values);
    return 0;
}

}  // namespace NCAERep
