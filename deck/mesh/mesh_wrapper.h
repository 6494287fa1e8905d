// The deck writer's single door to the host mesh: node, element and part queries, the
// running group and extra element numbers, the extra nodes the deck adds, and the writers of
// the topology section and of the per-part element groups.
#pragma once

#include <array>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "foundation/jx_list.h"
#include "host/mesh.h"
#include "host/model_records.h"
#include "platform/com.h"

class CBodyAttributeWrapper;
class CElementWrapper;
class DorvixDeckFile;

// Element counts by shape, in the order the counting queries fill them.
struct MeshElementCounts {
    int hexahedra = 0;
    int wedges = 0;
    int pyramids = 0;
    int tetrahedra = 0;
    int quadrilaterals = 0;
    int triangles = 0;
    int lines = 0;

    int Volumes() const { return hexahedra + wedges + pyramids + tetrahedra; }
    int Total() const { return Volumes() + quadrilaterals + triangles + lines; }
};

// The answer of NextElementId and AddExtraNode when the numbers ran out: the mesh, or what the
// deck added before, reaches the largest number an element or a node can have.
constexpr HRESULT kE_NoNumberLeft = MakeHResult(0x80040202u);

class CMeshWrapper {
  public:
    // Order selectors of the counting queries.
    enum OrderSelector : int { kLinear = 0, kQuadratic = 1, kBothOrders = 2 };

    CMeshWrapper() = default;
    virtual ~CMeshWrapper() = default;
    CMeshWrapper(const CMeshWrapper&) = delete;
    CMeshWrapper& operator=(const CMeshWrapper&) = delete;

    // --- set-up, in the order the feeder calls them ---
    // Holds the mesh, prepares it and takes its data interface; E_FAIL without one, or the
    // mesh's answer when it cannot be prepared.
    [[nodiscard]] HRESULT SetMesh(IHostMesh* mesh);
    void SetPartCount(int count) { partCount_ = count; }
    void SetMeshUnitSystem(int code) { meshUnitSystem_ = code; }
    void SetDeckUnitSystem(int code) { deckUnitSystem_ = code; }
    // Keeps the body wrapper and takes each part's mesh id from its first body record.
    void SetBodyWrapper(CBodyAttributeWrapper* bodies);
    void SetCoordinateSystems(const std::vector<CoordinateSystemData>& systems);
    void SetModelValue(int value) { modelValue_ = value; }

    IHostMesh* GetMesh() const { return mesh_.Get(); }
    IHostMeshData* GetMeshData() const { return meshData_.Get(); }
    int GetPartCount() const { return partCount_; }
    int GetMeshUnitSystem() const { return meshUnitSystem_; }
    int GetDeckUnitSystem() const { return deckUnitSystem_; }
    const std::map<int, CoordSystemSafe>& GetCoordinateSystems() const { return frames_; }

    // --- numbering ---
    void SetGroupCounter(int value) { groupCounter_ = value; }
    int GetGroupCounter() const { return groupCounter_; }
    int NextGroupNumber() { return ++groupCounter_; }
    int PeekNextGroupNumber() const { return groupCounter_ + 1; }
    // Numbers for elements the deck adds, right after the mesh's highest element number;
    // kE_NoNumberLeft once the last number given is the largest an int holds.
    [[nodiscard]] HRESULT NextElementId(int* out);
    // A node the deck adds (at 0, 0, 0), numbered after the mesh's nodes; E_FAIL when the mesh
    // has no positive highest node number, kE_NoNumberLeft after the largest number.
    [[nodiscard]] HRESULT AddExtraNode(int* out);
    const std::map<int, Vector3>& GetExtraNodes() const { return extraNodes_; }
    // The element groups written for a body (by body id), in writing order; null for none.
    const std::vector<int>* GetBodyGroupNumbers(int bodyId) const;
    // Body mesh id of each rigid body to the node of its mass element.
    const std::map<int, int>& GetRigidBodyNodes() const { return rigidBodyNodes_; }

    // --- parts (by part index) ---
    int GetPartMeshId(int partIndex) const;
    [[nodiscard]] HRESULT CheckPart(int partIndex);
    int GetPartNodeCount(int partIndex);
    int GetPartElementCount(int partIndex);
    [[nodiscard]] HRESULT GetPartBodyNodeCount(int partIndex, int bodyMeshId, int* count);
    [[nodiscard]] HRESULT GetPartEntityIds(int partIndex, std::vector<int>& ids);

    // --- entities ---
    // Node ids of a mesh element; E_FAIL when the mesh fails or gives none.
    [[nodiscard]] HRESULT GetEntityIds(int entityId, JXList<unsigned int>& out);
    // The mesh entity a reference designates: kind in filters (-1 any; 18 a line or spring
    // element; kScopedKindNode a node), kind out is what was found; id its number.
    [[nodiscard]] HRESULT GetScopedNodeIds(int* kind, const JXReference& reference, int* id);
    // Number of mesh entities the scoped reference holds.
    [[nodiscard]] HRESULT GetScopedValue(int entityId, int* value);

