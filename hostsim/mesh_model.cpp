// Building the mesh with each addition checked (ids, nodes, bodies, entities), its lookups and face matching.
#include "hostsim/mesh_model.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "hostsim/mesh_faces.h"

namespace {

std::string Num(long long v) { return std::to_string(v); }

const std::vector<int> kNoIds;

}  // namespace

// ---------------------------------------------------------------------------------------
// IdIndex

int HostSimMesh::IdIndex::FindSparse(int id) const {
    if (sparse_.empty()) return -1;
    auto it = sparse_.find(id);
    return it == sparse_.end() ? -1 : it->second;
}

bool HostSimMesh::IdIndex::Insert(int id, int pos) {
    if (Find(id) >= 0) return false;
    ++count_;
    // Keep numbers in a flat table while it stays within a few times the count.
    const std::size_t limit = 4 * count_ + 1024;
    if (id >= 0 && static_cast<std::size_t>(id) < limit) {
        if (static_cast<std::size_t>(id) >= dense_.size())
            dense_.resize(std::max<std::size_t>(static_cast<std::size_t>(id) + 1, dense_.size() * 2), -1);
        dense_[id] = pos;
    } else {
        sparse_.emplace(id, pos);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Building

void HostSimMesh::Reserve(std::size_t nodes, std::size_t elements, std::size_t elementNodes) {
    nodeIds_.reserve(nodes);
    xyz_.reserve(3 * nodes);
    elementIds_.reserve(elements);
    elementTypes_.reserve(elements);
    elementOffsets_.reserve(elements + 1);
    elementBody_.reserve(elements);
    elementNodes_.reserve(elementNodes);
}

void HostSimMesh::AddNode(int id, double x, double y, double z) {
    if (id < 1) throw HostSimMeshError("node id " + Num(id) + " is not positive");
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        throw HostSimMeshError("node " + Num(id) + " has a coordinate that is not a finite number");
    if (!nodeIndex_.Insert(id, static_cast<int>(nodeIds_.size())))
        throw HostSimMeshError("node " + Num(id) + " is defined twice");
    nodeIds_.push_back(id);
    xyz_.insert(xyz_.end(), {x, y, z});
    maxNode_ = std::max(maxNode_, id);
    elementsOfNodeBuilt_ = false;
}

void HostSimMesh::CheckNode(int node) const {
    if (NodeIndex(node) < 0) throw HostSimMeshError("node " + Num(node) + " does not exist");
}

void HostSimMesh::AddNodeAttribute(int node, const HostNodeAttribute& attribute) {
    CheckNode(node);
    attributes_[node].push_back(attribute);
}

void HostSimMesh::AddElement(int id, int type, const std::vector<int>& nodes) {
    if (id < 1) throw HostSimMeshError("element id " + Num(id) + " is not positive");
    const int expected = HostElementNodeCount(type);
    if (expected < 0) throw HostSimMeshError("element " + Num(id) + ": unknown element type " + Num(type));
    if (static_cast<int>(nodes.size()) != expected)
        throw HostSimMeshError("element " + Num(id) + " of type " + Num(type) + " needs " + Num(expected) +
                               " nodes, not " + Num(static_cast<long long>(nodes.size())));
    for (int n : nodes)
        if (NodeIndex(n) < 0)
            throw HostSimMeshError("element " + Num(id) + " names node " + Num(n) + ", which does not exist");
    if (!elementIndex_.Insert(id, static_cast<int>(elementIds_.size())))
        throw HostSimMeshError("element " + Num(id) + " is defined twice");
    byType_[type].push_back(static_cast<int>(elementIds_.size()));
    elementIds_.push_back(id);
    elementTypes_.push_back(type);
    elementNodes_.insert(elementNodes_.end(), nodes.begin(), nodes.end());
    elementOffsets_.push_back(static_cast<std::int64_t>(elementNodes_.size()));
    elementBody_.push_back(-1);
    maxElement_ = std::max(maxElement_, id);
    elementsOfNodeBuilt_ = false;
}

void HostSimMesh::AddPart(int partMeshId) {
    if (partByMeshId_.count(partMeshId))
        throw HostSimMeshError("part " + Num(partMeshId) + " is defined twice");
    partByMeshId_[partMeshId] = static_cast<int>(parts_.size());
    parts_.push_back(Part{partMeshId, {}});
}

void HostSimMesh::ClaimEntityId(int id, const char* what) {
    if (id == 0) throw HostSimMeshError(std::string(what) + " id must not be 0");
    auto [it, fresh] = entityIds_.emplace(id, what);
    if (!fresh)
        throw HostSimMeshError(std::string(what) + " id " + Num(id) + " is already used by a " + it->second);
}

void HostSimMesh::AddBody(int partMeshId, int bodyMeshId, const std::vector<int>& elements) {
    auto part = partByMeshId_.find(partMeshId);
    if (part == partByMeshId_.end()) throw HostSimMeshError("part " + Num(partMeshId) + " does not exist");
    if (elements.empty()) throw HostSimMeshError("body " + Num(bodyMeshId) + " has no elements");
    // Every element is checked before anything is marked, so a refused body leaves the mesh as
    // it was; an element named twice in the list is caught here, not taken for another body.
    std::vector<int> positions;
    positions.reserve(elements.size());
    for (int e : elements) {
        const int pos = ElementIndex(e);
        if (pos < 0)
            throw HostSimMeshError("body " + Num(bodyMeshId) + " names element " + Num(e) +
                                   ", which does not exist");
        if (elementBody_[pos] >= 0)
            throw HostSimMeshError("element " + Num(e) + " of body " + Num(bodyMeshId) +
                                   " already belongs to body " + Num(bodies_[elementBody_[pos]].meshId));
        positions.push_back(pos);
    }
    // The host lists a body's elements in mesh order, whatever order the input gave.
    if (!std::is_sorted(positions.begin(), positions.end())) std::sort(positions.begin(), positions.end());
    const auto twice = std::adjacent_find(positions.begin(), positions.end());
    if (twice != positions.end())
        throw HostSimMeshError("body " + Num(bodyMeshId) + " names element " + Num(elementIds_[*twice]) +
                               " twice");
    ClaimEntityId(bodyMeshId, "body");

    const int bodyIndex = static_cast<int>(bodies_.size());
    Body body;
    body.meshId = bodyMeshId;
    body.partMeshId = partMeshId;
    body.elements.reserve(positions.size());
    for (int pos : positions) {
        body.elements.push_back(elementIds_[pos]);
        body.byType[elementTypes_[pos]].push_back(elementIds_[pos]);
    }
    bodies_.push_back(std::move(body));
    for (int pos : positions) elementBody_[pos] = bodyIndex;
    bodyByMeshId_[bodyMeshId] = bodyIndex;
    parts_[part->second].bodies.push_back(bodyIndex);
}

void HostSimMesh::SetBodyArea(int bodyMeshId, double area) {
    auto it = bodyByMeshId_.find(bodyMeshId);
    if (it == bodyByMeshId_.end()) throw HostSimMeshError("body " + Num(bodyMeshId) + " does not exist");
    bodies_[it->second].area = area;
}

void HostSimMesh::SetBodySectorAngle(int bodyMeshId, double degrees) {
    auto it = bodyByMeshId_.find(bodyMeshId);
    if (it == bodyByMeshId_.end()) throw HostSimMeshError("body " + Num(bodyMeshId) + " does not exist");
    bodies_[it->second].sectorAngle = degrees;
}

void HostSimMesh::AddGeometricFace(int id, int bodyMeshId, HostMeshFaces faces, bool checked) {
    if (!FindBody(bodyMeshId))
        throw HostSimMeshError("face " + Num(id) + " names body " + Num(bodyMeshId) +
                               ", which does not exist");
    GeometryEntity entity;
    entity.id = id;
    entity.kind = GeometryKind::kFace;
    entity.bodyMeshId = bodyMeshId;
    std::vector<int> nodes;
    auto check = [&](const std::vector<int>& list, std::size_t per) {
        if (list.size() % per)
            throw HostSimMeshError("face " + Num(id) + ": a mesh face list is not a whole number of faces");
        for (std::size_t f = 0; f < list.size(); f += per) {
            const int* face = list.data() + f;
            for (std::size_t i = 0; i < per; ++i) CheckNode(face[i]);
            if (checked && BodyElementsHolding(bodyMeshId, face, per, true).empty())
                throw HostSimMeshError("face " + Num(id) + ": mesh face starting at node " + Num(face[0]) +
                                       " is no element face of body " + Num(bodyMeshId));
        }
        nodes.insert(nodes.end(), list.begin(), list.end());
    };
    check(faces.tri6, 6);
    check(faces.quad8, 8);
    check(faces.tri3, 3);
    check(faces.quad4, 4);
    if (nodes.empty()) throw HostSimMeshError("face " + Num(id) + " has no mesh faces");
    ClaimEntityId(id, "geometric face");
    entity.faces = std::move(faces);
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    entity.nodes = std::move(nodes);
    geometry_.emplace(id, std::move(entity));
}

void HostSimMesh::AddGeometricEdge(int id, int bodyMeshId, HostMeshEdges edges, bool checked) {
    if (!FindBody(bodyMeshId))
        throw HostSimMeshError("edge " + Num(id) + " names body " + Num(bodyMeshId) +
                               ", which does not exist");
    const std::size_t per = edges.quadratic ? 3 : 2;
    if (edges.nodes.empty() || edges.nodes.size() % per)
        throw HostSimMeshError("edge " + Num(id) + " needs " + Num(static_cast<long long>(per)) +
                               " nodes per mesh edge");
    std::set<int> nodes;
    std::map<int, int> cornerUses;
    for (std::size_t i = 0; i < edges.nodes.size(); i += per) {
        for (std::size_t j = 0; j < per; ++j) CheckNode(edges.nodes[i + j]);
        if (checked && BodyElementsHolding(bodyMeshId, &edges.nodes[i], per, false).empty())
            throw HostSimMeshError("edge " + Num(id) + ": mesh edge " + Num(edges.nodes[i]) + "-" +
                                   Num(edges.nodes[i + 1]) + " lies on no element of body " +
                                   Num(bodyMeshId));
        nodes.insert(edges.nodes.begin() + i, edges.nodes.begin() + i + per);
        ++cornerUses[edges.nodes[i]];
        ++cornerUses[edges.nodes[i + 1]];
    }
    ClaimEntityId(id, "geometric edge");
    // The nodes at the edge's vertices carry the end flag, as a host marks them: the corners that
    // end one mesh edge only, or for a closed edge the node it starts and ends at.
    std::vector<int> ends;
    for (const auto& [node, uses] : cornerUses)
        if (uses == 1) ends.push_back(node);
    if (ends.empty()) ends.push_back(edges.nodes.front());
    for (int node : ends) attributes_[node].push_back({kEdgeEndAttributeId, kNodeAttributeEndFlag, id});
    GeometryEntity entity;
    entity.id = id;
    entity.kind = GeometryKind::kEdge;
    entity.bodyMeshId = bodyMeshId;
    entity.edges = std::move(edges);
    entity.nodes.assign(nodes.begin(), nodes.end());
    geometry_.emplace(id, std::move(entity));
}

void HostSimMesh::AddGeometricVertex(int id, int bodyMeshId, int node) {
    if (!FindBody(bodyMeshId))
        throw HostSimMeshError("vertex " + Num(id) + " names body " + Num(bodyMeshId) +
                               ", which does not exist");
    CheckNode(node);
    if (BodyElementsHolding(bodyMeshId, &node, 1, false).empty())
        throw HostSimMeshError("vertex " + Num(id) + ": node " + Num(node) + " lies on no element of body " +
                               Num(bodyMeshId));
    ClaimEntityId(id, "geometric vertex");
    GeometryEntity entity;
    entity.id = id;
    entity.kind = GeometryKind::kVertex;
    entity.bodyMeshId = bodyMeshId;
    entity.vertexNode = node;
    entity.nodes = {node};
    geometry_.emplace(id, std::move(entity));
}

void HostSimMesh::AddElementSet(int id, const std::vector<int>& elements) {
    for (int e : elements)
        if (ElementIndex(e) < 0)
            throw HostSimMeshError("element set " + Num(id) + " names element " + Num(e) +
                                   ", which does not exist");
    ClaimEntityId(id, "element set");
    elementSets_.emplace(id, elements);
}

void HostSimMesh::AddElementFaceSet(int id, const std::vector<HostElementFace>& faces) {
    for (const HostElementFace& f : faces) {
        const int pos = ElementIndex(f.element);
        if (pos < 0)
            throw HostSimMeshError("element-face set " + Num(id) + " names element " + Num(f.element) +
                                   ", which does not exist");
        if (f.faceIndex < 0 || f.faceIndex >= HostFaceCount(elementTypes_[pos]))
            throw HostSimMeshError("element-face set " + Num(id) + ": element " + Num(f.element) +
                                   " has no face " + Num(f.faceIndex));
    }
    ClaimEntityId(id, "element-face set");
    elementFaceSets_.emplace(id, faces);
}

void HostSimMesh::AddReference(int id, bool isNode, int target) {
    if (isNode ? NodeIndex(target) < 0 : ElementIndex(target) < 0)
        throw HostSimMeshError("reference " + Num(id) + " names " + (isNode ? "node " : "element ") +
                               Num(target) + ", which does not exist");
    ClaimEntityId(id, "reference");
    references_.emplace(id, Reference{id, isNode, target});
}

// ---------------------------------------------------------------------------------------
// Reading

const std::vector<int>& HostSimMesh::ElementsOfType(int type) const {
    if (type < 0 || type > kHostElementTypeLast) return kNoIds;
    return byType_[type];
}

const HostSimMesh::Part* HostSimMesh::FindPart(int partMeshId) const {
    auto it = partByMeshId_.find(partMeshId);
    return it == partByMeshId_.end() ? nullptr : &parts_[it->second];
}

const HostSimMesh::Body* HostSimMesh::FindBody(int bodyMeshId) const {
    auto it = bodyByMeshId_.find(bodyMeshId);
    return it == bodyByMeshId_.end() ? nullptr : &bodies_[it->second];
}

const HostSimMesh::GeometryEntity* HostSimMesh::FindGeometry(int id) const {
    auto it = geometry_.find(id);
    return it == geometry_.end() ? nullptr : &it->second;
}

const std::vector<int>* HostSimMesh::FindElementSet(int id) const {
    auto it = elementSets_.find(id);
    return it == elementSets_.end() ? nullptr : &it->second;
}

const std::vector<HostElementFace>* HostSimMesh::FindElementFaceSet(int id) const {
    auto it = elementFaceSets_.find(id);
    return it == elementFaceSets_.end() ? nullptr : &it->second;
}

const HostSimMesh::Reference* HostSimMesh::FindReference(int id) const {
    auto it = references_.find(id);
    return it == references_.end() ? nullptr : &it->second;
}

const std::vector<HostNodeAttribute>* HostSimMesh::NodeAttributes(int node) const {
    auto it = attributes_.find(node);
    return it == attributes_.end() ? nullptr : &it->second;
}

void HostSimMesh::IndexElementsOfNodes() const {
    // Two passes over the elements' nodes: the count of each node's elements gives the offsets,
    // then each element number goes to the next place of its nodes. A node repeated within a
    // degenerate element lists that element once.
    auto firstInElement = [](const int* nodes, int i) {
        return std::find(nodes, nodes + i, nodes[i]) == nodes + i;
    };
    std::vector<std::int64_t> offsets(nodeIds_.size() + 1, 0);
    for (std::size_t e = 0; e < elementIds_.size(); ++e) {
        int n = 0;
        const int* nodes = ElementNodesAt(e, n);
        for (int i = 0; i < n; ++i)
            if (firstInElement(nodes, i)) ++offsets[static_cast<std::size_t>(NodeIndex(nodes[i])) + 1];
    }
    for (std::size_t i = 1; i < offsets.size(); ++i) offsets[i] += offsets[i - 1];
    std::vector<int> elements(static_cast<std::size_t>(offsets.back()));
    std::vector<std::int64_t> next(offsets.begin(), offsets.end() - 1);
    for (std::size_t e = 0; e < elementIds_.size(); ++e) {
        int n = 0;
        const int* nodes = ElementNodesAt(e, n);
        for (int i = 0; i < n; ++i)
            if (firstInElement(nodes, i))
                elements[static_cast<std::size_t>(next[static_cast<std::size_t>(NodeIndex(nodes[i]))]++)] =
                    elementIds_[e];
    }
    nodeElementOffsets_ = std::move(offsets);
    nodeElements_ = std::move(elements);
    elementsOfNodeBuilt_ = true;
}

std::span<const int> HostSimMesh::ElementsOfNode(int node) const {
    if (!elementsOfNodeBuilt_) IndexElementsOfNodes();
    const int pos = NodeIndex(node);
    if (pos < 0) return {};
    const std::size_t p = static_cast<std::size_t>(pos);
    return {nodeElements_.data() + nodeElementOffsets_[p],
            static_cast<std::size_t>(nodeElementOffsets_[p + 1] - nodeElementOffsets_[p])};
}

bool HostSimMesh::ElementFaceNodes(std::size_t elementPos, int faceIndex, std::vector<int>& nodes) const {
    const std::span<const int> positions = HostFaceNodePositions(elementTypes_[elementPos], faceIndex);
    nodes.clear();
    if (positions.empty()) return false;
    int n = 0;
    const int* en = ElementNodesAt(elementPos, n);
    for (int p : positions) nodes.push_back(en[p]);
    return true;
}

std::vector<int> HostSimMesh::BodyElementsHolding(int bodyMeshId, const int* nodes, std::size_t count,
                                                  bool wholeFace) const {
    std::vector<int> found;
    std::vector<int> wanted(nodes, nodes + count), faceNodes;
    std::sort(wanted.begin(), wanted.end());
    for (int e : ElementsOfNode(nodes[0])) {
        const int pos = ElementIndex(e);
        if (elementBody_[pos] < 0 || bodies_[elementBody_[pos]].meshId != bodyMeshId) continue;
        bool match = false;
        if (wholeFace) {
            for (int k = 0; !match && ElementFaceNodes(pos, k, faceNodes); ++k) {
                std::sort(faceNodes.begin(), faceNodes.end());
                match = faceNodes == wanted;
            }
        } else {
            int n = 0;
            const int* en = ElementNodesAt(pos, n);
            match =
                std::all_of(nodes, nodes + count, [&](int v) { return std::find(en, en + n, v) != en + n; });
        }
        if (match) found.push_back(e);
    }
    return found;
}
