// Saved tables. Layout (int32/uint32 32-bit integers, double IEEE, byte one byte where only 1
// is true; "skip" is an int32 that is read and not kept):
//   table:    skip, uint32 record count, per record: uint32 node id + record,
//             int32 finalisation count, uint32 reserved word
//   record:   skip, int32 node id, byte rotational, byte reserved, byte two-dimensional,
//             int32 has local frame, frame, then uint32 count + entries for supports,
//             displacements, velocities, symmetry regions, coupling conditions
//   support:  skip, uint32 id, uint32 type, 3 doubles cylinder direction, 3 doubles rotation axis,
//             bytes isFixed, isSimple, isLocked, hasFixedRotation, hasCylinderDirection
//   motion:   skip, uint32 id, uint32 type, frame, 3 int32 flags, double value, 3 int32 keys
//   symmetry: skip, uint32 id, uint32 type, 3 doubles normal, byte isAntiSymmetric
//   coupling: skip, uint32 id, uint32 type, int32 coupling key
// A frame is the CoordSystemSafe record. The states are not saved: FinaliseAll rebuilds them.
#include "deck/constraints/node_constraint_stream.h"

#include <cmath>

#include "deck/constraints/node_constraint_table.h"
#include "foundation/jx_stream.h"

namespace {

constexpr std::size_t kFrameBytes = 14 * 8 + 12;
// Smallest size of each item, so that a count can be checked against the bytes left.
constexpr std::size_t kRecordBytes = 4 + 4 + 4 + 3 + 4 + kFrameBytes + 5 * 4;
constexpr std::size_t kSupportBytes = 4 + 8 + 6 * 8 + 5;
constexpr std::size_t kMotionBytes = 4 + 8 + kFrameBytes + 12 + 8 + 12;
constexpr std::size_t kSymmetryBytes = 4 + 8 + 3 * 8 + 1;
constexpr std::size_t kCouplingBytes = 4 + 8 + 4;

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class TableReader {
  public:
    explicit TableReader(JXStream& stream) : s_(stream) {}

    bool Skip() {
        std::int32_t ignored = 0;
        return s_.ReadInt32(&ignored);
    }
    bool Ids(std::uint32_t& id, std::uint32_t& type) {
        return Skip() && s_.ReadUInt32(&id) && s_.ReadUInt32(&type);
    }
    bool Direction(Vector3& v) {
        double values[3];
        if (!s_.ReadDouble(values, 3)) return false;
        v = Vector3(values);
        return IsFinite(v);
    }
    bool Frame(CoordSystemSafe& frame) {
        if (!frame.Load(s_)) return false;
        for (int k = 0; k < 3; ++k)
            if (!IsFinite(frame.GetAxis(AxisIndex(k)))) return false;
        return IsFinite(frame.GetOrigin()) && std::isfinite(frame.GetParam1()) &&
               std::isfinite(frame.GetParam2());
    }
    template <class Entry, class ReadOne>
    bool Entries(std::vector<Entry>& entries, std::size_t bytesPerEntry, ReadOne readOne) {
        std::uint32_t count = 0;
        if (!s_.ReadCount(count, bytesPerEntry)) return false;
        entries.resize(count);
        for (Entry& entry : entries)
            if (!readOne(entry)) return false;
        return true;
    }

    bool Support(SupportEntry& e) {
        return Ids(e.conditionId, e.conditionType) && Direction(e.cylinderDirection) &&
               Direction(e.fixedRotationAxis) && s_.ReadBool(&e.isFixed) && s_.ReadBool(&e.isSimple) &&
               s_.ReadBool(&e.isLocked) && s_.ReadBool(&e.hasFixedRotation) &&
               s_.ReadBool(&e.hasCylinderDirection);
    }
    bool Motion(MotionEntry& e) {
        return Ids(e.conditionId, e.conditionType) && Frame(e.frame) && s_.ReadInt32(e.flags.data(), 3) &&
               s_.ReadDouble(&e.value) && std::isfinite(e.value) && s_.ReadInt32(e.keys.data(), 3);
    }
    bool Symmetry(SymmetryEntry& e) {
        return Ids(e.conditionId, e.conditionType) && Direction(e.normal) && s_.ReadBool(&e.isAntiSymmetric);
    }
    bool Coupling(CouplingEntry& e) {
        return Ids(e.conditionId, e.conditionType) && s_.ReadInt32(&e.couplingKey);
    }

    bool Record(NodeConstraintRecord& r) {
        std::int32_t hasLocalFrame = 0;
        CoordSystemSafe frame;
        if (!Skip() || !s_.ReadInt32(&r.nodeId) || !s_.ReadBool(&r.rotational) ||
            !s_.ReadByte(&r.reservedFlag) || !s_.ReadBool(&r.twoDimensional) ||
            !s_.ReadInt32(&hasLocalFrame) || !Frame(frame))
            return false;
        if (hasLocalFrame != 0) r.SetLocalFrame(frame);
        return Entries(r.supports, kSupportBytes, [this](SupportEntry& e) { return Support(e); }) &&
               Entries(r.displacements, kMotionBytes, [this](MotionEntry& e) { return Motion(e); }) &&
               Entries(r.velocities, kMotionBytes, [this](MotionEntry& e) { return Motion(e); }) &&
               Entries(r.symmetries, kSymmetryBytes, [this](SymmetryEntry& e) { return Symmetry(e); }) &&
               Entries(r.couplings, kCouplingBytes, [this](CouplingEntry& e) { return Coupling(e); });
    }

  private:
    JXStream& s_;
};

}  // namespace

HRESULT NodeConstraintTable::Load(JXStream& stream) {
    records_.clear();
    failureText_.clear();
    finalisationCount_ = 0;
    reservedWord_ = 1;
    TableReader reader(stream);
    std::uint32_t count = 0;
    bool good = reader.Skip() && stream.ReadCount(count, 4 + kRecordBytes);
    for (std::uint32_t i = 0; good && i < count; ++i) {
        std::uint32_t node = 0;
        NodeConstraintRecord record;
        // The record repeats its node id; two that differ, or a node saved twice, is a damaged table.
        good = stream.ReadUInt32(&node) && reader.Record(record) &&
               record.nodeId == static_cast<std::int32_t>(node) &&
               records_.try_emplace(record.nodeId, std::move(record)).second;
    }
    std::int32_t finalisations = 0;
    std::uint32_t reservedWord = 0;
    good = good && stream.ReadInt32(&finalisations) && stream.ReadUInt32(&reservedWord) && finalisations >= 0;
    if (!good) {
        records_.clear();
        return E_FAIL;
    }
    finalisationCount_ = finalisations;
    reservedWord_ = reservedWord;
    return S_OK;
}

LateOwned<NodeConstraintTable> ReadNodeConstraintTable(IStream* stream, HRESULT& result) {
    result = E_FAIL;
    if (!stream) return {};
    JXStream reader(stream);
    LateOwned<NodeConstraintTable> table = LateOwned<NodeConstraintTable>::Make();
    if (FAILED(table->Load(reader))) return {};
    result = S_OK;
    return table;
}
