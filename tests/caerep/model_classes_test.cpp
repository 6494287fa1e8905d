// The model classes: every registered type made by name, defaults, fixed children, typed copies, body lookup.
#include <gtest/gtest.h>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/generic_rep.h"
#include "caerep/model/body_lookup.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/geometry_reps.h"

using namespace NCAERep;

namespace {

class ModelClasses : public ::testing::Test {
  protected:
    CCAERepBase* make(const std::wstring& type, const std::wstring& name = L"") {
        CCAERepBase* o = db.createNew(CIdentity(type, name.empty() ? type : name, db.NextId()));
        db.getRoot()->addObject(o);
        return o;
    }
    template <class T>
    T read(const std::wstring& type, const std::wstring& property) {
        T v{};
        make(type)->getProperty(property).getValue(v);
        return v;
    }
    CCAEDatabase db;
};

TEST_F(ModelClasses, EveryRegisteredTypeIsCreatedByName) {
    std::vector<std::wstring> types = db.getRegisteredTypes();
    for (const wchar_t* t : {L"EngineeringRep",
                             L"SolverRep",
                             L"PostRep",
                             L"CoefficientMatrix",
                             L"JointConditionRep",
                             L"InitialConditionsRep",
                             L"CommandsRep",
                             L"RemotePointRep",
                             L"ServiceRep",
                             L"BCRep",
                             L"ReferenceDataRep",
                             L"FileManagementRep",
                             L"NamedSelectionRep",
                             L"SymmetryRegionRep",
                             L"SymmetryPeriodicRep",
                             L"Message",
                             L"ProcessControls",
                             L"ContactRep",
                             L"PurePenalty",
                             L"AugmentedLagrange",
                             L"NormalLagrange",
                             L"Pinball",
                             L"BodyInteractionGroupRep",
                             L"TrajectoryRep",
                             L"ProximityBasedRep",
                             L"ContactRegionRep",
                             L"BodyInteractionRep",
                             L"FrictionalRep",
                             L"BondedRep",
                             L"ForceCriteriaRep",
                             L"StressCriteriaRep",
                             L"JointRep",
                             L"JointStop",
                             L"TorsionalProperties",
                             L"SpringRep",
                             L"BeamConnectionRep",
                             L"BeamCrossSection",
                             L"RectangleSection",
                             L"QuadrilateralSection",
                             L"CircularSolidSection",
                             L"TubeSection",
                             L"ChannelSection",
                             L"ZSection",
                             L"LSection",
                             L"ISection",
                             L"TSection",
                             L"HatsSection",
                             L"HollowRectangeSection",
                             L"ArbitrarySection",
                             L"ResultChart",
                             L"FatigueResultInput",
                             L"FatigueToolInput",
                             L"FatigueTool",
                             L"FatigueRep",
                             L"ResultProbe",
                             L"ResultTracker",
                             L"SolutionCombinationRep",
                             L"GeometryAttributes",
                             L"AssemblyAttributes",
                             L"PartAttributes",
                             L"BodyAttributes",
                             L"MaterialRep",
                             L"MaterialLibraryRep",
                             L"MeshRep",
                             L"GeometryRep",
                             L"CoordinateSystemRep",
                             L"ExternalLoad",
                             L"Table",
                             L"sTable",
                             L"LoadStep",
                             L"Displacement",
                             L"Velocity",
                             L"Support",
                             L"CouplingConditionRep",
                             L"Matrix3X3",
                             L"Vector3D",
                             L"ResultRep",
                             L"Units"})
        EXPECT_NE(std::find(types.begin(), types.end(), t), types.end()) << std::string(t, t + wcslen(t));
    for (const std::wstring& t : types) {
        CCAERepBase* o = make(t);
        EXPECT_EQ(o->getType(), t);
        EXPECT_EQ(dynamic_cast<CGenericRep*>(o), nullptr);
        EXPECT_TRUE(o->isRegistered());
    }
    EXPECT_NE(dynamic_cast<CGenericRep*>(make(L"NotAType")), nullptr);
}

TEST_F(ModelClasses, DefaultsOfTheContainers) {
    EXPECT_EQ(read<int>(L"SolverRep", L"SolverUnits"), 0);
    EXPECT_EQ(read<std::wstring>(L"SolverRep", L"PhysicsType"), L"Mechanical");
    EXPECT_EQ(read<std::wstring>(L"SolverRep", L"AnalysisType"), L"Static");
    EXPECT_EQ(read<std::wstring>(L"SolverRep", L"SolverTargetName"), L"XENRA");
    EXPECT_EQ(read<int>(L"ProcessControls", L"MaxProcessors"), 2);
    EXPECT_EQ(read<std::wstring>(L"SymmetryRegionRep", L"Type"), L"UNKNOWN");
    EXPECT_EQ(read<std::wstring>(L"RemotePointRep", L"LoadBehavior"), L"Deformable");
    CPropertyValue pinball = make(L"RemotePointRep")->getProperty(L"PinballSize");
    EXPECT_EQ(pinball.getQuantityType(), L"Length");
    EXPECT_EQ(pinball.getUnits(), L"m");
    CPropertyValue scoping = make(L"RemotePointRep")->getProperty(L"Scoping");
    EXPECT_EQ(scoping.getUnits(), L"[undef]");
    EXPECT_EQ(scoping.getType(), EValueType::StringList);
    EXPECT_EQ(make(L"RemotePointRep")->getProperty(L"DOFMask").getType(), EValueType::Unsigned);
}

TEST_F(ModelClasses, FixedChildrenExistOnceEvenWhenCreatedAgain) {
    CCAERepBase* eng = make(L"EngineeringRep");
    ASSERT_EQ(eng->getChildren().size(), 3u);
    EXPECT_EQ(eng->getChildren()[0]->getType(), L"GeometryAttributes");
    EXPECT_EQ(eng->getChildren()[1]->getName(), L"BCRep");
    EXPECT_EQ(eng->getChildren()[2]->getType(), L"ServiceRep");
    eng->createChildren();
    EXPECT_EQ(eng->getChildren().size(), 3u);
    CCAERepBase* matrix = make(L"CoefficientMatrix");
    ASSERT_EQ(matrix->getChildrenByType(L"Matrix3X3").size(), 4u);
    EXPECT_EQ(matrix->getChildren()[3]->getName(), L"Matrix3");
    EXPECT_NE(make(L"FatigueTool")->getChild(L"FatigueToolInput", L"FatigueToolInput"), nullptr);
    EXPECT_NE(make(L"PostRep")->getChild(L"FatigueRep", L"FatigueRep"), nullptr);
}

TEST_F(ModelClasses, ContactJointBeamAndPostDefaults) {
    CCAERepBase* contact = make(L"ContactRep");
    double offset = 0;
    contact->getProperty(L"MaximumOffset").getValue(offset, L"Length", L"mm");
    EXPECT_NEAR(offset, 1.0e-4, 1e-18);
    EXPECT_EQ(read<std::wstring>(L"ContactRep", L"Breakable"), L"No");
    EXPECT_TRUE(read<bool>(L"NormalLagrange", L"UseAutoThermalConductance"));
    EXPECT_FALSE(read<bool>(L"AugmentedLagrange", L"UseAutoElectricalConductance"));
    EXPECT_EQ(make(L"ProximityBasedRep")->getProperty(L"LimitingTimestepVelocity").getUnits(), L"m/s");
    EXPECT_EQ(read<double>(L"ContactRegionRep", L"ContactRegionXMin"), -1.0e20);
    EXPECT_EQ(read<std::vector<double>>(L"HatsSection", L"Width").size(), 3u);
    EXPECT_EQ(read<std::vector<double>>(L"HatsSection", L"Thickness"), std::vector<double>(5, 0.0));
    EXPECT_EQ(read<std::vector<double>>(L"HollowRectangeSection", L"Thickness").size(), 4u);
    EXPECT_EQ(read<std::vector<double>>(L"TSection", L"Thickness").size(), 2u);
    EXPECT_EQ(make(L"TorsionalProperties")->getProperty(L"TorsionalDamping").getUnits(), L"N m s rad^1");
    EXPECT_EQ(read<std::wstring>(L"SpringRep", L"PreloadType"), L"None");
    EXPECT_EQ(read<std::wstring>(L"BeamConnectionRep", L"CrossSectionType"), L"Circular");
    EXPECT_EQ(read<std::vector<double>>(L"ResultChart", L"YValImg"), std::vector<double>{0.0});
    EXPECT_EQ(read<int>(L"FatigueToolInput", L"StressComponent"), 6);
    EXPECT_TRUE(read<std::vector<int>>(L"SolutionCombinationRep", L"EnvironmentIDs").empty());
}

TEST_F(ModelClasses, CopyIsTypeTested) {
    CCAERepBase* a = make(L"SolverRep", L"a");
    CPropertyValue units;
    units.setValue(11);
    a->setProperty(L"SolverUnits", units);
    CCAERepBase* other = make(L"Message");
    EXPECT_FALSE(other->copy(a));
    EXPECT_EQ(other->getType(), L"Message");
    CCAERepBase* b = make(L"SolverRep", L"b");
    ASSERT_TRUE(b->copy(a));
    EXPECT_TRUE(b->getProperty(L"SolverUnits") == units);
    CCAERepBase* e1 = make(L"EngineeringRep", L"e1");
    e1->getChildByType(L"BCRep")->createChild(L"Support", L"FixedSurface");
    CCAERepBase* e2 = make(L"EngineeringRep", L"e2");
    ASSERT_TRUE(e2->copy(e1));
    EXPECT_EQ(e2->getChildren().size(), 3u);  // fixed children reused, not doubled
    EXPECT_NE(e2->getChildByType(L"BCRep")->getChild(L"FixedSurface", L"Support"), nullptr);
}

TEST_F(ModelClasses, BodyLookupFollowsTheAssemblyTree) {
    CCAERepBase* eng = make(L"EngineeringRep");
    CCAERepBase* assembly =
        eng->getChildByType(L"GeometryAttributes")->createChild(L"AssemblyAttributes", L"A");
    CCAERepBase* part = assembly->createChild(L"PartAttributes", L"P");
    CCAERepBase* body = part->createChild(L"BodyAttributes", L"B");
    CPropertyValue id;
    id.setValue(42u);
    body->setOrAddProperty(L"ProtoReferenceId", id);
    CCAERepBase* material = body->createChild(L"MaterialRep", L"MaterialRep");
    // A body without a "ProtoReferenceId" is known to the host by its database id; a nested
    // part is searched too.
    CCAERepBase* unnamed =
        part->createChild(L"PartAttributes", L"Inner")->createChild(L"BodyAttributes", L"U");
    EXPECT_FALSE(unnamed->hasProperty(L"ProtoReferenceId"));
    EXPECT_EQ(GetHostBodyId(*unnamed), static_cast<unsigned>(unnamed->getId()));
    EXPECT_EQ(GetBodyAttributes(db.getRoot(), static_cast<unsigned>(unnamed->getId())), unnamed);
    EXPECT_EQ(GetBodyAttributes(db.getRoot(), 42), body);
    EXPECT_EQ(GetBodyMaterialRep(db.getRoot(), 42), material);
    EXPECT_EQ(GetBodyAttributes(db.getRoot(), 7), nullptr);
    EXPECT_EQ(GetBodyAttributes(nullptr, 42), nullptr);
    EXPECT_EQ(GetHostBodyId(*body), 42u);
    EXPECT_TRUE(dynamic_cast<CBodyAttributes*>(body)->getAreNonLinearEffectsOn());
}

TEST_F(ModelClasses, CoordinateSystemAxesAndPoints) {
    auto* cs = dynamic_cast<CCoordinateSystemRep*>(make(L"CoordinateSystemRep"));
    ASSERT_NE(cs, nullptr);
    CPropertyValue values;
    values.setValue(std::vector<double>{0, 1, 0, -1, 0, 0, 0, 0, 1}, L"NoDimension", L"NoUnit");
    cs->getChild(L"Matrix3X3", L"Matrix3X3")->setProperty(L"Values", values);
    auto y = cs->getYAxis();
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(y->getCoordinate(0), -1.0);
    EXPECT_EQ(y->getCoordinate(1), 0.0);
    EXPECT_EQ(cs->getZAxis()->getCoordinate(2), 1.0);
    values.setValue(std::vector<double>{1, 2}, L"NoDimension", L"NoUnit");
    cs->getChild(L"Matrix3X3", L"Matrix3X3")->setProperty(L"Values", values);
    EXPECT_EQ(cs->getXAxis(), nullptr);
}

}  // namespace
