// The scaled plane-stress records of element groups.
#include <gtest/gtest.h>

#include "deck/deck_counters.h"
#include "deck/materials/material_section_writer.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using namespace materials_test;

class ScaledMembrane : public testing::Test {
  protected:
    int Write(const wchar_t* material, int number, double factor, bool unscaled) {
        return writer_.WriteScaledMembraneHostMaterial(number, factor, CaseMaterial(kCase, material).Get(),
                                                       deck_.Deck(), unscaled);
    }
    static constexpr const char* kCase = "materials-membrane";
    TestBodyTable bodies_;
    CMaterialSectionWriter writer_{bodies_};
    CapturedDeck deck_;
};

// E = 91 and nu = 0.3 scaled by 2: H = 182 / 0.91 = 200, H12 = 60, G = 182 / 2.6 = 70.
TEST_F(ScaledMembrane, ConstantDataMakeTheHookeMatrixOnOneLine) {
    EXPECT_EQ(Write(L"Membrane Sheet", 5, 2.0, false), 0);
    EXPECT_EQ(deck_.Text(),
              ".MAT I 5 NOM \"Membrane Sheet_2.\"\n"
              "     BEHA \"Elastic\"\n"
              "     YT 200. 60. 200. 0. 0. 0. 0. 0. 0. 70. 0. 0. 0. 0. 70. 0. 0. 0. 0. 0. 70.\n"
              "     M 20.\n"
              "     A 1.e-005 1.e-005 1.e-005\n"
              "     TREF 293.15\n");
    EXPECT_EQ(NextFunctionNumber(), 1);
}

TEST_F(ScaledMembrane, UnscaledStiffnessStillScalesTheDensity) {
    EXPECT_EQ(Write(L"Membrane Sheet", 5, 2.0, true), 0);
    const std::string text = deck_.Text();
    EXPECT_NE(text.find("     YT 100. 30. 100. 0. 0. 0. 0. 0. 0. 35. 0. 0. 0. 0. 35. 0. 0. 0. 0. 0. 35.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("     M 20.\n"), std::string::npos);
}

TEST_F(ScaledMembrane, TemperatureDependentDataShareOneZeroFunctionPerDeck) {
    EXPECT_EQ(Write(L"Membrane Film", 3, 2.0, false), 0);
    EXPECT_EQ(Write(L"", 12, 0.5, false), 0);
    ExpectGolden(kCase, "two-scaled-materials.mat", deck_.Text());
    const std::string text = deck_.Text();
    EXPECT_EQ(text.find("NOM \"Fct_Zero\""), text.rfind("NOM \"Fct_Zero\""));
}

TEST_F(ScaledMembrane, DensityAndExpansionAreRequired) {
    EXPECT_EQ(Write(L"Membrane Without Density", 4, 1.0, false), 5);
    EXPECT_EQ(writer_.WriteScaledMembraneHostMaterial(4, 1.0, nullptr, deck_.Deck(), false), 5);
    ComPtr<IHostMaterial> noExpansion = MakeMaterial(
        L"N", {SimpleProperty(L"Isotropic Elasticity",
                              {Column(L"Young's Modulus", {91.0}), Column(L"Poisson's Ratio", {0.3})}),
               SimpleProperty(L"Density", {Column(L"Density", {1.0})})});
    EXPECT_EQ(writer_.WriteScaledMembraneHostMaterial(6, 1.0, noExpansion.Get(), deck_.Deck(), false), 5);
    // What was written before the failure stays, and no error line is added.
    EXPECT_EQ(deck_.Text().find("ERROR"), std::string::npos);
    EXPECT_NE(deck_.Text().find("     M 1.\n"), std::string::npos);
}

TEST_F(ScaledMembrane, APoissonRatioOfOneStopsTheMaterialWithAnErrorLine) {
    for (const double poisson : {1.0, -1.0}) {
        ComPtr<IHostMaterial> material = MakeMaterial(
            L"", {SimpleProperty(L"Isotropic Elasticity", {Column(L"Temperature", {293.0, 373.0}),
                                                           Column(L"Young's Modulus", {91.0, 91.0}),
                                                           Column(L"Poisson's Ratio", {0.3, poisson})})});
        EXPECT_EQ(writer_.WriteScaledMembraneHostMaterial(9, 2.0, material.Get(), deck_.Deck(), false), 5);
    }
    EXPECT_EQ(deck_.Text(),
              ".MAT I 9\n     BEHA \"Elastic\"\n"
              "ERROR: Poisson's ratio 1. of material \"MAT9\" gives no finite plane-stress stiffness.\n"
              ".MAT I 9\n     BEHA \"Elastic\"\n"
              "ERROR: Poisson's ratio -1. of material \"MAT9\" gives no finite plane-stress stiffness.\n");
    EXPECT_EQ(NextFunctionNumber(), 1);  // nothing drawn for a material that is not written
}

TEST(ScaledMembraneBodies, ABodyWithoutAttributesGives25) {
    TestBodyTable bodies;
    bodies.bodies.push_back({7, 1, nullptr});
    CMaterialSectionWriter writer(bodies);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteScaledMembraneMaterial(2, 1.0, 7, deck.Deck(), false), 25);
    EXPECT_EQ(writer.WriteScaledMembraneMaterial(2, 1.0, 8, deck.Deck(), false), 25);
}

}  // namespace
