// The mesh object's answers: nodes and elements of a scope in mesh order, parts, bodies, references, faces.
#include "hostsim/mesh_object.h"

#include <algorithm>
#include <map>
#include <set>

#include "hostsim/mesh_faces.h"
#include "platform/com_object.h"

namespace {

bool IsShellType(int type) {
    return type == kHET_Tri6 || type == kHET_Quad8 || type == kHET_Tri3 || type == kHET_Quad4;
}

class HostSimMeshObject final : public ComObject<HostSimMeshObject, IHostMesh, IHostMeshData> {
  public:
    explicit HostSimMeshObject(std::shared_ptr<const HostSimMesh> mesh) : mesh_(std::move(mesh)) {}

    // IHostMesh
    // The file-backed mesh is complete from the start: nothing to prepare.
    [[nodiscard]] HRESULT Prepare(int) override { return S_OK; }
    [[nodiscard]] HRESULT GetPart(int partMeshId, HostMeshPart* out) override;
    [[nodiscard]] HRESULT GetPartNodeIds(int partMeshId, std::vector<int>& ids) override;
    [[nodiscard]] HRESULT GetBodyProperty(int partMeshId, int bodyMeshId, int propertyId,
                                          double& value) override;
    [[nodiscard]] HRESULT GetBodySectorAngle(int bodyMeshId, double& degrees) override;
    [[nodiscard]] HRESULT GetMaxNodeNumber(int& number) override {
        number = m().MaxNodeNumber();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetMaxElementNumber(int& number) override {
        number = m().MaxElementNumber();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetFaceMeshFaces(int faceEntityId, HostMeshFaces& out) override;
    [[nodiscard]] HRESULT GetEdgeMeshEdges(int edgeEntityId, HostMeshEdges& out) override;

    // IHostMeshData
    [[nodiscard]] HRESULT GetNodes(int selector, int entityId, int subId, bool withCoordinates,
                                   HostNodeList& out) override;
    [[nodiscard]] HRESULT GetNodeCoordinates(int node, std::array<double, 3>& xyz) override;
    [[nodiscard]] HRESULT GetNodeAttributes(int node, std::vector<HostNodeAttribute>& out) override;
    [[nodiscard]] HRESULT GetNodeAttribute(int node, int attributeId, int& value) override;
    [[nodiscard]] HRESULT GetElementNodes(int element, std::vector<int>& nodes) override;
    [[nodiscard]] HRESULT GetElementType(int element, int& type) override;
    [[nodiscard]] HRESULT CountElementsOfType(int type, int& count) override;
    [[nodiscard]] HRESULT GetElementsOfType(int type, HostElementBlock& out) override;
    [[nodiscard]] HRESULT GetElementEntities(int element, std::vector<HostEntityRef>& out) override;
    [[nodiscard]] HRESULT GetEntityIds(int entityId, std::vector<int>& ids) override {
        return GetElementNodes(entityId, ids);
    }
    [[nodiscard]] HRESULT CountEntities(int selector, int entityId, int subId, int elementType,
                                        int& count) override;
    [[nodiscard]] HRESULT GetEntities(int selector, int entityId, int elementType,
                                      std::vector<int>& ids) override;
    [[nodiscard]] HRESULT GetEntityAt(int index, int selector, int id1, int id2, int elementType,
                                      int& out) override;
    [[nodiscard]] HRESULT GetEntityKindAt(int index, int selector, int id1, int& kind) override;
    [[nodiscard]] HRESULT GetElementFaceNodes(int element, int faceIndex, std::vector<int>& nodes) override;
    [[nodiscard]] HRESULT GetElementFaces(int selector, int setId, int facetType,
                                          std::vector<HostElementFace>& out) override;
    [[nodiscard]] HRESULT GetElementsOfNode(int node, std::vector<int>& elements) override;

  private:
    const HostSimMesh& m() const { return *mesh_; }
    // Element numbers of a scope in mesh order, or false for an unknown scope.
    bool ScopeElements(int selector, int entityId, std::vector<int>& out) const;
    void GeometryElements(const HostSimMesh::GeometryEntity& g, std::vector<int>& out) const;
    void NodesOfElements(const std::vector<int>& elements, std::vector<int>& out) const;
    void SortByMeshOrder(std::vector<int>& elements) const;
    const HostSimMesh::Body* BodyOfPart(int partMeshId, int bodyMeshId) const;
    const std::vector<int>& PartNodes(const HostSimMesh::Part& part);

    std::shared_ptr<const HostSimMesh> mesh_;
    std::map<int, std::vector<int>> partNodes_;
};

// --- helpers -------------------------------------------------------------------------

void HostSimMeshObject::SortByMeshOrder(std::vector<int>& elements) const {
    std::sort(elements.begin(), elements.end(),
              [&](int a, int b) { return m().ElementIndex(a) < m().ElementIndex(b); });
    elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
}

void HostSimMeshObject::NodesOfElements(const std::vector<int>& elements, std::vector<int>& out) const {
    out.clear();
    // A table over all node numbers is fast for the usual compact numbering; numbers spread far
    // apart (a few nodes numbered in the millions) are sorted instead.
    const std::size_t table = static_cast<std::size_t>(m().MaxNodeNumber()) + 1;
    if (table > 64 * m().NodeCount() + 4096) {
        for (int e : elements) {
            int n = 0;
            const int* nodes = m().ElementNodesAt(m().ElementIndex(e), n);
            out.insert(out.end(), nodes, nodes + n);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return;
    }
    std::vector<bool> seen(table, false);
    for (int e : elements) {
        int n = 0;
        const int* nodes = m().ElementNodesAt(m().ElementIndex(e), n);
        for (int i = 0; i < n; ++i) seen[nodes[i]] = true;
    }
    for (std::size_t id = 0; id < seen.size(); ++id)
        if (seen[id]) out.push_back(static_cast<int>(id));
}

const HostSimMesh::Body* HostSimMeshObject::BodyOfPart(int partMeshId, int bodyMeshId) const {
    const HostSimMesh::Body* body = m().FindBody(bodyMeshId);
    return body && body->partMeshId == partMeshId ? body : nullptr;
}

const std::vector<int>& HostSimMeshObject::PartNodes(const HostSimMesh::Part& part) {
    auto it = partNodes_.find(part.meshId);
    if (it != partNodes_.end()) return it->second;
    std::vector<int> elements;
    for (int b : part.bodies) {
        const auto& list = m().Bodies()[b].elements;
        elements.insert(elements.end(), list.begin(), list.end());
    }
    std::vector<int> nodes;
    NodesOfElements(elements, nodes);
    return partNodes_[part.meshId] = std::move(nodes);
}

// The elements of the entity's body that hold one of its mesh faces, edges or its vertex.
void HostSimMeshObject::GeometryElements(const HostSimMesh::GeometryEntity& g, std::vector<int>& out) const {
    out.clear();
    auto collect = [&](const int* nodes, std::size_t count, bool wholeFace) {
        const std::vector<int> found = m().BodyElementsHolding(g.bodyMeshId, nodes, count, wholeFace);
        out.insert(out.end(), found.begin(), found.end());
    };
    switch (g.kind) {
        case HostSimMesh::GeometryKind::kFace: {
            const std::pair<const std::vector<int>*, std::size_t> lists[] = {
                {&g.faces.tri6, 6}, {&g.faces.quad8, 8}, {&g.faces.tri3, 3}, {&g.faces.quad4, 4}};
            for (const auto& [list, per] : lists)
                for (std::size_t i = 0; i + per <= list->size(); i += per)
                    collect(list->data() + i, per, true);
            break;
        }
        case HostSimMesh::GeometryKind::kEdge: {
            const std::size_t per = g.edges.quadratic ? 3 : 2;
            for (std::size_t i = 0; i + per <= g.edges.nodes.size(); i += per)
                collect(&g.edges.nodes[i], per, false);
            break;
        }
        case HostSimMesh::GeometryKind::kVertex:
            collect(&g.vertexNode, 1, false);
            break;
    }
    SortByMeshOrder(out);
}

bool HostSimMeshObject::ScopeElements(int selector, int entityId, std::vector<int>& out) const {
    out.clear();
    switch (selector) {
        case kMeshSelectAll:
            out.reserve(m().ElementCount());
            for (std::size_t i = 0; i < m().ElementCount(); ++i) out.push_back(m().ElementIdAt(i));
            return true;
        case kMeshSelectBody:
            if (const auto* body = m().FindBody(entityId)) {
                out = body->elements;
                return true;
            }
            if (const auto* set = m().FindElementSet(entityId)) {
                out = *set;
                SortByMeshOrder(out);
                return true;
            }
            if (const auto* faces = m().FindElementFaceSet(entityId)) {
                for (const HostElementFace& f : *faces) out.push_back(f.element);
                SortByMeshOrder(out);
                return true;
            }
            return false;
        case kMeshSelectPart:
            if (const auto* part = m().FindPart(entityId)) {
                for (int b : part->bodies) {
                    const auto& list = m().Bodies()[b].elements;
                    out.insert(out.end(), list.begin(), list.end());
                }
                SortByMeshOrder(out);
                return true;
            }
            return false;
        case kMeshSelectGeometry:
            if (const auto* body = m().FindBody(entityId)) {
                out = body->elements;
                return true;
            }
            if (const auto* g = m().FindGeometry(entityId)) {
                GeometryElements(*g, out);
                return true;
            }
            return false;
        default:
            return false;
    }
}

// --- IHostMesh -----------------------------------------------------------------------

HRESULT HostSimMeshObject::GetPart(int partMeshId, HostMeshPart* out) {
    const HostSimMesh::Part* part = m().FindPart(partMeshId);
    if (!part) return E_INVALIDARG;
    if (!out) return S_OK;
    out->bodyMeshIds.clear();
    out->elementCount = 0;
    for (int b : part->bodies) {
        out->bodyMeshIds.push_back(m().Bodies()[b].meshId);
        out->elementCount += static_cast<int>(m().Bodies()[b].elements.size());
    }
    out->nodeCount = static_cast<int>(PartNodes(*part).size());
    return S_OK;
}

HRESULT HostSimMeshObject::GetPartNodeIds(int partMeshId, std::vector<int>& ids) {
    const HostSimMesh::Part* part = m().FindPart(partMeshId);
    if (!part) return E_INVALIDARG;
    ids = PartNodes(*part);
    return S_OK;
}

HRESULT HostSimMeshObject::GetBodyProperty(int partMeshId, int bodyMeshId, int propertyId, double& value) {
    const HostSimMesh::Body* body = BodyOfPart(partMeshId, bodyMeshId);
    if (!body || propertyId != kBodyPropertyArea || !body->area) return E_INVALIDARG;
    value = *body->area;
    return S_OK;
}

HRESULT HostSimMeshObject::GetBodySectorAngle(int bodyMeshId, double& degrees) {
    const HostSimMesh::Body* body = m().FindBody(bodyMeshId);
    if (!body || !body->sectorAngle) return E_FAIL;
    degrees = *body->sectorAngle;
    return S_OK;
}

HRESULT HostSimMeshObject::GetFaceMeshFaces(int faceEntityId, HostMeshFaces& out) {
    const auto* g = m().FindGeometry(faceEntityId);
    if (!g || g->kind != HostSimMesh::GeometryKind::kFace) return E_INVALIDARG;
    out = g->faces;
    return S_OK;
}

HRESULT HostSimMeshObject::GetEdgeMeshEdges(int edgeEntityId, HostMeshEdges& out) {
    const auto* g = m().FindGeometry(edgeEntityId);
    if (!g || g->kind != HostSimMesh::GeometryKind::kEdge) return E_INVALIDARG;
    out = g->edges;
    return S_OK;
}

// --- IHostMeshData -------------------------------------------------------------------

HRESULT HostSimMeshObject::GetNodes(int selector, int entityId, int subId, bool withCoordinates,
                                    HostNodeList& out) {
    out.ids.clear();
    out.xyz.clear();
    std::vector<int> elements;
    switch (selector) {
        case kMeshSelectAll:
            out.ids.reserve(m().NodeCount());
            for (std::size_t i = 0; i < m().NodeCount(); ++i) out.ids.push_back(m().NodeIdAt(i));
            break;
        case kMeshSelectGeometry:
            if (const auto* g = m().FindGeometry(entityId)) {
                out.ids = g->nodes;
            } else if (const auto* body = m().FindBody(entityId)) {
                NodesOfElements(body->elements, out.ids);
            } else {
                return E_FAIL;
            }
            break;
        case kMeshSelectBodyOfPart: {
            const HostSimMesh::Body* body = BodyOfPart(entityId, subId);
            if (!body) return E_FAIL;
            NodesOfElements(body->elements, out.ids);
            break;
        }
        case kMeshSelectPart: {
            const HostSimMesh::Part* part = m().FindPart(entityId);
            if (!part) return E_FAIL;
            out.ids = PartNodes(*part);
            break;
        }
        default:
            return E_INVALIDARG;
    }
    if (withCoordinates) {
        out.xyz.reserve(3 * out.ids.size());
        for (int id : out.ids) {
            const double* p = m().NodeXyzAt(m().NodeIndex(id));
            out.xyz.insert(out.xyz.end(), p, p + 3);
        }
    }
    return S_OK;
}

HRESULT HostSimMeshObject::GetNodeCoordinates(int node, std::array<double, 3>& xyz) {
    const int pos = m().NodeIndex(node);
    if (pos < 0) return E_INVALIDARG;
    const double* p = m().NodeXyzAt(pos);
    xyz = {p[0], p[1], p[2]};
    return S_OK;
}

HRESULT HostSimMeshObject::GetNodeAttributes(int node, std::vector<HostNodeAttribute>& out) {
    if (m().NodeIndex(node) < 0) return E_INVALIDARG;
    const auto* list = m().NodeAttributes(node);
    out = list ? *list : std::vector<HostNodeAttribute>{};
    return S_OK;
}

HRESULT HostSimMeshObject::GetNodeAttribute(int node, int attributeId, int& value) {
    if (m().NodeIndex(node) < 0) return E_INVALIDARG;
    value = 0;
    if (const auto* list = m().NodeAttributes(node))
        for (const HostNodeAttribute& a : *list)
            if (a.id == attributeId) {
                value = a.value;
                return S_OK;
            }
    return S_FALSE;
}

HRESULT HostSimMeshObject::GetElementNodes(int element, std::vector<int>& nodes) {
    const int pos = m().ElementIndex(element);
    if (pos < 0) return E_INVALIDARG;
    int n = 0;
    const int* p = m().ElementNodesAt(pos, n);
    nodes.assign(p, p + n);
    return S_OK;
}

HRESULT HostSimMeshObject::GetElementType(int element, int& type) {
    const int pos = m().ElementIndex(element);
    if (pos < 0) return E_INVALIDARG;
    type = m().ElementTypeAt(pos);
    return S_OK;
}

HRESULT HostSimMeshObject::CountElementsOfType(int type, int& count) {
    if (type < 0 || type > kHostElementTypeLast) return E_INVALIDARG;
    count = static_cast<int>(m().ElementsOfType(type).size());
    return S_OK;
}

HRESULT HostSimMeshObject::GetElementsOfType(int type, HostElementBlock& out) {
    out.ids.clear();
    out.nodes.clear();
    out.nodesPerElement = 0;
    if (type < 0 || type > kHostElementTypeLast) return E_INVALIDARG;
    const std::vector<int>& positions = m().ElementsOfType(type);
    out.nodesPerElement = HostElementNodeCount(type);
    out.ids.reserve(positions.size());
    out.nodes.reserve(positions.size() * static_cast<std::size_t>(std::max(out.nodesPerElement, 0)));
    for (int pos : positions) {
        int n = 0;
        const int* p = m().ElementNodesAt(pos, n);
        out.ids.push_back(m().ElementIdAt(pos));
        out.nodes.insert(out.nodes.end(), p, p + n);
    }
    return S_OK;
}

HRESULT HostSimMeshObject::GetElementEntities(int element, std::vector<HostEntityRef>& out) {
    const int pos = m().ElementIndex(element);
    if (pos < 0) return E_INVALIDARG;
    out.clear();
    const int body = m().ElementBodyAt(pos);
    if (body >= 0)
        out.push_back(
            {m().Bodies()[body].meshId, IsShellType(m().ElementTypeAt(pos)) ? kHostShellElementFlag : 0u});
    return S_OK;
}

HRESULT HostSimMeshObject::CountEntities(int selector, int entityId, int subId, int elementType, int& count) {
    std::vector<int> ids;
    const HRESULT hr = GetEntities(selector, entityId, elementType, ids);
    if (FAILED(hr)) return hr;
    count = static_cast<int>(ids.size());
    return S_OK;
}

HRESULT HostSimMeshObject::GetEntities(int selector, int entityId, int elementType, std::vector<int>& ids) {
    ids.clear();
    if (selector == kMeshSelectScopedEntity) {
        // A reference designates one node or one element; the kind filters (-1: either).
        const auto* ref = m().FindReference(entityId);
        if (!ref) return E_FAIL;
        const int kind = ref->isNode ? kScopedKindNode : m().ElementTypeAt(m().ElementIndex(ref->target));
        if (elementType < 0 || elementType == kind) ids.push_back(ref->target);
        return S_OK;
    }
    if (selector == kMeshSelectBody && elementType >= 0) {
        // The per-type lists of a body answer the hot path of the element-group writer.
        if (const auto* body = m().FindBody(entityId)) {
            auto it = body->byType.find(elementType);
            if (it != body->byType.end()) ids = it->second;
            return S_OK;
        }
    }
    std::vector<int> all;
    if (!ScopeElements(selector, entityId, all)) return E_FAIL;
    if (elementType < 0) {
        ids = std::move(all);
        return S_OK;
    }
    for (int e : all)
        if (m().ElementTypeAt(m().ElementIndex(e)) == elementType) ids.push_back(e);
    return S_OK;
}

HRESULT HostSimMeshObject::GetEntityAt(int index, int selector, int id1, int id2, int elementType, int& out) {
    if (index < 0) return E_INVALIDARG;
    const HostSimMesh::Body* body = nullptr;
    switch (selector) {
        case kMeshSelectBodyOfPartAt:
            body = BodyOfPart(id1, id2);
            break;
        case kMeshSelectBodyAt:
            body = m().FindBody(id1);
            break;
        case kMeshSelectScopedEntity: {
            std::vector<int> ids;
            const HRESULT hr = GetEntities(selector, id1, elementType, ids);
            if (FAILED(hr)) return hr;
            if (index >= static_cast<int>(ids.size())) return E_INVALIDARG;
            out = ids[index];
            return S_OK;
        }
        default:
            return E_INVALIDARG;
    }
    if (!body) return E_FAIL;
    if (elementType < 0) {
        if (index >= static_cast<int>(body->elements.size())) return E_INVALIDARG;
        out = body->elements[index];
        return S_OK;
    }
    auto it = body->byType.find(elementType);
    if (it == body->byType.end() || index >= static_cast<int>(it->second.size())) return E_INVALIDARG;
    out = it->second[index];
    return S_OK;
}

HRESULT HostSimMeshObject::GetEntityKindAt(int index, int selector, int id1, int& kind) {
    if (selector != kMeshSelectScopedEntity || index != 0) return E_INVALIDARG;
    const auto* ref = m().FindReference(id1);
    if (!ref) return E_FAIL;
    kind = ref->isNode ? kScopedKindNode : m().ElementTypeAt(m().ElementIndex(ref->target));
    return S_OK;
}

HRESULT HostSimMeshObject::GetElementFaceNodes(int element, int faceIndex, std::vector<int>& nodes) {
    const int pos = m().ElementIndex(element);
    if (pos < 0) return E_FAIL;
    return m().ElementFaceNodes(pos, faceIndex, nodes) ? S_OK : E_INVALIDARG;
}

HRESULT HostSimMeshObject::GetElementFaces(int selector, int setId, int facetType,
                                           std::vector<HostElementFace>& out) {
    out.clear();
    if (selector != kMeshSelectBody) return E_INVALIDARG;
    const auto* faces = m().FindElementFaceSet(setId);
    if (!faces) return E_FAIL;
    for (const HostElementFace& f : *faces) {
        const int type = m().ElementTypeAt(m().ElementIndex(f.element));
        const int count = static_cast<int>(HostFaceNodePositions(type, f.faceIndex).size());
        if (FacetTypeOfFaceNodeCount(count) == facetType) out.push_back(f);
    }
    return S_OK;
}

HRESULT HostSimMeshObject::GetElementsOfNode(int node, std::vector<int>& elements) {
    if (m().NodeIndex(node) < 0) return E_INVALIDARG;
    const std::span<const int> found = m().ElementsOfNode(node);
    elements.assign(found.begin(), found.end());
    return S_OK;
}

}  // namespace

ComPtr<IHostMesh> CreateHostSimMeshObject(std::shared_ptr<const HostSimMesh> mesh) {
    ComPtr<IHostMesh> object;
    (void)CreateComInstanceWith<HostSimMeshObject>(nullptr, IHostMesh::iid(),
                                                   object.ReleaseAndGetVoidAddress(),
                                                   [&] { return new HostSimMeshObject(std::move(mesh)); });
    return object;
}
