// Mesh wrapper queries, numbering and the element-group writer's refusals, on generated and
// hand-listed meshes of the simulated host.
#include "deck/mesh/mesh_wrapper.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "caerep/core/cae_rep.h"
#include "deck/deck_file.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/return_codes.h"
#include "hostsim/mesh_json.h"
#include "hostsim/mesh_object.h"
#include "mesh_case_support.h"
#include "tests/deck/deck_test_support.h"

namespace {

ComPtr<IHostMesh> MeshOf(const std::string& json) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(json), "host.json:/mesh"));
    return CreateHostSimMeshObject(mesh);
}

const char* kQuadraticTriangle = R"({
    "nodes": [[1, 0, 0, 0], [2, 6, 0, 0], [3, 3, 0, 0], [4, 0, 6, 0], [5, 3, 3, 0], [6, 0, 3, 0]],
    "elements": [[1, 5, [1, 2, 4, 3, 5, 6]]],
    "parts": [{"id": 1, "bodies": [{"id": 5, "elements": [1]}]}],
    "geometry": [{"id": 50, "kind": "edge", "body": 5, "edges": [[1, 2, 3]]},
                 {"id": 51, "kind": "edge", "body": 5, "edges": [[1, 4]]}]})";

// A block of hexahedra with its first node and element numbers.
ComPtr<IHostMesh> HexaBlock(int cells, int firstNode, int firstElement) {
    const std::string n = std::to_string(cells);
    return MeshOf(R"({"blocks": [{"element": "hexa8", "part": 1, "body": 1, "cells": [)" + n + "," + n + "," +
                  n + "], \"firstNode\": " + std::to_string(firstNode) +
                  ", \"firstElement\": " + std::to_string(firstElement) + "}]}");
}

TEST(MeshWrapper, ExtraNodesAndElementsFollowTheMesh) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(HexaBlock(9, 1, 1).Get()), S_OK);
    int n = 0;
    ASSERT_EQ(w.AddExtraNode(&n), S_OK);
    EXPECT_EQ(n, 1001);
    ASSERT_EQ(w.AddExtraNode(&n), S_OK);
    EXPECT_EQ(n, 1002);
    int e = 0;
    ASSERT_EQ(w.NextElementId(&e), S_OK);
    EXPECT_EQ(e, 730);
    ASSERT_EQ(w.NextElementId(&e), S_OK);
    EXPECT_EQ(e, 731);
    CMeshWrapper empty;
    EXPECT_EQ(empty.AddExtraNode(&n), E_FAIL);
    EXPECT_EQ(empty.SetMesh(nullptr), E_FAIL);
    // None past the largest number an int holds.
    CMeshWrapper last;
    ASSERT_EQ(last.SetMesh(HexaBlock(1, 2147483640, 2147483646).Get()), S_OK);
    EXPECT_EQ(last.AddExtraNode(&n), kE_NoNumberLeft);
    ASSERT_EQ(last.NextElementId(&e), S_OK);
    EXPECT_EQ(e, 2147483647);
    EXPECT_EQ(last.NextElementId(&e), kE_NoNumberLeft);
}

TEST(MeshWrapper, EdgeWeightsAccumulateOverReferences) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(kQuadraticTriangle).Get()), S_OK);
    std::map<int, double> weights;
    ASSERT_EQ(w.GetEdgeNodeWeights(JXReference{50, kJXReferenceEdge}, weights), S_OK);
    EXPECT_DOUBLE_EQ(weights[1], 1.0);
    EXPECT_DOUBLE_EQ(weights[2], 1.0);
    EXPECT_DOUBLE_EQ(weights[3], 4.0);
    JXReferenceList refs;
    refs.Add(50, kJXReferenceEdge);
    refs.Add(51, kJXReferenceEdge);
    weights.clear();
    ASSERT_EQ(w.GetEdgeNodeWeightsByReference(refs, weights), S_OK);
    EXPECT_DOUBLE_EQ(weights[1], 4.0);  // 1 from the quadratic edge, 3 from the linear one
    EXPECT_DOUBLE_EQ(weights[4], 3.0);
    EXPECT_EQ(w.GetEdgeNodeWeights(77, weights), E_INVALIDARG);
}

