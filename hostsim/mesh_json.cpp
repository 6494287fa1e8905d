// The mesh section read: blocks (totals checked first), nodes, elements, parts, geometry, sets, references.
#include "hostsim/mesh_json.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "hostsim/mesh_generator.h"

namespace {

using nlohmann::json;

// Reads values of the section and reports the place of anything wrong.
class SectionReader {
  public:
    explicit SectionReader(std::string prefix) : prefix_(std::move(prefix)) {}

    [[noreturn]] void Fail(const std::string& path, const std::string& reason) const {
        throw HostSimMeshError(prefix_ + path + ": " + reason);
    }
    int Int(const json& v, const std::string& path) const {
        if (!v.is_number_integer()) Fail(path, "an integer is expected");
        // Read as signed, an unsigned number above that range would wrap round to a negative id.
        if (v.is_number_unsigned() &&
            v.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
            Fail(path, "the integer is out of range");
        const auto value = v.get<std::int64_t>();
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            Fail(path, "the integer is out of range");
        return static_cast<int>(value);
    }
    double Double(const json& v, const std::string& path) const {
        if (!v.is_number()) Fail(path, "a number is expected");
        const double d = v.get<double>();
        if (!std::isfinite(d)) Fail(path, "the number is not finite");
        return d;
    }
    const json& Array(const json& v, const std::string& path) const {
        if (!v.is_array()) Fail(path, "an array is expected");
        return v;
    }
    const json& Member(const json& obj, const char* name, const std::string& path) const {
        if (!obj.is_object()) Fail(path, "an object is expected");
        auto it = obj.find(name);
        if (it == obj.end()) Fail(path, std::string("\"") + name + "\" is missing");
        return *it;
    }
    const json* Optional(const json& obj, const char* name) const {
        auto it = obj.find(name);
        return it == obj.end() ? nullptr : &*it;
    }
    std::vector<int> Ints(const json& v, const std::string& path) const {
        Array(v, path);
        std::vector<int> out;
        out.reserve(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) out.push_back(Int(v[i], path + "/" + std::to_string(i)));
        return out;
    }
    // Runs one building step and puts the place in front of what it refuses.
    template <class F>
    void At(const std::string& path, F&& step) const {
        try {
            step();
        } catch (const HostSimMeshError& e) {
            Fail(path, e.what());
        }
    }

  private:
    std::string prefix_;
};

std::string Item(const std::string& list, std::size_t i) { return list + "/" + std::to_string(i); }

// Every block is read and the case's total checked before any block is made: a case that asks
// for too large a mesh is refused at once, before memory is spent on it.
std::vector<MeshBlockRequest> ReadBlockRequests(const SectionReader& r, const json& blocks) {
    r.Array(blocks, "/blocks");
    std::vector<MeshBlockRequest> requests;
    MeshBlockCounts total;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::string path = Item("/blocks", i);
        const json& b = blocks[i];
        MeshBlockRequest request;
        const json& element = r.Member(b, "element", path);
        if (!element.is_string()) r.Fail(path + "/element", "a text is expected");
        request.element = element.get<std::string>();
        const std::vector<int> cells = r.Ints(r.Member(b, "cells", path), path + "/cells");
        if (cells.size() != 3 && cells.size() != 2)
            r.Fail(path + "/cells", "two or three cell counts are expected");
        for (std::size_t a = 0; a < cells.size(); ++a) request.cells[a] = cells[a];
        if (cells.size() == 2) request.cells[2] = 1;
        auto triple = [&](const char* name, std::array<double, 3>& out) {
            if (const json* v = r.Optional(b, name)) {
                const std::string p = path + "/" + name;
                if (!v->is_array() || v->size() != 3) r.Fail(p, "three numbers are expected");
                for (int a = 0; a < 3; ++a) out[a] = r.Double((*v)[a], p + "/" + std::to_string(a));
            }
        };
        triple("origin", request.origin);
        triple("size", request.size);
        request.partMeshId = r.Int(r.Member(b, "part", path), path + "/part");
        request.bodyMeshId = r.Int(r.Member(b, "body", path), path + "/body");
        if (const json* v = r.Optional(b, "firstNode")) request.firstNode = r.Int(*v, path + "/firstNode");
        if (const json* v = r.Optional(b, "firstElement"))
            request.firstElement = r.Int(*v, path + "/firstElement");
        if (const json* v = r.Optional(b, "firstEntity"))
            request.firstEntityId = r.Int(*v, path + "/firstEntity");
        total = total + CountMeshBlock(request);
        r.At(path, [&] { CheckGeneratedCounts(total); });
        requests.push_back(request);
    }
    return requests;
}

void ReadBlocks(const SectionReader& r, const json& blocks, HostSimMesh& mesh) {
    const std::vector<MeshBlockRequest> requests = ReadBlockRequests(r, blocks);
    for (std::size_t i = 0; i < requests.size(); ++i)
        r.At(Item("/blocks", i), [&] { GenerateMeshBlock(mesh, requests[i]); });
}

void ReadNodes(const SectionReader& r, const json& nodes, HostSimMesh& mesh) {
    r.Array(nodes, "/nodes");
    mesh.Reserve(mesh.NodeCount() + nodes.size(), mesh.ElementCount(), 0);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const std::string path = Item("/nodes", i);
        const json& n = nodes[i];
        if (n.is_array()) {  // [id, x, y, z]
            if (n.size() != 4) r.Fail(path, "[id, x, y, z] is expected");
            const int id = r.Int(n[0], path + "/0");
            const double x = r.Double(n[1], path + "/1"), y = r.Double(n[2], path + "/2"),
                         z = r.Double(n[3], path + "/3");
            r.At(path, [&] { mesh.AddNode(id, x, y, z); });
            continue;
        }
        const int id = r.Int(r.Member(n, "id", path), path + "/id");
        const json& xyz = r.Member(n, "xyz", path);
        if (!xyz.is_array() || xyz.size() != 3) r.Fail(path + "/xyz", "three numbers are expected");
        const double x = r.Double(xyz[0], path + "/xyz/0"), y = r.Double(xyz[1], path + "/xyz/1"),
                     z = r.Double(xyz[2], path + "/xyz/2");
        r.At(path, [&] { mesh.AddNode(id, x, y, z); });
        if (const json* attributes = r.Optional(n, "attributes")) {
            r.Array(*attributes, path + "/attributes");
            for (std::size_t a = 0; a < attributes->size(); ++a) {
                const std::string ap = Item(path + "/attributes", a);
                const json& at = (*attributes)[a];
                HostNodeAttribute attribute;
                attribute.id = r.Int(r.Member(at, "id", ap), ap + "/id");
                if (const json* v = r.Optional(at, "flags")) attribute.flags = r.Int(*v, ap + "/flags");
                if (const json* v = r.Optional(at, "value")) attribute.value = r.Int(*v, ap + "/value");
                r.At(ap, [&] { mesh.AddNodeAttribute(id, attribute); });
            }
        }
    }
}

