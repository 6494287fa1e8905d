// A set of held directions in space (translations or rotations of one node) and the two
// operations the consolidation is built from: adding constraints and removing what another
// constraint frees.
#pragma once

#include <cstdint>

#include "deck/constraints/dof_condition.h"
#include "foundation/vector3.h"

// Angle within which two directions count as parallel or perpendicular.
inline constexpr double kDirectionToleranceDegrees = 0.01;

enum ConstraintKind : std::int32_t {
    kConstraintNone = 0,        // nothing held
    kConstraintDirection = 1,   // the vector's direction is held
    kConstraintAllButAxis = 2,  // everything is held except along the vector
    kConstraintAll = 3,         // everything is held
};

struct DirectionConstraint {
    std::int32_t kind = kConstraintNone;
    Vector3 vector;
    DofCondition condition;  // what the degrees of freedom it reaches are given

    DirectionConstraint() = default;
    DirectionConstraint(std::int32_t kindValue, const Vector3& direction, const DofCondition& conditionOf)
        : kind(kindValue), vector(direction), condition(conditionOf) {}

    bool HoldsDirection() const { return kind == kConstraintDirection || kind == kConstraintAllButAxis; }

    // Everything either holds. Carries first's condition unless an input is answered whole.
    static DirectionConstraint Combine(const DirectionConstraint& first, const DirectionConstraint& second);
    // What of `held` stays held once `released` is freed. Carries held's condition.
    static DirectionConstraint Release(const DirectionConstraint& released, const DirectionConstraint& held);
};

// A global axis perpendicular to v where one exists (the cyclic successor when v lies along
// an axis), else a unit vector perpendicular to v.
Vector3 PickPerpendicularAxis(const Vector3& v);

bool IsParallel(const Vector3& a, const Vector3& b);
bool IsPerpendicular(const Vector3& a, const Vector3& b);
