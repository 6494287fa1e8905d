// Mesh set-up, extra element and node numbers, part and entity queries, edge weights, cyclic node pairs.
#include "deck/mesh/mesh_wrapper.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/element_wrapper.h"
#include "deck/mesh/mesh_scoping.h"
#include "foundation/unit_systems.h"

// ---------------------------------------------------------------------------------------
// Set-up

HRESULT CMeshWrapper::SetMesh(IHostMesh* mesh) {
    mesh_ = ComPtr<IHostMesh>(mesh);
    meshData_ = nullptr;
    if (!mesh_) return E_FAIL;
    const HRESULT prepared = mesh_->Prepare(0);
    if (FAILED(prepared)) return prepared;
    meshData_ = mesh_.As<IHostMeshData>();
    return meshData_ ? S_OK : E_FAIL;
}

void CMeshWrapper::SetBodyWrapper(CBodyAttributeWrapper* bodies) {
    bodies_ = bodies;
    partMeshIds_.assign(static_cast<std::size_t>(std::max(partCount_, 0)), 0);
    if (!bodies_) return;
    for (int part = 0; part < partCount_; ++part) {
        const std::vector<int> indices = bodies_->GetPartBodies(part);
        if (!indices.empty()) partMeshIds_[part] = bodies_->GetBodyPartId(indices.front());
    }
}

void CMeshWrapper::SetCoordinateSystems(const std::vector<CoordinateSystemData>& systems) {
    frames_.clear();
    for (const CoordinateSystemData& c : systems) frames_[c.id] = c.frame;
}

// ---------------------------------------------------------------------------------------
// Numbering

HRESULT CMeshWrapper::NextElementId(int* out) {
    if (!out) return E_FAIL;
    if (!elementCounter_) {
        if (!mesh_) return E_FAIL;
        int highest = 0;
        const HRESULT hr = mesh_->GetMaxElementNumber(highest);
        if (FAILED(hr)) return hr;
        elementCounter_ = highest;
    }
    if (*elementCounter_ == std::numeric_limits<int>::max()) return kE_NoNumberLeft;
    *out = ++*elementCounter_;
    return S_OK;
}

HRESULT CMeshWrapper::AddExtraNode(int* out) {
    if (!out || !mesh_) return E_FAIL;
    int highest = 0;
    if (FAILED(mesh_->GetMaxNodeNumber(highest)) || highest < 1) return E_FAIL;
    if (!extraNodes_.empty()) highest = extraNodes_.rbegin()->first;
    if (highest == std::numeric_limits<int>::max()) return kE_NoNumberLeft;
    *out = highest + 1;
    extraNodes_[*out] = Vector3{};
    return S_OK;
}

