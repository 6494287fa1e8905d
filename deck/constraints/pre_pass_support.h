// What the collectors of the boundary-condition pre-pass share: the messages they post, the
// resolution of a condition's scoping, the host mesh and geometry of the model, the reference
// frames of the model, and the checks on the directions that the model and the host hand in.
#pragma once

#include <string>

#include "foundation/coord_system.h"
#include "host/mesh.h"
#include "host/selection_resolver.h"
#include "platform/com.h"

namespace NCAERep {
class CCAERepBase;
}
class DorvixFeeder;
struct IHostGeometry;

namespace prepass {

// Posts the text to the output representation and, when the solve has one, to the return
// package, so the user sees it whichever the host shows.
void Report(DorvixFeeder& feeder, const std::wstring& text, const std::wstring& type);
void Warn(DorvixFeeder& feeder, const std::wstring& text);
// Posts the text as an error and answers 44.
[[nodiscard]] int Fail(DorvixFeeder& feeder, const std::wstring& text);

// A condition's scoping resolved to the host's selection.
struct ResolvedScoping {
    std::wstring reference;
    ResolvedSelection selection;
    // Set (with a warning posted) when the condition names nothing and is to be left out.
    bool skipped = false;
};

// What a collector takes from a selection: its mesh nodes, or its geometric entities.
enum class ScopingUse { kNodes, kEntities };

// Resolves the condition's "Scoping": exactly one text, or with firstOfMany the first of one
// or more. 0 (a scoping that is empty, unknown to the host or without the nodes or entities
// the collector uses comes back skipped), or 44 with a message when the list does not hold
// the texts needed or the resolver fails.
[[nodiscard]] int ResolveScoping(DorvixFeeder& feeder, const NCAERep::CCAERepBase& condition, ScopingUse use,
                                 bool firstOfMany, ResolvedScoping& out);

// The data interface of the model's "MeshRep" mesh: 0, or 44 with a message.
[[nodiscard]] int TakeHostMesh(DorvixFeeder& feeder, ComPtr<IHostMeshData>& mesh);
// The geometry of the model's "GeometryRep": 0, or 44 with a message.
[[nodiscard]] int TakeHostGeometry(DorvixFeeder& feeder, ComPtr<IHostGeometry>& geometry);

// The mesh nodes of a geometric entity of the condition's scoping: 0 (with coordinates when
// asked), or 44 with a message naming the entity when the mesh does not know it.
[[nodiscard]] int EntityNodes(DorvixFeeder& feeder, const NCAERep::CCAERepBase& condition,
                              IHostMeshData* mesh, int entityId, bool withCoordinates, HostNodeList& out);

// The "CoordinateSystemRep" of that id in the object's database; null for 0, an unknown id
// or an object of another type.
const NCAERep::CCAERepBase* FindCoordinateSystem(const NCAERep::CCAERepBase& object, unsigned id);

bool IsFinite(const Vector3& v);
// Axes and origin finite.
bool IsFinite(const CoordSystemSafe& frame);

// "Support "FixedEdge" (id 13)", the start of every message about a condition.
std::wstring Describe(const NCAERep::CCAERepBase& condition);

}  // namespace prepass
