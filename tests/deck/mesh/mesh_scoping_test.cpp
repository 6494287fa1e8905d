// Scoping of faces, edges, element faces and elements, and the simulated host's mesh input.
#include "deck/mesh/mesh_scoping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "deck/mesh/element_wrapper.h"
#include "deck/mesh/face_set.h"
#include "hostsim/mesh_generator.h"
#include "hostsim/mesh_json.h"
#include "hostsim/mesh_object.h"

namespace {

ComPtr<IHostMesh> MeshOf(const std::string& json) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(json), "host.json:/mesh"));
    return CreateHostSimMeshObject(mesh);
}

std::string Block(const char* element, int n = 2) {
    return std::string(R"({"blocks": [{"element": ")") + element + R"(", "cells": [)" + std::to_string(n) +
           "," + std::to_string(n) + "," + std::to_string(n) +
           R"(], "part": 1, "body": 1, "firstNode": 1, "firstElement": 1, "firstEntity": 100}]})";
}

TEST(Scoping, FaceOfLinearTetrahedraUsesSolverFaceNumbers) {
    ComPtr<IHostMesh> mesh = MeshOf(Block("tetra4"));
    // The z-min side of the block (entity 104): two triangles per cell, each a base or side.
    std::vector<int> elements, faces;
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{104, kJXReferenceFace}, elements, faces), S_OK);
    ASSERT_EQ(elements.size(), 8u);
    ASSERT_EQ(faces.size(), 8u);
    for (int f : faces) EXPECT_TRUE(f >= 1 && f <= 4);
    // Every reported face has all its nodes on z = 0.
    ComPtr<IHostMeshData> data = mesh.As<IHostMeshData>();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        int type = 0;
        ASSERT_EQ(data->GetElementType(elements[i], type), S_OK);
        std::vector<int> nodes;
        ASSERT_EQ(
            data->GetElementFaceNodes(elements[i], CElementWrapper::ToHostFaceNumber(faces[i], type), nodes),
            S_OK);
        for (int n : nodes) {
            std::array<double, 3> p{};
            ASSERT_EQ(data->GetNodeCoordinates(n, p), S_OK);
            EXPECT_EQ(p[2], 0.0);
        }
    }
}

TEST(Scoping, FaceOfAHexahedronAndItsBlockSides) {
    ComPtr<IHostMesh> mesh = MeshOf(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[4,0,1,0],[5,0,0,1],[6,1,0,1],
        [7,1,1,1],[8,0,1,1]], "elements": [[1, 11, [1,2,3,4,5,6,7,8]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}]}],
        "geometry": [{"id": 101, "kind": "face", "body": 10, "faces": [[1, 4, 3, 2]]},
                     {"id": 102, "kind": "face", "body": 10, "faces": [[5, 6, 7, 8]]}]})");
    std::vector<int> elements, faces;
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{101, kJXReferenceFace}, elements, faces), S_OK);
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{102, kJXReferenceFace}, elements, faces), S_OK);
    EXPECT_EQ(elements, (std::vector<int>{1, 1}));
    EXPECT_EQ(faces, (std::vector<int>{1, 6}));  // bottom and top of the solver's hexahedron
    EXPECT_EQ(GetScopingFaces(mesh.Get(), JXReference{103, kJXReferenceFace}, elements, faces), E_INVALIDARG);

    ComPtr<IHostMesh> hexa20 = MeshOf(Block("hexa20", 1));
    for (int side = 0; side < 6; ++side) {
        elements.clear();
        faces.clear();
        ASSERT_EQ(GetScopingFaces(hexa20.Get(), JXReference{100 + side, kJXReferenceFace}, elements, faces),
                  S_OK);
        const int expected[6] = {5, 3, 2, 4, 1, 6};  // x-min, x-max, y-min, y-max, z-min, z-max
        EXPECT_EQ(faces, (std::vector<int>{expected[side]})) << side;
    }
}

TEST(Scoping, EdgesOfAShellGiveElementAndEdgeNumber) {
    ComPtr<IHostMesh> mesh = MeshOf(
        R"({"blocks": [{"element": "shell4", "cells": [3, 2], "part": 1, "body": 1, "firstNode": 1,
                        "firstElement": 1, "firstEntity": 100}]})");
    const int expectedEdge[4] = {1, 2, 3, 4};  // y-min, x-max, y-max, x-min of each quad
    const std::size_t count[4] = {3, 2, 3, 2};
    for (int e = 0; e < 4; ++e) {
        std::vector<int> elements, faces;
        ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{101 + e, kJXReferenceEdge}, elements, faces), S_OK);
        ASSERT_EQ(elements.size(), count[e]);
        for (int f : faces) EXPECT_EQ(f, expectedEdge[e]);
    }
    std::vector<int> elements, faces;
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{100, kJXReferenceFace}, elements, faces), S_OK);
    EXPECT_EQ(elements.size(), 6u);
    EXPECT_TRUE(std::all_of(faces.begin(), faces.end(), [](int f) { return f == 1; }));
}

