// Element-type tables and the body-attribute wrapper.
#include <gtest/gtest.h>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/element_wrapper.h"
#include "deck/return_codes.h"
#include "mesh_case_support.h"

namespace {

TEST(ElementWrapper, HostTypeOfShapeAndOrder) {
    CElementWrapper d;
    for (int shape : {0, 1}) {
        d.shape = shape;
        EXPECT_EQ(d.GetHostElementType(), -1);
    }
    d.shape = 4;
    d.order = 1;
    EXPECT_EQ(d.GetHostElementType(), 0);
    d.order = 0;
    EXPECT_EQ(d.GetHostElementType(), 10);
    d.shape = 5;
    EXPECT_EQ(d.GetHostElementType(), 10);
    d.shape = 3;
    EXPECT_EQ(d.GetHostElementType(), 17);
    d.shape = 8;
    d.order = 1;
    EXPECT_EQ(d.GetHostElementType(), 3);
}

TEST(ElementWrapper, FaceNumbersMapBothWays) {
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(3, 0), 1);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(0, 10), 2);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(6, 1), -1);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(4, 1), 1);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(1, 12), 5);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(0, 18), -1);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(0, 8), -1);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(3, 17), 4);  // a surface element's edge n is face n + 1
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(2, 5), 3);
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(4, 17), -1);  // a quadrilateral has four edges
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(3, 15), -1);  // a triangle three
    EXPECT_EQ(CElementWrapper::ToDeckFaceNumber(4, 13), 5);
    const int faces[][2] = {{0, 4}, {10, 4}, {1, 6},  {11, 6}, {2, 5}, {12, 5}, {3, 5},  {13, 5},
                            {4, 3}, {5, 3},  {14, 3}, {15, 3}, {6, 4}, {7, 4},  {16, 4}, {17, 4}};
    for (const auto& [type, count] : faces)
        for (int f = 0; f < count; ++f) {
            const int deck = CElementWrapper::ToDeckFaceNumber(f, type);
            ASSERT_GT(deck, 0) << type << " " << f;
            EXPECT_EQ(CElementWrapper::ToHostFaceNumber(deck, type), f) << type << " " << f;
        }
    EXPECT_EQ(CElementWrapper::ToHostFaceNumber(7, 1), -1);
    EXPECT_EQ(CElementWrapper::ToHostFaceNumber(1, 9), -1);
}

TEST(ElementWrapper, NodeCountsProbesAndPyramids) {
    int n = 0, c = 0;
    CElementWrapper::GetNodeCounts(31, &n, &c);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(c, 4);
    CElementWrapper::GetNodeCounts(20, &n, &c);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(c, -1);
    CElementWrapper::GetNodeCounts(3, &n, &c);
    EXPECT_EQ(n, 13);
    EXPECT_EQ(c, 5);
    EXPECT_EQ(CElementWrapper::GetFaceProbeCount(11), 8);
    EXPECT_EQ(CElementWrapper::GetFaceProbeCount(14), 2);
    EXPECT_EQ(CElementWrapper::GetFaceProbeCount(8), -1);
    CElementWrapper d;
    d.order = 0;
    d.analysisKind = 2;
    EXPECT_FALSE(d.AllowsPyramids());
    d.analysisKind = 1;
    EXPECT_TRUE(d.AllowsPyramids());
    d.analysisKind = 4;
    EXPECT_TRUE(d.AllowsPyramids());
    d.analysisKind = 2;
    d.order = 1;
    EXPECT_TRUE(d.AllowsPyramids());
}

BodyRecord Body(int id, int part, int kind) {
    BodyRecord r;
    r.bodyId = id;
    r.bodyMeshId = id;
    r.partIndex = part;
    r.partMeshId = part + 1;
    r.kind = kind;
    return r;
}