TEST(MeshWrapper, CoordinatesConvertOnlyBetweenDifferentSystems) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(kQuadraticTriangle).Get()), S_OK);
    w.SetMeshUnitSystem(11);
    w.SetDeckUnitSystem(11);
    EXPECT_DOUBLE_EQ(w.GetNodePoint(2).x, 6.0);
    w.SetDeckUnitSystem(6);  // metres to millimetres
    EXPECT_DOUBLE_EQ(w.GetNodePoint(2).x, 6000.0);
    EXPECT_DOUBLE_EQ(w.GetNodeDistance(1, 4), 6000.0);
    Vector3 raw;
    ASSERT_EQ(w.GetNodeCoordinates(false, 4, raw), S_OK);
    EXPECT_DOUBLE_EQ(raw.y, 6.0);
}

TEST(MeshWrapper, ScopedEntitiesAndPartQueries) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(R"({"nodes": [[1, 0, 0, 0], [2, 1, 0, 0], [3, 2, 0, 0]],
                                   "elements": [[7, 18, [1, 2]], [8, 18, [2, 3]]],
                                   "parts": [{"id": 4, "bodies": [{"id": 40, "elements": [7, 8]}]}],
                                   "references": [{"id": 900, "element": 8}, {"id": 901, "node": 3}]})")
                            .Get()),
              S_OK);
    int kind = 18, id = 0;
    ASSERT_EQ(w.GetScopedNodeIds(&kind, JXReference{900, 0}, &id), S_OK);
    EXPECT_EQ(id, 8);
    EXPECT_EQ(kind, 18);
    kind = 10;  // a spring asked as a tetrahedron is not there
    EXPECT_TRUE(FAILED(w.GetScopedNodeIds(&kind, JXReference{900, 0}, &id)));
    kind = kScopedKindNode;
    ASSERT_EQ(w.GetScopedNodeIds(&kind, JXReference{901, 0}, &id), S_OK);
    EXPECT_EQ(id, 3);
    JXList<unsigned int> nodes;
    ASSERT_EQ(w.GetEntityIds(8, nodes), S_OK);
    ASSERT_EQ(nodes.GetCount(), 2);
    EXPECT_EQ(nodes[1], 3u);
    EXPECT_TRUE(FAILED(w.GetEntityIds(99, nodes)));
}

// A mesh wrapper and body table over a listed mesh, writing into a scratch deck.
struct GroupFixture {
    explicit GroupFixture(const std::string& mesh, std::vector<BodyRecord> records, int analysisKind = 1,
                          bool twoDimensional = false)
        : bodies_(std::move(records)) {
        for (const BodyRecord& b : bodies_) meshtest::AddBodyAttributes(db, b.bodyId, L"b", L"m");
        bodyWrapper.SetBodies(&bodies_);
        bodyWrapper.SetTwoDimensional(twoDimensional);
        EXPECT_EQ(bodyWrapper.FillNamesAndMaterials(db.getRoot()), kRC_Success);
        EXPECT_EQ(wrapper.SetMesh(MeshOf(mesh).Get()), S_OK);
        wrapper.SetPartCount(1);
        wrapper.SetBodyWrapper(&bodyWrapper);
        kind = analysisKind;
    }
    int Write(std::string& text) {
        decktest::ScratchFolder scratch;
        decktest::FakeOwner owner;
        int code = 0;
        {
            DorvixDeckFile deck(&owner);
            EXPECT_EQ(deck.Open("dorvix.dat"), 0);
            deck.WriteLine("!-- start --");
            code = wrapper.WriteElementsForPart(0, kind, &deck, &bodyWrapper);
            deck.CloseDeck();
        }
        text = decktest::ReadText(scratch.Path() / "dorvix.dat");
        text = text.substr(text.find("!-- start --\n") + 13);
        return code;
    }
    std::vector<BodyRecord> bodies_;
    NCAERep::CCAEDatabase db;
    CBodyAttributeWrapper bodyWrapper;
    CMeshWrapper wrapper;
    int kind = 1;
};

BodyRecord Record(int id, int kind) {
    BodyRecord r;
    r.bodyId = r.bodyMeshId = id;
    r.partMeshId = 1;
    r.kind = kind;
    return r;
}

