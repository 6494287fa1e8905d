// Which results a load step (or a whole analysis) writes, and at which time points.
#pragma once

#include <cstdint>
#include <set>

#include "platform/com.h"
#include "settings/settings_record.h"
#include "settings/settings_types.h"

template <class T>
class JXList;

class DorvixOutputControls : public DorvixSettingsRecord {
  public:
    DorvixOutputControls() = default;
    explicit DorvixOutputControls(std::set<int> supported, std::set<int> requested = {});

    // A code counts as requested only while the class also supports it.
    bool IsOutputRequested(int code) const;
    // Unsupported codes are ignored.
    void SetOutputRequested(int code, bool on);
    bool IsOutputSupported(int code) const { return supported_.count(code) != 0; }

    const std::set<int>& GetSupportedOutputs() const { return supported_; }
    void SetSupportedOutputs(std::set<int> codes) { supported_ = std::move(codes); }
    void AddSupportedOutput(int code) { supported_.insert(code); }
    const std::set<int>& GetRequestedOutputs() const { return requested_; }
    // Raw access for restoring stored records: the codes are kept whether supported or not.
    void SetRequestedOutputs(std::set<int> codes) { requested_ = std::move(codes); }

    const std::set<double>& GetResultSets() const { return resultSets_; }
    void SetResultSets(std::set<double> values) { resultSets_ = std::move(values); }
    // S_OK and the i-th value in ascending order; E_FAIL when i is outside the set.
    [[nodiscard]] HRESULT GetResultSetValue(int i, double& value) const;
    void CopyResultSetsTo(JXList<double>& list) const;

    std::uint32_t GetResultSetsType() const { return resultSetsType_; }
    void SetResultSetsType(std::uint32_t v) { resultSetsType_ = v; }
    std::int32_t GetTimePointsOptions() const { return timePointsOptions_; }
    void SetTimePointsOptions(std::int32_t v) { timePointsOptions_ = v; }
    std::int32_t GetEquallySpaced() const { return equallySpaced_; }
    void SetEquallySpaced(std::int32_t v) { equallySpaced_ = v; }

    bool operator==(const DorvixOutputControls&) const = default;

  private:
    std::set<double> resultSets_;
    std::set<int> supported_;
    std::set<int> requested_;
    std::uint32_t resultSetsType_ = kResultSetsAuto;
    std::int32_t timePointsOptions_ = kTimePointsAll;
    std::int32_t equallySpaced_ = 1;
};
