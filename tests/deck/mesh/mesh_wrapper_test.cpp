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

TEST(MeshWrapper, ExtraNodesAndElementsFollowTheMesh) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(R"({"blocks": [{"element": "hexa8", "cells": [9, 9, 9], "part": 1, "body": 1,
                                   "firstNode": 1, "firstElement": 1}]})")
                            .Get()),
              S_OK);
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
}

TEST(MeshWrapper, EdgeWeightsAccumulateOverReferences) {
    CMeshWrapper w;
    w.SetMesh(MeshOf(kQuadraticTriangle).Get());
    std::map<int, double> weights;
    ASSERT_EQ(w.GetEdgeNodeWeights(50, weights), S_OK);
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
    w.SetMesh(MeshOf(kQuadraticTriangle).Get());
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
    w.SetMesh(MeshOf(R"({"nodes": [[1, 0, 0, 0], [2, 1, 0, 0], [3, 2, 0, 0]],
                         "elements": [[7, 18, [1, 2]], [8, 18, [2, 3]]],
                         "parts": [{"id": 4, "bodies": [{"id": 40, "elements": [7, 8]}]}],
                         "references": [{"id": 900, "element": 8}, {"id": 901, "node": 3}]})")
                  .Get());
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
        bodyWrapper.FillNamesAndMaterials(db.getRoot());
        wrapper.SetMesh(MeshOf(mesh).Get());
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
            deck.Open("dorvix.dat");
            deck.WriteLine("!-- start --");
            code = wrapper.WriteElementsForPart(0, kind, &deck, &bodyWrapper);
            deck.CloseDeck();
        }
        text = meshtest::ReadFile((scratch.Path() / "dorvix.dat").string());
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
    mesh.SetMesh(c.meshObject.Get());
    mesh.SetPartCount(1);
    mesh.SetBodyWrapper(&bodies);
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    DorvixDeckFile deck(&owner);
    deck.Open("dorvix.dat");
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
