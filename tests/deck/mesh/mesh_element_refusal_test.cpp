// Element blocks the host hands over wrongly (refused, or with a node count that is not the
// one of their type) write no line, while the other blocks are still written and the
// topology section answers the refusal. Also the other host refusals the mesh wrapper must
// pass on rather than paper over.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "deck/deck_file.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/return_codes.h"
#include "hostsim/mesh_json.h"
#include "hostsim/mesh_object.h"
#include "mesh_case_support.h"
#include "platform/com_object.h"
#include "tests/deck/deck_test_support.h"

namespace {

// How the tampered type's block comes back.
enum class Tamper {
    kOneNodeShort,     // every element one node short, nodesPerElement to match
    kFailed,           // the query fails
    kListShort,        // nodesPerElement right, but the list lacks its last entry
    kOtherOrderCount,  // a linear type claims the quadratic count, with a list that fits it
};

// Answers every call from the simulated host's mesh object, except the element block of one
// type, which comes back as `tamper` says, and what the refuse flags name.
class TamperedMesh : public ComObject<TamperedMesh, IHostMesh, IHostMeshData> {
  public:
    TamperedMesh(ComPtr<IHostMesh> inner, int type, Tamper tamper)
        : mesh_(std::move(inner)), data_(mesh_.As<IHostMeshData>()), type_(type), tamper_(tamper) {}

    // IHostMesh
    HRESULT Prepare(int mode) override { return refusePrepare ? E_FAIL : mesh_->Prepare(mode); }
    HRESULT GetPart(int part, HostMeshPart* out) override { return mesh_->GetPart(part, out); }
    HRESULT GetPartNodeIds(int part, std::vector<int>& ids) override {
        return mesh_->GetPartNodeIds(part, ids);
    }
    HRESULT GetBodyProperty(int part, int body, int property, double& value) override {
        return mesh_->GetBodyProperty(part, body, property, value);
    }
    HRESULT GetBodySectorAngle(int body, double& degrees) override {
        return mesh_->GetBodySectorAngle(body, degrees);
    }
    HRESULT GetMaxNodeNumber(int& number) override { return mesh_->GetMaxNodeNumber(number); }
    HRESULT GetMaxElementNumber(int& number) override { return mesh_->GetMaxElementNumber(number); }
    HRESULT GetFaceMeshFaces(int face, HostMeshFaces& out) override {
        return mesh_->GetFaceMeshFaces(face, out);
    }
    HRESULT GetEdgeMeshEdges(int edge, HostMeshEdges& out) override {
        return mesh_->GetEdgeMeshEdges(edge, out);
    }

    // IHostMeshData
    HRESULT GetNodes(int selector, int entity, int sub, bool xyz, HostNodeList& out) override {
        return data_->GetNodes(selector, entity, sub, xyz, out);
    }
    HRESULT GetNodeCoordinates(int node, std::array<double, 3>& xyz) override {
        return node == refusedNode ? E_FAIL : data_->GetNodeCoordinates(node, xyz);
    }
    HRESULT GetNodeAttributes(int node, std::vector<HostNodeAttribute>& out) override {
        return data_->GetNodeAttributes(node, out);
    }
    HRESULT GetNodeAttribute(int node, int id, int& value) override {
        return data_->GetNodeAttribute(node, id, value);
    }
    HRESULT GetElementNodes(int element, std::vector<int>& nodes) override {
        return data_->GetElementNodes(element, nodes);
    }
    HRESULT GetElementType(int element, int& type) override { return data_->GetElementType(element, type); }
    HRESULT CountElementsOfType(int type, int& count) override {
        return data_->CountElementsOfType(type, count);
    }
    HRESULT GetElementsOfType(int type, HostElementBlock& out) override {
        const HRESULT hr = data_->GetElementsOfType(type, out);
        if (FAILED(hr) || type != type_) return hr;
        ++tamperedCalls;
        const std::size_t per = static_cast<std::size_t>(out.nodesPerElement);
        switch (tamper_) {
            case Tamper::kFailed:
                return E_FAIL;
            case Tamper::kOneNodeShort: {
                std::vector<int> shorter;
                for (std::size_t i = 0; i < out.ids.size(); ++i)
                    shorter.insert(shorter.end(), out.nodes.begin() + i * per,
                                   out.nodes.begin() + (i + 1) * per - 1);
                out.nodes = std::move(shorter);
                --out.nodesPerElement;
                break;
            }
            case Tamper::kListShort:
                out.nodes.pop_back();
                break;
            case Tamper::kOtherOrderCount:
                out.nodesPerElement = 20;
                out.nodes.resize(out.ids.size() * 20, out.nodes.front());
                break;
        }
        return hr;
    }
    HRESULT GetElementEntities(int element, std::vector<HostEntityRef>& out) override {
        return data_->GetElementEntities(element, out);
    }
    HRESULT GetEntityIds(int entity, std::vector<int>& ids) override {
        return data_->GetEntityIds(entity, ids);
    }
    HRESULT CountEntities(int selector, int entity, int sub, int type, int& count) override {
        return data_->CountEntities(selector, entity, sub, type, count);
    }
    HRESULT GetEntities(int selector, int entity, int type, std::vector<int>& ids) override {
        return data_->GetEntities(selector, entity, type, ids);
    }
    HRESULT GetEntityAt(int index, int selector, int id1, int id2, int type, int& out) override {
        return data_->GetEntityAt(index, selector, id1, id2, type, out);
    }
    HRESULT GetEntityKindAt(int index, int selector, int id1, int& kind) override {
        return data_->GetEntityKindAt(index, selector, id1, kind);
    }
    HRESULT GetElementFaceNodes(int element, int face, std::vector<int>& nodes) override {
        return data_->GetElementFaceNodes(element, face, nodes);
    }
    HRESULT GetElementFaces(int selector, int set, int facetType,
                            std::vector<HostElementFace>& out) override {
        return data_->GetElementFaces(selector, set, facetType, out);
    }
    HRESULT GetElementsOfNode(int node, std::vector<int>& elements) override {
        return data_->GetElementsOfNode(node, elements);
    }