std::string Pyramids(int count) {
    std::string elements;
    for (int i = 0; i < count; ++i)
        elements += (i ? "," : "") + std::string("[") + std::to_string(i + 1) + ", 13, [1, 2, 3, 4, 5]]";
    std::string ids;
    for (int i = 0; i < count; ++i) ids += (i ? "," : "") + std::to_string(i + 1);
    return R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[4,0,1,0],[5,0.5,0.5,1]], "elements": [)" + elements +
           R"(], "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [)" + ids + "]}]}]}";
}

TEST(ElementGroups, LinearPyramidsInAnEigenAnalysis) {
    std::string text;
    GroupFixture one(Pyramids(1), {Record(3, 0)}, 2);
    EXPECT_EQ(one.Write(text), 0);
    GroupFixture two(Pyramids(2), {Record(3, 0)}, 2);
    EXPECT_EQ(two.Write(text), kRC_LinearPyramidsRefused);
    GroupFixture structural(Pyramids(2), {Record(3, 0)}, 1);
    EXPECT_EQ(structural.Write(text), 0);
}

TEST(ElementGroups, BodiesWithoutUsableElements) {
    std::string text;
    // A solid body of lines only, and a surface body mixing linear and quadratic triangles.
    GroupFixture lines(R"({"nodes": [[1,0,0,0],[2,1,0,0]], "elements": [[1, 18, [1, 2]]],
                           "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1]}]}]})",
                       {Record(3, 0)});
    EXPECT_EQ(lines.Write(text), kRC_BodyWithoutElements);
    GroupFixture mixed(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,0,1,0],[4,0.5,0,0],[5,0.5,0.5,0],[6,0,0.5,0]],
                           "elements": [[1, 15, [1, 2, 3]], [2, 5, [1, 2, 3, 4, 5, 6]]],
                           "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1, 2]}]}]})",
                       {Record(3, 1)});
    EXPECT_EQ(mixed.Write(text), kRC_BodyWithoutElements);
    GroupFixture missingId(Pyramids(1), {Record(3, 0)});
    missingId.bodies_[0].bodyMeshId = 0;
    EXPECT_EQ(missingId.Write(text), kRC_MissingData);
}

const char* kTwoTriangles = R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,0,1,0],[4,1,1,0]],
    "elements": [[1, 15, [1, 2, 3]], [2, 15, [2, 4, 3]]],
    "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1, 2]}]}]})";

TEST(ElementGroups, SurfaceHypothesesByPlanarOptionAndAnalysis) {
    std::string text;
    BodyRecord shell = Record(3, 1);
    shell.thickness = 2.0;
    shell.shellOffsetCode = 1;
    GroupFixture thermal(kTwoTriangles, {shell}, 4);
    ASSERT_EQ(thermal.Write(text), 0);
    EXPECT_NE(text.find(".HYP THERMIQUE COQUE GROUP 1\n"), std::string::npos);
    EXPECT_NE(text.find(".AEL GROUP 1 DEGRE 1 MAT 1 EXCE 0.\n"), std::string::npos);

    shell.planarBehaviour = 1;
    GroupFixture axis(kTwoTriangles, {shell}, 1, true);
    ASSERT_EQ(axis.Write(text), 0);
    EXPECT_NE(text.find(".HYP AXIS GROUP 1\n.AEL GROUP 1 DEGRE 1 MAT 1\n"), std::string::npos);
    EXPECT_EQ(text.find(".PHP"), std::string::npos);

    shell.planarBehaviour = 7;  // outside 0..3: a shell
    GroupFixture other(kTwoTriangles, {shell}, 1, true);
    ASSERT_EQ(other.Write(text), 0);
    EXPECT_NE(text.find(".HYP MINDLIN GROUP 1\n.PHP GROUP 1 THICK VAL 2.\n"), std::string::npos);

    shell.planarBehaviour = 0;
    GroupFixture membrane(kTwoTriangles, {shell}, 4, true);
    ASSERT_EQ(membrane.Write(text), 0);
    EXPECT_NE(text.find(".HYP THERMIQUE GROUP 1\n.PHP GROUP 1 THICK VAL 2.\n"), std::string::npos);
}

