// Forcing-frequency sweep and solution method of a harmonic analysis.
#pragma once

#include <cstdint>

#include "settings/settings_record.h"
#include "settings/settings_types.h"

class DorvixHarmonicControls : public DorvixSettingsRecord {
  public:
    DorvixHarmonicControls() = default;

    double GetForcingFrequencyMinimum() const { return forcingFrequencyMinimum_; }
    void SetForcingFrequencyMinimum(double v) { forcingFrequencyMinimum_ = v; }
    double GetForcingFrequencyMaximum() const { return forcingFrequencyMaximum_; }
    void SetForcingFrequencyMaximum(double v) { forcingFrequencyMaximum_ = v; }
    std::int32_t GetIntervals() const { return intervals_; }
    void SetIntervals(std::int32_t v) { intervals_ = v; }
    std::int32_t GetClusterNumber() const { return clusterNumber_; }
    void SetClusterNumber(std::int32_t v) { clusterNumber_ = v; }
    bool GetClustering() const { return clustering_; }
    void SetClustering(bool v) { clustering_ = v; }
    bool GetForcingFrequencyStepped() const { return forcingFrequencyStepped_; }
    void SetForcingFrequencyStepped(bool v) { forcingFrequencyStepped_ = v; }
    // 0 mode superposition, any other value full.
    std::int32_t GetHarmonicMethod() const { return harmonicMethod_; }
    void SetHarmonicMethod(std::int32_t v) { harmonicMethod_ = v; }
    // 0 program controlled, any other value a manual range.
    std::int32_t GetModalFrequencyRange() const { return modalFrequencyRange_; }
    void SetModalFrequencyRange(std::int32_t v) { modalFrequencyRange_ = v; }
    // 0 means results are stored at all frequencies.
    std::int32_t GetStoreResultsAtAllFrequencies() const { return storeResultsAtAllFrequencies_; }
    void SetStoreResultsAtAllFrequencies(std::int32_t v) { storeResultsAtAllFrequencies_ = v; }
    double GetManualRangeMinimum() const { return manualRangeMinimum_; }
    void SetManualRangeMinimum(double v) { manualRangeMinimum_ = v; }
    double GetManualRangeMaximum() const { return manualRangeMaximum_; }
    void SetManualRangeMaximum(double v) { manualRangeMaximum_ = v; }
    std::uint32_t GetManualRangeIntervals() const { return manualRangeIntervals_; }
    void SetManualRangeIntervals(std::uint32_t v) { manualRangeIntervals_ = v; }

    bool operator==(const DorvixHarmonicControls&) const = default;

  private:
    double forcingFrequencyMinimum_ = 0.0;
    double forcingFrequencyMaximum_ = 0.0;
    std::int32_t intervals_ = 10;
    std::int32_t clusterNumber_ = 4;
    bool clustering_ = false;
    bool forcingFrequencyStepped_ = true;
    std::int32_t harmonicMethod_ = kModeSuperposition;
    std::int32_t modalFrequencyRange_ = kModalRangeProgramControlled;
    std::int32_t storeResultsAtAllFrequencies_ = 0;
    double manualRangeMinimum_ = 0.0;
    double manualRangeMaximum_ = 0.0;
    std::uint32_t manualRangeIntervals_ = 0;
};