void ReadElements(const SectionReader& r, const json& elements, HostSimMesh& mesh) {
    r.Array(elements, "/elements");
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string path = Item("/elements", i);
        const json& e = elements[i];
        int id = 0, type = 0;
        std::vector<int> nodes;
        if (e.is_array()) {  // [id, type, [nodes...]]
            if (e.size() != 3) r.Fail(path, "[id, type, [nodes]] is expected");
            id = r.Int(e[0], path + "/0");
            type = r.Int(e[1], path + "/1");
            nodes = r.Ints(e[2], path + "/2");
        } else {
            id = r.Int(r.Member(e, "id", path), path + "/id");
            type = r.Int(r.Member(e, "type", path), path + "/type");
            nodes = r.Ints(r.Member(e, "nodes", path), path + "/nodes");
        }
        r.At(path, [&] { mesh.AddElement(id, type, nodes); });
    }
}

void ReadParts(const SectionReader& r, const json& parts, HostSimMesh& mesh) {
    r.Array(parts, "/parts");
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string path = Item("/parts", i);
        const json& p = parts[i];
        const int partId = r.Int(r.Member(p, "id", path), path + "/id");
        // A part a block made may take more bodies here.
        if (!mesh.FindPart(partId)) r.At(path, [&] { mesh.AddPart(partId); });
        const json& bodies = r.Array(r.Member(p, "bodies", path), path + "/bodies");
        for (std::size_t b = 0; b < bodies.size(); ++b) {
            const std::string bp = Item(path + "/bodies", b);
            const json& body = bodies[b];
            const int bodyId = r.Int(r.Member(body, "id", bp), bp + "/id");
            std::vector<int> elements;
            if (const json* range = r.Optional(body, "elementRange")) {
                const std::vector<int> fl = r.Ints(*range, bp + "/elementRange");
                if (fl.size() != 2 || fl[0] > fl[1])
                    r.Fail(bp + "/elementRange", "[first, last] is expected");
                if (static_cast<long long>(fl[1]) - fl[0] >= static_cast<long long>(mesh.ElementCount()))
                    r.Fail(bp + "/elementRange", "the range names more elements than the mesh has");
                for (long long e = fl[0]; e <= fl[1]; ++e) elements.push_back(static_cast<int>(e));
            } else {
                elements = r.Ints(r.Member(body, "elements", bp), bp + "/elements");
            }
            r.At(bp, [&] { mesh.AddBody(partId, bodyId, elements); });
            if (const json* v = r.Optional(body, "area")) {
                const double area = r.Double(*v, bp + "/area");
                mesh.SetBodyArea(bodyId, area);
            }
            if (const json* v = r.Optional(body, "sectorAngle")) {
                const double angle = r.Double(*v, bp + "/sectorAngle");
                mesh.SetBodySectorAngle(bodyId, angle);
            }
        }
    }
}

