// Hardening and hyperelastic laws of a host material, and whether an analysis needs the non-linear module.
#include "deck/materials/material_checks.h"

#include "foundation/analysis_kind.h"

namespace {

const std::vector<std::wstring>& PlasticHardeningNames() {
    static const std::vector<std::wstring> names = {
        L"Bilinear Isotropic Hardening", L"Multilinear Isotropic Hardening", L"Bilinear Kinematic Hardening",
        L"Multilinear Kinematic Hardening"};
    return names;
}

const std::vector<std::wstring>& HyperelasticModelNames() {
    static const std::vector<std::wstring> names = {L"Mooney-Rivlin", L"Neo-Hookean", L"Polynomial", L"Yeoh",
                                                    L"Ogden"};
    return names;
}

const std::vector<std::wstring>& IsotropicLawNames() {
    static const std::vector<std::wstring> names = {L"Bilinear Isotropic Hardening",
                                                    L"Multilinear Isotropic Hardening"};
    return names;
}

const std::vector<std::wstring>& KinematicLawNames() {
    static const std::vector<std::wstring> names = {L"Multilinear Kinematic Hardening",
                                                    L"Bilinear Kinematic Hardening"};
    return names;
}

bool GetLaw(IHostMaterial* material, const std::vector<std::wstring>& names, std::wstring& name) {
    const int index = FindFirstDefinedProperty(material, names);
    name = index < 0 ? std::wstring() : names[static_cast<std::size_t>(index)];
    return index >= 0;
}

bool Defines(IHostMaterial* material, const wchar_t* name) {
    return FindFirstDefinedProperty(material, {name}) >= 0;
}

// More than one row in the data of that name of the property of that name.
bool HasSeveralRows(IHostMaterial* material, const wchar_t* name) {
    ComPtr<IHostMaterialProperty> property = material->GetProperty(name);
    if (!property) return false;
    ComPtr<IHostMaterialData> data = property->GetData(name, L"");
    return data && data->GetRowCount() > 1;
}

constexpr int kStructuralBit = PowerOfTwoBit(kAnalysisStructural);
constexpr int kEigenBit = PowerOfTwoBit(kAnalysisEigen);
constexpr int kKind3Bit = PowerOfTwoBit(3);
constexpr int kThermalBit = PowerOfTwoBit(kAnalysisThermal);
constexpr int kKind5Bit = PowerOfTwoBit(5);
constexpr int kMagneticBit = PowerOfTwoBit(6);
constexpr int kKind7Bit = PowerOfTwoBit(7);
constexpr int kThermoelectricBit = PowerOfTwoBit(11);

}  // namespace

int FindFirstDefinedProperty(IHostMaterial* material, const std::vector<std::wstring>& names) {
    if (!material) return -1;
    ComPtr<IHostMaterialPropertyCollection> collection = material->GetPropertyCollection();
    if (!collection) return -1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (collection->Item(names[i])) return static_cast<int>(i);
    return -1;
}

bool HasPlasticHardening(IHostMaterial* material) {
    return FindFirstDefinedProperty(material, PlasticHardeningNames()) >= 0;
}

bool HasHyperelasticModel(IHostMaterial* material) {
    return FindFirstDefinedProperty(material, HyperelasticModelNames()) >= 0;
}

bool GetIsotropicHardeningLaw(IHostMaterial* material, std::wstring& name) {
    return GetLaw(material, IsotropicLawNames(), name);
}

bool HasIsotropicHardening(IHostMaterial* material) {
    std::wstring name;
    return GetIsotropicHardeningLaw(material, name);
}

bool GetKinematicHardeningLaw(IHostMaterial* material, std::wstring& name) {
    return GetLaw(material, KinematicLawNames(), name);
}

bool HasKinematicHardening(IHostMaterial* material) {
    std::wstring name;
    return GetKinematicHardeningLaw(material, name);
}

bool HasChabocheKinematicHardening(IHostMaterial* material) {
    return Defines(material, kChabocheKinematicHardening);
}

bool HasPlakinSpecialHardeningLaw(IHostMaterial* material) {
    return Defines(material, kPlakinSpecialHardeningLaw);
}

HRESULT MaterialNeedsNonlinearModule(IHostMaterial* material, int checkCode, VARIANT_BOOL& needsModule) {
    needsModule = VARIANT_FALSE;
    if (!material) return E_POINTER;
    const int mask = checkCode / 10000;
    const bool transient = checkCode % 2 != 0;
    if (mask & (kKind5Bit | kEigenBit)) return S_OK;

    bool needs = false;
    if (mask & (kStructuralBit | kKind7Bit | kKind3Bit))
        needs = HasPlasticHardening(material) || HasHyperelasticModel(material);
    if (!needs && (mask & kThermalBit)) needs = HasSeveralRows(material, L"Thermal Conductivity");
    if (!needs && (mask & kThermalBit) && transient)
        needs = HasSeveralRows(material, L"Density") || HasSeveralRows(material, L"Specific Heat");
    if (!needs && (mask & kMagneticBit))
        needs = Defines(material, L"B-H Curve") || Defines(material, L"Demagnetization B-H Curve");
    if (!needs && (mask & kThermoelectricBit)) needs = HasSeveralRows(material, L"Seebeck Coefficient");
    if (needs) needsModule = VARIANT_TRUE;
    return S_OK;
}
