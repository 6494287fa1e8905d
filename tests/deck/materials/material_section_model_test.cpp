// The material section over a model: bodies reach their host material through their attribute
// objects, the material representation and the model's material library.
#include <gtest/gtest.h>

#include <memory>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/geometry_reps.h"
#include "caerep/model/material_reps.h"
#include "deck/deck_counters.h"
#include "deck/materials/material_section_writer.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using namespace materials_test;

class MaterialModel : public testing::Test {
  protected:
    explicit MaterialModel(const std::string& caseName = "materials-elastic") {
        database_.setHostProvider(std::make_shared<LibraryProvider>(CaseLibrary(caseName)));
        Root()->createChild(L"MaterialLibraryRep", L"MaterialLibraryRep");
    }
    NCAERep::CCAERepBase* Root() { return database_.getRoot(); }

    // A body with its attribute object and material; a null material name leaves out the
    // material representation.
    NCAERep::CBodyAttributes* AddBody(int id, int materialNumber, const wchar_t* materialName,
                                      bool nonlinear = true) {
        auto* attributes = dynamic_cast<NCAERep::CBodyAttributes*>(
            Root()->createChild(L"BodyAttributes", L"Body " + std::to_wstring(id)));
        attributes->m_AreNonLinearEffectsOn.setValue(nonlinear);
        if (materialName) {
            auto* material =
                dynamic_cast<NCAERep::CMaterialRep*>(attributes->createChild(L"MaterialRep", L"Material"));
            material->m_MaterialName.setValue(materialName);
        }
        bodies_.bodies.push_back({id, materialNumber, attributes});
        return attributes;
    }

    NCAERep::CCAEDatabase database_;
    TestBodyTable bodies_;
};

TEST_F(MaterialModel, WritesEachMaterialNumberOnce) {
    AddBody(10, 1, L"Structural Steel");
    AddBody(11, 2, L"Aluminium Alloy");
    AddBody(12, 1, L"Orthotropic Composite");  // number 1 is already written from body 10
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterials(deck.Deck()), 0);
    EXPECT_EQ(GetDeckCounters().material, 2);
    ExpectGolden("materials-elastic", "section.mat", deck.Text());
}

TEST_F(MaterialModel, StopsAtTheFirstMaterialThatFails) {
    AddBody(1, 1, L"Structural Steel");
    AddBody(2, 2, L"Missing Expansion");
    AddBody(3, 3, L"Aluminium Alloy");
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterials(deck.Deck()), 5);
    EXPECT_EQ(deck.Text().find("Aluminium"), std::string::npos);
    EXPECT_EQ(GetDeckCounters().material, 2);
}

TEST_F(MaterialModel, ABodyWithoutAttributeObjectGives44) {
    AddBody(1, 1, L"Structural Steel");
    bodies_.bodies.push_back({2, 2, nullptr});
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterials(deck.Deck()), 44);
    EXPECT_NE(deck.Text().find(".MAT I 1 NOM \"Structural Steel\""), std::string::npos);
}

TEST_F(MaterialModel, BadArgumentsAndMissingRepresentationsGive25) {
    NCAERep::CCAERepBase* steel = AddBody(1, 1, L"Structural Steel");
    NCAERep::CCAERepBase* bare = AddBody(2, 2, nullptr);
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterial(0, steel, &deck.Deck()), 25);
    EXPECT_EQ(writer.WriteMaterial(1, nullptr, &deck.Deck()), 25);
    EXPECT_EQ(writer.WriteMaterial(1, steel, nullptr), 25);
    EXPECT_EQ(writer.WriteMaterial(2, bare, &deck.Deck()), 25);
    EXPECT_EQ(deck.Text(), "");
}

TEST_F(MaterialModel, AMaterialAbsentFromTheLibraryGives5WithAnErrorLine) {
    NCAERep::CCAERepBase* body = AddBody(1, 1, L"Unobtainium");
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterial(1, body, &deck.Deck()), 5);
    EXPECT_EQ(deck.Text(), "ERROR: Material \"Unobtainium\" is not in the material library.\n");
}

