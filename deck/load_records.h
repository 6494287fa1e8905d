// Load descriptions carried by the records of the feeder's object-type table: a plain load,
// a lumped mass with inertia, and a temperature. They are kept, copied and streamed; the
// deck writers read them through the table record's accessors.
#pragma once

#include <cstdint>

#include "foundation/coord_system.h"

class JXStream;

// Answers of Save and Load: done, or (Load only) the stream ended or failed part-way and the
// object is unchanged.
inline constexpr int kLoadRecordDone = 0;
inline constexpr int kLoadRecordReadFailed = -1;

class CLoad {
  public:
    explicit CLoad(const int& objectType) : objectType_(objectType) {}
    CLoad(const CLoad&) = default;
    CLoad& operator=(const CLoad&) = default;
    virtual ~CLoad() = default;

    virtual void CopyFrom(const CLoad& other);
    // kLoadRecordDone always.
    [[nodiscard]] virtual int Save(JXStream& stream) const;
    // kLoadRecordDone, also for a record of another version (nothing is read then);
    // kLoadRecordReadFailed when the stream ends early.
    [[nodiscard]] virtual int Load(JXStream& stream);

    std::int32_t firstNumber = 0;
    std::int32_t GetObjectType() const { return objectType_; }
    std::int32_t kind = 0;  // 0 to 3
    std::int32_t flag = 0;  // 0 or 1
    CoordSystemSafe frame;

  protected:
    // The fields of the plain record after its version, for the derived records' readers.
    bool ReadFields(JXStream& stream);
    void WriteFields(JXStream& stream) const;

  private:
    std::int32_t objectType_;
};

class CPointMass : public CLoad {
  public:
    explicit CPointMass(const int& objectType) : CLoad(objectType) {}

    void CopyFrom(const CLoad& other) override;
    [[nodiscard]] int Save(JXStream& stream) const override;
    [[nodiscard]] int Load(JXStream& stream) override;

    double mass = 0.0;
    double point[3] = {0.0, 0.0, 0.0};
    std::int32_t integer = 0;
    double inertia[3] = {0.0, 0.0, 0.0};  // MIXX, MIYY, MIZZ
};

// A temperature load: recognised in the host's table, never created by the add-in itself.
class CTemperature : public CLoad {
  public:
    explicit CTemperature(const int& objectType) : CLoad(objectType) {}

    void CopyFrom(const CLoad& other) override;

    double temperature = 0.0;
    std::uint8_t temperatureFlag = 0;
};
