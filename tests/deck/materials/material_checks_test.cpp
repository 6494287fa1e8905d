// The questions that decide how a material is written and whether it needs the non-linear
// module.
#include "deck/materials/material_checks.h"

#include <gtest/gtest.h>

#include "tests/deck/materials/material_test_support.h"

namespace {

using namespace materials_test;

MatmlProperty Marker(const std::wstring& name) { return SimpleProperty(name, {Column(L"Value", {1.0})}); }

MatmlProperty Rows(const std::wstring& name, int rows) {
    std::vector<double> temperatures, values;
    for (int i = 0; i < rows; ++i) {
        temperatures.push_back(290.0 + i);
        values.push_back(1.0 + i);
    }
    return SimpleProperty(name, {Column(L"Temperature", temperatures), Column(name, values)}, L"Isotropic");
}

bool Needs(IHostMaterial* material, int checkCode) {
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(MaterialNeedsNonlinearModule(material, checkCode, flag), S_OK);
    EXPECT_TRUE(flag == VARIANT_TRUE || flag == VARIANT_FALSE);
    return flag == VARIANT_TRUE;
}

constexpr int kStructural = 1 * 10000;
constexpr int kEigen = 2 * 10000;
constexpr int kThermal = 8 * 10000;

TEST(HardeningLaws, KinematicPrefersMultilinearAndIsotropicPrefersBilinear) {
    ComPtr<IHostMaterial> all = MakeMaterial(
        L"All", {Marker(L"Bilinear Kinematic Hardening"), Marker(L"Multilinear Kinematic Hardening"),
                 Marker(L"Multilinear Isotropic Hardening"), Marker(L"Bilinear Isotropic Hardening")});
    std::wstring law = L"stale";
    EXPECT_TRUE(GetKinematicHardeningLaw(all.Get(), law));
    EXPECT_EQ(law, L"Multilinear Kinematic Hardening");
    EXPECT_TRUE(GetIsotropicHardeningLaw(all.Get(), law));
    EXPECT_EQ(law, L"Bilinear Isotropic Hardening");

    ComPtr<IHostMaterial> elastic = MakeMaterial(L"Elastic", {Marker(L"Isotropic Elasticity")});
    EXPECT_FALSE(GetKinematicHardeningLaw(elastic.Get(), law));
    EXPECT_EQ(law, L"");
    law = L"stale";
    EXPECT_FALSE(GetIsotropicHardeningLaw(nullptr, law));
    EXPECT_EQ(law, L"");
    EXPECT_FALSE(HasPlasticHardening(elastic.Get()));
    EXPECT_FALSE(HasChabocheKinematicHardening(nullptr));
    EXPECT_FALSE(HasPlakinSpecialHardeningLaw(nullptr));
}

TEST(HardeningLaws, FindFirstDefinedPropertyGivesTheIndexInTheList) {
    ComPtr<IHostMaterial> m = MakeMaterial(L"M", {Marker(L"Ogden"), Marker(L"Yeoh")});
    EXPECT_EQ(FindFirstDefinedProperty(m.Get(), {L"Mooney-Rivlin", L"Yeoh", L"Ogden"}), 1);
    EXPECT_EQ(FindFirstDefinedProperty(m.Get(), {L"Mooney-Rivlin"}), -1);
    EXPECT_EQ(FindFirstDefinedProperty(nullptr, {L"Yeoh"}), -1);
    EXPECT_TRUE(HasHyperelasticModel(m.Get()));
}

TEST(NonlinearModule, EigenvalueAnalysesNeverAskForIt) {
    ComPtr<IHostMaterial> plastic = MakeMaterial(L"P", {Marker(L"Multilinear Isotropic Hardening")});
    EXPECT_TRUE(Needs(plastic.Get(), kStructural));
    EXPECT_FALSE(Needs(plastic.Get(), kEigen));
    EXPECT_FALSE(Needs(plastic.Get(), kEigen + kStructural));  // the eigenvalue bit wins
    EXPECT_FALSE(Needs(plastic.Get(), 16 * 10000 + kStructural));
    EXPECT_TRUE(Needs(plastic.Get(), 64 * 10000));
    EXPECT_TRUE(Needs(MakeMaterial(L"H", {Marker(L"Neo-Hookean")}).Get(), 4 * 10000));
}

TEST(NonlinearModule, ThermalAnalysesLookAtTemperatureDependence) {
    ComPtr<IHostMaterial> conductivity = MakeMaterial(L"C", {Rows(L"Thermal Conductivity", 2)});
    EXPECT_TRUE(Needs(conductivity.Get(), kThermal));
    EXPECT_FALSE(Needs(conductivity.Get(), kStructural));

    ComPtr<IHostMaterial> density =
        MakeMaterial(L"D", {Rows(L"Thermal Conductivity", 1), Rows(L"Density", 3)});
    EXPECT_FALSE(Needs(density.Get(), kThermal));
    EXPECT_TRUE(Needs(density.Get(), kThermal + 1));
    ComPtr<IHostMaterial> heat = MakeMaterial(L"S", {Rows(L"Specific Heat", 2)});
    EXPECT_TRUE(Needs(heat.Get(), kThermal + 1));
    EXPECT_FALSE(Needs(heat.Get(), kStructural + 1));
}

TEST(NonlinearModule, MagneticAndThermoelectricChecks) {
    EXPECT_TRUE(Needs(MakeMaterial(L"B", {Marker(L"Demagnetization B-H Curve")}).Get(), 32 * 10000));
    EXPECT_FALSE(Needs(MakeMaterial(L"B", {Marker(L"B-H Curve")}).Get(), kThermal));
    EXPECT_TRUE(Needs(MakeMaterial(L"S", {Rows(L"Seebeck Coefficient", 2)}).Get(), 1024 * 10000));
    EXPECT_FALSE(Needs(MakeMaterial(L"S", {Rows(L"Seebeck Coefficient", 1)}).Get(), 1024 * 10000));
}

TEST(NonlinearModule, ANullMaterialIsRefused) {
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(MaterialNeedsNonlinearModule(nullptr, kStructural, flag), E_POINTER);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(PowerOfTwoBit(4), 8);
    EXPECT_EQ(PowerOfTwoBit(11), 1024);
    EXPECT_EQ(PowerOfTwoBit(0), 0);
}

}  // namespace
