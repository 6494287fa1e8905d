// The per-node constraint table of a solve. The boundary-condition pre-pass lists every
// support, symmetry region, coupling condition and prescribed displacement or velocity node by
// node (the add operations); FinaliseAll then resolves each node into one condition per degree
// of freedom (UX, UY, UZ, RX, RY, RZ) in a node frame in which every held direction lies along
// an axis; the support, node-rotation and displacement writers read the result through the
// walks and readers below.
//
// Node arrays are a count and that many node ids; a count of 0 or less or a null array adds
// nothing. Ids are the model object's id (`id`) and its host object type id (`type`).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "deck/constraints/node_constraint_record.h"
#include "platform/com.h"

class JXStream;

class NodeConstraintTable {
  public:
    using Flags = std::array<std::int32_t, 3>;  // per component: 1 free, 2 held at zero, 3 prescribed
    using Keys = std::array<std::int32_t, 3>;   // per component: key carried into the degree of freedom

    NodeConstraintTable() = default;

    // Removes every record; the two-dimensional flag and the rotational nodes stay.
    void Clear();
    // Two-dimensional model: nodes have UX, UY and RZ only; node frames turn about global Z.
    void SetTwoDimensional();
    // Nodes of sheet and wire bodies, which carry rotations.
    void MarkRotationalNodes(std::int32_t count, const std::int32_t* nodes);
    NodeConstraintRecord& GetOrCreateRecord(std::int32_t node);

    void AddFixedSupport(std::uint32_t id, std::uint32_t type, std::int32_t count, const std::int32_t* nodes);
    void AddSimpleSupport(std::uint32_t id, std::uint32_t type, std::int32_t count,
                          const std::int32_t* nodes);
    // Translation held along the direction (frictionless and cylindrical supports).
    void AddCylindricalSupport(std::uint32_t id, std::uint32_t type, std::int32_t node,
                               const Vector3& direction);
    // Rotation held about the axis.
    void AddFixedRotation(std::uint32_t id, std::uint32_t type, std::int32_t count, const std::int32_t* nodes,
                          const Vector3& axis);
    void AddSymmetryRegion(std::uint32_t id, std::uint32_t type, std::int32_t node, bool antiSymmetric,
                           const Vector3& normal);
    // A node listed twice in the array gets one entry.
    void AddCouplingCondition(std::uint32_t id, std::uint32_t type, std::int32_t count,
                              const std::int32_t* nodes, std::int32_t couplingKey);
    // Motions of displacement types (513-515) or velocity types (547-549), value 0.0; other
    // types are dropped. The components run along the frame's X, Y and Z axes.
    void AddNodalMotionList(std::uint32_t id, std::uint32_t type, std::int32_t count,
                            const std::int32_t* nodes, const CoordSystemSafe& frame, const Flags& flags,
                            const Keys& keys);
    void AddNodalMotion(std::uint32_t id, std::uint32_t type, std::int32_t node, const CoordSystemSafe& frame,
                        const Flags& flags, const Keys& keys);
    // Only the frame's X component; Y and Z free.
    void AddPrescribedMotion(std::uint32_t id, std::uint32_t type, std::int32_t node,
                             const CoordSystemSafe& frame, std::int32_t flag, std::int32_t key);
    // A displacement with a value, whatever the type.
    void AddNodalMotionInFrame(std::uint32_t id, std::uint32_t type, std::int32_t count,
                               const std::int32_t* nodes, const CoordSystemSafe& frame, double value,
                               const Flags& flags, const Keys& keys);
    // The user frame of the node, taken as node frame when it fits the held directions.
    void SetNodeFrame(std::int32_t node, const CoordSystemSafe& frame);

    // Finalises every record in ascending node order: S_OK, or E_FAIL at the first node that
    // cannot be expressed (later nodes stay unfinalised; GetFailureText names the node).
    [[nodiscard]] HRESULT FinaliseAll();
    // "node <id>: <reason>" of the node that failed the last FinaliseAll; empty otherwise.
    const std::string& GetFailureText() const { return failureText_; }
    std::int32_t GetFinalisationCount() const { return finalisationCount_; }

