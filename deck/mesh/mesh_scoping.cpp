// A scoping's nodes, elements and element faces: edge faces from non-solid elements, face nodes matched.
#include "deck/mesh/mesh_scoping.h"

#include <algorithm>

#include "deck/mesh/element_wrapper.h"

namespace {

ComPtr<IHostMeshData> DataOf(IHostMesh* mesh) {
    return mesh ? ComPtr<IHostMesh>(mesh).As<IHostMeshData>() : ComPtr<IHostMeshData>();
}

int SelectorOf(const JXReference& reference) {
    return reference.kind & (kJXReferenceElementFaces | kJXReferenceElements) ? kMeshSelectBody
                                                                              : kMeshSelectGeometry;
}

// The number (from 1) of the element's corner pair that the edge's end nodes form.
[[nodiscard]] HRESULT CornerPairNumber(IHostMeshData* data, int element, int type, const int* edge,
                                       int& number) {
    int corners = 0;
    std::vector<int> nodes;
    if (FAILED(data->GetElementNodes(element, nodes))) return E_FAIL;
    CElementWrapper::GetNodeCounts(type, nullptr, &corners);
    if (corners < 2 || static_cast<int>(nodes.size()) < corners) return E_FAIL;
    for (int i = 0; i < corners; ++i) {
        const int a = nodes[i], b = nodes[(i + 1) % corners];
        if ((a == edge[0] && b == edge[1]) || (a == edge[1] && b == edge[0])) {
            number = i + 1;
            return S_OK;
        }
    }
    return E_FAIL;
}

// The first element, in the mesh's own order, that holds every node of the mesh edge and is no
// solid, and the number of its corner pair on the edge. The corner pairs of a solid element are
// not its faces, so an edge that only solid elements hold has no element face.
[[nodiscard]] HRESULT EdgeFace(IHostMeshData* data, const int* edge, std::size_t per, int& element,
                               int& number) {
    std::vector<int> ordered;
    if (FAILED(data->GetElementsOfNode(edge[0], ordered))) return E_FAIL;
    std::vector<int> common = ordered;
    std::sort(common.begin(), common.end());
    std::vector<int> list;
    for (std::size_t i = 1; i < per && !common.empty(); ++i) {
        if (FAILED(data->GetElementsOfNode(edge[i], list))) return E_FAIL;
        std::sort(list.begin(), list.end());
        std::vector<int> both;
        std::set_intersection(common.begin(), common.end(), list.begin(), list.end(),
                              std::back_inserter(both));
        common.swap(both);
    }
    bool solid = false;
    for (int candidate : ordered) {
        if (!std::binary_search(common.begin(), common.end(), candidate)) continue;
        int type = -1;
        if (FAILED(data->GetElementType(candidate, type))) return E_FAIL;
        if (CElementWrapper::IsSolidType(type)) {
            solid = true;
            continue;
        }
        element = candidate;
        return CornerPairNumber(data, candidate, type, edge, number);
    }
    return solid ? kE_SolidElementEdge : E_FAIL;
}

[[nodiscard]] HRESULT EdgeFaces(IHostMesh* mesh, IHostMeshData* data, int entityId,
                                std::vector<int>& elements, std::vector<int>& faces) {
    HostMeshEdges edges;
    HRESULT hr = mesh->GetEdgeMeshEdges(entityId, edges);
    if (FAILED(hr)) return hr;
    const std::size_t per = edges.quadratic ? 3 : 2;
    for (std::size_t i = 0; i + per <= edges.nodes.size(); i += per) {
        int element = 0, number = 0;
        hr = EdgeFace(data, &edges.nodes[i], per, element, number);
        if (FAILED(hr)) return hr;
        elements.push_back(element);
        faces.push_back(number);
    }
    return S_OK;
}

[[nodiscard]] HRESULT FaceFaces(IHostMesh* mesh, IHostMeshData* data, int entityId,
                                std::vector<int>& elements, std::vector<int>& faces) {
    HostMeshFaces meshFaces;
    HRESULT hr = mesh->GetFaceMeshFaces(entityId, meshFaces);
    if (FAILED(hr)) return hr;
    const std::pair<const std::vector<int>*, std::size_t> lists[] = {
        {&meshFaces.tri6, 6}, {&meshFaces.quad8, 8}, {&meshFaces.tri3, 3}, {&meshFaces.quad4, 4}};
    std::vector<int> candidates, faceNodes;
    for (const auto& [list, per] : lists) {
        for (std::size_t f = 0; f + per <= list->size(); f += per) {
            const int* face = list->data() + f;
            if (FAILED(data->GetElementsOfNode(face[0], candidates))) return E_FAIL;
            bool found = false;
            for (int element : candidates) {
                int type = -1;
                if (FAILED(data->GetElementType(element, type))) continue;
                const int probes = CElementWrapper::GetFaceProbeCount(type);
                for (int k = 0; k < probes && !found; ++k) {
                    if (FAILED(data->GetElementFaceNodes(element, k, faceNodes))) continue;
                    if (faceNodes.size() != per) continue;
                    found = std::all_of(faceNodes.begin(), faceNodes.end(), [face, per = per](int n) {
                        return std::find(face, face + per, n) != face + per;
                    });
                    if (found) {
                        const int deck = CElementWrapper::ToDeckFaceNumber(k, type);
                        elements.push_back(element);
                        faces.push_back(deck == -1 ? k + 1 : deck);
                    }
                }
                if (found) break;
            }
            if (!found) return E_FAIL;
        }
    }
    return S_OK;
}

[[nodiscard]] HRESULT ElementFaceSetFaces(IHostMeshData* data, int setId, std::vector<int>& elements,
                                          std::vector<int>& faces) {
    static constexpr int kFacetTypes[] = {kHET_TriFacet3, kHET_TriFacet6, kHET_QuadFacet4, kHET_QuadFacet8};
    std::vector<HostElementFace> pairs;
    for (int facet : kFacetTypes) {
        HRESULT hr = data->GetElementFaces(kMeshSelectBody, setId, facet, pairs);
        if (FAILED(hr)) return hr;
        for (const HostElementFace& p : pairs) {
            int type = -1;
            hr = data->GetElementType(p.element, type);
            if (FAILED(hr)) return hr;
            const int deck = CElementWrapper::ToDeckFaceNumber(p.faceIndex, type);
            elements.push_back(p.element);
            faces.push_back(deck == -1 ? p.faceIndex + 1 : deck);
        }
    }
    return S_OK;
}

}  // namespace

