// Finalising one node: its supports, symmetries and motions combined in order, then the node's own checks.
#include "deck/constraints/node_constraint_record.h"

#include <algorithm>
#include <cmath>

namespace {

// Out-of-plane parts below this share of a vector's length are rounding, not a direction.
constexpr double kPlaneTolerance = 1e-9;

bool LeavesPlane(double z, const Vector3& v) { return z > kPlaneTolerance * v.Length(); }

DirectionConstraint Held(std::int32_t kind, const Vector3& direction, std::int32_t dofKind,
                         std::uint32_t id) {
    return {kind, direction, DofCondition(dofKind, id)};
}

}  // namespace

void NodeConstraintRecord::GetPrescribedValueKey(int slot, std::uint32_t& conditionId, std::int32_t& key,
                                                 std::uint8_t& reversed) const {
    const DofCondition& dof = state.Dof(slot);
    conditionId = dof.conditionId;
    key = dof.key;
    reversed = dof.reversed;
}

void NodeConstraintRecord::ApplySupports() {
    for (const SupportEntry& support : supports) {
        const std::uint32_t id = support.conditionId;
        if (support.isFixed) {
            for (int slot = kUX; slot <= kRZ; ++slot) state.Dof(slot).SetKind(kDofFixed, id);
        } else if (support.isSimple || support.isLocked) {
            // A fixed support listed earlier stays: the strongest condition wins whatever the order.
            for (int slot = kUX; slot <= kUZ; ++slot)
                if (state.Dof(slot).kind != kDofFixed)
                    state.Dof(slot).SetKind(support.isSimple ? kDofSimple : kDofLocked, id);
        } else if (support.hasFixedRotation) {
            state.rotation = DirectionConstraint::Combine(
                state.rotation, Held(kConstraintDirection, support.fixedRotationAxis, kDofRotationHeld, id));
        } else if (support.hasCylinderDirection) {
            state.translation = DirectionConstraint::Combine(
                state.translation,
                Held(kConstraintDirection, support.cylinderDirection, kDofTranslationHeld, id));
        }
    }
}

bool NodeConstraintRecord::ApplySymmetries() {
    for (const SymmetryEntry& symmetry : symmetries) {
        const Vector3& n = symmetry.normal;
        const std::uint32_t id = symmetry.conditionId;
        if (twoDimensional && LeavesPlane(n.z, n)) return false;
        if (!symmetry.isAntiSymmetric) {
            state.translation = DirectionConstraint::Combine(
                state.translation, Held(kConstraintDirection, n, kDofTranslationHeld, id));
            state.rotation = DirectionConstraint::Combine(
                state.rotation, Held(kConstraintAllButAxis, n, kDofRotationHeld, id));
        } else {
            if (!twoDimensional)
                state.rotation = DirectionConstraint::Combine(
                    state.rotation, Held(kConstraintDirection, n, kDofRotationHeld, id));
            state.translation = DirectionConstraint::Combine(
                state.translation, Held(kConstraintAllButAxis, n, kDofTranslationHeld, id));
        }
    }
    return true;
}

bool NodeConstraintRecord::ApplyMotions(const std::vector<MotionEntry>& motions, std::int32_t valueKind,
                                        std::int32_t zeroKind) {
    for (const MotionEntry& entry : motions) {
        for (int k = 0; k < 3; ++k) {
            const Vector3& axis = entry.frame.GetAxis(AxisIndex(k));
            const std::int32_t flag = entry.flags[k];
            if (flag == kMotionPrescribed) {
                if (twoDimensional && LeavesPlane(std::fabs(axis.z), axis)) return false;
                state.AddPrescribedValue(valueKind, entry.conditionId, entry.keys[k], entry.value, axis);
            } else if (flag == kMotionZero) {
                state.motion = DirectionConstraint::Combine(
                    state.motion, Held(kConstraintDirection, axis, zeroKind, entry.conditionId));
            }
        }
    }
    return true;
}

NodeFinaliseResult NodeConstraintRecord::Finalise() {
    state = NodeConstraintState();
    state.twoDimensional = twoDimensional;
    if (rotational) {
        for (int slot = kRX; slot <= kRZ; ++slot) state.Dof(slot).Activate();
        state.rotationsActive = true;
    }
    if (twoDimensional) {
        state.Dof(kUX).Activate();
        state.Dof(kUY).Activate();
        state.Dof(kUZ).Deactivate();
        state.Dof(kRX).Deactivate();
        state.Dof(kRY).Deactivate();
        state.Dof(kRZ).Activate();
        state.rotationsActive = true;
    }
    ApplySupports();
    if (!ApplySymmetries())
        return NodeFinaliseResult::Failure("a symmetry normal leaves the plane of the two-dimensional model");
    if (!ApplyMotions(displacements, kDofPrescribedDisplacement, kDofZeroDisplacement))
        return NodeFinaliseResult::Failure(
            "a prescribed displacement leaves the plane of the two-dimensional model");
    if (!ApplyMotions(velocities, kDofPrescribedVelocity, kDofZeroVelocity))
        return NodeFinaliseResult::Failure(
            "a prescribed velocity leaves the plane of the two-dimensional model");
    for (const CouplingEntry& coupling : couplings) state.couplingKeys.push_back(coupling.couplingKey);
    std::ranges::sort(state.couplingKeys);
    if (std::ranges::adjacent_find(state.couplingKeys) != state.couplingKeys.end())
        return NodeFinaliseResult::Failure("two coupling conditions couple the same degrees of freedom");
    if (!couplings.empty() &&
        (!supports.empty() || !symmetries.empty() || !displacements.empty() || !velocities.empty()))
        return NodeFinaliseResult::Failure("a coupling condition shares the node with a support or motion");
    return state.Consolidate(localFrame.get());
}