// A line body (no group), then a shell; the shell is written first in part 0 although its
// record comes second, and a second shell in part 1 follows a rigid body's consumed number.
TEST(ElementGroups, ShellsTakeTheirOwnRecordsThicknessAndOffset) {
    const char* mesh = R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,0,1,0],[4,1,1,0],[5,2,2,2]],
        "elements": [[1, 18, [1, 2]], [2, 15, [1, 2, 3]], [3, 15, [2, 4, 3]], [4, 9, [5]]],
        "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1]}, {"id": 4, "elements": [2]}]},
                  {"id": 2, "bodies": [{"id": 5, "elements": [4]}, {"id": 6, "elements": [3]}]}]})";
    BodyRecord line = Record(3, 3), first = Record(4, 1), rigid = Record(5, 0), second = Record(6, 1);
    first.thickness = 1.5;
    first.shellOffsetCode = 0;
    rigid.partIndex = second.partIndex = 1;
    rigid.partMeshId = second.partMeshId = 2;
    rigid.rigidCode = 3;
    second.thickness = 4.0;
    second.shellOffsetCode = 2;
    // Records out of part order: the second part's bodies come first.
    GroupFixture f(mesh, {rigid, second, line, first});
    f.wrapper.SetPartCount(2);
    f.wrapper.SetBodyWrapper(&f.bodyWrapper);
    std::string text;
    ASSERT_EQ(f.Write(text), 0);
    EXPECT_NE(text.find(".PHP GROUP 1 THICK VAL 1.5\n.AEL GROUP 1 DEGRE 1 MAT 1 EXCE 0.5\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(f.wrapper.GetBodyGroupNumbers(3), nullptr);  // the line body has no group
    int code = 0;
    {
        decktest::ScratchFolder scratch;
        decktest::FakeOwner owner;
        DorvixDeckFile deck(&owner);
        EXPECT_EQ(deck.Open("dorvix.dat"), 0);
        code = f.wrapper.WriteElementsForPart(1, 1, &deck, &f.bodyWrapper);
        deck.CloseDeck();
        text = decktest::ReadText(scratch.Path() / "dorvix.dat");
    }
    ASSERT_EQ(code, 0);
    EXPECT_NE(text.find(".MASS I 4 N 5 MASS 0. MIXX 0. MIYY 0. MIZZ 0.\n"), std::string::npos) << text;
    EXPECT_NE(text.find(".SEL GROUP 3 MAILLES NOM \"B_6\"\n I 3\n.HYP MINDLIN GROUP 3\n"
                        ".PHP GROUP 3 THICK VAL 4.\n.AEL GROUP 3 DEGRE 1 MAT 1 EXCE -0.5\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(f.wrapper.GetRigidBodyNodes().at(5), 5);
}

TEST(ElementGroups, RefusedPartsKindsAndRigidBodies) {
    std::string text;
    // A rigid body must reduce to exactly one point element of one node.
    BodyRecord rigid = Record(3, 0);
    rigid.rigidCode = 1;
    GroupFixture noPoint(Pyramids(1), {rigid});
    EXPECT_EQ(noPoint.Write(text), kRC_HostMeshRefused);
    EXPECT_EQ(noPoint.wrapper.GetGroupCounter(), 1);  // the number is consumed all the same
    GroupFixture twoPoints(R"({"nodes": [[1,0,0,0],[2,1,0,0]], "elements": [[1, 9, [1]], [2, 9, [2]]],
                               "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1, 2]}]}]})",
                           {rigid});
    EXPECT_EQ(twoPoints.Write(text), kRC_HostMeshRefused);

    GroupFixture unknownKind(Pyramids(1), {Record(3, 2)});
    EXPECT_EQ(unknownKind.Write(text), kRC_MissingData);
    // A body whose part the mesh does not know.
    BodyRecord stray = Record(3, 0);
    stray.partMeshId = 9;
    GroupFixture unknownPart(Pyramids(1), {stray});
    EXPECT_EQ(unknownPart.Write(text), kRC_MissingData);
    EXPECT_EQ(text.find("Elements for Part"), std::string::npos);
    // Elements the body's part cannot list by position: refused, and no half group is left.
    BodyRecord otherPart = Record(3, 0);
    otherPart.partMeshId = 2;
    GroupFixture misplaced(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[4,0,1,0],[5,0.5,0.5,1]],
                               "elements": [[1, 13, [1, 2, 3, 4, 5]], [2, 9, [5]]],
                               "parts": [{"id": 1, "bodies": [{"id": 3, "elements": [1]}]},
                                         {"id": 2, "bodies": [{"id": 4, "elements": [2]}]}]})",
                           {otherPart});
    EXPECT_EQ(misplaced.Write(text), kRC_HostMeshRefused);
    EXPECT_EQ(text.find(".SEL"), std::string::npos) << text;
    EXPECT_EQ(misplaced.wrapper.GetGroupCounter(), 0);
}

