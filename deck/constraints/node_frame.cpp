// The node frame of a consolidated node and the assignment of its held directions to the six
// degrees of freedom of that frame.
#include <cmath>

#include "deck/constraints/node_constraint_state.h"
#include "foundation/constants.h"

namespace {

const CoordSystemSafe kGlobalFrame;

// Z components below this share of the vector's length count as zero in two-dimensional models.
constexpr double kPlaneTolerance = 1e-9;

bool IsAlongGlobalAxis(const Vector3& v) {
    for (int k = 0; k < 3; ++k)
        if (IsParallel(v, kGlobalFrame.GetAxis(AxisIndex(k)))) return true;
    return false;
}

bool IsParallelToSomeAxis(const Vector3& v, const CoordSystemSafe& frame) {
    for (int k = 0; k < 3; ++k)
        if (IsParallel(v, frame.GetAxis(AxisIndex(k)))) return true;
    return false;
}

// The user frame is taken when it carries the chosen frame's axes.
bool UserFrameFits(const CoordSystemSafe& frame, const CoordSystemSafe* userFrame) {
    return userFrame && IsParallelToSomeAxis(frame.GetXAxis(), *userFrame) &&
           IsParallelToSomeAxis(frame.GetYAxis(), *userFrame);
}

// A frame with the held directions along its axes (the second one only when it can be).
CoordSystemSafe BuildFrame(const DirectionConstraint& first, const DirectionConstraint* second) {
    CoordSystemSafe frame;
    const Vector3& a = first.vector;
    if (second && !IsParallel(a, second->vector)) {
        const Vector3& b = second->vector;
        HRESULT built = E_FAIL;
        if (first.kind == second->kind) {
            built = frame.SetAxes(a, 0, b, 1);
        } else {
            const Vector3& normal = first.kind == kConstraintDirection ? a : b;
            const Vector3& axis = first.kind == kConstraintDirection ? b : a;
            built = IsPerpendicular(normal, axis) ? frame.SetAxes(normal, 0, axis, 2)
                                                  : frame.SetAxes(normal, 0, PickPerpendicularAxis(axis), 1);
        }
        if (SUCCEEDED(built)) return frame;
    }
    const HRESULT built = first.kind == kConstraintDirection
                              ? frame.SetAxes(a, 0, PickPerpendicularAxis(a), 1)
                              : frame.SetAxes(a, 2, PickPerpendicularAxis(a), 0);
    if (FAILED(built)) frame.Reset();
    return frame;
}

// A rotation about global Z by the angle of the first direction that has an in-plane part,
// brought into -45..45 degrees so the frame stays as near the global one as it can.
CoordSystemSafe BuildPlaneFrame(const DirectionConstraint* const* gathered, std::size_t count) {
    CoordSystemSafe frame;
    for (std::size_t i = 0; i < count; ++i) {
        const Vector3& v = gathered[i]->vector;
        const double inPlane = std::hypot(v.x, v.y);
        if (!(inPlane > kPlaneTolerance * v.Length())) continue;
        double angle = std::atan2(v.y, v.x);
        angle -= (kPi / 2.0) * std::round(angle / (kPi / 2.0));
        const double c = std::cos(angle), s = std::sin(angle);
        Matrix3 axes;
        axes.row[0] = {c, s, 0.0};
        axes.row[1] = {-s, c, 0.0};
        frame.SetFrame(axes);
        break;
    }
    return frame;
}

}  // namespace

void NodeConstraintState::SetResolvedFrame(const CoordSystemSafe& frame) {
    if (frame == kGlobalFrame)
        resolvedFrame_.reset();
    else
        resolvedFrame_ = std::make_unique<CoordSystemSafe>(frame);
}

void NodeConstraintState::ResolveNodeFrame(const CoordSystemSafe* userFrame) {
    resolvedFrame_.reset();
    const DirectionConstraint* gathered[2] = {nullptr, nullptr};
    std::size_t count = 0;
    const auto gather = [&](const DirectionConstraint& c) {
        if (count < 2 && c.HoldsDirection()) gathered[count++] = &c;
    };
    // Velocity values come after the displacement values so that both find an axis.
    for (const DirectionConstraint& value : displacementValues) gather(value);
    for (const DirectionConstraint& value : velocityValues) gather(value);
    gather(translation);
    gather(motion);
    if (rotationsActive && count < 2 && rotation.HoldsDirection() &&
        (count == 0 || DirectionConstraint::Release(*gathered[0], rotation).kind > kConstraintNone))
        gather(rotation);
    if (count == 0) return;

    bool allGlobal = true;
    for (std::size_t i = 0; i < count; ++i) allGlobal = allGlobal && IsAlongGlobalAxis(gathered[i]->vector);
    CoordSystemSafe frame;
    if (allGlobal)
        frame = kGlobalFrame;
    else if (twoDimensional)
        frame = BuildPlaneFrame(gathered, count);
    else
        frame = ChooseNodeFrame(BuildFrame(*gathered[0], gathered[1]), userFrame);
    SetResolvedFrame(UserFrameFits(frame, userFrame) ? *userFrame : frame);
}