void ReadGeometry(const SectionReader& r, const json& geometry, HostSimMesh& mesh) {
    r.Array(geometry, "/geometry");
    for (std::size_t i = 0; i < geometry.size(); ++i) {
        const std::string path = Item("/geometry", i);
        const json& g = geometry[i];
        const int id = r.Int(r.Member(g, "id", path), path + "/id");
        const int body = r.Int(r.Member(g, "body", path), path + "/body");
        const json& kindNode = r.Member(g, "kind", path);
        const std::string kind = kindNode.is_string() ? kindNode.get<std::string>() : "";
        if (kind == "face") {
            HostMeshFaces faces;
            const json& list = r.Array(r.Member(g, "faces", path), path + "/faces");
            for (std::size_t f = 0; f < list.size(); ++f) {
                const std::vector<int> nodes = r.Ints(list[f], Item(path + "/faces", f));
                std::vector<int>* target = nodes.size() == 6   ? &faces.tri6
                                           : nodes.size() == 8 ? &faces.quad8
                                           : nodes.size() == 3 ? &faces.tri3
                                           : nodes.size() == 4 ? &faces.quad4
                                                               : nullptr;
                if (!target) r.Fail(Item(path + "/faces", f), "a mesh face has 3, 4, 6 or 8 nodes");
                target->insert(target->end(), nodes.begin(), nodes.end());
            }
            r.At(path, [&] { mesh.AddGeometricFace(id, body, std::move(faces)); });
        } else if (kind == "edge") {
            HostMeshEdges edges;
            const json& list = r.Array(r.Member(g, "edges", path), path + "/edges");
            for (std::size_t e = 0; e < list.size(); ++e) {
                const std::vector<int> nodes = r.Ints(list[e], Item(path + "/edges", e));
                if (nodes.size() != 2 && nodes.size() != 3)
                    r.Fail(Item(path + "/edges", e), "a mesh edge has 2 nodes, or 3 (ends, then middle)");
                if (e == 0) edges.quadratic = nodes.size() == 3;
                if ((nodes.size() == 3) != edges.quadratic)
                    r.Fail(Item(path + "/edges", e), "the mesh edges of one edge mix linear and quadratic");
                edges.nodes.insert(edges.nodes.end(), nodes.begin(), nodes.end());
            }
            r.At(path, [&] { mesh.AddGeometricEdge(id, body, std::move(edges)); });
        } else if (kind == "vertex") {
            const int node = r.Int(r.Member(g, "node", path), path + "/node");
            r.At(path, [&] { mesh.AddGeometricVertex(id, body, node); });
        } else {
            r.Fail(path + "/kind", "\"face\", \"edge\" or \"vertex\" is expected");
        }
    }
}

