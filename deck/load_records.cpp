// Copying and streaming the plain-load, point-mass and temperature records, each read whole or not at all.
#include "deck/load_records.h"

#include "foundation/jx_stream.h"

namespace {

constexpr std::int32_t kRecordVersion = 1;

std::int32_t KindFromByte(std::uint8_t b) { return b >= 1 && b <= 3 ? b : 0; }

}  // namespace

void CLoad::CopyFrom(const CLoad& other) {
    objectType_ = other.objectType_;
    firstNumber = other.firstNumber;
    kind = other.kind;
    flag = other.flag;
    frame = other.frame;
}

void CLoad::WriteFields(JXStream& stream) const {
    stream.WriteInt32(kRecordVersion);
    stream.WriteInt32(firstNumber);
    stream.WriteInt32(objectType_);
    stream.WriteByte(static_cast<std::uint8_t>(kind >= 1 && kind <= 3 ? kind : 0));
    stream.WriteByte(flag == 1 ? 1 : 0);
    frame.Save(stream);
}

int CLoad::Save(JXStream& stream) const {
    WriteFields(stream);
    return kLoadRecordDone;
}

bool CLoad::ReadFields(JXStream& stream) {
    std::int32_t number = 0, type = 0;
    std::uint8_t kindByte = 0, flagByte = 0;
    CoordSystemSafe loadedFrame;
    if (!stream.ReadInt32(&number) || !stream.ReadInt32(&type) || !stream.ReadByte(&kindByte) ||
        !stream.ReadByte(&flagByte) || !loadedFrame.Load(stream))
        return false;
    firstNumber = number;
    objectType_ = type;
    kind = KindFromByte(kindByte);
    flag = flagByte == 1 ? 1 : 0;
    frame = loadedFrame;
    return true;
}

int CLoad::Load(JXStream& stream) {
    std::int32_t version = 0;
    if (!stream.ReadInt32(&version)) return kLoadRecordReadFailed;
    if (version != kRecordVersion) return kLoadRecordDone;
    CLoad copy(*this);
    if (!copy.ReadFields(stream)) return kLoadRecordReadFailed;
    *this = copy;
    return kLoadRecordDone;
}

void CPointMass::CopyFrom(const CLoad& other) {
    CLoad::CopyFrom(other);
    if (const auto* mass_ = dynamic_cast<const CPointMass*>(&other)) {
        mass = mass_->mass;
        for (int i = 0; i < 3; ++i) {
            point[i] = mass_->point[i];
            inertia[i] = mass_->inertia[i];
        }
        integer = mass_->integer;
    }
}

int CPointMass::Save(JXStream& stream) const {
    stream.WriteInt32(kRecordVersion);
    WriteFields(stream);
    stream.WriteDoubles(point, 3);
    stream.WriteDouble(mass);
    stream.WriteInt32(integer);
    for (double v : inertia) stream.WriteDouble(v);
    return kLoadRecordDone;
}

int CPointMass::Load(JXStream& stream) {
    std::int32_t version = 0;
    if (!stream.ReadInt32(&version)) return kLoadRecordReadFailed;
    if (version != kRecordVersion) return kLoadRecordDone;
    CPointMass copy(*this);
    std::int32_t loadVersion = 0;
    if (!stream.ReadInt32(&loadVersion)) return kLoadRecordReadFailed;
    // A plain-load record of another version carries nothing this reader knows.
    if (loadVersion != kRecordVersion) return kLoadRecordDone;
    if (!copy.ReadFields(stream) || !stream.ReadDouble(copy.point, 3) || !stream.ReadDouble(&copy.mass) ||
        !stream.ReadInt32(&copy.integer) || !stream.ReadDouble(copy.inertia, 3))
        return kLoadRecordReadFailed;
    *this = copy;
    return kLoadRecordDone;
}

void CTemperature::CopyFrom(const CLoad& other) {
    CLoad::CopyFrom(other);
    if (const auto* t = dynamic_cast<const CTemperature*>(&other)) {
        temperature = t->temperature;
        temperatureFlag = t->temperatureFlag;
    }
}
