// The load steps of a step-based analysis, ordered by increasing end time. Indices are 1-based.
#pragma once

#include <memory>
#include <vector>

#include "settings/settings_record.h"
#include "settings/settings_types.h"
#include "settings/step_controls.h"

class DorvixSolutionSettings;

class DorvixStepControlsList : public DorvixSettingsRecord {
  public:
    // Starts with one step ending at 1.0.
    explicit DorvixStepControlsList(DorvixSolutionSettings* owner = nullptr);
    DorvixStepControlsList(const DorvixStepControlsList&) = delete;
    DorvixStepControlsList& operator=(const DorvixStepControlsList&) = delete;

    int GetCount() const { return static_cast<int>(steps_.size()); }
    DorvixStepControls* GetStep(int i) const;
    int GetStepIndex(const DorvixStepControls* step) const;
    // The first step whose end time is at least t; null for a negative t or when none is.
    DorvixStepControls* GetStepAtTime(double t) const;
    int GetStepIndexAtTime(double t) const;

    DorvixSolutionSettings* GetOwner() const { return owner_; }
    // Also gives every step the new owner's template.
    void SetOwner(DorvixSolutionSettings* owner);

    // Grows (new steps end 1.0 after the one before and take the template) or shrinks from
    // the end, in time linear in the steps added. -1 for a negative n, an n above
    // kMaxStepCount (the list is then unchanged) or when a new step cannot be placed.
    [[nodiscard]] int SetNumberOfSteps(int n);
    // -1 when only one step is left or the index names no step; the step after the deleted
    // one takes over its duration.
    [[nodiscard]] int DeleteStep(int i);
    [[nodiscard]] int DeleteStepAtTime(double t);
    void DeleteAllSteps();
    // A new step from the template ending at t, placed in time order. -1 for t <= 0, when a
    // step already ends at t or when the list is full.
    [[nodiscard]] int AddStepAtTime(double t);
    // Takes the step when it can be placed in time order (the pointer is then moved from);
    // -1, and the step left with the caller, when a step already ends at the same time or the
    // list is full.
    [[nodiscard]] int InsertStep(std::unique_ptr<DorvixStepControls>&& step);
    // A new step from the template appended at the end, its end time left as the template's.
    DorvixStepControls& AppendTemplateStep();

    // Replaces the steps by copies of the other list's steps.
    void CopyFrom(const DorvixStepControlsList& other);
    // Moves the other list's steps into this one, which then owns them.
    void TakeStepsFrom(DorvixStepControlsList& other);

    // True when the end times are finite and increase from a positive first one: a list read
    // from a stored record must describe an analysis that moves forward in time.
    bool HasOrderedEndTimes() const { return FirstStepOutOfOrder() == 0; }
    // The index of the first step that breaks that order, or 0.
    int FirstStepOutOfOrder() const;

    bool operator==(const DorvixStepControlsList& other) const;

  private:
    std::unique_ptr<DorvixStepControls> NewTemplateStep();
    void RespanStep(int i);

    std::vector<std::unique_ptr<DorvixStepControls>> steps_;
    DorvixSolutionSettings* owner_ = nullptr;
};