HRESULT GetScopingNodeIds(IHostMesh* mesh, int entityId, std::vector<int>& nodes) {
    const ComPtr<IHostMeshData> data = DataOf(mesh);
    if (!data) return E_FAIL;
    HostNodeList list;
    if (FAILED(data->GetNodes(kMeshSelectGeometry, entityId, 0, false, list))) return E_FAIL;
    nodes.insert(nodes.end(), list.ids.begin(), list.ids.end());
    return S_OK;
}

HRESULT GetScopingNodeIds(IHostMesh* mesh, const JXReference& reference, std::vector<int>& nodes) {
    return GetScopingNodeIds(mesh, reference.id, nodes);
}

HRESULT GetFlaggedNodesOfSet(IHostMesh* mesh, const std::set<int>& nodes, int* first, int* second) {
    if (first) *first = -1;
    if (second) *second = -1;
    const ComPtr<IHostMeshData> data = DataOf(mesh);
    if (!data || !first || !second) return E_FAIL;
    std::vector<int> flagged;
    std::vector<HostNodeAttribute> attributes;
    for (int node : nodes) {
        if (FAILED(data->GetNodeAttributes(node, attributes))) return E_FAIL;
        if (std::any_of(attributes.begin(), attributes.end(),
                        [](const HostNodeAttribute& a) { return (a.flags & kNodeAttributeEndFlag) != 0; }))
            flagged.push_back(node);
    }
    if (flagged.size() == 1) {
        *first = *second = flagged[0];
        return S_OK;
    }
    if (flagged.size() == 2) {
        *first = flagged[0];  // the set is ascending
        *second = flagged[1];
        return S_OK;
    }
    return E_FAIL;
}

HRESULT GetScopingIdsByKind(IHostMesh* mesh, const JXReference& reference, std::vector<int>& elements) {
    const ComPtr<IHostMeshData> data = DataOf(mesh);
    if (!data) return E_FAIL;
    const int selector = SelectorOf(reference);
    std::vector<int> ids;
    for (int type = 0; type <= kHostElementTypeLast; ++type) {
        if (FAILED(data->GetEntities(selector, reference.id, type, ids))) return E_FAIL;
        elements.insert(elements.end(), ids.begin(), ids.end());
    }
    return S_OK;
}

HRESULT GetScopingFaces(IHostMesh* mesh, const JXReference& reference, std::vector<int>& elements,
                        std::vector<int>& faces) {
    const ComPtr<IHostMeshData> data = DataOf(mesh);
    if (!data) return E_FAIL;
    if (reference.kind & kJXReferenceEdge) return EdgeFaces(mesh, data.Get(), reference.id, elements, faces);
    if (reference.kind & kJXReferenceFace) return FaceFaces(mesh, data.Get(), reference.id, elements, faces);
    if (reference.kind & kJXReferenceElementFaces)
        return ElementFaceSetFaces(data.Get(), reference.id, elements, faces);
    if (reference.kind & kJXReferenceElements) {
        const HRESULT hr = GetScopingIdsByKind(mesh, reference, elements);
        faces.resize(elements.size(), 1);
        return hr;
    }
    return E_FAIL;
}
