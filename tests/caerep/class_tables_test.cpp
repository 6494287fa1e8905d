// Every model class against its table: property names in registration order, value types,
// quantity types, units and defaults, transcribed from the class descriptions.
#include <gtest/gtest.h>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"

using namespace NCAERep;

namespace {

using Row = std::pair<std::wstring, CPropertyValue>;

CPropertyValue S(const wchar_t* v) {
    CPropertyValue p;
    p.setValue(std::wstring(v));
    return p;
}
CPropertyValue I(int v) {
    CPropertyValue p;
    p.setValue(v);
    return p;
}
CPropertyValue U(unsigned v) {
    CPropertyValue p;
    p.setValue(v);
    return p;
}
CPropertyValue B(bool v) {
    CPropertyValue p;
    p.setValue(v);
    return p;
}
CPropertyValue D(const wchar_t* quantity, double v, const wchar_t* units) {
    CPropertyValue p;
    p.setValue(v, quantity, units);
    return p;
}
CPropertyValue None(double v) { return D(L"NoDimension", v, L"NoUnit"); }
CPropertyValue Len(double v = 0.0) { return D(L"Length", v, L"m"); }
CPropertyValue DL(const wchar_t* quantity, std::size_t n, const wchar_t* units) {
    CPropertyValue p;
    p.setValue(std::vector<double>(n, 0.0), quantity, units);
    return p;
}
CPropertyValue Lens(std::size_t n) { return DL(L"Length", n, L"m"); }
CPropertyValue SL() {
    CPropertyValue p;
    p.setValue(std::vector<std::wstring>{});
    return p;
}
CPropertyValue UL() {
    CPropertyValue p;
    p.setValue(std::vector<unsigned>{});
    return p;
}
CPropertyValue IL() {
    CPropertyValue p;
    p.setValue(std::vector<int>{});
    return p;
}

struct ClassTable {
    const wchar_t* type;
    std::vector<Row> rows;
};

std::vector<ClassTable> Tables() {
    const std::vector<Row> penalty = {{L"UseAutoNormalStiffness", B(false)},
                                      {L"UpdateStiffness", S(L"Never")},
                                      {L"UseAutoThermalConductance", B(false)},
                                      {L"UseAutoElectricalConductance", B(false)}};
    const std::vector<Row> symmetry = {
        {L"Scoping", SL()}, {L"Type", S(L"UNKNOWN")}, {L"RefCoordSysId", U(0)}};
    const std::vector<Row> chart = {{L"ChartType", S(L"NOPLOT")},
                                    {L"MinX", None(0)},
                                    {L"MaxX", None(0)},
                                    {L"MinY", None(0)},
                                    {L"MaxY", None(0)},
                                    {L"NumX", I(0)},
                                    {L"NumY", I(0)},
                                    {L"XVals", DL(L"NoDimension", 1, L"NoUnit")},
                                    {L"YVals", DL(L"NoDimension", 1, L"NoUnit")},
                                    {L"ZVals", DL(L"NoDimension", 1, L"NoUnit")},
                                    {L"YValImg", DL(L"NoDimension", 1, L"NoUnit")}};
    auto profile = [](std::size_t widths, std::size_t thicknesses) {
        return std::vector<Row>{{L"Height", Len()},
                                {L"Width", widths == 1 ? Len() : Lens(widths)},
                                {L"Thickness", Lens(thicknesses)}};
    };
    return {
        {L"EngineeringRep", {}},
        {L"SolverRep",
         {{L"SolverUnits", I(0)},
          {L"PhysicsType", S(L"Mechanical")},
          {L"AnalysisType", S(L"Static")},
          {L"SolverTargetName", S(L"XENRA")}}},
        {L"PostRep", {}},
        {L"CoefficientMatrix", {}},
        {L"JointConditionRep",
         {{L"Caption", S(L"")},
          {L"JointSelectionId", U(0)},
          {L"Type", S(L"Unknown")},
          {L"DOF", S(L"Unknown")}}},
        {L"InitialConditionsRep", {{L"Type", S(L"")}, {L"Scoping", SL()}}},
        {L"CommandsRep", {{L"Commands", S(L"")}, {L"ParentName", S(L"")}, {L"Context", S(L"Unknown")}}},
        {L"RemotePointRep",
         {{L"Scoping", SL()},
          {L"LoadBehavior", S(L"Deformable")},
          {L"CoordinateSystemLocationX", Len()},
          {L"CoordinateSystemLocationY", Len()},
          {L"CoordinateSystemLocationZ", Len()},
          {L"RefCoordSysId", U(0)},
          {L"PinballSize", Len()},
          {L"DOFMask", U(0)},
          {L"DOFMaskType", S(L"ProgramControlled")},
          {L"NodeReferenceId", U(0)},
          {L"RotateModelNodes", B(false)}}},
        {L"ServiceRep", {}},
        {L"BCRep", {}},
        {L"ReferenceDataRep",
         {{L"Scoping", SL()},
          {L"RefId", UL()},
          {L"Type", UL()},
          {L"BodyId", UL()},
          {L"PartId", UL()},
          {L"RefValue", UL()},
          {L"RefType", UL()},
          {L"UBID", UL()},
          {L"UPID", UL()}}},
        {L"FileManagementRep",
         {{L"SolverFileDirectory", S(L"")}, {L"SolverFileRelativeDirectory", S(L"")}, {L"UnitSystem", I(0)}}},
        {L"NamedSelectionRep", {{L"Scoping", SL()}}},
        {L"SymmetryRegionRep", symmetry},
        {L"SymmetryPeriodicRep", symmetry},
        {L"Message", {{L"Text", S(L"")}, {L"Type", S(L"")}}},
        {L"ProcessControls", {{L"MaxProcessors", I(2)}, {L"ManualMemorySettings", B(false)}}},
        {L"ContactRep",
         {{L"Scoping", SL()},
          {L"Caption", S(L"")},
          {L"Type", S(L"Bonded")},
          {L"Behavior", S(L"Symmetric")},
          {L"Formulation", S(L"PurePenalty")},
          {L"Restitution", None(0)},
          {L"StaticCoefficient", None(0)},
          {L"DynamicCoefficient", None(0)},
          {L"DecayConstant", None(0)},
          {L"MaximumOffset", Len(1.0e-7)},
          {L"Breakable", S(L"No")}}},
        {L"PurePenalty", penalty},
        {L"AugmentedLagrange", penalty},
        {L"NormalLagrange",
         {{L"UseAutoThermalConductance", B(true)}, {L"UseAutoElectricalConductance", B(true)}}},
        {L"Pinball", {{L"Type", S(L"ProgramControlled")}}},
        {L"BodyInteractionGroupRep",
         {{L"ContactDetection", S(L"Trajectory")},
          {L"UseBodySelfContact", B(true)},
          {L"UseElementSelfContact", B(true)},
          {L"UseContactRegion", B(false)}}},
        {L"TrajectoryRep", {{L"Formulation", S(L"DecompositionResponse")}}},
        {L"ProximityBasedRep",
         {{L"DetectionZoneSizeFactor", None(0.1)},
          {L"TimestepSafetyFactor", None(0.2)},
          {L"LimitingTimestepVelocity", D(L"Velocity", 1.0e20, L"m/s")},
          {L"UseEdgeOnEdgeContact", B(false)}}},
        {L"ContactRegionRep",
         {{L"ContactRegionXMin", Len(-1.0e20)},
          {L"ContactRegionXMax", Len(1.0e20)},
          {L"ContactRegionYMin", Len(-1.0e20)},
          {L"ContactRegionYMax", Len(1.0e20)},
          {L"ContactRegionZMin", Len(-1.0e20)},
          {L"ContactRegionZMax", Len(1.0e20)}}},
        {L"BodyInteractionRep", {{L"Scoping", SL()}, {L"Type", S(L"Frictionless")}}},
        {L"FrictionalRep",
         {{L"StaticCoefficient", None(0)}, {L"DynamicCoefficient", None(0)}, {L"DecayConstant", None(0)}}},
        {L"BondedRep", {{L"MaximumOffset", Len(1.0e-7)}, {L"Breakable", S(L"No")}}},
        {L"ForceCriteriaRep",
         {{L"NormalForceLimit", D(L"Force", 0, L"N")},
          {L"NormalForceExponent", None(1)},
          {L"ShearForceLimit", D(L"Force", 0, L"N")},
          {L"ShearForceExponent", None(1)}}},
        {L"StressCriteriaRep",
         {{L"NormalStressLimit", D(L"Stress", 0, L"Pa")},
          {L"NormalStressExponent", None(1)},
          {L"ShearStressLimit", D(L"Stress", 0, L"Pa")},
          {L"ShearStressExponent", None(1)}}},
        {L"JointRep",
         {{L"Scoping", SL()},
          {L"ReferenceXenPoint", U(0)},
          {L"MobileXenPoint", U(0)},
          {L"Type", S(L"Fixed")},
          {L"ScopingType", S(L"BodyToBody")},
          {L"DOFMask", U(0)},
          {L"MeshReferenceId", U(0)}}},
        {L"JointStop", {}},
        {L"TorsionalProperties",
         {{L"TorsionalStiffness", D(L"RotationalStiffness", 0, L"N m rad^-1")},
          {L"TorsionalDamping", D(L"RotationalDamping", 0, L"N m s rad^1")}}},
        {L"SpringRep",
         {{L"Scoping", SL()},
          {L"ReferenceXenPoint", U(0)},
          {L"MobileXenPoint", U(0)},
          {L"Type", S(L"Longitudinal")},
          {L"ScopingType", S(L"BodyToBody")},
          {L"PreloadType", S(L"None")},
          {L"MeshReferenceId", U(0)}}},
        {L"BeamConnectionRep",
         {{L"Caption", S(L"")},
          {L"CrossSectionType", S(L"Circular")},
          {L"Radius", Len()},
          {L"ReferenceXenPoint", U(0)},
          {L"MobileXenPoint", U(0)},
          {L"Scoping", SL()},
          {L"ScopingType", S(L"BodyToBody")},
          {L"MaterialName", S(L"")},
          {L"MeshReferenceId", U(0)}}},
        {L"BeamCrossSection",
         {{L"Area", D(L"Area", 0, L"m^2")},
          {L"Iyy", D(L"MomentofInertia", 0, L"m^4")},
          {L"Izz", D(L"MomentofInertia", 0, L"m^4")}}},
        {L"ArbitrarySection",
         {{L"Area", D(L"Area", 0, L"m^2")},
          {L"Iyy", D(L"MomentofInertia", 0, L"m^4")},
          {L"Iyz", D(L"MomentofInertia", 0, L"m^4")},
          {L"Izz", D(L"MomentofInertia", 0, L"m^4")},
          {L"Warping", D(L"MomentofInertia", 0, L"m^4")},
          {L"Torsion", D(L"Angle", 0, L"radian")},
          {L"Centroid", Lens(2)},
          {L"ShearCenter", Lens(2)}}},
        {L"RectangleSection", {{L"Width", Len()}, {L"Height", Len()}}},
        {L"CircularSolidSection", {{L"Radius", Len()}}},
        {L"TubeSection", {{L"InnerRadius", Len()}, {L"OuterRadius", Len()}}},
        {L"QuadrilateralSection",
         {{L"CoordinateI", Lens(2)},
          {L"CoordinateJ", Lens(2)},
          {L"CoordinateK", Lens(2)},
          {L"CoordinateL", Lens(2)}}},
        {L"ChannelSection", profile(2, 3)},
        {L"ZSection", profile(2, 3)},
        {L"ISection", profile(2, 3)},
        {L"LSection", profile(1, 2)},
        {L"TSection", profile(1, 2)},
        {L"HatsSection", profile(3, 5)},
        {L"HollowRectangeSection", profile(1, 4)},
        {L"ResultChart", chart},
        {L"FatigueResultInput",
         {{L"ResultId", U(0)},
          {L"DesignLife", None(0)},
          {L"ResultType", S(L"LIFE FATIGUE STRESS TOOL")},
          {L"ResultSubType", S(L"LIFE FATIGUE STRESS TOOL")},
          {L"LowerBound", I(0)},
          {L"UpperBound", I(0)},
          {L"NumPoints", I(0)},
          {L"GetAvgBiax", B(true)}}},
        {L"FatigueToolInput",
         {{L"EnduranceFactor", None(0)},
          {L"FatigueLoadType", S(L"FullyReversed")},
          {L"ScaleFactor", None(1)},
          {L"AnalysisType", I(0)},
          {L"FatigueInputType", S(L"LocalLinear")},
          {L"IsLoadingConstAmp", B(false)},
          {L"StressComponent", I(6)},
          {L"LifeConversionFactor", None(1)}}},
        {L"FatigueTool", {}},
        {L"FatigueRep", {}},
        {L"ResultProbe", {}},
        {L"ResultTracker", {}},
        {L"SolutionCombinationRep",
         {{L"Filenames", SL()},
          {L"Units", IL()},
          {L"Times", DL(L"Time", 0, L"s")},
          {L"ScaleFactors", DL(L"NoDimension", 0, L"NoUnit")},
          {L"EnvironmentIDs", IL()}}},
    };
}

// The fixed children of each class, as (type, name) in creation order.
const std::vector<std::pair<const wchar_t*, std::vector<std::pair<std::wstring, std::wstring>>>>
    kFixedChildren = {{L"EngineeringRep",
                       {{L"GeometryAttributes", L"GeometryAttributes"},
                        {L"BCRep", L"BCRep"},
                        {L"ServiceRep", L"ServiceRep"}}},
                      {L"PostRep", {{L"ResultRep", L"ResultRep"}, {L"FatigueRep", L"FatigueRep"}}},
                      {L"CoefficientMatrix",
                       {{L"Matrix3X3", L"Matrix0"},
                        {L"Matrix3X3", L"Matrix1"},
                        {L"Matrix3X3", L"Matrix2"},
                        {L"Matrix3X3", L"Matrix3"}}},
                      {L"InitialConditionsRep", {{L"Vector3D", L"Vector3D"}}},
                      {L"FatigueTool", {{L"FatigueToolInput", L"FatigueToolInput"}}}};

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

TEST(ClassTables, EveryClassRegistersItsTableInOrder) {
    CCAEDatabase db;
    const auto tables = Tables();
    ASSERT_EQ(tables.size(), 57u);  // the model classes of the four descriptions
    for (const ClassTable& table : tables) {
        SCOPED_TRACE(Narrow(table.type));
        CCAERepBase* o = db.createNew(CIdentity(table.type, table.type, db.NextId()));
        ASSERT_EQ(o->getType(), table.type);
        std::vector<std::wstring> expectedNames;
        for (const Row& r : table.rows) expectedNames.push_back(r.first);
        EXPECT_EQ(o->getPropertyNames(), expectedNames);
        for (const Row& r : table.rows) {
            SCOPED_TRACE(Narrow(r.first));
            const CPropertyValue* actual = o->findProperty(r.first);
            ASSERT_NE(actual, nullptr);
            EXPECT_EQ(actual->getType(), r.second.getType());
            EXPECT_EQ(actual->getQuantityType(), r.second.getQuantityType());
            EXPECT_EQ(actual->getUnits(), r.second.getUnits());
            EXPECT_TRUE(*actual == r.second);
        }
        std::vector<std::pair<std::wstring, std::wstring>> children;
        for (const CCAERepBase* c : o->getChildren()) children.emplace_back(c->getType(), c->getName());
        std::vector<std::pair<std::wstring, std::wstring>> expected;
        for (const auto& [type, fixed] : kFixedChildren)
            if (std::wstring(type) == table.type) expected = fixed;
        EXPECT_EQ(children, expected);
    }
}

// A saved class comes back as the same class with the same values, and its fixed children are
// matched rather than created a second time.
TEST(ClassTables, EveryClassSurvivesSaveAndResume) {
    CCAEDatabase db;
    for (const ClassTable& table : Tables())
        db.getRoot()->addObject(db.createNew(CIdentity(table.type, table.type, db.NextId())));
    pugi::xml_document saved;
    db.getRoot()->saveToDocument(saved);

    CCAEDatabase again;
    ASSERT_EQ(again.getRoot()->resumeFromDocument(saved, L"saved"), 0);
    EXPECT_EQ(again.getObjectCount(), db.getObjectCount());
    for (const CCAERepBase* o : db.getRoot()->getChildren()) {
        SCOPED_TRACE(Narrow(o->getType()));
        const CCAERepBase* back = again.getObjectById(o->getId());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->getType(), o->getType());
        EXPECT_EQ(typeid(*back), typeid(*o));
        EXPECT_EQ(back->getChildren().size(), o->getChildren().size());
        for (const std::wstring& name : o->getPropertyNames())
            EXPECT_TRUE(back->getProperty(name) == o->getProperty(name)) << Narrow(name);
    }
}

}  // namespace