// The corner pairs of a solid element are no faces of it: an edge that only a hexahedron holds
// has no element face, and one that a quadrilateral shares with it is the quadrilateral's edge.
TEST(Scoping, EdgesOfSolidElementsAreRefusedAndSharedOnesGoToTheSurfaceElement) {
    ComPtr<IHostMesh> mesh = MeshOf(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[4,0,1,0],[5,0,0,1],[6,1,0,1],
        [7,1,1,1],[8,0,1,1]], "elements": [[1, 11, [1,2,3,4,5,6,7,8]], [2, 17, [7,6,2,3]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}, {"id": 20, "elements": [2]}]}],
        "geometry": [{"id": 102, "kind": "edge", "body": 10, "edges": [[2, 3]]},
                     {"id": 103, "kind": "edge", "body": 10, "edges": [[3, 4]]}]})");
    std::vector<int> elements, faces;
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{102, kJXReferenceEdge}, elements, faces), S_OK);
    EXPECT_EQ(elements, std::vector<int>{2});
    EXPECT_EQ(faces, std::vector<int>{3});
    EXPECT_EQ(GetScopingFaces(mesh.Get(), JXReference{103, kJXReferenceEdge}, elements, faces),
              kE_SolidElementEdge);
    EXPECT_EQ(elements.size(), 1u);
}

const char* kSets = R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,0,1,0],[4,0,0,1],[5,1,1,1],
        {"id": 6, "xyz": [2,0,0], "attributes": [{"id": 1, "flags": 8}]},
        {"id": 7, "xyz": [3,0,0], "attributes": [{"id": 1, "flags": 9}]},
        {"id": 8, "xyz": [4,0,0], "attributes": [{"id": 1, "flags": 8}]}],
    "elements": [[1, 10, [1, 2, 3, 4]], [2, 15, [2, 5, 3]], [3, 18, [6, 7]]],
    "parts": [{"id": 1, "bodies": [{"id": 20, "elements": [1]}, {"id": 21, "elements": [2]}, {"id": 22, "elements": [3]}]}],
    "elementSets": [{"id": 30, "elements": [2, 1]}],
    "elementFaceSets": [{"id": 31, "faces": [[1, 3], [2, 1], [1, 0]]}, {"id": 32, "faces": []}]})";

TEST(Scoping, ElementSetsAndElementFaceSets) {
    ComPtr<IHostMesh> mesh = MeshOf(kSets);
    std::vector<int> elements, faces;
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{30, kJXReferenceElements}, elements, faces), S_OK);
    EXPECT_EQ(elements, (std::vector<int>{1, 2}));  // grouped by type: tetrahedra (10), then triangles (15)
    EXPECT_EQ(faces, (std::vector<int>{1, 1}));
    elements.clear();
    faces.clear();
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{31, kJXReferenceElementFaces}, elements, faces), S_OK);
    EXPECT_EQ(elements, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(faces,
              (std::vector<int>{1, 2, 2}));  // tetra host 3 -> 1, shell reverse side 1 -> 2, host 0 -> 2
    elements.clear();
    faces.clear();
    ASSERT_EQ(GetScopingFaces(mesh.Get(), JXReference{32, kJXReferenceElementFaces}, elements, faces), S_OK);
    EXPECT_TRUE(elements.empty());
    EXPECT_TRUE(faces.empty());
    EXPECT_EQ(GetScopingFaces(mesh.Get(), JXReference{30, 0}, elements, faces), E_FAIL);
    EXPECT_EQ(GetScopingIdsByKind(nullptr, JXReference{30, kJXReferenceElements}, elements), E_FAIL);
}

TEST(Scoping, FlaggedEndNodesOfAnEdgeSet) {
    ComPtr<IHostMesh> mesh = MeshOf(kSets);
    int a = 0, b = 0;
    ASSERT_EQ(GetFlaggedNodesOfSet(mesh.Get(), {8, 6}, &a, &b), S_OK);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(b, 8);
    ASSERT_EQ(GetFlaggedNodesOfSet(mesh.Get(), {1, 7}, &a, &b), S_OK);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(GetFlaggedNodesOfSet(mesh.Get(), {6, 7, 8}, &a, &b), E_FAIL);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
}

