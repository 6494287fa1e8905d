// The body-attribute wrapper's material operations over a model built as the host builds it:
// bodies below EngineeringRep, GeometryAttributes, an assembly and its parts, materials in the
// model's material library.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/geometry_reps.h"
#include "deck/deck_counters.h"
#include "deck/materials/material_section_writer.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/body_attributes_lookup.h"
#include "deck/return_codes.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using materials_test::CapturedDeck;
using materials_test::LibraryProvider;

class WrapperMaterials : public testing::Test {
  protected:
    void UseCase(const std::string& caseName) {
        database_.setHostProvider(std::make_shared<LibraryProvider>(materials_test::CaseLibrary(caseName)));
        database_.getRoot()->createChild(L"MaterialLibraryRep", L"MaterialLibraryRep");
    }

    // A body of the named part of the model's one assembly, and its host record.
    NCAERep::CCAERepBase* AddBody(int id, const std::wstring& part, const std::wstring& material) {
        NCAERep::CCAERepBase* engineering =
            database_.getRoot()->createChild(L"EngineeringRep", L"EngineeringRep");
        NCAERep::CCAERepBase* assembly = engineering->getChildByType(L"GeometryAttributes")
                                             ->createChild(L"AssemblyAttributes", L"Assembly");
        NCAERep::CCAERepBase* body = assembly->createChild(L"PartAttributes", part)
                                         ->createChild(L"BodyAttributes", L"Body" + std::to_wstring(id));
        NCAERep::CPropertyValue value;
        value.setValue(id);
        body->setOrAddProperty(L"ProtoReferenceId", value);
        NCAERep::CCAERepBase* rep = body->createChild(L"MaterialRep", L"MaterialRep");
        value.setValue(material);
        rep->setOrAddProperty(L"MaterialName", value);
        BodyRecord record;
        record.bodyId = id;
        record.bodyMeshId = id;
        record.sequence = static_cast<int>(records_.size());
        records_.push_back(record);
        return body;
    }

    // Fills the wrapper once every body is added (the records must not move afterwards).
    void Fill(int unitSystem = 11) {
        wrapper_.SetBodies(&records_);
        wrapper_.SetUnitSystem(unitSystem);
        ASSERT_EQ(wrapper_.FillNamesAndMaterials(database_.getRoot()), 0);
    }

    NCAERep::CCAEDatabase database_;
    std::vector<BodyRecord> records_;
    CBodyAttributeWrapper wrapper_;
};

TEST_F(WrapperMaterials, BodiesAreFoundThroughAssembliesAndParts) {
    UseCase("materials-elastic");
    NCAERep::CCAERepBase* first = AddBody(4, L"Frame", L"Structural Steel");
    NCAERep::CCAERepBase* second = AddBody(9, L"Cover", L"Aluminium Alloy");
    Fill();
    EXPECT_EQ(wrapper_.GetBodyAttributes(4), first);
    EXPECT_EQ(wrapper_.GetBodyAttributes(9), second);
    EXPECT_EQ(wrapper_.GetBodyAttributes(5), nullptr);
    EXPECT_EQ(FindBodyAttributes(database_.getRoot(), -4), nullptr);
    EXPECT_EQ(FindBodyMaterialRep(database_.getRoot(), 9), second->getChildByType(L"MaterialRep"));
    EXPECT_EQ(wrapper_.GetBodyMaterialNumber(1), 2);

    // A body whose id the model gives as text stops the search with a code, not an exception.
    NCAERep::CPropertyValue text;
    text.setValue(std::wstring(L"four"));
    first->setOrAddProperty(L"ProtoReferenceId", text);
    EXPECT_EQ(FindBodyAttributes(database_.getRoot(), 9), nullptr);
    EXPECT_EQ(FindBodyMaterialRep(database_.getRoot(), 9), nullptr);
    EXPECT_EQ(wrapper_.FillNamesAndMaterials(database_.getRoot()), kRC_MissingData);
}