    // False for a node without a record or a fixed one; else whether its frame is turned.
    bool HasNodeRotation(std::int32_t node) const;
    // The node frame; the global frame for a node without a record.
    CoordSystemSafe GetNodeFrame(std::int32_t node) const;
    const NodeConstraintRecord* FindRecord(std::int32_t node) const;
    // Condition ids of every UX, UY, UZ of kind 9. E_FAIL (set emptied) before FinaliseAll.
    [[nodiscard]] HRESULT CollectPrescribedDisplacementIds(std::set<std::uint32_t>& ids) const;
    // Ascending ids of the nodes whose slot (kUX, kUY or kUZ) has kind 9 or 10 with exactly this
    // condition id, key and reversed byte. E_FAIL (vector emptied) before FinaliseAll.
    [[nodiscard]] HRESULT CollectNodesWithPrescribedValue(int slot, std::uint32_t conditionId,
                                                          std::int32_t key, std::uint8_t reversed,
                                                          std::vector<std::int32_t>& nodes) const;

    // Reads a saved table (see node_constraint_stream.cpp for the layout) into this one. Any
    // inconsistency, short read or non-finite number leaves the table empty and answers E_FAIL.
    [[nodiscard]] HRESULT Load(JXStream& stream);

    // One line per record, ascending node order, for tests and golden files:
    //   "<node> <UX> <UY> <UZ> <RX> <RY> <RZ> global"
    //   "<node> <UX> <UY> <UZ> <RX> <RY> <RZ> x=<x>,<y>,<z> y=... z=..."
    // the kinds as numbers (DofKind) and the node frame's axes rounded to 6 decimals.
    std::string DumpText() const;

    const std::map<std::int32_t, NodeConstraintRecord>& Records() const { return records_; }
    bool IsTwoDimensional() const { return twoDimensional_; }
    // Kept from saved tables; nothing consults it.
    std::uint32_t GetReservedWord() const { return reservedWord_; }

  private:
    void AddMotion(const MotionEntry& entry, std::int32_t node, bool anyType);
    template <class Action>
    void ForEachNode(std::int32_t count, const std::int32_t* nodes, Action action);

    std::int32_t finalisationCount_ = 0;
    bool twoDimensional_ = false;
    std::uint32_t reservedWord_ = 1;
    std::map<std::int32_t, NodeConstraintRecord> records_;
    std::set<std::int32_t> rotationalNodes_;
    std::string failureText_;
};

// Which records a walk visits.
enum class NodeWalkFilter {
    kFixedSupports,   // UX of kind 2
    kSimpleSupports,  // UX of kind 3
    kZeroMotionX,     // UX held at zero for the walk's code (19 displacement, 54 velocity)
    kZeroMotionY,
    kZeroMotionZ,
    kDirectionSupportX,  // UX of kind 5
    kDirectionSupportY,
    kDirectionSupportZ,
    kRotatedNodes,  // HasNodeRotation
};

// Walks the records that pass a filter in ascending node order:
//   for (walk.First(); !walk.IsAtEnd(); walk.Next()) use(walk.GetNodeId());
class NodeConstraintWalk {
  public:
    NodeConstraintWalk(const NodeConstraintTable& table, NodeWalkFilter filter, std::int32_t code = 0)
        : table_(table), filter_(filter), code_(code), at_(table.Records().end()) {}
    void First();
    void Next();
    bool IsAtEnd() const { return at_ == table_.Records().end(); }
    std::int32_t GetNodeId() const { return IsAtEnd() ? 0 : at_->first; }
    const NodeConstraintRecord* GetRecord() const { return IsAtEnd() ? nullptr : &at_->second; }

  private:
    bool Passes(const NodeConstraintRecord& record) const;
    void SkipToPassing();

    const NodeConstraintTable& table_;
    NodeWalkFilter filter_;
    std::int32_t code_;
    std::map<std::int32_t, NodeConstraintRecord>::const_iterator at_;
};
