// Mesh wrapper queries of the load and boundary-condition writers: positions handed to the
// host's tables, cyclic-symmetry node pairs, part and scoped-entity queries, and the further
// answers of the simulated host's mesh object.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>

#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "hostsim/mesh_json.h"
#include "hostsim/mesh_object.h"

namespace {

ComPtr<IHostMesh> MeshOf(const std::string& json) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(json), "host.json:/mesh"));
    return CreateHostSimMeshObject(mesh);
}

// One hexahedron of side 2 (nodes 1 to 8, element 1) in body 1 of part 1.
const char* kCube = R"({"blocks": [{"element": "hexa8", "cells": [1, 1, 1], "size": [2, 2, 2], "part": 1,
                        "body": 1, "firstNode": 1, "firstElement": 1}]})";

CoordSystemSafe Cylindrical() {
    CoordSystemSafe frame;
    frame.SetType(kCoordCylindrical);
    return frame;
}

TEST(MeshQueries, TabularNodePositionsStopAboveTheMesh) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(kCube).Get()), S_OK);
    w.SetMeshUnitSystem(11);
    w.SetDeckUnitSystem(6);  // millimetres
    std::vector<double> out;
    // Nodes 2 (2, 0, 0) and 4 (2, 2, 0); 9 is above the mesh and ends the list.
    ASSERT_EQ(w.GetTabularThermalNodeValues(0, {2, 4, 9, 30}, CoordSystemSafe(), out), S_OK);
    EXPECT_EQ(out, (std::vector<double>{2000.0, 2000.0}));
    out.clear();
    ASSERT_EQ(w.GetTabularThermalNodeValues(1, {3, 4}, Cylindrical(), out), S_OK);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(out[0], std::numbers::pi / 2, 1e-12);  // (0, 2, 0): an angle, in radians
    EXPECT_NEAR(out[1], std::numbers::pi / 4, 1e-12);
    out.clear();
    ASSERT_EQ(w.GetTabularThermalNodeValues(7, {4}, CoordSystemSafe(), out), S_OK);  // clamped to z
    EXPECT_EQ(out, (std::vector<double>{0.0}));
}

TEST(MeshQueries, TabularFaceCentroids) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(kCube).Get()), S_OK);
    w.SetMeshUnitSystem(11);
    w.SetDeckUnitSystem(11);
    std::vector<double> out;
    // Solver faces 1 (bottom) and 6 (top), then x of face 3; element 2 is above the mesh.
    ASSERT_EQ(w.GetTabularPressureFaceValues(2, {1, 1}, {1, 6}, CoordSystemSafe(), out), S_OK);
    EXPECT_EQ(out, (std::vector<double>{0.0, 2.0}));
    out.clear();
    ASSERT_EQ(w.GetTabularPressureFaceValues(0, {1, 2}, {3, 1}, CoordSystemSafe(), out), S_OK);
    EXPECT_EQ(out, (std::vector<double>{2.0}));
    EXPECT_TRUE(FAILED(w.GetTabularPressureFaceValues(0, {1}, {7}, CoordSystemSafe(), out)));
}

TEST(MeshQueries, SymmetryRegionPairsByAttributeMagnitude) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(R"({"nodes": [
            {"id": 1, "xyz": [0, 0, 0], "attributes": [{"id": 40048, "value": 1}]},
            {"id": 2, "xyz": [1, 0, 0], "attributes": [{"id": 40048, "value": -2}]},
            {"id": 3, "xyz": [1, 1, 0], "attributes": [{"id": 40049, "value": 2}]},
            {"id": 4, "xyz": [0, 1, 0], "attributes": [{"id": 40049, "value": 1}]},
            [5, 0.5, 0.5, 0], {"id": 6, "xyz": [2, 0, 0], "attributes": [{"id": 40048, "value": 9}]}],
        "elements": [[1, 17, [1, 2, 3, 4]], [2, 15, [2, 6, 5]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1, 2]}]}],
        "geometry": [{"id": 100, "kind": "edge", "body": 10, "edges": [[1, 2], [2, 6]]},
                     {"id": 101, "kind": "edge", "body": 10, "edges": [[3, 4]]},
                     {"id": 102, "kind": "vertex", "body": 10, "node": 5}]})")
                            .Get()),
              S_OK);
    SymmetryRegionRecord region;
    region.lowBoundary = {JXReference{100, kJXReferenceEdge}};
    region.highBoundary = {JXReference{101, kJXReferenceEdge}, JXReference{102, 8}};
    std::map<int, int> pairs;
    ASSERT_EQ(w.GetSymmetryRegionNodeSets(-1, 1, region, pairs), S_OK);
    // Node 6 has no partner; node 5 carries no attribute.
    EXPECT_EQ(pairs, (std::map<int, int>{{1, 4}, {2, 3}}));
    region.highBoundary.push_back(JXReference{999, kJXReferenceEdge});
    EXPECT_TRUE(FAILED(w.GetSymmetryRegionNodeSets(-1, 1, region, pairs)));
}

