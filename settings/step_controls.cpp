// Copying a step without its owner, its span after the step before, end times kept between its neighbours.
#include "settings/step_controls.h"

#include <cmath>

#include "settings/step_controls_list.h"

DorvixStepControls::DorvixStepControls(std::set<int> stepCodes, DorvixStepControlsList* owner)
    : owner_(owner), codes_(std::move(stepCodes)) {}

DorvixStepControls::DorvixStepControls(const DorvixStepControls& other)
    : DorvixSettingsRecord(other),
      options_(other.options_),
      output_(other.output_),
      owner_(nullptr),
      endTime_(other.endTime_),
      codes_(other.codes_),
      timeIntegration_(other.timeIntegration_),
      inertialRelief_(other.inertialRelief_) {}

DorvixStepControls& DorvixStepControls::operator=(const DorvixStepControls& other) {
    if (this == &other) return *this;
    options_ = other.options_;
    output_ = other.output_;
    endTime_ = other.endTime_;
    codes_ = other.codes_;
    timeIntegration_ = other.timeIntegration_;
    inertialRelief_ = other.inertialRelief_;
    return *this;
}

DorvixSettingsRecord* DorvixStepControls::GetControls(int selector) {
    if (selector == kTimeStepOptionsSelector) return &options_;
    if (selector == kStepOutputControlsSelector) return &output_;
    return nullptr;
}

double DorvixStepControls::GetStepSpan() const {
    if (owner_ != nullptr) {
        const int index = owner_->GetStepIndex(this);
        if (index > 1) return endTime_ - owner_->GetStep(index - 1)->GetEndTime();
    }
    return endTime_;
}

double DorvixStepControls::GetPreviousEndTime() const {
    if (owner_ != nullptr) {
        const int index = owner_->GetStepIndex(this);
        if (index > 1) return owner_->GetStep(index - 1)->GetEndTime();
    }
    return 0.0;
}

int DorvixStepControls::SetEndTime(double t) {
    return SetEndTimeAt(owner_ != nullptr ? owner_->GetStepIndex(this) : -1, t);
}

int DorvixStepControls::SetEndTimeAt(int index, double t) {
    if (t == endTime_) return kSettingsDone;
    // A load step cannot end at or before the start of the analysis, nor never.
    if (!(t > 1e-10) || !std::isfinite(t)) return kSettingsRejected;
    const DorvixStepControls* previous = nullptr;
    DorvixStepControls* next = nullptr;
    if (owner_ != nullptr && index > 0) {
        previous = owner_->GetStep(index - 1);
        next = owner_->GetStep(index + 1);
    }
    if (previous != nullptr && !(t > previous->GetEndTime())) return kSettingsRejected;
    if (next != nullptr && !(t < next->GetEndTime())) return kSettingsRejected;
    endTime_ = t;
    options_.SetStepSpan(previous != nullptr ? t - previous->GetEndTime() : t);
    if (next != nullptr) next->options_.SetStepSpan(next->GetEndTime() - t);
    return kSettingsDone;
}

bool DorvixStepControls::operator==(const DorvixStepControls& other) const {
    return codes_ == other.codes_ && endTime_ == other.endTime_ && options_ == other.options_ &&
           output_ == other.output_ && timeIntegration_ == other.timeIntegration_ &&
           inertialRelief_ == other.inertialRelief_;
}
