// The plasticity laws on values the user left undefined or gave for fewer temperatures than
// the law's table holds: such a value counts as missing, never as a value read past its end.
#include <gtest/gtest.h>

#include "deck/deck_counters.h"
#include "deck/materials/material_section_writer.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using namespace materials_test;

MatmlProperty Elasticity() {
    return SimpleProperty(L"Isotropic Elasticity",
                          {Column(L"Young's Modulus", {200.0}), Column(L"Poisson's Ratio", {0.3})});
}

MatmlProperty Expansion() {
    return SimpleProperty(L"Coefficient of Thermal Expansion",
                          {Column(L"Coefficient of Thermal Expansion", {1e-5})});
}

class PlasticityLaws : public testing::Test {
  protected:
    int Write(std::vector<MatmlProperty> laws) {
        std::vector<MatmlProperty> properties = {Elasticity(), Expansion()};
        for (MatmlProperty& law : laws) properties.push_back(std::move(law));
        ComPtr<IHostMaterial> material = MakeMaterial(L"Law", std::move(properties));
        return writer_.WriteHostMaterial(1, material.Get(), deck_.Deck());
    }
    // The lines after the common elastic part of the record.
    std::string LawLines() {
        const std::string text = deck_.Text();
        const std::string elastic = "    A 1.e-005\n";
        const std::size_t at = text.find(elastic);
        EXPECT_NE(at, std::string::npos) << text;
        return at == std::string::npos ? text : text.substr(at + elastic.size());
    }

    TestBodyTable bodies_;
    CMaterialSectionWriter writer_{bodies_};
    CapturedDeck deck_;
};

TEST_F(PlasticityLaws, AChabocheParameterWithTooFewValuesIsSkippedButKeepsItsNumber) {
    const double undefined = kHostUndefinedValue;
    EXPECT_EQ(Write({Property(L"Chaboche Kinematic Hardening",
                              {Data(L"Creep Parameter n", {Column(L"Temperature", {293.0, 373.0}),
                                                           Column(L"Creep Parameter n", {5.0})}),
                               Data(L"Creep Parameter K", {Column(L"Creep Parameter K", {undefined})}),
                               Data(L"Creep Parameter k", {Column(L"Temperature", {293.0, 373.0}),
                                                           Column(L"Creep Parameter k", {7.0, 8.0})})})}),
              0);
    // n and K drew numbers 1 and 2 and wrote nothing; k is table 3.
    EXPECT_EQ(LawLines(),
              "    LITK 1. NF 3\n"
              "    VONM\n"
              "! Functions for Materials Properties\n"
              "!---------------------------------------\n"
              ".FCT CREE FONC I 3 NOM \"LITK\"\n"
              "     CREE VALEUR Y U\n"
              "     ABSCISSES 293. 373.\n"
              "     ORDONNEES 7. 8.\n");
}

TEST_F(PlasticityLaws, AnUndefinedLittleKEndsThePlakinMaterialWithoutAMessage) {
    EXPECT_EQ(Write({Property(L"Plakin Special Hardening Law",
                              {Data(L"Little K", {Column(L"Little K", {kHostUndefinedValue})}),
                               Data(L"Coefficient B1", {Column(L"Coefficient B", {1.0})})})}),
              5);
    EXPECT_EQ(LawLines(), "");
}

TEST_F(PlasticityLaws, AMissingLittleKEndsThePlakinMaterialWithoutAMessage) {
    EXPECT_EQ(Write({Property(L"Plakin Special Hardening Law",
                              {Data(L"Coefficient B1", {Column(L"Coefficient B", {1.0})})})}),
              5);
    EXPECT_EQ(LawLines(), "");
}

TEST_F(PlasticityLaws, APlakinCoefficientShorterThanItsTemperaturesIsMissing) {
    EXPECT_EQ(Write({Property(L"Plakin Special Hardening Law",
                              {Data(L"Little K", {Column(L"Little K", {2.0})}),
                               Data(L"Coefficient B1", {Column(L"Temperature", {293.0, 373.0}),
                                                        Column(L"Coefficient B", {1.0})})})}),
              5);
    EXPECT_EQ(LawLines(), "    LITK 2.\nERROR: Missing coefficient B1.\n");
}

TEST_F(PlasticityLaws, AnUndefinedBilinearValueFailsTheMaterialWithNothingWritten) {
    EXPECT_EQ(Write({SimpleProperty(
                  L"Bilinear Isotropic Hardening",
                  {Column(L"Yield Strength", {kHostUndefinedValue}), Column(L"Tangent Modulus", {20.0})})}),
              5);
    EXPECT_EQ(LawLines(), "");
    EXPECT_EQ(NextFunctionNumber(), 1);
}

TEST_F(PlasticityLaws, AMultilinearCurveWithUnequalColumnsFailsTheMaterial) {
    EXPECT_EQ(Write({SimpleProperty(L"Multilinear Kinematic Hardening",
                                    {Column(L"Temperature", {293.0, 293.0}),
                                     Column(L"Plastic Strain", {0.0, 0.1}), Column(L"Stress", {250.0})})}),
              5);
    EXPECT_EQ(LawLines(), "");
}

}  // namespace
