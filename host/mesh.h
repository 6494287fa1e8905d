// The host's finite-element mesh as the add-in sees it: the mesh object (parts, bodies,
// geometry side, highest numbers) and its data interface (nodes, elements, scoped entities,
// element faces). Lists come back as owned containers, so nothing is handed back to the host.
#pragma once

#include <array>
#include <vector>

#include "platform/com.h"

// Element type codes of the host mesh. The deck writer's element tables are keyed by them.
enum HostElementType : int {
    kHET_Tetra10 = 0,
    kHET_Hexa20 = 1,
    kHET_Wedge15 = 2,
    kHET_Pyramid13 = 3,
    kHET_TriFacet6 = 4,
    kHET_Tri6 = 5,
    kHET_QuadFacet8 = 6,
    kHET_Quad8 = 7,
    kHET_Line3 = 8,
    kHET_Point1 = 9,
    kHET_Tetra4 = 10,
    kHET_Hexa8 = 11,
    kHET_Wedge6 = 12,
    kHET_Pyramid5 = 13,
    kHET_TriFacet3 = 14,
    kHET_Tri3 = 15,
    kHET_QuadFacet4 = 16,
    kHET_Quad4 = 17,
    kHET_Line2 = 18,
    kHET_LineLinear3 = 30,
    kHET_LineQuadratic4 = 31,
};
// Highest type code the typed queries accept (codes 19 to 29 name nothing).
constexpr int kHostElementTypeLast = 31;

// Selectors of the typed entity queries.
constexpr int kMeshSelectAll = 0;                   // the whole mesh
constexpr int kMeshSelectPart = 0x1000000;          // inside a part (entity id = part mesh id)
constexpr int kMeshSelectBody = 0x2000000;          // inside a body, or a mesh element (face) set
constexpr int kMeshSelectBodyOfPart = 0x3000000;    // nodes of a body (sub id) of a part (entity id)
constexpr int kMeshSelectGeometry = 0x4000000;      // reached through a geometric entity
constexpr int kMeshSelectBodyAt = 0x2000001;        // GetEntityAt: elements of a body
constexpr int kMeshSelectBodyOfPartAt = 0x3000001;  // GetEntityAt: elements of a body of a part
constexpr int kMeshSelectScopedEntity = 0x4002001;  // the mesh entity a scoped reference designates

// The flag of an element that the mesh reports as a shell (or 2D) element. The kind bits of
// geometry references are JXReference's (foundation/jx_list.h).
constexpr unsigned kHostShellElementFlag = 0x200000;

// Flag of a node attribute entry that marks the end node of an edge set.
constexpr int kNodeAttributeEndFlag = 0x8;
// Node attribute ids marking the low and high side of a cyclic-symmetry region.
constexpr int kNodeAttributeCyclicLow = 40048;
constexpr int kNodeAttributeCyclicHigh = 40049;
// Body property: the area of a surface body.
constexpr int kBodyPropertyArea = 40001;
// Kind the scoped-entity query reports for a reference that designates a node.
constexpr int kScopedKindNode = 99;

struct HostNodeAttribute {
    int id = 0;     // attribute id
    int flags = 0;  // flag word (kNodeAttributeEndFlag, ...)
    int value = 0;  // attribute value
};

// Nodes of a GetNodes call: ids[i] has coordinates xyz[3i .. 3i+2] (xyz stays empty when
// coordinates were not asked for).
struct HostNodeList {
    std::vector<int> ids;
    std::vector<double> xyz;
};

// Elements of one type: element ids[i] has nodes[i*nodesPerElement ...], in host order.
struct HostElementBlock {
    int nodesPerElement = 0;
    std::vector<int> ids;
    std::vector<int> nodes;
};

// Mesh faces of a geometric face, four flat node lists by face kind.
struct HostMeshFaces {
    std::vector<int> tri6;   // 6 nodes per face
    std::vector<int> quad8;  // 8 nodes per face
    std::vector<int> tri3;   // 3 nodes per face
    std::vector<int> quad4;  // 4 nodes per face
};

// Mesh edges of a geometric edge: 2 nodes per edge, 3 (ends, then middle) when quadratic.
struct HostMeshEdges {
    bool quadratic = false;
    std::vector<int> nodes;
};

struct HostElementFace {
    int element = 0;
    int faceIndex = 0;  // host face index, from 0
};

struct HostEntityRef {
    int id = 0;
    unsigned flags = 0;
};

struct HostMeshPart {
    int nodeCount = 0;
    int elementCount = 0;
    std::vector<int> bodyMeshIds;
};

// The mesh data interface: nodes, elements and everything reached by selector.
struct IHostMeshData : IUnknown {
    static constexpr IID kIid = MakeGuid("debaf403-bc7c-4b0d-8d95-7ac5761a1edc");
    static constexpr const IID& iid() { return kIid; }