// The feeder numbers its own selection groups after the part loop; moving its counter past
// the mesh wrapper's counter keeps them clear of every element group, even with a two-order
// solid (two groups for one body) and a rigid body (a consumed number).
TEST(ElementGroups, GroupCounterCarriesPastEveryElementGroup) {
    for (const char* name : {"mesh-mixed-solids", "mesh-rigid"}) {
        meshtest::MeshCase c = meshtest::LoadCase(name);
        CBodyAttributeWrapper bodies;
        bodies.SetBodies(&c.bodies);
        ASSERT_EQ(bodies.FillNamesAndMaterials(c.model->getRoot()), 0);
        CMeshWrapper mesh;
        ASSERT_EQ(mesh.SetMesh(c.meshObject.Get()), S_OK);
        mesh.SetPartCount(c.partCount);
        mesh.SetBodyWrapper(&bodies);
        decktest::ScratchFolder scratch;
        decktest::FakeOwner owner;
        DorvixDeckFile deck(&owner);
        EXPECT_EQ(deck.Open("dorvix.dat"), 0);
        int carry = 0;
        for (int part = 0; part < c.partCount; ++part) {
            mesh.SetGroupCounter(carry);
            ASSERT_EQ(mesh.WriteElementsForPart(part, 1, &deck, &bodies), 0);
            carry = mesh.GetGroupCounter();
        }
        deck.CloseDeck();
        std::set<int> used;
        for (const BodyRecord& b : c.bodies)
            if (const std::vector<int>* groups = mesh.GetBodyGroupNumbers(b.bodyId))
                used.insert(groups->begin(), groups->end());
        // Advancing by the body count alone would reuse an element group's number here.
        if (std::string(name) == "mesh-mixed-solids") {
            EXPECT_EQ(used.count(bodies.GetBodyCount() + 1), 1u);
        }
        const int next = std::max(bodies.GetBodyCount(), mesh.GetGroupCounter()) + 1;
        EXPECT_GT(next, *used.rbegin()) << name;
        EXPECT_EQ(mesh.GetGroupCounter(), 3) << name;
    }
}

TEST(ElementGroups, GroupNumbersAreRecordedPerBody) {
    meshtest::MeshCase c = meshtest::LoadCase("mesh-mixed-solids");
    const meshtest::Sections s = meshtest::WriteSections(c);
    ASSERT_EQ(s.code, 0);
    // The union group of a load reads them back; the wrapper of WriteSections is gone, so
    // rebuild it here on the same case.
    CBodyAttributeWrapper bodies;
    bodies.SetBodies(&c.bodies);
    ASSERT_EQ(bodies.FillNamesAndMaterials(c.model->getRoot()), 0);
    CMeshWrapper mesh;
    ASSERT_EQ(mesh.SetMesh(c.meshObject.Get()), S_OK);
    mesh.SetPartCount(1);
    mesh.SetBodyWrapper(&bodies);
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    DorvixDeckFile deck(&owner);
    EXPECT_EQ(deck.Open("dorvix.dat"), 0);
    mesh.SetGroupCounter(4);
    ASSERT_EQ(mesh.WriteElementsForPart(0, 1, &deck, &bodies), 0);
    ASSERT_NE(mesh.GetBodyGroupNumbers(11), nullptr);
    EXPECT_EQ(*mesh.GetBodyGroupNumbers(11), (std::vector<int>{5, 6}));
    EXPECT_EQ(*mesh.GetBodyGroupNumbers(12), (std::vector<int>{7}));
    EXPECT_EQ(mesh.GetGroupCounter(), 7);
    EXPECT_EQ(mesh.GetPartElementCount(0), 5);
    EXPECT_EQ(mesh.GetPartNodeCount(0), 25);  // nodes 26 and 27 belong to no element
    deck.CloseDeck();
}

}  // namespace