void ReadSets(const SectionReader& r, const json& mesh_node, HostSimMesh& mesh) {
    if (const json* sets = r.Optional(mesh_node, "elementSets")) {
        r.Array(*sets, "/elementSets");
        for (std::size_t i = 0; i < sets->size(); ++i) {
            const std::string path = Item("/elementSets", i);
            const int id = r.Int(r.Member((*sets)[i], "id", path), path + "/id");
            const std::vector<int> elements =
                r.Ints(r.Member((*sets)[i], "elements", path), path + "/elements");
            r.At(path, [&] { mesh.AddElementSet(id, elements); });
        }
    }
    if (const json* sets = r.Optional(mesh_node, "elementFaceSets")) {
        r.Array(*sets, "/elementFaceSets");
        for (std::size_t i = 0; i < sets->size(); ++i) {
            const std::string path = Item("/elementFaceSets", i);
            const int id = r.Int(r.Member((*sets)[i], "id", path), path + "/id");
            const json& list = r.Array(r.Member((*sets)[i], "faces", path), path + "/faces");
            std::vector<HostElementFace> faces;
            for (std::size_t f = 0; f < list.size(); ++f) {
                const std::vector<int> pair = r.Ints(list[f], Item(path + "/faces", f));
                if (pair.size() != 2) r.Fail(Item(path + "/faces", f), "[element, face index] is expected");
                faces.push_back({pair[0], pair[1]});
            }
            r.At(path, [&] { mesh.AddElementFaceSet(id, faces); });
        }
    }
    if (const json* refs = r.Optional(mesh_node, "references")) {
        r.Array(*refs, "/references");
        for (std::size_t i = 0; i < refs->size(); ++i) {
            const std::string path = Item("/references", i);
            const json& ref = (*refs)[i];
            const int id = r.Int(r.Member(ref, "id", path), path + "/id");
            const json* element = r.Optional(ref, "element");
            const json* node = r.Optional(ref, "node");
            if ((element != nullptr) == (node != nullptr))
                r.Fail(path, "exactly one of \"element\" and \"node\" is expected");
            const int target = r.Int(element ? *element : *node, path + (element ? "/element" : "/node"));
            r.At(path, [&] { mesh.AddReference(id, node != nullptr, target); });
        }
    }
}

void CheckSectionMembers(const SectionReader& r, const json& meshNode) {
    if (!meshNode.is_object()) r.Fail("", "the mesh section must be an object");
    for (auto it = meshNode.begin(); it != meshNode.end(); ++it) {
        static const char* const kKnown[] = {"blocks",   "nodes",       "elements",        "parts",
                                             "geometry", "elementSets", "elementFaceSets", "references"};
        if (std::find(std::begin(kKnown), std::end(kKnown), it.key()) == std::end(kKnown))
            r.Fail("/" + it.key(), "unknown member of the mesh section");
    }
}

}  // namespace

std::unique_ptr<HostSimMesh> LoadMeshSection(const nlohmann::json& meshNode,
                                             const std::string& jsonPathForErrors) {
    const SectionReader r(jsonPathForErrors);
    CheckSectionMembers(r, meshNode);
    auto mesh = std::make_unique<HostSimMesh>();
    if (const json* v = r.Optional(meshNode, "blocks")) ReadBlocks(r, *v, *mesh);
    if (const json* v = r.Optional(meshNode, "nodes")) ReadNodes(r, *v, *mesh);
    if (const json* v = r.Optional(meshNode, "elements")) ReadElements(r, *v, *mesh);
    if (const json* v = r.Optional(meshNode, "parts")) ReadParts(r, *v, *mesh);
    if (const json* v = r.Optional(meshNode, "geometry")) ReadGeometry(r, *v, *mesh);
    ReadSets(r, meshNode, *mesh);
    // The add-in's face and edge questions start from the elements of a node: the index is
    // part of the mesh, not of the first question.
    mesh->IndexElementsOfNodes();
    return mesh;
}

HostSimCaseMesh ReadCaseMeshSection(const nlohmann::json& meshNode, const std::string& jsonPathForErrors) {
    const SectionReader r(jsonPathForErrors);
    CheckSectionMembers(r, meshNode);
    // Generated blocks alone wait for the first question, once they are known to be made.
    if (const json* blocks = r.Optional(meshNode, "blocks"); blocks && meshNode.size() == 1) {
        std::vector<MeshBlockRequest> requests = ReadBlockRequests(r, *blocks);
        if (std::optional<MeshBlocksOutline> outline = OutlineMeshBlocks(requests))
            return HostSimCaseMesh::Deferred(std::move(requests), std::move(*outline));
    }
    HostSimCaseMesh mesh;
    mesh = std::shared_ptr<HostSimMesh>(LoadMeshSection(meshNode, jsonPathForErrors));
    return mesh;
}
