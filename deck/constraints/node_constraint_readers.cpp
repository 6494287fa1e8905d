// What the deck writers read of a finalised table.
#include <cmath>

#include "deck/constraints/node_constraint_table.h"
#include "foundation/number_format.h"

namespace {

// Rotation angles (degrees) up to this size are rounding of an unturned frame.
constexpr double kRotationAngleTolerance = 0.001;

bool IsFrameTurned(const CoordSystemSafe& frame) {
    for (const double angle : frame.GetRotationAngles())
        if (std::fabs(angle) > kRotationAngleTolerance) return true;
    return false;
}

void AppendRounded(std::string& out, double value) {
    AppendSignificant(out, std::round(value * 1e6) / 1e6, 6);
}

}  // namespace

const NodeConstraintRecord* NodeConstraintTable::FindRecord(std::int32_t node) const {
    const auto found = records_.find(node);
    return found == records_.end() ? nullptr : &found->second;
}

bool NodeConstraintTable::HasNodeRotation(std::int32_t node) const {
    const NodeConstraintRecord* record = FindRecord(node);
    if (!record || record->state.Dof(kUX).kind == kDofFixed) return false;
    return IsFrameTurned(record->state.GetResolvedFrame());
}

CoordSystemSafe NodeConstraintTable::GetNodeFrame(std::int32_t node) const {
    const NodeConstraintRecord* record = FindRecord(node);
    return record ? record->state.GetResolvedFrame() : CoordSystemSafe();
}

HRESULT NodeConstraintTable::CollectPrescribedDisplacementIds(std::set<std::uint32_t>& ids) const {
    ids.clear();
    if (finalisationCount_ == 0) return E_FAIL;
    for (const auto& [node, record] : records_)
        for (int slot = kUX; slot <= kUZ; ++slot)
            if (record.state.Dof(slot).kind == kDofPrescribedDisplacement)
                ids.insert(record.state.Dof(slot).conditionId);
    return S_OK;
}

HRESULT NodeConstraintTable::CollectNodesWithPrescribedValue(int slot, std::uint32_t conditionId,
                                                             std::int32_t key, std::uint8_t reversed,
                                                             std::vector<std::int32_t>& nodes) const {
    nodes.clear();
    if (finalisationCount_ == 0 || slot < kUX || slot > kUZ) return E_FAIL;
    for (const auto& [node, record] : records_) {
        const DofCondition& dof = record.state.Dof(slot);
        if (dof.IsPrescribedValue() && dof.conditionId == conditionId && dof.key == key &&
            dof.reversed == reversed)
            nodes.push_back(node);  // the map is ascending and has each node once
    }
    return S_OK;
}

std::string NodeConstraintTable::DumpText() const {
    std::string out;
    for (const auto& [node, record] : records_) {
        AppendInt(out, node);
        for (int slot = kUX; slot <= kRZ; ++slot) {
            out += ' ';
            AppendInt(out, record.state.Dof(slot).kind);
        }
        const CoordSystemSafe frame = record.state.GetResolvedFrame();
        if (frame.GetFrame() == Matrix3::Identity()) {
            out += " global\n";
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            out += k == 0 ? " x=" : k == 1 ? " y=" : " z=";
            const Vector3& axis = frame.GetAxis(AxisIndex(k));
            AppendRounded(out, axis.x);
            out += ',';
            AppendRounded(out, axis.y);
            out += ',';
            AppendRounded(out, axis.z);
        }
        out += '\n';
    }
    return out;
}

bool NodeConstraintWalk::Passes(const NodeConstraintRecord& record) const {
    const NodeConstraintState& s = record.state;
    switch (filter_) {
        case NodeWalkFilter::kFixedSupports:
            return s.Dof(kUX).kind == kDofFixed;
        case NodeWalkFilter::kSimpleSupports:
            return s.Dof(kUX).kind == kDofSimple;
        case NodeWalkFilter::kZeroMotionX:
            return s.Dof(kUX).IsZeroMotion(code_);
        case NodeWalkFilter::kZeroMotionY:
            return s.Dof(kUY).IsZeroMotion(code_);
        case NodeWalkFilter::kZeroMotionZ:
            return s.Dof(kUZ).IsZeroMotion(code_);
        case NodeWalkFilter::kDirectionSupportX:
            return s.Dof(kUX).kind == kDofTranslationHeld;
        case NodeWalkFilter::kDirectionSupportY:
            return s.Dof(kUY).kind == kDofTranslationHeld;
        case NodeWalkFilter::kDirectionSupportZ:
            return s.Dof(kUZ).kind == kDofTranslationHeld;
        case NodeWalkFilter::kRotatedNodes:
            return s.Dof(kUX).kind != kDofFixed && IsFrameTurned(s.GetResolvedFrame());
    }
    return false;
}

void NodeConstraintWalk::SkipToPassing() {
    const auto end = table_.Records().end();
    while (at_ != end && !Passes(at_->second)) ++at_;
}

void NodeConstraintWalk::First() {
    at_ = table_.Records().begin();
    SkipToPassing();
}

void NodeConstraintWalk::Next() {
    if (IsAtEnd()) return;
    ++at_;
    SkipToPassing();
}