    // Nodes of a scope: kMeshSelectAll (every node, in mesh order), kMeshSelectGeometry
    // (entityId = geometric entity), kMeshSelectBodyOfPart (entityId = part, subId = body),
    // kMeshSelectPart (entityId = part). Coordinates are filled when withCoordinates is set.
    [[nodiscard]] virtual HRESULT GetNodes(int selector, int entityId, int subId, bool withCoordinates,
                                           HostNodeList& out) = 0;
    [[nodiscard]] virtual HRESULT GetNodeCoordinates(int node, std::array<double, 3>& xyz) = 0;
    [[nodiscard]] virtual HRESULT GetNodeAttributes(int node, std::vector<HostNodeAttribute>& out) = 0;
    // S_FALSE with value 0 when the node carries no attribute of that id.
    [[nodiscard]] virtual HRESULT GetNodeAttribute(int node, int attributeId, int& value) = 0;

    [[nodiscard]] virtual HRESULT GetElementNodes(int element, std::vector<int>& nodes) = 0;
    [[nodiscard]] virtual HRESULT GetElementType(int element, int& type) = 0;
    [[nodiscard]] virtual HRESULT CountElementsOfType(int type, int& count) = 0;
    [[nodiscard]] virtual HRESULT GetElementsOfType(int type, HostElementBlock& out) = 0;
    // The entities an element belongs to (its body, with kHostShellElementFlag for a shell).
    [[nodiscard]] virtual HRESULT GetElementEntities(int element, std::vector<HostEntityRef>& out) = 0;

    // Node ids of a mesh element, by element number.
    [[nodiscard]] virtual HRESULT GetEntityIds(int entityId, std::vector<int>& ids) = 0;
    // Number of elements of a type (-1: all types) inside a scope: kMeshSelectBody (body or
    // element set), kMeshSelectPart, kMeshSelectGeometry, kMeshSelectScopedEntity.
    [[nodiscard]] virtual HRESULT CountEntities(int selector, int entityId, int subId, int elementType,
                                                int& count) = 0;
    // The element numbers of that count, in mesh order.
    [[nodiscard]] virtual HRESULT GetEntities(int selector, int entityId, int elementType,
                                              std::vector<int>& ids) = 0;
    // One id by position: kMeshSelectBodyOfPartAt (id1 part, id2 body), kMeshSelectBodyAt
    // (id1 body), kMeshSelectScopedEntity (id1 the reference; elementType filters, -1 any;
    // kScopedKindNode asks for a node).
    [[nodiscard]] virtual HRESULT GetEntityAt(int index, int selector, int id1, int id2, int elementType,
                                              int& out) = 0;
    // The kind (element type or kScopedKindNode) of the entity at a position of a scope.
    [[nodiscard]] virtual HRESULT GetEntityKindAt(int index, int selector, int id1, int& kind) = 0;

    // Node list of face k of an element (k from 0); E_INVALIDARG for a face it lacks.
    [[nodiscard]] virtual HRESULT GetElementFaceNodes(int element, int faceIndex,
                                                      std::vector<int>& nodes) = 0;
    // (element, face index) pairs of an element-face set whose faces are of the facet type.
    [[nodiscard]] virtual HRESULT GetElementFaces(int selector, int setId, int facetType,
                                                  std::vector<HostElementFace>& out) = 0;
    [[nodiscard]] virtual HRESULT GetElementsOfNode(int node, std::vector<int>& elements) = 0;

  protected:
    ~IHostMeshData() = default;
};

// The mesh object.
struct IHostMesh : IUnknown {
    static constexpr IID kIid = MakeGuid("5b0c6a7e-2f41-4d1e-9a63-0c8e4f2d71a5");
    static constexpr const IID& iid() { return kIid; }

    // Called with 0 before the mesh is used.
    [[nodiscard]] virtual HRESULT Prepare(int mode) = 0;
    // E_INVALIDARG for an unknown part mesh id; out may be null to test the id only.
    [[nodiscard]] virtual HRESULT GetPart(int partMeshId, HostMeshPart* out) = 0;
    [[nodiscard]] virtual HRESULT GetPartNodeIds(int partMeshId, std::vector<int>& ids) = 0;
    // A double property of a body of a part (kBodyPropertyArea); E_INVALIDARG when missing.
    [[nodiscard]] virtual HRESULT GetBodyProperty(int partMeshId, int bodyMeshId, int propertyId,
                                                  double& value) = 0;
    // Sector angle of a cyclic body in degrees; E_FAIL when the body has none.
    [[nodiscard]] virtual HRESULT GetBodySectorAngle(int bodyMeshId, double& degrees) = 0;
    [[nodiscard]] virtual HRESULT GetMaxNodeNumber(int& number) = 0;
    [[nodiscard]] virtual HRESULT GetMaxElementNumber(int& number) = 0;
    // Geometry side.
    [[nodiscard]] virtual HRESULT GetFaceMeshFaces(int faceEntityId, HostMeshFaces& out) = 0;
    [[nodiscard]] virtual HRESULT GetEdgeMeshEdges(int edgeEntityId, HostMeshEdges& out) = 0;

  protected:
    ~IHostMesh() = default;
};