    int tamperedCalls = 0;
    bool refusePrepare = false;
    int refusedNode = 0;

  private:
    ComPtr<IHostMesh> mesh_;
    ComPtr<IHostMeshData> data_;
    int type_;
    Tamper tamper_;
};

struct ElementRun {
    int code = -1;
    std::string lines;  // the text after ".MAI"
};

ElementRun WriteElementLines(IHostMesh* mesh) {
    CMeshWrapper wrapper;
    EXPECT_EQ(wrapper.SetMesh(mesh), S_OK);
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    ElementRun run;
    {
        DorvixDeckFile deck(&owner);
        EXPECT_EQ(deck.Open("dorvix.dat"), 0);
        run.code = wrapper.WriteElements(&deck);
        deck.CloseDeck();
    }
    const std::string text = decktest::ReadText(scratch.Path() / "dorvix.dat");
    const std::size_t start = text.find(".MAI\n");
    EXPECT_NE(start, std::string::npos);
    if (start != std::string::npos) run.lines = text.substr(start + 5);
    return run;
}

bool HasElementLine(const std::string& lines, int id) {
    const std::string head = "    I " + std::to_string(id) + " N";
    return lines.starts_with(head) || lines.find("\n" + head) != std::string::npos;
}

// The mixed-solid case holds one element of each kind: 3 a 10-node tetrahedron, 4 a 20-node
// hexahedron, 1 an 8-node hexahedron, 2 a 6-node wedge, 5 a 13-node pyramid.
TEST(ElementRefusal, UntouchedMeshWritesEveryElement) {
    meshtest::MeshCase c = meshtest::LoadCase("mesh-mixed-solids");
    ASSERT_TRUE(c.meshObject);
    ComPtr<TamperedMesh> mesh = MakeComObject<TamperedMesh>(c.meshObject, -1, Tamper::kFailed);
    const ElementRun run = WriteElementLines(mesh.Get());
    EXPECT_EQ(run.code, kRC_Success);
    for (int id : {1, 2, 3, 4, 5}) EXPECT_TRUE(HasElementLine(run.lines, id)) << id;
}

TEST(ElementRefusal, BadBlockWritesNothingAndIsAnswered41) {
    struct Case {
        int type;
        Tamper tamper;
        int refusedElement;
        const char* what;
    };
    const Case cases[] = {
        {kHET_Hexa8, Tamper::kOneNodeShort, 1, "hexa8 one node short"},
        {kHET_Wedge6, Tamper::kFailed, 2, "wedge6 query failed"},
        {kHET_Tetra10, Tamper::kListShort, 3, "tetra10 list short of its count"},
        {kHET_Hexa8, Tamper::kOtherOrderCount, 1, "hexa8 with twenty nodes"},
        {kHET_Pyramid13, Tamper::kOneNodeShort, 5, "pyramid13 one node short"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        meshtest::MeshCase c = meshtest::LoadCase("mesh-mixed-solids");
        ASSERT_TRUE(c.meshObject);
        ComPtr<TamperedMesh> mesh = MakeComObject<TamperedMesh>(c.meshObject, k.type, k.tamper);
        const ElementRun run = WriteElementLines(mesh.Get());
        EXPECT_EQ(mesh->tamperedCalls, 1);
        EXPECT_EQ(run.code, kRC_HostMeshRefused);
        EXPECT_FALSE(HasElementLine(run.lines, k.refusedElement));
        // The other blocks, the refused one's own family included, are written in full.
        for (int id : {1, 2, 3, 4, 5}) {
            if (id == k.refusedElement) continue;
            EXPECT_TRUE(HasElementLine(run.lines, id)) << id;
        }
    }
}

// A mesh that cannot be prepared is not taken; a node the mesh will not place gives an edge no
// length, so its weights are refused rather than measured from the origin.
TEST(HostRefusal, PreparationAndNodePlacesArePassedOn) {
    std::shared_ptr<HostSimMesh> listed(LoadMeshSection(nlohmann::json::parse(R"({
        "nodes": [[1, 0, 0, 0], [2, 6, 0, 0], [3, 0, 6, 0]], "elements": [[1, 15, [1, 2, 3]]],
        "parts": [{"id": 1, "bodies": [{"id": 5, "elements": [1]}]}],
        "geometry": [{"id": 50, "kind": "edge", "body": 5, "edges": [[1, 2]]}]})"),
                                                        "host.json:/mesh"));
    ComPtr<TamperedMesh> mesh =
        MakeComObject<TamperedMesh>(CreateHostSimMeshObject(listed), -1, Tamper::kFailed);
    CMeshWrapper wrapper;
    mesh->refusePrepare = true;
    EXPECT_EQ(wrapper.SetMesh(mesh.Get()), E_FAIL);
    mesh->refusePrepare = false;
    ASSERT_EQ(wrapper.SetMesh(mesh.Get()), S_OK);
    std::map<int, double> weights;
    ASSERT_EQ(wrapper.GetEdgeNodeWeights(50, weights), S_OK);
    EXPECT_DOUBLE_EQ(weights[2], 3.0);
    mesh->refusedNode = 2;
    weights.clear();
    EXPECT_EQ(wrapper.GetEdgeNodeWeights(50, weights), E_FAIL);
}

}  // namespace