const std::vector<int>* CMeshWrapper::GetBodyGroupNumbers(int bodyId) const {
    auto it = bodyGroups_.find(bodyId);
    return it == bodyGroups_.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------
// Parts

int CMeshWrapper::GetPartMeshId(int partIndex) const {
    if (partIndex < 0 || partIndex >= static_cast<int>(partMeshIds_.size())) return 0;
    return partMeshIds_[partIndex];
}

HRESULT CMeshWrapper::CheckPart(int partIndex) {
    if (!mesh_) return E_FAIL;
    return mesh_->GetPart(GetPartMeshId(partIndex), nullptr);
}

int CMeshWrapper::GetPartNodeCount(int partIndex) {
    HostMeshPart part;
    if (!mesh_ || FAILED(mesh_->GetPart(GetPartMeshId(partIndex), &part))) return 0;
    return part.nodeCount;
}

int CMeshWrapper::GetPartElementCount(int partIndex) {
    HostMeshPart part;
    if (!mesh_ || FAILED(mesh_->GetPart(GetPartMeshId(partIndex), &part))) return 0;
    return part.elementCount;
}

HRESULT CMeshWrapper::GetPartBodyNodeCount(int partIndex, int bodyMeshId, int* count) {
    if (!meshData_ || !count) return E_FAIL;
    HostNodeList nodes;
    const HRESULT hr =
        meshData_->GetNodes(kMeshSelectBodyOfPart, GetPartMeshId(partIndex), bodyMeshId, false, nodes);
    if (FAILED(hr)) return hr;
    *count = static_cast<int>(nodes.ids.size());
    return S_OK;
}

HRESULT CMeshWrapper::GetPartEntityIds(int partIndex, std::vector<int>& ids) {
    if (!mesh_) return E_FAIL;
    return mesh_->GetPartNodeIds(GetPartMeshId(partIndex), ids);
}

// ---------------------------------------------------------------------------------------
// Entities

HRESULT CMeshWrapper::GetEntityIds(int entityId, JXList<unsigned int>& out) {
    out.RemoveAll();
    if (!meshData_) return E_FAIL;
    std::vector<int> ids;
    const HRESULT hr = meshData_->GetEntityIds(entityId, ids);
    if (FAILED(hr)) return hr;
    if (ids.empty()) return E_FAIL;
    for (int id : ids) out.Add(static_cast<unsigned int>(id));
    return S_OK;
}

HRESULT CMeshWrapper::GetScopedNodeIds(int* kind, const JXReference& reference, int* id) {
    if (!meshData_ || !kind || !id) return E_FAIL;
    int found = 0;
    HRESULT hr = meshData_->GetEntityAt(0, kMeshSelectScopedEntity, reference.id, 0, *kind, found);
    if (FAILED(hr)) return hr;
    int foundKind = *kind;
    hr = meshData_->GetEntityKindAt(0, kMeshSelectScopedEntity, reference.id, foundKind);
    if (FAILED(hr)) return hr;
    *kind = foundKind;
    *id = found;
    return S_OK;
}

HRESULT CMeshWrapper::GetScopedValue(int entityId, int* value) {
    if (!meshData_ || !value) return E_FAIL;
    return meshData_->CountEntities(kMeshSelectScopedEntity, entityId, 0, -1, *value);
}

// ---------------------------------------------------------------------------------------
// Geometry

double CMeshWrapper::ToDeckLength(double value) const {
    return GetUnitSystemTable().Convert(meshUnitSystem_, deckUnitSystem_, kQuantityLength, value);
}

HRESULT CMeshWrapper::GetNodeCoordinates(bool convert, int node, Vector3& out) {
    if (!meshData_) return E_FAIL;
    std::array<double, 3> xyz{};
    const HRESULT hr = meshData_->GetNodeCoordinates(node, xyz);
    if (FAILED(hr)) return hr;
    out = Vector3{xyz[0], xyz[1], xyz[2]};
    if (convert) out = Vector3{ToDeckLength(out.x), ToDeckLength(out.y), ToDeckLength(out.z)};
    return S_OK;
}

Vector3 CMeshWrapper::GetNodePoint(int node) {
    Vector3 p;
    (void)GetNodeCoordinates(true, node, p);  // the origin for a node the mesh does not give
    return p;
}

double CMeshWrapper::GetNodeDistance(int a, int b) { return (GetNodePoint(a) - GetNodePoint(b)).Length(); }

HRESULT CMeshWrapper::GetEdgeNodeWeights(int edgeEntityId, std::map<int, double>& weights) {
    if (!mesh_) return E_FAIL;
    HostMeshEdges edges;
    const HRESULT hr = mesh_->GetEdgeMeshEdges(edgeEntityId, edges);
    if (FAILED(hr)) return hr;
    const std::size_t per = edges.quadratic ? 3 : 2;
    if (edges.nodes.size() % per) return E_FAIL;
    for (int n : edges.nodes) weights.emplace(n, 0.0);
    for (std::size_t i = 0; i < edges.nodes.size(); i += per) {
        const int a = edges.nodes[i], b = edges.nodes[i + 1];
        Vector3 pa, pb;
        if (FAILED(GetNodeCoordinates(true, a, pa)) || FAILED(GetNodeCoordinates(true, b, pb))) return E_FAIL;
        const double length = (pa - pb).Length();
        if (edges.quadratic) {
            weights[a] += length / 6.0;
            weights[b] += length / 6.0;
            weights[edges.nodes[i + 2]] += 2.0 * length / 3.0;
        } else {
            weights[a] += length / 2.0;
            weights[b] += length / 2.0;
        }
    }
    return S_OK;
}

HRESULT CMeshWrapper::GetEdgeNodeWeightsByReference(const JXReferenceList& references,
                                                    std::map<int, double>& weights) {
    for (const JXReference& r : references) {
        const HRESULT hr = GetEdgeNodeWeights(r.id, weights);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// A cylindrical angle goes to radians, lengths to the deck's units.
double CMeshWrapper::FrameComponent(const CoordSystemSafe& frame, const Vector3& point, int component) const {
    const Vector3 local = frame.ToLocal(point);
    const int c = std::clamp(component, 0, 2);
    const double v = c == 0 ? local.x : c == 1 ? local.y : local.z;
    if (frame.IsCylindrical() && c == 1) return v * std::numbers::pi / 180.0;
    return ToDeckLength(v);
}

HRESULT CMeshWrapper::GetTabularThermalNodeValues(int component, const std::set<int>& nodes,
                                                  const CoordSystemSafe& frame, std::vector<double>& out) {
    if (!mesh_ || !meshData_) return E_FAIL;
    int highest = 0;
    if (FAILED(mesh_->GetMaxNodeNumber(highest))) return E_FAIL;
    for (int node : nodes) {
        if (node > highest) break;
        Vector3 p;
        const HRESULT hr = GetNodeCoordinates(false, node, p);
        if (FAILED(hr)) return hr;
        out.push_back(FrameComponent(frame, p, component));
    }
    return S_OK;
}

HRESULT CMeshWrapper::GetTabularPressureFaceValues(int component, const std::vector<int>& elements,
                                                   const std::vector<int>& deckFaces,
                                                   const CoordSystemSafe& frame, std::vector<double>& out) {
    if (!mesh_ || !meshData_ || deckFaces.size() < elements.size()) return E_FAIL;
    int highest = 0;
    if (FAILED(mesh_->GetMaxElementNumber(highest))) return E_FAIL;
    std::vector<int> nodes;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] > highest) break;
        int type = -1;
        HRESULT hr = meshData_->GetElementType(elements[i], type);
        if (FAILED(hr)) return hr;
        hr = meshData_->GetElementFaceNodes(elements[i],
                                            CElementWrapper::ToHostFaceNumber(deckFaces[i], type), nodes);
        if (FAILED(hr)) return hr;
        if (nodes.empty()) return E_FAIL;
        Vector3 sum;
        for (int n : nodes) {
            Vector3 p;
            hr = GetNodeCoordinates(false, n, p);
            if (FAILED(hr)) return hr;
            sum = sum + p;
        }
        out.push_back(FrameComponent(frame, sum * (1.0 / static_cast<double>(nodes.size())), component));
    }
    return S_OK;
}

