// Merging two held-direction sets, removing what a release frees, and a global axis across a direction.
#include "deck/constraints/direction_constraint.h"

namespace {

const Vector3 kGlobalAxes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

Vector3 UnitCross(const Vector3& a, const Vector3& b) { return a.Cross(b).Normalized(); }

}  // namespace

bool IsParallel(const Vector3& a, const Vector3& b) {
    return AreVectorsParallel(a, b, kDirectionToleranceDegrees);
}

bool IsPerpendicular(const Vector3& a, const Vector3& b) {
    return AreVectorsPerpendicular(a, b, kDirectionToleranceDegrees);
}

DirectionConstraint DirectionConstraint::Combine(const DirectionConstraint& first,
                                                 const DirectionConstraint& second) {
    if (first.kind == kConstraintNone) return second;
    if (second.kind == kConstraintNone || first.kind == kConstraintAll) return first;
    if (second.kind == kConstraintAll) return second;
    const DirectionConstraint all(kConstraintAll, Vector3{}, first.condition);
    if (first.kind == kConstraintDirection && second.kind == kConstraintDirection) {
        if (IsParallel(first.vector, second.vector)) return first;
        return {kConstraintAllButAxis, UnitCross(first.vector, second.vector), first.condition};
    }
    if (first.kind == kConstraintAllButAxis && second.kind == kConstraintAllButAxis)
        return IsParallel(first.vector, second.vector) ? first : all;
    const DirectionConstraint& axis = first.kind == kConstraintAllButAxis ? first : second;
    const DirectionConstraint& normal = first.kind == kConstraintAllButAxis ? second : first;
    return IsPerpendicular(normal.vector, axis.vector) ? axis : all;
}

DirectionConstraint DirectionConstraint::Release(const DirectionConstraint& released,
                                                 const DirectionConstraint& held) {
    if (released.kind == kConstraintNone) return held;
    const DofCondition& c = held.condition;
    if (released.kind == kConstraintAll || held.kind == kConstraintNone)
        return {kConstraintNone, Vector3{}, c};
    const Vector3& r = released.vector;
    const Vector3& h = held.vector;
    if (released.kind == kConstraintDirection) {
        switch (held.kind) {
            case kConstraintDirection:
                if (IsParallel(r, h)) return {kConstraintNone, Vector3{}, c};
                return {kConstraintDirection, r.Cross(h).Cross(r).Normalized(), c};
            case kConstraintAllButAxis:
                if (IsPerpendicular(r, h)) return {kConstraintDirection, UnitCross(h, r), c};
                return {kConstraintAllButAxis, r, c};
            default:
                return {kConstraintAllButAxis, r, c};
        }
    }
    switch (held.kind) {  // released everything but r: at most r stays held
        case kConstraintDirection:
            if (IsPerpendicular(h, r)) return {kConstraintNone, Vector3{}, c};
            return {kConstraintDirection, r, c};
        case kConstraintAllButAxis:
            if (IsParallel(h, r)) return {kConstraintNone, Vector3{}, c};
            return {kConstraintDirection, r, c};
        default:
            return {kConstraintDirection, r, c};
    }
}

Vector3 PickPerpendicularAxis(const Vector3& v) {
    for (int i = 0; i < 3; ++i)
        if (IsParallel(v, kGlobalAxes[i])) return kGlobalAxes[(i + 1) % 3];
    for (const Vector3& axis : kGlobalAxes)
        if (IsPerpendicular(v, axis)) return axis;
    return PerpendicularVector(v);
}