TEST_F(MaterialModel, AModelWithoutMaterialLibraryGives5WithAnErrorLine) {
    NCAERep::CCAERepBase* body = AddBody(1, 1, L"Structural Steel");
    Root()->removeChildrenIf([](NCAERep::CCAERepBase* c) { return c->getType() == L"MaterialLibraryRep"; });
    CMaterialSectionWriter writer(bodies_);
    CapturedDeck deck;
    EXPECT_EQ(writer.WriteMaterial(1, body, &deck.Deck()), 5);
    EXPECT_EQ(writer.WriteScaledMembraneMaterial(2, 1.0, 1, deck.Deck(), false), 5);
    const std::string line =
        "ERROR: The model has no material library; material \"Structural Steel\" cannot be read.\n";
    EXPECT_EQ(deck.Text(), line + line);
    EXPECT_FALSE(writer.HasNonlinearMaterial());
}

class NonlinearModel : public MaterialModel {
  protected:
    NonlinearModel() : MaterialModel("materials-plastic") {}
};

TEST_F(NonlinearModel, PlasticBodiesCountOnlyWithNonlinearEffectsOn) {
    AddBody(1, 1, L"Multilinear Isotropic", false);
    CMaterialSectionWriter writer(bodies_);
    EXPECT_FALSE(writer.HasNonlinearMaterial());
    EXPECT_FALSE(writer.IsBodyMaterialPlastic(1));
    AddBody(2, 2, L"Bilinear Kinematic", true);
    EXPECT_TRUE(writer.HasNonlinearMaterial());
    EXPECT_TRUE(writer.IsBodyMaterialPlastic(2));
    EXPECT_FALSE(writer.IsBodyMaterialPlastic(3));
    bodies_.analysisKind = 2;
    EXPECT_FALSE(writer.HasNonlinearMaterial());
    EXPECT_FALSE(writer.IsBodyMaterialPlastic(2));
}

TEST_F(NonlinearModel, ChabocheNeedsTheModuleInStructuralAnalysesOnly) {
    AddBody(1, 1, L"Chaboche");
    CMaterialSectionWriter writer(bodies_);
    EXPECT_TRUE(writer.HasNonlinearMaterial());
    EXPECT_FALSE(writer.IsBodyMaterialPlastic(1));
    bodies_.analysisKind = 2;
    EXPECT_FALSE(writer.HasNonlinearMaterial());
    bodies_.analysisKind = 4;
    EXPECT_FALSE(writer.HasNonlinearMaterial());
}

class ThermalModel : public MaterialModel {
  protected:
    ThermalModel() : MaterialModel("materials-thermal") { bodies_.analysisKind = 4; }
};

TEST_F(ThermalModel, TemperatureDependentConductivityNeedsTheModule) {
    AddBody(1, 1, L"Copper");
    CMaterialSectionWriter writer(bodies_);
    EXPECT_FALSE(writer.HasNonlinearMaterial());
    AddBody(2, 2, L"Insulation");
    EXPECT_TRUE(writer.HasNonlinearMaterial());
}

TEST_F(ThermalModel, TheHostPortReadsPropertiesForTheModel) {
    NCAERep::CCAERepBase* body = AddBody(1, 1, L"Graphite");
    auto* material = dynamic_cast<NCAERep::CMaterialRep*>(body->getChildByType(L"MaterialRep"));
    ASSERT_TRUE(material);
    NCAERep::MaterialPropertyTable table;
    EXPECT_EQ(material->readPropertyData(L"Density", L"JX_SOLV_NMM", table), 0);
    ASSERT_EQ(table.values.size(), 1u);
    EXPECT_DOUBLE_EQ(table.values[0], 2.2e-6);  // kg per cubic millimetre
    EXPECT_TRUE(table.temperatures.empty());
    EXPECT_EQ(material->readPropertyData(L"Specific Heat", L"JX_SOLV_MKS", table), 0);
    EXPECT_EQ(table.temperatures, (std::vector<double>{293.15, 873.15}));
    EXPECT_LT(material->readPropertyData(L"Thermal Conductivity", L"JX_SOLV_MKS", table, L"Isotropic"), 0);
    EXPECT_EQ(material->readPropertyData(L"Thermal Conductivity", L"JX_SOLV_MKS", table, L"Orthotropic"), -1);
    EXPECT_FALSE(material->hasHyperelasticModel());
}

}  // namespace