    // --- geometry ---
    [[nodiscard]] HRESULT GetNodeCoordinates(bool convert, int node, Vector3& out);
    // The node in the deck's units; the origin when the mesh does not give it.
    Vector3 GetNodePoint(int node);
    double GetNodeDistance(int a, int b);
    // Length weights of the nodes of an edge's mesh edges, added to the map (a linear edge of
    // length L gives L/2 to each end, a quadratic one L/6 to each end and 2L/3 to its middle);
    // E_FAIL when the mesh does not give the coordinates of one of the nodes.
    [[nodiscard]] HRESULT GetEdgeNodeWeights(int edgeEntityId, std::map<int, double>& weights);
    [[nodiscard]] HRESULT GetEdgeNodeWeights(const JXReference& edge, std::map<int, double>& weights) {
        return GetEdgeNodeWeights(edge.id, weights);
    }
    [[nodiscard]] HRESULT GetEdgeNodeWeightsByReference(const JXReferenceList& references,
                                                        std::map<int, double>& weights);
    [[nodiscard]] HRESULT GetTabularThermalNodeValues(int component, const std::set<int>& nodes,
                                                      const CoordSystemSafe& frame, std::vector<double>& out);
    [[nodiscard]] HRESULT GetTabularPressureFaceValues(int component, const std::vector<int>& elements,
                                                       const std::vector<int>& deckFaces,
                                                       const CoordSystemSafe& frame,
                                                       std::vector<double>& out);
    // Pairs the low-side nodes of a cyclic-symmetry region with their high-side nodes by equal
    // attribute magnitude; an empty map means no pair.
    [[nodiscard]] HRESULT GetSymmetryRegionNodeSets(int selector, int bodyNumber,
                                                    const SymmetryRegionRecord& region,
                                                    std::map<int, int>& pairs);

    // --- topology section ---
    [[nodiscard]] int WriteNodes(DorvixDeckFile* deck);
    // The element lines of every family present. A block the host refuses, or whose node
    // count is not its type's, writes nothing; the others are still written and the answer
    // is then kRC_HostMeshRefused.
    [[nodiscard]] int WriteElements(DorvixDeckFile* deck);
    [[nodiscard]] HRESULT CountMeshElements(MeshElementCounts& counts, int orderSelector);
    // One family each; kRC_Success, or kRC_HostMeshRefused when a block of it was refused.
    [[nodiscard]] int WriteTetraElements(DorvixDeckFile* deck);
    [[nodiscard]] int WriteHexaElements(DorvixDeckFile* deck);
    [[nodiscard]] int WriteWedgeElements(DorvixDeckFile* deck);
    [[nodiscard]] int WritePyramidElements(DorvixDeckFile* deck);
    [[nodiscard]] int WriteShellElements(DorvixDeckFile* deck);

    // --- element groups ---
    [[nodiscard]] int WriteElementsForPart(int partIndex, int analysisKind, DorvixDeckFile* deck,
                                           CBodyAttributeWrapper* bodies);
    [[nodiscard]] int WriteBodyGroups(int partIndex, int analysisKind, DorvixDeckFile* deck,
                                      CBodyAttributeWrapper* bodies);
    [[nodiscard]] HRESULT CountBodyElements(int bodyMeshId, MeshElementCounts& counts, int orderSelector);
    // 0 only linear, 1 only quadratic, 2 both; E_FAIL (as a negative answer) without elements.
    [[nodiscard]] HRESULT ClassifyBodyOrder(int bodyMeshId, int* order);

  private:
    [[nodiscard]] int WriteSolidBodyGroups(int bodyIndex, int analysisKind, DorvixDeckFile* deck,
                                           CBodyAttributeWrapper* bodies);
    [[nodiscard]] int WriteSolidGroup(int bodyIndex, DorvixDeckFile* deck, CBodyAttributeWrapper* bodies,
                                      const CElementWrapper& descriptor);
    [[nodiscard]] int WriteSurfaceBodyGroup(int bodyIndex, int analysisKind, DorvixDeckFile* deck,
                                            CBodyAttributeWrapper* bodies);
    // The " I <id> ..." text of the body's elements of the descriptor's type; empty for none.
    [[nodiscard]] int WriteGroupElementIds(const CElementWrapper& descriptor, int bodyMeshId, int partMeshId,
                                           std::string& text);
    // Opens the body's next group with its element ids of each of the shapes; group gets its number.
    [[nodiscard]] int WriteBodyGroupIds(int bodyIndex, DorvixDeckFile* deck, CBodyAttributeWrapper* bodies,
                                        const CElementWrapper& descriptor, std::span<const int> shapes,
                                        int& group);
    [[nodiscard]] int WriteRigidBody(const BodyRecord* record, DorvixDeckFile* deck, bool twoDimensional);
    [[nodiscard]] int WriteFamily(DorvixDeckFile* deck, std::initializer_list<int> types,
                                  void (DorvixDeckFile::*writer)(int, int, const int*));
    [[nodiscard]] HRESULT CountElements(int selector, int entityId, MeshElementCounts& counts,
                                        int orderSelector);
    void RecordGroup(int bodyId, int group) { bodyGroups_[bodyId].push_back(group); }
    double ToDeckLength(double value) const;
    double FrameComponent(const CoordSystemSafe& frame, const Vector3& point, int component) const;

    int partCount_ = 0;
    int groupCounter_ = 0;
    std::map<int, CoordSystemSafe> frames_;
    std::map<int, Vector3> extraNodes_;
    // The last element number given out; unset until the mesh's highest number is read.
    std::optional<int> elementCounter_;
    std::map<int, int> rigidBodyNodes_;
    std::map<int, std::vector<int>> bodyGroups_;
    int deckUnitSystem_ = -1;
    int meshUnitSystem_ = -1;
    CBodyAttributeWrapper* bodies_ = nullptr;
    ComPtr<IHostMesh> mesh_;
    ComPtr<IHostMeshData> meshData_;
    std::vector<int> partMeshIds_;
    int modelValue_ = 0;
};