// The simulated host flags the ends of each geometric edge it lists: an open chain of mesh edges
// at its two ends (not where two of its mesh edges meet), a closed one at the node it starts at.
TEST(Scoping, FileBackedHostFlagsTheEndNodesOfItsEdges) {
    ComPtr<IHostMesh> mesh = MeshOf(R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,1,1,0],[4,0,1,0],[5,0,0,1],[6,1,0,1],
        [7,1,1,1],[8,0,1,1]], "elements": [[1, 11, [1,2,3,4,5,6,7,8]]],
        "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}]}],
        "geometry": [{"id": 101, "kind": "edge", "body": 10, "edges": [[1, 2], [2, 3]]},
                     {"id": 102, "kind": "edge", "body": 10, "edges": [[6, 7], [7, 8], [8, 5], [5, 6]]}]})");
    int a = 0, b = 0;
    ASSERT_EQ(GetFlaggedNodesOfSet(mesh.Get(), {1, 2, 3}, &a, &b), S_OK);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
    ASSERT_EQ(GetFlaggedNodesOfSet(mesh.Get(), {5, 6, 7, 8}, &a, &b), S_OK);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(b, 6);
}

TEST(FaceSet, SetFacesReplacesTheFaces) {
    FaceSet set;
    JXReferenceList first, second;
    first.Add(1, kJXReferenceFace);
    first.Add(2, kJXReferenceFace);
    second.Add(3, kJXReferenceEdge);
    set.SetFaces(first, {10, 20});
    set.SetFaces(second, {30});
    ASSERT_EQ(set.GetCount(), 1);
    EXPECT_EQ(set.GetFaces()[0]->reference.id, 3);
    EXPECT_EQ(set.GetFaces()[0]->id, 30);
    set.Clear();
    EXPECT_EQ(set.GetCount(), 0);
}

// Bad mesh input is refused with the place and the reason.
TEST(HostSimMeshInput, RefusesBadMeshes) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"nodes": [[1,0,0,0]], "elements": [[1, 18, [1, 2]]]})", "/elements/0: element 1 names node 2"},
        {R"({"nodes": [[1,0,0,0]], "elements": [[1, 25, [1]]]})",
         "/elements/0: element 1: unknown element type 25"},
        {R"({"nodes": [[1,0,0,0],[2,1,0,0]], "elements": [[1, 11, [1, 2]]]})", "needs 8 nodes, not 2"},
        {R"({"nodes": [[1,0,0,0]], "parts": [{"id": 1, "bodies": [{"id": 5, "elements": []}]}]})",
         "/parts/0/bodies/0: body 5 has no elements"},
        {R"({"nodes": [[1,0,0,0],[2,1,0,0],[3,2,0,0]], "elements": [[1, 18, [1, 2]], [2, 18, [2, 3]]],
             "parts": [{"id": 1, "bodies": [{"id": 5, "elements": [1]}, {"id": 6, "elements": [2]}]}],
             "geometry": [{"id": 9, "kind": "edge", "body": 5, "edges": [[2, 3]]}]})",
         "/geometry/0: edge 9: mesh edge 2-3 lies on no element of body 5"},
        {R"({"blocks": [{"element": "hexa8", "cells": [1,1,1], "part": 1, "body": 1, "firstEntity": 50},
                        {"element": "hexa8", "cells": [1,1,1], "part": 1, "body": 2, "firstEntity": 60}],
             "geometry": [{"id": 70, "kind": "face", "body": 2, "faces": [[1, 4, 3, 2]]}]})",
         "/geometry/0: face 70: mesh face starting at node 1 is no element face of body 2"},
        {R"({"nodes": [[1,0,0,0],[1,1,0,0]]})", "/nodes/1: node 1 is defined twice"},
        {R"({"blocks": [{"element": "prism", "cells": [1,1,1], "part": 1, "body": 1}]})",
         "unknown block element"},
        {R"({"mesh": 1})", "/mesh: unknown member"},
        {R"({"blocks": [{"element": "hexa8", "cells": [2,2,2], "part": 1, "body": 1, "firstNode": 2147483640}]})",
         "numbers would pass 2,147,483,647"},
        {R"({"blocks": [{"element": "tetra4", "cells": [2147483647,1,1], "part": 1, "body": 1}]})",
         "/blocks/0: the case's blocks would make 8589934592 nodes; a case may generate at most 10,000,000 "
         "nodes"},
        // Blocks each within the bound and past it together are refused before any is made.
        {R"({"blocks": [{"element": "hexa8", "cells": [1,1,1], "part": 1, "body": 1},
                        {"element": "hexa8", "cells": [999,99,99], "part": 1, "body": 2}]})",
         "/blocks/1: the case's blocks would make 10000008 nodes; a case may generate at most 10,000,000 "
         "nodes"},
        {R"({"blocks": [{"element": "tetra4", "cells": [2,1,1], "part": 1, "body": 1},
                        {"element": "tetra4", "cells": [99,35,481], "part": 1, "body": 2}]})",
         "/blocks/1: the case's blocks would make 10000002 elements; a case may generate at most 10,000,000 "
         "elements"},
        {R"({"nodes": [[1,0,0,0],[2,1,0,0]], "elements": [[1, 18, [1, 2]]],
             "parts": [{"id": 1, "bodies": [{"id": 5, "elementRange": [1, 2000000000]}]}]})",
         "/parts/0/bodies/0/elementRange: the range names more elements than the mesh has"},
        {R"({"blocks": [{"element": "shell4", "cells": [1,1], "part": 1, "body": 30000000}]})",
         "numbers would pass 2,147,483,647"},
    };
    for (const auto& [json, reason] : cases) {
        try {
            LoadMeshSection(nlohmann::json::parse(json), "host.json:/mesh");
            ADD_FAILURE() << "accepted: " << json;
        } catch (const HostSimMeshError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("host.json:/mesh", 0), 0u) << e.what();
        }
    }
}