TEST(BodyAttributeWrapper, NamesAndMaterialNumbers) {
    std::vector<BodyRecord> records = {Body(7, 0, 0), Body(8, 0, 0), Body(9, 1, 0), Body(10, 1, 0)};
    NCAERep::CCAEDatabase db;
    meshtest::AddBodyAttributes(db, 7, L"my body", L"A");
    meshtest::AddBodyAttributes(db, 8, L"", L"B");
    meshtest::AddBodyAttributes(db, 9, L"ALLOY part", L"A");
    meshtest::AddBodyAttributes(db, 10, L"9 lives", L"a");
    CBodyAttributeWrapper w;
    w.SetBodies(&records);
    ASSERT_EQ(w.FillNamesAndMaterials(db.getRoot()), 0);
    EXPECT_EQ(w.GetBodyMaterialNumber(0), 1);
    EXPECT_EQ(w.GetBodyMaterialNumber(1), 2);
    EXPECT_EQ(w.GetBodyMaterialNumber(2), 1);
    EXPECT_EQ(w.GetBodyMaterialNumber(3), 3);  // names compare case-sensitively
    EXPECT_EQ(w.GetBodyMaterialNumber(4), 0);
    std::string name;
    ASSERT_EQ(w.GetBodyName(7, name), S_OK);
    EXPECT_EQ(name, "MY_BODY_7");
    ASSERT_EQ(w.GetBodyName(8, name), S_OK);
    EXPECT_EQ(name, "Body_8");
    ASSERT_EQ(w.GetBodyName(9, name), S_OK);
    EXPECT_EQ(name, "Body_9");  // a name the deck refuses falls back to the generated one
    ASSERT_EQ(w.GetBodyName(10, name), S_OK);
    EXPECT_EQ(name, "C_9_LIVES_10");
    EXPECT_EQ(w.GetBodyName(11, name), E_FAIL);
    EXPECT_EQ(w.GetPartBodies(1), (std::vector<int>{2, 3}));
}

TEST(BodyAttributeWrapper, MissingAttributesOrMaterialGive25) {
    std::vector<BodyRecord> records = {Body(7, 0, 0)};
    NCAERep::CCAEDatabase empty;
    CBodyAttributeWrapper w;
    w.SetBodies(&records);
    EXPECT_EQ(w.FillNamesAndMaterials(empty.getRoot()), kRC_MissingData);
    EXPECT_EQ(w.FillNamesAndMaterials(nullptr), kRC_MissingData);
}

TEST(BodyAttributeWrapper, KindsShellsAndFallbacks) {
    std::vector<BodyRecord> records = {Body(1, 0, 1), Body(2, 0, 0), Body(3, 0, 3)};
    records[0].rigidCode = 2;
    records[0].thickness = 3.0;
    records[0].shellOffsetCode = 3;
    records[0].userShellOffset = 0.125;
    records[0].planarBehaviour = 7;
    CBodyAttributeWrapper w;
    w.SetBodies(&records);
    EXPECT_EQ(w.GetBodyKind(0), 5);
    EXPECT_TRUE(w.HasRotationalDofs());  // the kind field still says surface
    EXPECT_EQ(w.GetBodyKind(-1), 0);
    EXPECT_EQ(w.GetBodyKind(3), 0);
    EXPECT_EQ(w.GetBodyKindById(3), 3);
    double v = 0;
    EXPECT_EQ(w.GetShellOffset(0, &v), S_OK);
    EXPECT_EQ(v, 0.125);
    records[0].shellOffsetCode = 4;
    EXPECT_EQ(w.GetShellOffset(0, &v), E_FAIL);
    EXPECT_EQ(w.GetShellOffset(1, &v), E_FAIL);
    EXPECT_EQ(w.GetBodyThickness(0, &v), S_OK);
    EXPECT_EQ(v, 3.0);
    EXPECT_EQ(w.GetBodyThickness(1, &v), E_FAIL);
    EXPECT_EQ(w.GetBodyThickness(9, &v), E_FAIL);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(w.GetPlanarBehaviour(0), 4);  // 3D model
    w.SetTwoDimensional(true);
    EXPECT_EQ(w.GetPlanarBehaviour(0), 4);  // codes outside 0..3 read as shell
    records[0].planarBehaviour = 1;
    EXPECT_EQ(w.GetPlanarBehaviour(0), 1);
    EXPECT_FALSE(w.IsAxisymmetricModel());
    CBodyAttributeWrapper none;
    EXPECT_FALSE(none.IsAxisymmetricModel());
    EXPECT_EQ(none.FindBodyIndex(1), -1);
}

TEST(BodyAttributeWrapper, AddedCoordinateSystemsTakeFreeNumbersFrom12) {
    CBodyAttributeWrapper w;
    CoordinateSystemData a, b;
    a.id = 5;
    a.deckFrameNumber = 12;
    b.id = 6;
    b.deckFrameNumber = 14;
    w.SetCoordinateSystems({a, b});
    CoordinateSystemData extra;
    EXPECT_EQ(w.AddCoordinateSystem(extra), 13);
    EXPECT_EQ(w.AddCoordinateSystem(extra), 15);
    EXPECT_EQ(w.FindCoordinateSystem(6)->deckFrameNumber, 14);
    EXPECT_EQ(w.FindCoordinateSystem(99), nullptr);
}

}  // namespace
