// The material side of the model: a body's material and the model's material library, both answered by the
// host through the host provider.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/model_rep.h"
#include "platform/com.h"

namespace NCAERep {

class CMaterialLibraryRep : public CModelRep<CMaterialLibraryRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"MaterialLibraryRep";
    explicit CMaterialLibraryRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // The host material of that name; S_FALSE and a null `out` when the library has none,
    // E_FAIL when no host provider is installed.
    [[nodiscard]] HRESULT getMaterial(const std::wstring& name, ComPtr<IUnknown>& out) const;

    CPropertyValue m_FileName;
};

class CMaterialRep : public CModelRep<CMaterialRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"MaterialRep";
    explicit CMaterialRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // The host material named by MaterialName in the root's "MaterialLibraryRep" child: S_OK,
    // S_FALSE when the library has none of that name, E_FAIL without a library or a name that
    // is text.
    [[nodiscard]] HRESULT getHostMaterial(ComPtr<IUnknown>& out) const;
    // True when the material has one of the hyperelastic models.
    bool hasHyperelasticModel() const;
    // One property with its temperature dependence in a unit system; negative on failure.
    [[nodiscard]] int readPropertyData(const std::wstring& property, const std::wstring& unitSystem,
                                       MaterialPropertyTable& out, const std::wstring& qualifier = L"",
                                       const std::wstring& group = L"") const;
    // Whether the property exists, and its values; negative when it is missing.
    [[nodiscard]] int getPropertyValues(const std::wstring& property, const std::wstring& qualifier,
                                        const std::wstring& group, std::vector<double>& out) const;

    CPropertyValue m_MaterialName;
};

}  // namespace NCAERep
