// One remote point as the remote-point writer hands it to the remote-load writer: where the
// pilot node is, which of its degrees of freedom the coupling carries and how.
#pragma once

#include <cstdint>

struct RemotePointRecord {
    // A pilot that is already a mesh node; any other location kind makes a new node.
    static constexpr std::int32_t kExistingNode = 2;
    static constexpr std::int32_t kRigid = 0;
    static constexpr std::int32_t kDeformable = 1;
    // Kept apart from deformable in the record, though the coupling is written the same way.
    static constexpr std::int32_t kBeam = 2;

    std::int32_t id = 0;
    std::int32_t spare = -1;
    // The pilot node; the remote-load writer sets it when it creates the node.
    std::int32_t node = 0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::int32_t locationKind = 0;
    // The degree-of-freedom text written after CM, for example "123456".
    char dofMask[8] = {};
    // 0 rigid; any other value deformable.
    std::int32_t behaviour = kRigid;
    double pinballSize = 0.0;
};
