// Every branch of the material record writer on the case libraries, each against a golden
// section reviewed by hand.
#include <gtest/gtest.h>

#include "deck/materials/material_section_writer.h"
#include "platform/text.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using materials_test::CapturedDeck;
using materials_test::CaseMaterial;
using materials_test::ExpectGolden;
using materials_test::TestBodyTable;

struct RecordCase {
    const char* caseName;
    const char* material;
    int analysisKind;
    int expectedCode;
    const char* golden;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.golden; }

class MaterialRecordGolden : public testing::TestWithParam<RecordCase> {};

TEST_P(MaterialRecordGolden, WritesTheReviewedSection) {
    const RecordCase& c = GetParam();
    TestBodyTable bodies;
    bodies.analysisKind = c.analysisKind;
    CMaterialSectionWriter writer(bodies);
    CapturedDeck deck;
    ComPtr<IHostMaterial> material = CaseMaterial(c.caseName, platform::Utf8ToWide(c.material));
    ASSERT_TRUE(material);
    EXPECT_EQ(writer.WriteHostMaterial(1, material.Get(), deck.Deck()), c.expectedCode);
    ExpectGolden(c.caseName, c.golden, deck.Text());
}

constexpr int kStructural = 1;
constexpr int kEigen = 2;
constexpr int kThermal = 4;

INSTANTIATE_TEST_SUITE_P(
    Elastic, MaterialRecordGolden,
    testing::Values(
        RecordCase{"materials-elastic", "Structural Steel", kStructural, 0, "structural-steel.mat"},
        RecordCase{"materials-elastic", "Aluminium Alloy", kStructural, 0, "aluminium-alloy.mat"},
        RecordCase{"materials-elastic", "Orthotropic Composite", kEigen, 0, "orthotropic-composite.mat"},
        RecordCase{"materials-elastic", "Orthotropic Laminate", kStructural, 0, "orthotropic-laminate.mat"},
        RecordCase{"materials-elastic", "Missing Expansion", kStructural, 5, "missing-expansion.mat"},
        RecordCase{"materials-elastic", "", kStructural, 0, "unnamed.mat"},
        RecordCase{"materials-elastic", "Unequal Rows", kStructural, 5, "unequal-rows.mat"},
        RecordCase{"materials-elastic", "Undefined Modulus", kStructural, 5, "undefined-modulus.mat"}));

INSTANTIATE_TEST_SUITE_P(
    Thermal, MaterialRecordGolden,
    testing::Values(RecordCase{"materials-thermal", "Copper", kThermal, 0, "copper.mat"},
                    RecordCase{"materials-thermal", "Graphite", kThermal, 0, "graphite.mat"},
                    RecordCase{"materials-thermal", "Insulation", kThermal, 0, "insulation.mat"},
                    RecordCase{"materials-thermal", "No Behaviour", kThermal, 5, "no-behaviour.mat"}));

INSTANTIATE_TEST_SUITE_P(
    Plastic, MaterialRecordGolden,
    testing::Values(
        RecordCase{"materials-plastic", "Bilinear Isotropic", kStructural, 0, "bilinear-isotropic.mat"},
        RecordCase{"materials-plastic", "Bilinear Kinematic", kStructural, 0, "bilinear-kinematic.mat"},
        RecordCase{"materials-plastic", "Multilinear Isotropic", kStructural, 0, "multilinear-isotropic.mat"},
        RecordCase{"materials-plastic", "Kinematic And Isotropic", kStructural, 0,
                   "kinematic-and-isotropic.mat"},
        RecordCase{"materials-plastic", "Chaboche", kStructural, 0, "chaboche.mat"},
        RecordCase{"materials-plastic", "Chaboche Undefined", kStructural, 0, "chaboche-undefined.mat"},
        RecordCase{"materials-plastic", "Plakin", kStructural, 0, "plakin.mat"},
        RecordCase{"materials-plastic", "Plakin Inconsistent", kStructural, 5, "plakin-inconsistent.mat"},
        RecordCase{"materials-plastic", "Plakin Missing C", kStructural, 5, "plakin-missing-c.mat"},
        RecordCase{"materials-plastic", "Plakin Undefined Coefficient", kStructural, 5,
                   "plakin-undefined-coefficient.mat"},
        RecordCase{"materials-plastic", "Bilinear Degenerate", kStructural, 5, "bilinear-degenerate.mat"},
        RecordCase{"materials-plastic", "Neo-Hookean Rubber", kStructural, 0, "neo-hookean-rubber.mat"}));

}  // namespace
