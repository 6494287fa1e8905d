// The simulated host's mesh: nodes, elements, parts and bodies, geometric entities with
// their mesh scoping, element sets, element-face sets and references to single mesh
// entities. Built once (from host.json or by the block generator), then only read.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/mesh.h"

// Bad mesh input: the text says what is wrong; the loaders put the place in front of it.
class HostSimMeshError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class HostSimMesh {
  public:
    enum class GeometryKind { kFace, kEdge, kVertex };
    // Attribute id of the entries that flag the end nodes of a geometric edge (their value is the
    // edge's id).
    static constexpr int kEdgeEndAttributeId = 0;

    struct Body {
        int meshId = 0;
        int partMeshId = 0;
        std::vector<int> elements;               // element numbers, mesh order
        std::map<int, std::vector<int>> byType;  // element numbers by type, mesh order
        std::optional<double> area;
        std::optional<double> sectorAngle;
    };
    struct Part {
        int meshId = 0;
        std::vector<int> bodies;  // indices into Bodies()
    };
    struct GeometryEntity {
        int id = 0;
        GeometryKind kind = GeometryKind::kFace;
        int bodyMeshId = 0;
        HostMeshFaces faces;     // kFace
        HostMeshEdges edges;     // kEdge
        int vertexNode = 0;      // kVertex
        std::vector<int> nodes;  // every node of the entity, ascending
    };
    struct Reference {
        int id = 0;
        bool isNode = false;
        int target = 0;  // element or node number
    };
    // A block the generator built, kept so that the case's geometry can describe its sides.
    struct GeneratedBlock {
        int bodyMeshId = 0;
        bool sheet = false;
        std::array<double, 3> origin{};
        std::array<double, 3> size{};
        int firstEntityId = 0;  // ids in the order of MeshBlockRequest::firstEntityId
    };

    // --- building (each throws HostSimMeshError with the reason) ---
    void AddNode(int id, double x, double y, double z);
    void AddNodeAttribute(int node, const HostNodeAttribute& attribute);
    void AddElement(int id, int type, const std::vector<int>& nodes);
    void AddPart(int partMeshId);
    void AddBody(int partMeshId, int bodyMeshId, const std::vector<int>& elements);
    void SetBodyArea(int bodyMeshId, double area);
    void SetBodySectorAngle(int bodyMeshId, double degrees);
    // `checked` off skips the test that every mesh face is a face of the body (the generator
    // builds its faces from the elements themselves).
    void AddGeometricFace(int id, int bodyMeshId, HostMeshFaces faces, bool checked = true);
    void AddGeometricEdge(int id, int bodyMeshId, HostMeshEdges edges, bool checked = true);
    void AddGeometricVertex(int id, int bodyMeshId, int node);
    void AddElementSet(int id, const std::vector<int>& elements);
    void AddElementFaceSet(int id, const std::vector<HostElementFace>& faces);
    void AddReference(int id, bool isNode, int target);
    void AddGeneratedBlock(const GeneratedBlock& block) { generatedBlocks_.push_back(block); }
    // Reserves room for a known mesh size (the generator).
    void Reserve(std::size_t nodes, std::size_t elements, std::size_t elementNodes);

    // --- reading ---
    std::size_t NodeCount() const { return nodeIds_.size(); }
    std::size_t ElementCount() const { return elementIds_.size(); }
    int NodeIdAt(std::size_t i) const { return nodeIds_[i]; }
    const double* NodeXyzAt(std::size_t i) const { return &xyz_[3 * i]; }
    // Position of a node or element by number; -1 when there is none.
    int NodeIndex(int id) const { return nodeIndex_.Find(id); }
    int ElementIndex(int id) const { return elementIndex_.Find(id); }
    int ElementIdAt(std::size_t i) const { return elementIds_[i]; }
    int ElementTypeAt(std::size_t i) const { return elementTypes_[i]; }
    const int* ElementNodesAt(std::size_t i, int& count) const {
        count = static_cast<int>(elementOffsets_[i + 1] - elementOffsets_[i]);
        return elementNodes_.data() + elementOffsets_[i];
    }
    int ElementBodyAt(std::size_t i) const { return elementBody_[i]; }  // body index or -1
    const std::vector<int>& ElementsOfType(int type) const;             // element positions
    int MaxNodeNumber() const { return maxNode_; }
    int MaxElementNumber() const { return maxElement_; }

