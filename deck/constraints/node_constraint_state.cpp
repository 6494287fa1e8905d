// Consolidating a node: repeated values dropped, held directions merged, conflicts of values and axes found.
#include "deck/constraints/node_constraint_state.h"

#include <algorithm>
#include <utility>

NodeConstraintState::NodeConstraintState() {
    for (int slot = kRX; slot <= kRZ; ++slot) dofs_[slot].kind = kDofInactive;
}

void NodeConstraintState::AddPrescribedValue(std::int32_t kind, std::uint32_t id, std::int32_t key,
                                             double value, const Vector3& direction) {
    auto& values = kind == kDofPrescribedVelocity ? velocityValues : displacementValues;
    // Repeats are dropped in one pass when the node is consolidated (DropRepeatedValues), so that
    // a node listed by many conditions costs no pairwise comparison of all of them.
    values.emplace_back(kConstraintDirection, direction, DofCondition(kind, id, value, key));
}

void DropRepeatedValues(std::vector<DirectionConstraint>& values) {
    if (values.size() < 2) return;
    // Only values of one condition and key can repeat each other: compare within those groups.
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto group = [&](std::size_t i) {
        return std::pair(values[i].condition.conditionId, values[i].condition.key);
    };
    std::ranges::stable_sort(order, [&](std::size_t a, std::size_t b) { return group(a) < group(b); });
    std::vector<bool> repeated(values.size(), false);
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && group(order[end]) == group(order[begin])) ++end;
        for (std::size_t i = begin + 1; i < end; ++i) {
            const DirectionConstraint& later = values[order[i]];
            for (std::size_t j = begin; j < i; ++j) {
                const DirectionConstraint& kept = values[order[j]];
                if (!repeated[order[j]] && IsParallel(kept.vector, later.vector) &&
                    kept.condition.IsSameAs(later.condition)) {
                    repeated[order[i]] = true;
                    break;
                }
            }
        }
        begin = end;
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!repeated[i]) values[next++] = values[i];
    values.resize(next);
}

void NodeConstraintState::AddConflict(std::vector<DofCondition> conditions, const char* reason) {
    conflicts_.push_back({E_FAIL, std::move(conditions), reason});
}

NodeFinaliseResult NodeConstraintState::Consolidate(const CoordSystemSafe* userFrame) {
    DropRepeatedValues(displacementValues);
    DropRepeatedValues(velocityValues);
    const std::int32_t ux = dofs_[kUX].kind;
    if (ux == kDofFixed) {
        displacementValues.clear();
        velocityValues.clear();
        motion = translation = rotation = DirectionConstraint();
        return {};
    }
    if (ux == kDofSimple) {
        displacementValues.clear();
        velocityValues.clear();
        motion = translation = DirectionConstraint();
    } else if (ux == kDofLocked) {
        rotation = DirectionConstraint();
    }
    motion = DirectionConstraint::Release(translation, motion);
    totalTranslation = DirectionConstraint::Combine(translation, motion);

    if (conflicts_.empty()) CheckValueLists();
    if (conflicts_.empty()) CheckRotationAgainstTranslation();
    if (conflicts_.empty()) ResolveNodeFrame(userFrame);
    if (conflicts_.empty()) ApplyToDofSlots();
    if (conflicts_.empty()) return {};
    const NodeConflict& first = conflicts_.front();
    return {first.status, first.conditions, first.reason};
}

void NodeConstraintState::CheckValueLists() {
    for (auto* values : {&displacementValues, &velocityValues}) {
        if (totalTranslation.kind == kConstraintAll) {
            values->clear();
        } else if (totalTranslation.HoldsDirection()) {
            std::erase_if(*values, [this](const DirectionConstraint& value) {
                return DirectionConstraint::Release(totalTranslation, value).kind == kConstraintNone;
            });
        }
    }
    CheckOrthogonality(displacementValues, "more than three prescribed displacements",
                       "two prescribed displacements are not perpendicular");
    CheckOrthogonality(velocityValues, "more than three prescribed velocities",
                       "two prescribed velocities are not perpendicular");
    for (const auto* values : {&displacementValues, &velocityValues}) {
        for (const DirectionConstraint& value : *values) {
            if (!IsParallel(value.vector, totalTranslation.vector) &&
                !IsPerpendicular(value.vector, totalTranslation.vector)) {
                AddConflict({value.condition, totalTranslation.condition},
                            "a prescribed value is neither parallel nor perpendicular to a held translation");
                break;
            }
        }
    }
}

void NodeConstraintState::CheckOrthogonality(const std::vector<DirectionConstraint>& values,
                                             const char* tooMany, const char* notPerpendicular) {
    const std::size_t n = values.size();
    if (n <= 1) return;
    if (n > 3) {
        std::vector<DofCondition> all;
        for (const DirectionConstraint& value : values) all.push_back(value.condition);
        AddConflict(std::move(all), tooMany);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const DirectionConstraint& a = values[i];
        const DirectionConstraint& b = values[(i + 1) % n];
        if (!IsPerpendicular(a.vector, b.vector)) {
            AddConflict({a.condition, b.condition}, notPerpendicular);
            return;
        }
    }
}

void NodeConstraintState::CheckRotationAgainstTranslation() {
    if (!rotationsActive || !rotation.HoldsDirection() || totalTranslation.kind == kConstraintAll) return;
    const auto skew = [](const Vector3& a, const Vector3& b) {
        return !IsParallel(a, b) && !IsPerpendicular(a, b);
    };
    for (const DirectionConstraint& value : displacementValues)
        if (skew(value.vector, rotation.vector))
            AddConflict({value.condition, rotation.condition},
                        "a prescribed displacement is neither parallel nor perpendicular to a held rotation");
    if (totalTranslation.HoldsDirection() && skew(totalTranslation.vector, rotation.vector))
        AddConflict({totalTranslation.condition, rotation.condition},
                    "a held translation is neither parallel nor perpendicular to a held rotation");
}
