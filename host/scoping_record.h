// The host's description of an object scoped to geometry (a named selection, the scoping of
// an initial condition): plain data that the add-in's ObjectData is built from.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/jx_list.h"

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

// Flag bits of a reference's kind word that decide what a scoping is made of.
inline constexpr std::uint32_t kReferenceFlagVertex = 0x8;
inline constexpr std::uint32_t kReferenceFlagFace = 0x20;
inline constexpr std::uint32_t kReferenceFlagEdge = 0x4000;

// 0 no references, 4 vertices, 5 edges, 2 faces, 1 bodies: decided by the first reference,
// because the host never mixes entity kinds within one scoping.
inline int ReferenceKindOf(const std::vector<JXReference>& references) {
    if (references.empty()) return 0;
    const std::uint32_t flags = references.front().kind;
    if (flags & kReferenceFlagVertex) return 4;
    if (flags & kReferenceFlagEdge) return 5;
    if (flags & kReferenceFlagFace) return 2;
    return 1;
}