    const std::vector<Part>& Parts() const { return parts_; }
    const std::vector<Body>& Bodies() const { return bodies_; }
    const Part* FindPart(int partMeshId) const;
    const Body* FindBody(int bodyMeshId) const;
    const GeometryEntity* FindGeometry(int id) const;
    const std::vector<int>* FindElementSet(int id) const;
    const std::vector<HostElementFace>* FindElementFaceSet(int id) const;
    const Reference* FindReference(int id) const;
    const std::vector<GeneratedBlock>& GeneratedBlocks() const { return generatedBlocks_; }
    const std::vector<HostNodeAttribute>* NodeAttributes(int node) const;
    // Element numbers containing the node, mesh order; empty for a node no element holds.
    std::span<const int> ElementsOfNode(int node) const;
    // Builds the index of the elements of each node now; until then the first question builds
    // it, and an element added later has it built again at the next one.
    void IndexElementsOfNodes() const;
    // Face node numbers of face k of an element position; false for a face it lacks.
    bool ElementFaceNodes(std::size_t elementPos, int faceIndex, std::vector<int>& nodes) const;
    // Element numbers of the body that hold all of the nodes (with wholeFace: that have a face of
    // exactly those nodes), in the order of ElementsOfNode.
    std::vector<int> BodyElementsHolding(int bodyMeshId, const int* nodes, std::size_t count,
                                         bool wholeFace) const;

  private:
    // Number to position: a dense table while numbers stay compact, a hash map otherwise.
    class IdIndex {
      public:
        int Find(int id) const {
            if (id >= 0 && static_cast<std::size_t>(id) < dense_.size()) return dense_[id];
            return FindSparse(id);
        }
        bool Insert(int id, int pos);  // false when the id is taken
      private:
        int FindSparse(int id) const;
        std::vector<int> dense_;
        std::unordered_map<int, int> sparse_;
        std::size_t count_ = 0;
    };

    void ClaimEntityId(int id, const char* what);
    void CheckNode(int node) const;

    std::vector<int> nodeIds_;
    std::vector<double> xyz_;
    IdIndex nodeIndex_;
    std::unordered_map<int, std::vector<HostNodeAttribute>> attributes_;

    std::vector<int> elementIds_;
    std::vector<int> elementTypes_;
    std::vector<std::int64_t> elementOffsets_{0};
    std::vector<int> elementNodes_;
    std::vector<int> elementBody_;
    IdIndex elementIndex_;
    std::array<std::vector<int>, kHostElementTypeLast + 1> byType_;
    int maxNode_ = 0;
    int maxElement_ = 0;

    std::vector<Part> parts_;
    std::vector<Body> bodies_;
    std::map<int, int> partByMeshId_;
    std::map<int, int> bodyByMeshId_;
    std::map<int, std::string> entityIds_;  // ids shared by bodies, geometry, sets, references
    std::map<int, GeometryEntity> geometry_;
    std::map<int, std::vector<int>> elementSets_;
    std::map<int, std::vector<HostElementFace>> elementFaceSets_;
    std::map<int, Reference> references_;
    std::vector<GeneratedBlock> generatedBlocks_;

    // The elements of the node at position i are nodeElements_[nodeElementOffsets_[i] ..
    // nodeElementOffsets_[i + 1]), element numbers in mesh order.
    mutable std::vector<std::int64_t> nodeElementOffsets_;
    mutable std::vector<int> nodeElements_;
    mutable bool elementsOfNodeBuilt_ = false;
};
