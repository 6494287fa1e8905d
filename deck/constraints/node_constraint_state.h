// The consolidated conditions of one node: the held directions gathered from its conditions,
// the prescribed values, the node frame and the final condition of each degree of freedom.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "deck/constraints/direction_constraint.h"
#include "deck/constraints/dof_condition.h"
#include "foundation/coord_system.h"
#include "platform/com.h"

// Degree-of-freedom slots: translations then rotations, in the node frame.
enum DofSlot : int { kUX = 0, kUY = 1, kUZ = 2, kRX = 3, kRY = 4, kRZ = 5 };

// Why a node cannot be expressed: the conditions involved and a short reason.
struct NodeConflict {
    HRESULT status = E_FAIL;
    std::vector<DofCondition> conditions;
    std::string reason;
};

struct NodeFinaliseResult {
    HRESULT status = S_OK;
    std::vector<DofCondition> conditions;
    std::string reason;  // empty on success

    bool HasError() const { return status < 0 || !conditions.empty(); }
    static NodeFinaliseResult Failure(std::string why) { return {E_FAIL, {}, std::move(why)}; }
};

class NodeConstraintState {
  public:
    NodeConstraintState();

    // Appends a prescribed value (kind 9 or 10) along the direction; a parallel one of the same
    // condition listed earlier makes it a repeat, dropped when the node is consolidated.
    void AddPrescribedValue(std::int32_t kind, std::uint32_t id, std::int32_t key, double value,
                            const Vector3& direction);
    // Resolves the blocks and values into the node frame and the six conditions. The user
    // frame (null: none) wins when it fits the held directions.
    NodeFinaliseResult Consolidate(const CoordSystemSafe* userFrame);

    void CheckValueLists();
    void CheckRotationAgainstTranslation();
    void ResolveNodeFrame(const CoordSystemSafe* userFrame);
    void ApplyToDofSlots();
    // False when a held direction lies along no axis of the node frame.
    bool ApplyDirectionToDofs(const DirectionConstraint& constraint, bool rotational);

    const DofCondition& Dof(int slot) const { return dofs_[slot]; }
    DofCondition& Dof(int slot) { return dofs_[slot]; }
    CoordSystemSafe GetResolvedFrame() const { return resolvedFrame_ ? *resolvedFrame_ : CoordSystemSafe(); }
    const std::vector<NodeConflict>& GetConflicts() const { return conflicts_; }

    // The blocks the record's conditions are combined into.
    DirectionConstraint translation;  // conditions of kind 5
    DirectionConstraint rotation;     // kind 6
    DirectionConstraint motion;       // kinds 7 and 8
    DirectionConstraint totalTranslation;
    std::vector<DirectionConstraint> displacementValues;  // kind 9
    std::vector<DirectionConstraint> velocityValues;      // kind 10
    std::vector<std::int32_t> couplingKeys;
    bool rotationsActive = false;
    // Two-dimensional node frames turn about global Z only.
    bool twoDimensional = false;

  private:
    void AddConflict(std::vector<DofCondition> conditions, const char* reason);
    void CheckOrthogonality(const std::vector<DirectionConstraint>& values, const char* tooMany,
                            const char* notPerpendicular);
    void SetResolvedFrame(const CoordSystemSafe& frame);

    std::array<DofCondition, 6> dofs_;
    std::vector<NodeConflict> conflicts_;
    std::unique_ptr<CoordSystemSafe> resolvedFrame_;  // null: the global frame
};

// Keeps the first of values that are parallel and the same condition, in list order.
void DropRepeatedValues(std::vector<DirectionConstraint>& values);

// The node frame from a frame whose axes carry the held directions: the same axes turned and
// ordered to lie as close to the global ones as they can, or the user frame when its axes
// are those directions.
CoordSystemSafe ChooseNodeFrame(const CoordSystemSafe& built, const CoordSystemSafe* userFrame);
