// Records of the model that the host hands the deck writer as lists: bodies, contacts,
// symmetry regions, springs and command snippets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "host/object_types.h"

struct BodyRecord {
    std::int32_t sequence = 0;   // from 0
    std::int32_t partIndex = 0;  // from 0
    std::int32_t kind = 0;       // HostBodyKind
    std::int32_t bodyMeshId = 0;
    std::int32_t materialId = 0;
    std::int32_t bodyId = 0;
    std::int32_t partMeshId = 0;
    double thickness = 0.0;
    // 0 membrane, 1 axisymmetric, 2 plane strain, 3 generalized plane strain.
    std::int32_t planarBehaviour = 0;
    std::int32_t coordinateSystemId = 0;  // 0 for none
    std::int32_t rigidCode = 0;           // 1, 2 or 3 make the body rigid
    double mass = 0.0;
    double ixx = 0.0;
    double iyy = 0.0;
    double izz = 0.0;
    std::int32_t shellOffsetCode = 0;  // 0 top, 1 middle, 2 bottom, 3 user value
    double userShellOffset = 0.0;
};

// One side of a contact region: geometric entities with an id beside each.
struct ContactSide {
    std::vector<JXReference> references;
    std::vector<std::uint32_t> ids;
};

// Structural and thermal contact regions share one record.
struct ContactRegionRecord {
    std::string name;
    std::int32_t contactType = 1;  // 1 to 5
    std::int32_t offsetMode = 0;   // 1: no offset is written
    double friction = 0.0;
    double offset = 0.0;
    ContactSide source;
    ContactSide target;
    std::int32_t referenceFlag = 0;  // 1: a reference value is present
    double referenceValue = 0.0;
    std::int32_t hostObjectId = 0;
    bool bonded = false;
    std::int32_t marker = 0;  // non-zero flags both face sets
    double conductance = 0.0;
    std::int32_t snippetKey = 0;
};

struct ContactList {
    std::vector<ContactRegionRecord> regions;
    int GetCount() const { return static_cast<int>(regions.size()); }
};

struct SymmetryRegionRecord {
    std::int32_t typeCode = 0;  // 1 is skipped
    bool suppressed = false;
    std::vector<int> bodies;
    std::int32_t hostObjectId = 0;
    std::vector<JXReference> lowBoundary;
    std::vector<JXReference> highBoundary;
    std::int32_t coordinateSystemId = 0;
};

struct SpringRecord {
    std::string name;
    std::int32_t objectId = 0;
    JXReference meshReference{};
    double stiffness = 0.0;
    double damping = 0.0;
    double endA[3] = {0.0, 0.0, 0.0};
    double endB[3] = {0.0, 0.0, 0.0};
    std::int32_t skip = 0;  // 1 skips the record
};

// Which kind of place a command snippet belongs to.
enum HostSnippetKey : int {
    kSnippetStep = 1,  // a load step, or the analysis
    kSnippetRunOptions = 2,
    kSnippetContact = 3,
    kSnippetMaterial = 5,
    kSnippetSpring = 6,
    kSnippetRemotePoint = 8,
    kSnippetBeamConnection = 9,
};

// Raw solver commands the user attached to a host object.
struct CommandSnippet {
    std::int32_t objectId = 0;
    std::string text;        // lines separated by '\n'; empty means no text
    std::int32_t key = 0;    // HostSnippetKey
    std::int32_t step = -1;  // -1 for every step
};
