// The table's add operations, node by node, and the finalisation that stops at the first node in conflict.
#include "deck/constraints/node_constraint_table.h"

#include <algorithm>

#include "foundation/number_format.h"
#include "host/object_types.h"

namespace {

// Displacements and velocities come in three condition types: on a surface, an edge, a vertex.
bool IsDisplacementType(std::uint32_t type) {
    return type >= kHostDisplacementSurfaceType && type <= kHostDisplacementVertexType;
}

bool IsVelocityType(std::uint32_t type) {
    return type >= kHostVelocitySurfaceType && type <= kHostVelocityVertexType;
}

SupportEntry Support(std::uint32_t id, std::uint32_t type, bool SupportEntry::*flag) {
    SupportEntry entry;
    entry.conditionId = id;
    entry.conditionType = type;
    entry.*flag = true;
    return entry;
}

}  // namespace

template <class Action>
void NodeConstraintTable::ForEachNode(std::int32_t count, const std::int32_t* nodes, Action action) {
    if (!nodes) return;
    for (std::int32_t i = 0; i < count; ++i) action(GetOrCreateRecord(nodes[i]));
}

void NodeConstraintTable::Clear() {
    records_.clear();
    failureText_.clear();
}

void NodeConstraintTable::SetTwoDimensional() {
    twoDimensional_ = true;
    for (auto& [node, record] : records_) record.twoDimensional = true;
}

void NodeConstraintTable::MarkRotationalNodes(std::int32_t count, const std::int32_t* nodes) {
    if (!nodes) return;
    for (std::int32_t i = 0; i < count; ++i) {
        rotationalNodes_.insert(nodes[i]);
        const auto found = records_.find(nodes[i]);
        if (found != records_.end()) found->second.rotational = true;
    }
}

NodeConstraintRecord& NodeConstraintTable::GetOrCreateRecord(std::int32_t node) {
    auto [at, created] = records_.try_emplace(node, node);
    if (created) {
        at->second.twoDimensional = twoDimensional_;
        at->second.rotational = rotationalNodes_.contains(node);
    }
    return at->second;
}

void NodeConstraintTable::AddFixedSupport(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                          const std::int32_t* nodes) {
    ForEachNode(count, nodes, [&](NodeConstraintRecord& record) {
        record.supports.push_back(Support(id, type, &SupportEntry::isFixed));
    });
}

void NodeConstraintTable::AddSimpleSupport(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                           const std::int32_t* nodes) {
    ForEachNode(count, nodes, [&](NodeConstraintRecord& record) {
        record.supports.push_back(Support(id, type, &SupportEntry::isSimple));
    });
}

void NodeConstraintTable::AddCylindricalSupport(std::uint32_t id, std::uint32_t type, std::int32_t node,
                                                const Vector3& direction) {
    NodeConstraintRecord& record = GetOrCreateRecord(node);
    record.supports.push_back(Support(id, type, &SupportEntry::hasCylinderDirection));
    record.supports.back().cylinderDirection = direction;
    record.state.translation = DirectionConstraint::Combine(
        record.state.translation,
        DirectionConstraint(kConstraintDirection, direction, DofCondition(kDofTranslationHeld, id)));
}

void NodeConstraintTable::AddFixedRotation(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                           const std::int32_t* nodes, const Vector3& axis) {
    ForEachNode(count, nodes, [&](NodeConstraintRecord& record) {
        record.supports.push_back(Support(id, type, &SupportEntry::hasFixedRotation));
        record.supports.back().fixedRotationAxis = axis;
        record.state.rotation = DirectionConstraint::Combine(
            record.state.rotation,
            DirectionConstraint(kConstraintDirection, axis, DofCondition(kDofRotationHeld, id)));
    });
}

void NodeConstraintTable::AddSymmetryRegion(std::uint32_t id, std::uint32_t type, std::int32_t node,
                                            bool antiSymmetric, const Vector3& normal) {
    GetOrCreateRecord(node).symmetries.push_back(
        {.conditionId = id, .conditionType = type, .normal = normal, .isAntiSymmetric = antiSymmetric});
}

void NodeConstraintTable::AddCouplingCondition(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                               const std::int32_t* nodes, std::int32_t couplingKey) {
    if (!nodes || count <= 0) return;
    std::vector<std::int32_t> unique(nodes, nodes + count);
    std::ranges::sort(unique);
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    for (const std::int32_t node : unique)
        GetOrCreateRecord(node).couplings.push_back({id, type, couplingKey});
}

void NodeConstraintTable::AddMotion(const MotionEntry& entry, std::int32_t node, bool anyType) {
    if (anyType || IsDisplacementType(entry.conditionType))
        GetOrCreateRecord(node).displacements.push_back(entry);
    else if (IsVelocityType(entry.conditionType))
        GetOrCreateRecord(node).velocities.push_back(entry);
}

void NodeConstraintTable::AddNodalMotionList(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                             const std::int32_t* nodes, const CoordSystemSafe& frame,
                                             const Flags& flags, const Keys& keys) {
    if (!nodes) return;
    const MotionEntry entry{id, type, frame, flags, 0.0, keys};
    for (std::int32_t i = 0; i < count; ++i) AddMotion(entry, nodes[i], false);
}

void NodeConstraintTable::AddNodalMotion(std::uint32_t id, std::uint32_t type, std::int32_t node,
                                         const CoordSystemSafe& frame, const Flags& flags, const Keys& keys) {
    AddMotion({id, type, frame, flags, 0.0, keys}, node, false);
}

void NodeConstraintTable::AddPrescribedMotion(std::uint32_t id, std::uint32_t type, std::int32_t node,
                                              const CoordSystemSafe& frame, std::int32_t flag,
                                              std::int32_t key) {
    AddMotion({id, type, frame, {flag, kMotionFree, kMotionFree}, 0.0, {key, 0, 0}}, node, false);
}

void NodeConstraintTable::AddNodalMotionInFrame(std::uint32_t id, std::uint32_t type, std::int32_t count,
                                                const std::int32_t* nodes, const CoordSystemSafe& frame,
                                                double value, const Flags& flags, const Keys& keys) {
    if (!nodes) return;
    const MotionEntry entry{id, type, frame, flags, value, keys};
    for (std::int32_t i = 0; i < count; ++i) AddMotion(entry, nodes[i], true);
}

void NodeConstraintTable::SetNodeFrame(std::int32_t node, const CoordSystemSafe& frame) {
    GetOrCreateRecord(node).SetLocalFrame(frame);
}

HRESULT NodeConstraintTable::FinaliseAll() {
    ++finalisationCount_;
    failureText_.clear();
    for (auto& [node, record] : records_) {
        const NodeFinaliseResult result = record.Finalise();
        if (result.HasError()) {
            failureText_ = "node ";
            AppendInt(failureText_, node);
            failureText_ += ": ";
            failureText_ += result.reason.empty() ? "the conditions cannot be combined" : result.reason;
            return E_FAIL;
        }
    }
    return S_OK;
}