HRESULT CMeshWrapper::GetSymmetryRegionNodeSets(int /*selector*/, int /*bodyNumber*/,
                                                const SymmetryRegionRecord& region,
                                                std::map<int, int>& pairs) {
    pairs.clear();
    if (!meshData_) return E_FAIL;
    // Keyed by magnitude in 64 bits: the most negative int has no 32-bit magnitude.
    using ByMagnitude = std::map<std::int64_t, int>;
    auto sideNodes = [&](const std::vector<JXReference>& refs, int attributeId, ByMagnitude& byValue) {
        for (const JXReference& r : refs) {
            std::vector<int> nodes;
            const HRESULT hr = GetScopingNodeIds(mesh_.Get(), r.id, nodes);
            if (FAILED(hr)) return hr;
            for (int n : nodes) {
                int value = 0;
                if (meshData_->GetNodeAttribute(n, attributeId, value) == S_OK && value != 0)
                    byValue.emplace(std::abs(static_cast<std::int64_t>(value)), n);
            }
        }
        return S_OK;
    };
    ByMagnitude low, high;
    HRESULT hr = sideNodes(region.lowBoundary, kNodeAttributeCyclicLow, low);
    if (FAILED(hr)) return hr;
    hr = sideNodes(region.highBoundary, kNodeAttributeCyclicHigh, high);
    if (FAILED(hr)) return hr;
    for (const auto& [value, node] : low) {
        auto match = high.find(value);
        if (match != high.end()) pairs[node] = match->second;
    }
    return S_OK;
}
