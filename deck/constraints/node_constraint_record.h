// Everything listed on one node and, once finalised, its consolidated state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "deck/constraints/node_constraint_entries.h"
#include "deck/constraints/node_constraint_state.h"

struct NodeConstraintRecord {
    explicit NodeConstraintRecord(std::int32_t id = 0) : nodeId(id) {}

    // Rebuilds the state from the listed conditions; the answer HasError when the node cannot
    // be expressed. Finalising twice gives the same state.
    NodeFinaliseResult Finalise();

    void SetLocalFrame(const CoordSystemSafe& frame) {
        localFrame = std::make_unique<CoordSystemSafe>(frame);
    }
    bool HasLocalFrame() const { return localFrame != nullptr; }

    // For the displacement writer, slot kUX..kRZ: kind 9 or 10.
    bool HasPrescribedValue(int slot) const { return state.Dof(slot).IsPrescribedValue(); }
    void GetPrescribedValueKey(int slot, std::uint32_t& conditionId, std::int32_t& key,
                               std::uint8_t& reversed) const;

    std::int32_t nodeId = 0;
    std::uint8_t reservedFlag = 0;  // kept in saved tables only
    bool twoDimensional = false;
    bool rotational = false;                      // the node carries rotations (sheet and wire bodies)
    std::unique_ptr<CoordSystemSafe> localFrame;  // null: none given
    std::vector<SupportEntry> supports;
    std::vector<MotionEntry> displacements;
    std::vector<MotionEntry> velocities;
    std::vector<SymmetryEntry> symmetries;
    std::vector<CouplingEntry> couplings;
    NodeConstraintState state;

  private:
    void ApplySupports();
    [[nodiscard]] bool ApplySymmetries();
    [[nodiscard]] bool ApplyMotions(const std::vector<MotionEntry>& motions, std::int32_t valueKind,
                                    std::int32_t zeroKind);
};