// The section is the one the writer gives on the same bodies, and the one kept for this case
// (material 1 is written once although two bodies carry it).
TEST_F(WrapperMaterials, WriteMaterialsWritesTheWritersSection) {
    UseCase("materials-elastic");
    AddBody(10, L"Frame", L"Structural Steel");
    AddBody(11, L"Cover", L"Aluminium Alloy");
    AddBody(12, L"Cover", L"Structural Steel");
    Fill();
    std::string throughWrapper;
    {
        CapturedDeck deck;
        EXPECT_EQ(wrapper_.WriteMaterials(deck.Deck()), 0);
        EXPECT_EQ(GetDeckCounters().material, 2);
        throughWrapper = deck.Text();
    }
    std::string direct;
    {
        CapturedDeck deck;
        CMaterialSectionWriter writer(wrapper_);
        EXPECT_EQ(writer.WriteMaterials(deck.Deck()), 0);
        direct = deck.Text();
    }
    EXPECT_EQ(throughWrapper, direct);
    materials_test::ExpectGolden("materials-elastic", "section.mat", throughWrapper);
}

TEST_F(WrapperMaterials, OneZeroFunctionPerDeck) {
    UseCase("materials-membrane");
    AddBody(3, L"Skin", L"Membrane Film");
    Fill();
    CapturedDeck deck;
    // A load writer asks first; the scaled materials then use that number and write it once.
    const int zero = wrapper_.GetZeroFunctionId();
    EXPECT_EQ(zero, 1);
    EXPECT_EQ(wrapper_.WriteScaledMembraneMaterial(5, 2.0, 3, deck.Deck(), false), 0);
    EXPECT_EQ(wrapper_.WriteScaledMembraneMaterial(6, 0.5, 3, deck.Deck(), true), 0);
    EXPECT_EQ(wrapper_.MaterialWriter().GetZeroFunctionId(), zero);
    EXPECT_EQ(wrapper_.WriteMaterialFunction({zero, "Fct_Zero", {}}, deck.Deck()), S_OK);
    const std::string text = deck.Text();
    const std::string header = ".FCT CREE FONC I " + std::to_string(zero) + " NOM \"Fct_Zero\"\n";
    const std::size_t at = text.find(header);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("NOM \"Fct_Zero\""), text.rfind("NOM \"Fct_Zero\"")) << text;
    EXPECT_LT(at, text.find(".MAT I 6 ")) << text;
}

TEST_F(WrapperMaterials, ForwardsTheMaterialQueries) {
    UseCase("materials-plastic");
    NCAERep::CCAERepBase* elastic = AddBody(1, L"P", L"Multilinear Isotropic");
    NCAERep::CCAERepBase* plastic = AddBody(2, L"P", L"Bilinear Kinematic");
    dynamic_cast<NCAERep::CBodyAttributes*>(elastic)->m_AreNonLinearEffectsOn.setValue(false);
    dynamic_cast<NCAERep::CBodyAttributes*>(plastic)->m_AreNonLinearEffectsOn.setValue(true);
    Fill();
    EXPECT_TRUE(wrapper_.HasNonlinearMaterial());
    EXPECT_FALSE(wrapper_.IsBodyMaterialPlastic(1));
    EXPECT_TRUE(wrapper_.IsBodyMaterialPlastic(2));
    wrapper_.SetAnalysisKind(2);
    EXPECT_FALSE(wrapper_.HasNonlinearMaterial());
    EXPECT_FALSE(wrapper_.IsBodyMaterialPlastic(2));

    CapturedDeck deck;
    EXPECT_EQ(wrapper_.WriteMaterial(0, plastic, &deck.Deck()), 25);
    EXPECT_EQ(wrapper_.WriteMaterial(1, nullptr, &deck.Deck()), 25);
    EXPECT_EQ(deck.Text(), "");
}