CoordSystemSafe ChooseNodeFrame(const CoordSystemSafe& built, const CoordSystemSafe* userFrame) {
    const Vector3 x = built.GetXAxis(), y = built.GetYAxis(), z = built.GetZAxis();
    const Vector3 turns[8][2] = {{x, z}, {y, z}, {-x, z}, {-y, z}, {y, -z}, {-x, -z}, {-y, -z}, {x, -z}};
    CoordSystemSafe candidate;
    for (const auto& turn : turns) {
        (void)candidate.SetAxes(turn[0], 0, turn[1], 2);  // the axes are perpendicular unit vectors
        const Vector3 sum = candidate.GetXAxis() + candidate.GetYAxis() + candidate.GetZAxis();
        // Rounding leaves -1e-17 where an axis lies in a global plane; that is no negative part.
        constexpr double kNoise = -1e-12;
        if (sum.x >= kNoise && sum.y >= kNoise && sum.z >= kNoise) break;
    }
    // The first nearest pair wins. Distances equal but for rounding (two axes that coincide
    // exactly, each off by an ulp) are a tie, so the choice does not hang on the last bit.
    constexpr double kTie = 1e-12;
    double nearest = 3.0;
    int bestCandidate = 0, bestBuilt = 0;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            const double distance = (candidate.GetAxis(AxisIndex(i)) - built.GetAxis(AxisIndex(j))).Length();
            if (distance < nearest - kTie) {
                nearest = distance;
                bestCandidate = i;
                bestBuilt = j;
            }
        }
    }
    if (bestCandidate == bestBuilt && !userFrame) return candidate;
    CoordSystemSafe rebuilt;
    const AxisIndex i(bestCandidate), j(bestBuilt);
    if (FAILED(rebuilt.SetAxes(candidate.GetAxis(i), j.GetValue(), candidate.GetAxis(i.Next()),
                               j.Next().GetValue())))
        return candidate;
    return UserFrameFits(rebuilt, userFrame) ? *userFrame : rebuilt;
}

bool NodeConstraintState::ApplyDirectionToDofs(const DirectionConstraint& constraint, bool rotational) {
    const CoordSystemSafe& frame = resolvedFrame_ ? *resolvedFrame_ : kGlobalFrame;
    const int base = rotational ? kRX : kUX;
    switch (constraint.kind) {
        case kConstraintNone:
            return true;
        case kConstraintAll:
            for (int k = 0; k < 3; ++k) dofs_[base + k].Take(constraint.condition, false);
            return true;
        default:
            break;
    }
    for (int k = 0; k < 3; ++k) {
        const Vector3& axis = frame.GetAxis(AxisIndex(k));
        if (!IsParallel(axis, constraint.vector)) continue;
        if (constraint.kind == kConstraintDirection) {
            dofs_[base + k].Take(constraint.condition, axis.Dot(constraint.vector) < 0.0);
        } else {
            dofs_[base + (k + 1) % 3].Take(constraint.condition, false);
            dofs_[base + (k + 2) % 3].Take(constraint.condition, false);
        }
        return true;
    }
    return false;
}

void NodeConstraintState::ApplyToDofSlots() {
    for (const auto* values : {&displacementValues, &velocityValues})
        for (const DirectionConstraint& value : *values)
            if (!ApplyDirectionToDofs(value, false))
                AddConflict({value.condition}, "a prescribed value lies along no axis of the node frame");
    if (!ApplyDirectionToDofs(translation, false))
        AddConflict({translation.condition}, "a held translation lies along no axis of the node frame");
    if (!ApplyDirectionToDofs(motion, false))
        AddConflict({motion.condition},
                    "a motion component held at zero lies along no axis of the node frame");
    if (rotationsActive && !ApplyDirectionToDofs(rotation, true))
        AddConflict({rotation.condition}, "a held rotation lies along no axis of the node frame");
}
