// The conditions the pre-pass lists on one node, kept as given until the node is finalised.
// Every entry starts with the id of the model object that produced it and that object's host
// object type (HostObjectType: a displacement, velocity, fixed rotation, symmetry region,
// coupling condition, ...).
#pragma once

#include <array>
#include <cstdint>

#include "foundation/coord_system.h"

struct SupportEntry {
    std::uint32_t conditionId = 0;
    std::uint32_t conditionType = 0;
    Vector3 cylinderDirection;
    Vector3 fixedRotationAxis;
    // One flag per entry; the first set one in this order decides what the entry does.
    bool isFixed = false;
    bool isSimple = false;
    bool isLocked = false;
    bool hasCylinderDirection = false;
    bool hasFixedRotation = false;
};

// Component flags of a motion.
enum MotionComponentFlag : std::int32_t {
    kMotionFree = 1,
    kMotionZero = 2,
    kMotionPrescribed = 3,
};

// A displacement or velocity: its three components run along the frame's X, Y and Z axes.
struct MotionEntry {
    std::uint32_t conditionId = 0;
    std::uint32_t conditionType = 0;
    CoordSystemSafe frame;
    std::array<std::int32_t, 3> flags = {kMotionFree, kMotionFree, kMotionFree};
    double value = 0.0;
    std::array<std::int32_t, 3> keys = {0, 0, 0};  // carried into the degree of freedom
};

struct SymmetryEntry {
    std::uint32_t conditionId = 0;
    std::uint32_t conditionType = 0;
    Vector3 normal;
    bool isAntiSymmetric = false;
};

struct CouplingEntry {
    std::uint32_t conditionId = 0;
    std::uint32_t conditionType = 0;
    std::int32_t couplingKey = 0;  // the coupled degree-of-freedom selection as the pre-pass encodes it
};