// The most negative attribute value has a magnitude no int holds; it still pairs with its
// equal on the other side and with nothing else.
TEST(MeshQueries, SymmetryRegionPairsTheMostNegativeAttribute) {
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(R"({"nodes": [
            {"id": 1, "xyz": [0, 0, 0], "attributes": [{"id": 40048, "value": -2147483648}]},
            {"id": 2, "xyz": [1, 0, 0], "attributes": [{"id": 40048, "value": 2147483647}]},
            {"id": 3, "xyz": [1, 1, 0], "attributes": [{"id": 40049, "value": -2147483647}]},
            {"id": 4, "xyz": [0, 1, 0], "attributes": [{"id": 40049, "value": -2147483648}]}],
        "elements": [[1, 17, [1, 2, 3, 4]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}]}],
        "geometry": [{"id": 100, "kind": "edge", "body": 10, "edges": [[1, 2]]},
                     {"id": 101, "kind": "edge", "body": 10, "edges": [[3, 4]]}]})")
                            .Get()),
              S_OK);
    SymmetryRegionRecord region;
    region.lowBoundary = {JXReference{100, kJXReferenceEdge}};
    region.highBoundary = {JXReference{101, kJXReferenceEdge}};
    std::map<int, int> pairs;
    ASSERT_EQ(w.GetSymmetryRegionNodeSets(-1, 1, region, pairs), S_OK);
    EXPECT_EQ(pairs, (std::map<int, int>{{1, 4}, {2, 3}}));
}

