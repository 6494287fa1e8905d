// The "geometry" section of host.json, plus the sides of the mesh's generated blocks.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "foundation/constants.h"
#include "hostsim/geometry_model.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "hostsim/mesh_model.h"

namespace {

using Kind = HostSimGeometry::Kind;
using Entity = HostSimGeometry::Entity;

// Two placement axes whose unit vectors have a larger dot product are not taken as perpendicular.
constexpr double kPerpendicularDot = 1e-6;

struct EntityType {
    const char* name;
    Kind kind;
    const char* point;
    const char* direction;  // null: none
    bool radius;
    HostSimMesh::GeometryKind meshKind;
};

constexpr EntityType kEntityTypes[] = {
    {"plane", Kind::kPlane, "point", "normal", false, HostSimMesh::GeometryKind::kFace},
    {"cylinder", Kind::kCylinder, "axisPoint", "axis", true, HostSimMesh::GeometryKind::kFace},
    {"circle", Kind::kCircle, "centre", "axis", true, HostSimMesh::GeometryKind::kEdge},
    {"line", Kind::kLine, "point", "direction", false, HostSimMesh::GeometryKind::kEdge},
    {"vertex", Kind::kVertex, "point", nullptr, false, HostSimMesh::GeometryKind::kVertex},
};

const char* MeshKindName(HostSimMesh::GeometryKind kind) {
    return kind == HostSimMesh::GeometryKind::kFace   ? "a face"
           : kind == HostSimMesh::GeometryKind::kEdge ? "an edge"
                                                      : "a vertex";
}

// Scaled by its largest component first, so that no square overflows or vanishes.
Vector3 UnitVector(const JsonAt& at) {
    Vector3 v = at.Vector();
    const double largest = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (largest <= kZeroLengthTolerance) at.Fail("must not be zero-length");
    v = v * (1.0 / largest);
    (void)v.Normalize();  // cannot fail: the largest component is now 1
    return v;
}

const EntityType& TypeOf(const JsonAt& at) {
    const std::string name = at.String();
    for (const EntityType& type : kEntityTypes)
        if (name == type.name) return type;
    at.Fail("unknown type \"" + name + "\" (plane, cylinder, circle, line or vertex)");
}

Entity ReadEntity(const JsonAt& at, const HostSimCaseMesh& mesh) {
    Entity entity;
    entity.id = at.Member("id").Int();
    const JsonAt typeAt = at.Member("type");
    const EntityType& type = TypeOf(typeAt);
    entity.kind = type.kind;
    if (const std::optional<HostSimMesh::GeometryKind> meshed = mesh.GeometryKindOf(entity.id);
        meshed && *meshed != type.meshKind)
        typeAt.Fail("the mesh holds entity " + std::to_string(entity.id) + " as " + MeshKindName(*meshed));
    entity.point = at.Member(type.point).Vector();
    if (type.direction) entity.direction = UnitVector(at.Member(type.direction));
    if (type.radius) {
        const JsonAt radius = at.Member("radius");
        entity.radius = radius.Double();
        if (!(entity.radius > 0.0)) radius.Fail("must be positive");
    }
    return entity;
}

void ReadPlacement(const JsonAt& at, HostSimGeometry::Body& body) {
    if (at.Has("xAxis")) body.xAxis = UnitVector(at.Member("xAxis"));
    if (at.Has("yAxis")) body.yAxis = UnitVector(at.Member("yAxis"));
    if (at.Has("origin")) body.origin = at.Member("origin").Vector();
    if (std::fabs(body.xAxis.Dot(body.yAxis)) > kPerpendicularDot)
        at.Fail("xAxis and yAxis are not perpendicular");
}

void ReadBodies(const JsonAt& section, HostSimGeometry& geometry) {
    std::set<int> bodyIds;
    std::map<int, int> ownerOfEntity;
    for (const JsonAt& at : section.OptionalElements("bodies")) {
        HostSimGeometry::Body body;
        body.id = at.Member("id").Int();
        if (!bodyIds.insert(body.id).second) at.Member("id").Fail("body id used twice");
        if (at.Has("placement")) ReadPlacement(at.Member("placement"), body);
        for (const JsonAt& item : at.OptionalElements("entities")) {
            const int id = item.Int();
            if (!geometry.FindEntity(id)) item.Fail("names no entity of the geometry");
            const auto [owner, fresh] = ownerOfEntity.emplace(id, body.id);
            if (!fresh)
                item.Fail("entity " + std::to_string(id) + " already belongs to body " +
                          std::to_string(owner->second));
            body.entities.push_back(id);
        }
        geometry.SetBody(body);
    }
}

Entity Plane(int id, const Vector3& point, const Vector3& normal) {
    return {id, Kind::kPlane, point, normal, 0.0};
}
Entity Line(int id, const Vector3& point, const Vector3& direction) {
    return {id, Kind::kLine, point, direction, 0.0};
}

// A solid block's six sides, x-min to z-max, with outward normals; a sheet's face (normal +z,
// the side its elements face) and its four edges, which run round it counter-clockwise.
std::vector<Entity> BlockEntities(const HostSimMesh::GeneratedBlock& block) {
    const Vector3 origin(block.origin.data()), size(block.size.data());
    const int first = block.firstEntityId;
    if (block.sheet) {
        const Vector3 sx(size.x, 0, 0), sy(0, size.y, 0);
        return {Plane(first, origin, {0, 0, 1}), Line(first + 1, origin, {1, 0, 0}),
                Line(first + 2, origin + sx, {0, 1, 0}), Line(first + 3, origin + sx + sy, {-1, 0, 0}),
                Line(first + 4, origin + sy, {0, -1, 0})};
    }
    std::vector<Entity> sides;
    for (int side = 0; side < 6; ++side) {
        const int axis = side / 2;
        const bool high = side % 2 == 1;
        Vector3 normal, point = origin;
        normal.SetComponent(axis, high ? 1.0 : -1.0);
        if (high) point.SetComponent(axis, origin.GetComponent(axis) + size.GetComponent(axis));
        sides.push_back(Plane(first + side, point, normal));
    }
    return sides;
}

void AddGeneratedBlocks(const HostSimCase& hostCase, HostSimGeometry& geometry) {
    for (const HostSimMesh::GeneratedBlock& block : hostCase.mesh.GeneratedBlocks()) {
        HostSimGeometry::Body body;
        // The host names a body by its body id; the block knows its mesh id only.
        body.id = block.bodyMeshId;
        for (const BodyRecord& record : hostCase.bodies)
            if (record.bodyMeshId == block.bodyMeshId) body.id = record.bodyId;
        for (const Entity& entity : BlockEntities(block)) {
            geometry.SetEntity(entity);
            body.entities.push_back(entity.id);
        }
        geometry.SetBody(body);
    }
}

}  // namespace

void ReadGeometrySection(const JsonAt& root, HostSimCase& hostCase) {
    auto geometry = std::make_shared<HostSimGeometry>();
    // Listed entities and bodies come second, so they replace generated ones of the same id.
    AddGeneratedBlocks(hostCase, *geometry);
    if (root.Has("geometry")) {
        const JsonAt section = root.Member("geometry");
        if (!section.Value().is_object()) section.Fail("expected an object");
        std::set<int> ids;
        for (const JsonAt& at : section.OptionalElements("entities")) {
            const Entity entity = ReadEntity(at, hostCase.mesh);
            if (!ids.insert(entity.id).second) at.Member("id").Fail("entity id used twice");
            geometry->SetEntity(entity);
        }
        ReadBodies(section, *geometry);
    }
    if (!geometry->Empty()) hostCase.geometry = std::move(geometry);
}
