// Mode extraction controls of a modal analysis; a buckling analysis uses the same record.
#pragma once

#include <cstdint>

#include "foundation/unit_systems.h"
#include "settings/settings_record.h"

// The record keeps the reference temperature in degrees Celsius: the solver's reference unit
// system 11 with Celsius temperatures. The system's temperatures "in unit system 11" (room
// temperature 22, the modal default 0) are meant in degrees Celsius, never in kelvin.
inline constexpr int kReferenceUnitSystem = 11;
inline constexpr int kReferenceTemperatureSystem = kReferenceUnitSystem | kUnitFlagCelsius;
inline constexpr int kTemperatureQuantity = kQuantityTemperature;

class DorvixModalControls : public DorvixSettingsRecord {
  public:
    DorvixModalControls() = default;

    std::int32_t GetNumModesToFind() const { return numModesToFind_; }
    // Fewer than one mode makes no analysis: such a request falls back to six modes.
    void SetNumModesToFind(std::int32_t n) { numModesToFind_ = n < 1 ? 6 : n; }
    // Stores a count read from a stored document as it stands.
    void StoreNumModesToFind(std::int32_t n) { numModesToFind_ = n; }

    // Keeps 0 <= min <= max and turns the range search on unless the range is the default one.
    void SetFrequencyRange(double minFrequency, double maxFrequency);
    void GetFrequencyRange(double& minFrequency, double& maxFrequency) const {
        minFrequency = minFrequency_;
        maxFrequency = maxFrequency_;
    }
    // Stores a range read from a stored document as it stands, without the rules above.
    void StoreFrequencyRange(double minFrequency, double maxFrequency) {
        minFrequency_ = minFrequency;
        maxFrequency_ = maxFrequency;
    }
    double GetMinFrequency() const { return minFrequency_; }
    double GetMaxFrequency() const { return maxFrequency_; }
    bool GetRangeSearch() const { return rangeSearch_; }
    void SetRangeSearch(bool v) { rangeSearch_ = v; }

    // The reference temperature expressed in the given unit system.
    double GetRefTemperature(int unitSystem) const;
    // Takes a temperature expressed in the given unit system.
    void SetRefTemperature(double value, int unitSystem);
    // The stored value, in degrees Celsius.
    double GetStoredRefTemperature() const { return refTemperature_; }
    void StoreRefTemperature(double value) { refTemperature_ = value; }

    std::uint32_t GetHarmonicIndex() const { return harmonicIndex_; }
    void SetHarmonicIndex(std::uint32_t v) { harmonicIndex_ = v; }

    bool operator==(const DorvixModalControls&) const = default;

  private:
    std::int32_t numModesToFind_ = 6;
    double minFrequency_ = 0.0;
    double maxFrequency_ = 1e8;
    bool rangeSearch_ = false;
    double refTemperature_ = 0.0;
    std::uint32_t harmonicIndex_ = 0;
};
