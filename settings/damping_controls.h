// Damping of a transient or harmonic structural analysis.
#pragma once

#include <cstdint>
#include <set>

#include "settings/settings_record.h"
#include "settings/settings_types.h"

class DorvixDampingControls : public DorvixSettingsRecord {
  public:
    DorvixDampingControls() = default;
    explicit DorvixDampingControls(std::set<int> presentControls) : present_(std::move(presentControls)) {}

    bool IsControlPresent(int code) const { return present_.count(code) != 0; }
    const std::set<int>& GetPresentControls() const { return present_; }
    void SetPresentControls(std::set<int> codes) { present_ = std::move(codes); }
    void AddPresentControl(int code) { present_.insert(code); }

    double GetConstantValue() const { return constantValue_; }
    double SetConstantValue(double v) { return constantValue_ = v; }
    // 0 by value, 1 by frequency and measure.
    std::uint32_t GetBetaDampingDefinition() const { return betaDefinition_; }
    std::uint32_t SetBetaDampingDefinition(std::uint32_t v) { return betaDefinition_ = v; }
    double GetBetaDamping() const { return betaDamping_; }
    void SetBetaDamping(double v) { betaDamping_ = v; }
    double GetFrequency() const { return frequency_; }
    void SetFrequency(double v) { frequency_ = v; }
    double GetMeasure() const { return measure_; }
    void SetMeasure(double v) { measure_ = v; }
    double GetNumericalValue() const { return numericalValue_; }
    void SetNumericalValue(double v) { numericalValue_ = v; }

    // Beta = measure / (pi * frequency), with pi in single precision; a frequency of (nearly)
    // zero leaves beta alone.
    void UpdateBetaFromFrequency();

    bool operator==(const DorvixDampingControls&) const = default;

  private:
    double constantValue_ = 0.0;
    std::uint32_t betaDefinition_ = kBetaByValue;
    double betaDamping_ = 0.0;
    double frequency_ = 0.0;
    double measure_ = 0.0;
    double numericalValue_ = 0.1;
    std::set<int> present_;
};
