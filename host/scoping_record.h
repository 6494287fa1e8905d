// The host's description of an object scoped to geometry (a named selection, the scoping of
// an initial condition): plain data that the add-in's ObjectData is built from.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "host/object_types.h"

struct ScopingRecord {
    std::uint32_t id = 0;
    std::string name;
    // Ids the host keeps with the record; carried and streamed, not interpreted.
    std::vector<std::int32_t> idList;
    std::vector<JXReference> references;
    // One id per reference at the same index: the body each entity lies on, so the first is
    // the body of the object's first entity.
    std::vector<std::uint32_t> parallelIds;
    std::set<std::uint32_t> activeIds;
};

// The HostGeometryKind of a scoping, decided by the first reference, because the host never
// mixes entity kinds within one scoping.
inline int ReferenceKindOf(const std::vector<JXReference>& references) {
    if (references.empty()) return kGeometryNone;
    const std::uint32_t flags = references.front().kind;
    if (flags & kJXReferenceVertex) return kGeometryVertices;
    if (flags & kJXReferenceEdge) return kGeometryEdges;
    if (flags & kJXReferenceFace) return kGeometryFaces;
    return kGeometryBodies;
}
