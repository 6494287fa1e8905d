// Setting and taking over a degree of freedom's condition, sameness tests, and the relative value tolerance.
#include "deck/constraints/dof_condition.h"

#include <cmath>

void DofCondition::SetKind(std::int32_t newKind, std::uint32_t id) {
    if (!IsActive()) return;
    kind = newKind;
    conditionId = id;
    value = 0.0;
    key = 0;
    reversed = 0;
}

void DofCondition::Take(const DofCondition& condition, bool isReversed) {
    if (!IsActive()) return;
    kind = condition.kind;
    conditionId = condition.conditionId;
    value = condition.value;
    key = condition.key;
    reversed = isReversed ? 1 : 0;
}

bool DofCondition::IsSameAs(const DofCondition& other) const {
    if (kind != other.kind) return false;
    if (!IsPrescribedValue()) return true;
    return conditionId == other.conditionId && key == other.key && AreValuesEqual(value, other.value);
}

bool DofCondition::IsZeroMotion(std::int32_t code) const {
    if (code == kZeroDisplacementCode) return kind == kDofZeroDisplacement;
    if (code == kZeroVelocityCode) return kind == kDofZeroVelocity;
    return false;
}

bool AreValuesEqual(double first, double second) {
    constexpr double kZero = 1e-12;
    if (std::fabs(second) <= kZero) return std::fabs(first) <= kZero;
    return std::fabs(first - second) <= std::fabs(first) / 1e10;
}