TEST_F(WrapperMaterials, ColumnsAndFunctionsGoThroughTheWritersUnitSystem) {
    UseCase("materials-membrane");
    ComPtr<IHostMaterial> film = materials_test::CaseMaterial("materials-membrane", L"Membrane Film");
    ComPtr<IHostMaterialProperty> density = film->GetProperty(L"Density");
    ASSERT_TRUE(density);
    ComPtr<IHostMaterialData> data = density->GetData(L"Density", L"");
    ASSERT_TRUE(data);
    Fill(6);  // JX_SOLV_NMM: kg per cubic millimetre
    std::vector<double> values;
    ASSERT_EQ(wrapper_.ReadPropertyColumn(data.Get(), L"Density", values), S_OK);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_DOUBLE_EQ(values[0], 10.0e-9);
    EXPECT_DOUBLE_EQ(values[1], 12.0e-9);
    EXPECT_EQ(wrapper_.ReadPropertyColumn(data.Get(), L"No Such Column", values), E_FAIL);

    CapturedDeck deck;
    const MaterialFunction function = wrapper_.MakeMaterialFunction(data.Get(), L"Density", "Fct_Rho");
    EXPECT_EQ(function.id, 1);
    ASSERT_EQ(function.columns.size(), 2u);
    ASSERT_EQ(function.columns[0].size(), 2u);
    EXPECT_DOUBLE_EQ(function.columns[0][0], 293.15);  // kelvin
    EXPECT_DOUBLE_EQ(function.columns[1][1], 12.0e-9);
    EXPECT_EQ(wrapper_.WriteMaterialFunction(function, deck.Deck()), S_OK);
    EXPECT_NE(deck.Text().find(".FCT CREE FONC I 1 NOM \"Fct_Rho\"\n"), std::string::npos) << deck.Text();
}

TEST_F(WrapperMaterials, BodyDensityInTheDecksUnitSystem) {
    UseCase("materials-membrane");
    AddBody(1, L"P", L"Membrane Sheet");
    AddBody(2, L"P", L"Membrane Film");
    AddBody(3, L"P", L"Membrane Without Density");
    AddBody(4, L"P", L"Unobtainium");
    Fill();
    double density = -1.0;
    ASSERT_EQ(wrapper_.GetBodyDensity(0, &density), S_OK);
    EXPECT_DOUBLE_EQ(density, 10.0);  // kg/m3 as the library gives it
    ASSERT_EQ(wrapper_.GetBodyDensity(1, &density), S_OK);
    EXPECT_DOUBLE_EQ(density, 10.0);  // the value at the first temperature point

    density = -1.0;
    EXPECT_EQ(wrapper_.GetBodyDensity(2, &density), E_FAIL);
    EXPECT_EQ(wrapper_.GetBodyDensity(3, &density), E_FAIL);
    EXPECT_EQ(wrapper_.GetBodyDensity(4, &density), E_FAIL);
    EXPECT_EQ(wrapper_.GetBodyDensity(-1, &density), E_FAIL);
    EXPECT_EQ(wrapper_.GetBodyDensity(0, nullptr), E_FAIL);
    EXPECT_EQ(density, -1.0);

    wrapper_.SetUnitSystem(6);  // JX_SOLV_NMM
    ASSERT_EQ(wrapper_.GetBodyDensity(0, &density), S_OK);
    EXPECT_DOUBLE_EQ(density, 1.0e-8);
}

TEST(WrapperMaterialsWithoutHost, DensityNeedsTheHostsMaterial) {
    NCAERep::CCAEDatabase database;  // no host provider, no library
    std::vector<BodyRecord> records(1);
    records[0].bodyId = 7;
    NCAERep::CCAERepBase* part = database.getRoot()
                                     ->createChild(L"EngineeringRep", L"EngineeringRep")
                                     ->getChildByType(L"GeometryAttributes")
                                     ->createChild(L"PartAttributes", L"P");
    NCAERep::CCAERepBase* body = part->createChild(L"BodyAttributes", L"B");
    NCAERep::CPropertyValue value;
    value.setValue(7);
    body->setOrAddProperty(L"ProtoReferenceId", value);
    value.setValue(std::wstring(L"Structural Steel"));
    body->createChild(L"MaterialRep", L"MaterialRep")->setOrAddProperty(L"MaterialName", value);
    CBodyAttributeWrapper wrapper;
    wrapper.SetBodies(&records);
    ASSERT_EQ(wrapper.FillNamesAndMaterials(database.getRoot()), 0);
    double density = 0.0;
    EXPECT_EQ(wrapper.GetBodyDensity(0, &density), E_FAIL);
}

}  // namespace
