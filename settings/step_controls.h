// One load step: its end time, time stepping and the results it writes.
#pragma once

#include <set>

#include "settings/output_controls.h"
#include "settings/settings_record.h"
#include "settings/time_step_options.h"

class DorvixStepControlsList;

class DorvixStepControls : public DorvixSettingsRecord {
  public:
    explicit DorvixStepControls(std::set<int> stepCodes = {}, DorvixStepControlsList* owner = nullptr);
    // A copy belongs to no list until a list adopts it.
    DorvixStepControls(const DorvixStepControls& other);
    // Copies every value; the step stays in its own list.
    DorvixStepControls& operator=(const DorvixStepControls& other);

    DorvixTimeStepOptions& GetTimeStepOptions() { return options_; }
    const DorvixTimeStepOptions& GetTimeStepOptions() const { return options_; }
    DorvixOutputControls& GetOutputControls() { return output_; }
    const DorvixOutputControls& GetOutputControls() const { return output_; }
    // Selector 0 the time-step options, 2 the output controls, anything else null.
    DorvixSettingsRecord* GetControls(int selector);

    DorvixStepControlsList* GetOwner() const { return owner_; }
    void SetOwner(DorvixStepControlsList* owner) { owner_ = owner; }

    double GetEndTime() const { return endTime_; }
    // 0 when stored (or unchanged), -1 when the time does not fit between the neighbouring
    // steps. A change rescales this step's span and that of the step after it.
    [[nodiscard]] int SetEndTime(double t);
    // Stores an end time read from a stored record; no span changes.
    void StoreEndTime(double t) { endTime_ = t; }
    // The end time minus that of the previous step of the list (the end time itself for the
    // first step or a step outside a list).
    double GetStepSpan() const;
    // The end time of the step before this one in its list; 0 for the first step.
    double GetPreviousEndTime() const;

    bool GetTimeIntegration() const { return timeIntegration_; }
    void SetTimeIntegration(bool v) { timeIntegration_ = v; }
    bool GetInertialRelief() const { return inertialRelief_; }
    void SetInertialRelief(bool v) { inertialRelief_ = v; }

    bool HasStepCode(int code) const { return codes_.count(code) != 0; }
    const std::set<int>& GetStepCodes() const { return codes_; }
    void SetStepCodes(std::set<int> codes) { codes_ = std::move(codes); }
    void AddStepCode(int code) { codes_.insert(code); }

    // Compares values; the owning list does not take part.
    bool operator==(const DorvixStepControls& other) const;

  private:
    friend class DorvixStepControlsList;
    // SetEndTime for the step at a known 1-based place of its list (as GetStepIndex finds it).
    [[nodiscard]] int SetEndTimeAt(int index, double t);

    DorvixTimeStepOptions options_;
    DorvixOutputControls output_;
    DorvixStepControlsList* owner_ = nullptr;
    double endTime_ = 0.0;
    std::set<int> codes_;
    bool timeIntegration_ = false;
    bool inertialRelief_ = false;
};