TEST(HostSimMeshInput, GeneratedBlocksHaveTheRightSize) {
    const std::tuple<const char*, int, std::size_t, int> blocks[] = {
        {"hexa8", 11, 27, 8}, {"hexa20", 1, 27 + 54, 8}, {"tetra4", 10, 27, 48}, {"tetra10", 0, 27 + 98, 48}};
    for (const auto& [element, type, nodes, elements] : blocks) {
        std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(Block(element)), "m"));
        EXPECT_EQ(mesh->NodeCount(), nodes) << element;
        EXPECT_EQ(mesh->ElementsOfType(type).size(), static_cast<std::size_t>(elements)) << element;
        // Each side of the block is covered once: 4 cells of area 1/4 each.
        ComPtr<IHostMesh> object = CreateHostSimMeshObject(mesh);
        HostMeshFaces faces;
        ASSERT_EQ(object->GetFaceMeshFaces(100, faces), S_OK);
        const std::size_t facets =
            faces.tri3.size() / 3 + faces.quad4.size() / 4 + faces.tri6.size() / 6 + faces.quad8.size() / 8;
        EXPECT_EQ(facets, std::string(element).rfind("tetra", 0) == 0 ? 8u : 4u) << element;
    }
    // The count a case's bound is held to is the count the block makes.
    for (const char* element : {"hexa8", "hexa20", "tetra4", "tetra10", "shell4"}) {
        MeshBlockRequest request;
        request.element = element;
        request.cells = {2, 3, 4};
        HostSimMesh mesh;
        GenerateMeshBlock(mesh, request);
        const MeshBlockCounts counts = CountMeshBlock(request);
        EXPECT_EQ(counts.nodes, static_cast<long long>(mesh.NodeCount())) << element;
        EXPECT_EQ(counts.elements, static_cast<long long>(mesh.ElementCount())) << element;
        if (request.element == "shell4") continue;
        // Each side of a solid (x-min, x-max, y-min, ...) is covered once by faces on its plane,
        // interior cells along it included: the cells of the side times the facets of a cell face.
        const std::size_t facetsPerCellFace = request.element.rfind("tetra", 0) == 0 ? 2 : 1;
        for (int s = 0; s < 6; ++s) {
            const int axis = s / 2;
            const HostSimMesh::GeometryEntity* side = mesh.FindGeometry(101 + s);
            ASSERT_TRUE(side) << element << " side " << s;
            const HostMeshFaces& f = side->faces;
            EXPECT_EQ(f.tri3.size() / 3 + f.quad4.size() / 4 + f.tri6.size() / 6 + f.quad8.size() / 8,
                      facetsPerCellFace * static_cast<std::size_t>(request.cells[(axis + 1) % 3] *
                                                                   request.cells[(axis + 2) % 3]))
                << element << " side " << s;
            for (int node : side->nodes)
                EXPECT_DOUBLE_EQ(mesh.NodeXyzAt(static_cast<std::size_t>(mesh.NodeIndex(node)))[axis], s % 2)
                    << element << " side " << s << " node " << node;
        }
    }
}

}  // namespace