TEST(MeshQueries, PartsAndScopedEntities) {
    std::vector<BodyRecord> records(2);
    records[0].bodyId = records[0].bodyMeshId = 10;
    records[0].partMeshId = 1;
    records[1].bodyId = records[1].bodyMeshId = 11;
    records[1].partIndex = 1;
    records[1].partMeshId = 2;
    CBodyAttributeWrapper bodies;
    bodies.SetBodies(&records);
    CMeshWrapper w;
    ASSERT_EQ(w.SetMesh(MeshOf(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,2,0,0],[4,3,0,0],[9,5,0,0]],
        "elements": [[1, 18, [1, 2]], [2, 18, [2, 3]], [3, 18, [3, 4]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1, 2]}]},
                  {"id": 2, "bodies": [{"id": 11, "elements": [3]}]}],
        "references": [{"id": 900, "element": 2}, {"id": 901, "node": 9}]})")
                            .Get()),
              S_OK);
    w.SetPartCount(3);
    w.SetBodyWrapper(&bodies);
    EXPECT_EQ(w.GetPartMeshId(1), 2);
    EXPECT_EQ(w.GetPartMeshId(2), 0);  // a part without bodies
    std::vector<int> ids;
    ASSERT_EQ(w.GetPartEntityIds(1, ids), S_OK);
    EXPECT_EQ(ids, (std::vector<int>{3, 4}));
    EXPECT_TRUE(FAILED(w.GetPartEntityIds(2, ids)));
    int count = 0;
    ASSERT_EQ(w.GetPartBodyNodeCount(0, 10, &count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(FAILED(w.GetPartBodyNodeCount(0, 11, &count)));  // body of the other part
    EXPECT_EQ(w.GetPartNodeCount(0), 3);
    EXPECT_EQ(w.GetPartElementCount(1), 1);
    EXPECT_EQ(w.GetPartElementCount(2), 0);
    EXPECT_TRUE(FAILED(w.CheckPart(2)));

    int value = 0;
    ASSERT_EQ(w.GetScopedValue(900, &value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(FAILED(w.GetScopedValue(77, &value)));
    // Any kind: the reference's own entity and its kind.
    int kind = -1, id = 0;
    ASSERT_EQ(w.GetScopedNodeIds(&kind, JXReference{901, 0}, &id), S_OK);
    EXPECT_EQ(kind, kScopedKindNode);
    EXPECT_EQ(id, 9);
    kind = -1;
    ASSERT_EQ(w.GetScopedNodeIds(&kind, JXReference{900, 0}, &id), S_OK);
    EXPECT_EQ(kind, kHET_Line2);
    EXPECT_EQ(id, 2);
    kind = kScopedKindNode;  // an element reference asked for a node
    EXPECT_TRUE(FAILED(w.GetScopedNodeIds(&kind, JXReference{900, 0}, &id)));
    EXPECT_EQ(kind, kScopedKindNode);
}

TEST(HostSimMeshObject, BodyPropertiesAndShellFlags) {
    ComPtr<IHostMesh> mesh = MeshOf(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,0,1,0],[4,0,0,1]],
        "elements": [[1, 15, [1, 2, 3]], [2, 10, [1, 2, 3, 4]], [3, 18, [1, 4]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1], "area": 0.5, "sectorAngle": 30},
                                       {"id": 11, "elements": [2]}]}]})");
    double v = 0;
    ASSERT_EQ(mesh->GetBodyProperty(1, 10, kBodyPropertyArea, v), S_OK);
    EXPECT_EQ(v, 0.5);
    EXPECT_TRUE(FAILED(mesh->GetBodyProperty(1, 11, kBodyPropertyArea, v)));
    EXPECT_TRUE(FAILED(mesh->GetBodyProperty(2, 10, kBodyPropertyArea, v)));
    ASSERT_EQ(mesh->GetBodySectorAngle(10, v), S_OK);
    EXPECT_EQ(v, 30.0);
    EXPECT_EQ(mesh->GetBodySectorAngle(11, v), E_FAIL);

    ComPtr<IHostMeshData> data = mesh.As<IHostMeshData>();
    std::vector<HostEntityRef> entities;
    ASSERT_EQ(data->GetElementEntities(1, entities), S_OK);
    ASSERT_EQ(entities.size(), 1u);
    EXPECT_EQ(entities[0].id, 10);
    EXPECT_EQ(entities[0].flags, kHostShellElementFlag);
    ASSERT_EQ(data->GetElementEntities(2, entities), S_OK);
    EXPECT_EQ(entities[0].flags, 0u);
    ASSERT_EQ(data->GetElementEntities(3, entities), S_OK);
    EXPECT_TRUE(entities.empty());  // an element of no body
    EXPECT_TRUE(FAILED(data->GetElementEntities(4, entities)));

    // Node numbers far apart are gathered all the same.
    ComPtr<IHostMesh> sparse = MeshOf(R"({"nodes": [[7,0,0,0],[2000000000,1,0,0],[3,2,0,0]],
        "elements": [[1, 18, [2000000000, 7]], [2, 18, [7, 3]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}, {"id": 11, "elements": [2]}]}]})");
    std::vector<int> ids;
    ASSERT_EQ(sparse->GetPartNodeIds(1, ids), S_OK);
    EXPECT_EQ(ids, (std::vector<int>{3, 7, 2000000000}));
    HostNodeList nodes;
    ASSERT_EQ(sparse.As<IHostMeshData>()->GetNodes(kMeshSelectBodyOfPart, 1, 10, true, nodes), S_OK);
    EXPECT_EQ(nodes.ids, (std::vector<int>{7, 2000000000}));
    EXPECT_EQ(nodes.xyz, (std::vector<double>{0, 0, 0, 1, 0, 0}));
}

// Each element of a node once, in the mesh's order (not by number); the answers follow elements
// and nodes added after the first question.
TEST(HostSimMeshObject, ElementsOfANodeInMeshOrderOnceEach) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(R"({
        "nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[9,5,5,5],[2000000000,0,1,0]],
        "elements": [[7, 18, [1, 2]], [3, 15, [2, 3, 1]], [5, 17, [2, 3, 3, 2000000000]]]})"),
                                                      "host.json:/mesh"));
    ComPtr<IHostMeshData> data = CreateHostSimMeshObject(mesh).As<IHostMeshData>();
    ASSERT_TRUE(data);
    auto elementsOf = [&](int node) {
        std::vector<int> elements{-1};
        EXPECT_EQ(data->GetElementsOfNode(node, elements), S_OK) << node;
        return elements;
    };
    EXPECT_EQ(elementsOf(1), (std::vector<int>{7, 3}));
    EXPECT_EQ(elementsOf(2), (std::vector<int>{7, 3, 5}));
    EXPECT_EQ(elementsOf(3), (std::vector<int>{3, 5}));
    EXPECT_EQ(elementsOf(2000000000), (std::vector<int>{5}));
    EXPECT_TRUE(elementsOf(9).empty());
    std::vector<int> none;
    EXPECT_EQ(data->GetElementsOfNode(4, none), E_INVALIDARG);

    mesh->AddElement(8, kHET_Line2, {9, 1});
    EXPECT_EQ(elementsOf(1), (std::vector<int>{7, 3, 8}));
    EXPECT_EQ(elementsOf(9), (std::vector<int>{8}));
    mesh->AddNode(11, 0, 0, 2);
    EXPECT_TRUE(elementsOf(11).empty());
}

}  // namespace
