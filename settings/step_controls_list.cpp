// Steps found by index or time, added, inserted and deleted in time order, resized, copied, order checked.
#include "settings/step_controls_list.h"

#include <cmath>

#include "foundation/numeric.h"
#include "settings/solution_settings.h"

namespace {
constexpr double kEndTimeTolerance = 1e-10;
}

DorvixStepControlsList::DorvixStepControlsList(DorvixSolutionSettings* owner) : owner_(owner) {
    auto first = std::make_unique<DorvixStepControls>(std::set<int>{0}, this);
    (void)first->SetEndTime(1.0);  // a lone step has no neighbour to refuse the time
    steps_.push_back(std::move(first));
}

DorvixStepControls* DorvixStepControlsList::GetStep(int i) const {
    if (i < 1 || i > GetCount()) return nullptr;
    return steps_[static_cast<std::size_t>(i - 1)].get();
}

int DorvixStepControlsList::GetStepIndex(const DorvixStepControls* step) const {
    for (std::size_t i = 0; i < steps_.size(); ++i)
        if (steps_[i].get() == step) return static_cast<int>(i) + 1;
    return -1;
}

DorvixStepControls* DorvixStepControlsList::GetStepAtTime(double t) const {
    if (t < 0.0) return nullptr;
    return GetStep(GetStepIndexAtTime(t));
}

int DorvixStepControlsList::GetStepIndexAtTime(double t) const {
    for (std::size_t i = 0; i < steps_.size(); ++i)
        if (steps_[i]->GetEndTime() >= t) return static_cast<int>(i) + 1;
    return -1;
}

void DorvixStepControlsList::SetOwner(DorvixSolutionSettings* owner) {
    owner_ = owner;
    if (owner_ == nullptr) return;
    // The template refuses only a missing step.
    for (auto& step : steps_) (void)owner_->ApplyTemplateToStep(step.get(), 0);
}

std::unique_ptr<DorvixStepControls> DorvixStepControlsList::NewTemplateStep() {
    auto step = std::make_unique<DorvixStepControls>(std::set<int>{0}, this);
    if (owner_ != nullptr) (void)owner_->ApplyTemplateToStep(step.get(), 0);
    return step;
}

DorvixStepControls& DorvixStepControlsList::AppendTemplateStep() {
    steps_.push_back(NewTemplateStep());
    return *steps_.back();
}

void DorvixStepControlsList::RespanStep(int i) {
    if (DorvixStepControls* step = GetStep(i)) step->GetTimeStepOptions().SetStepSpan(step->GetStepSpan());
}

int DorvixStepControlsList::SetNumberOfSteps(int n) {
    if (n < 0 || n > kMaxStepCount) return kSettingsRejected;
    if (n == GetCount()) return kSettingsDone;
    if (n < GetCount()) {
        steps_.resize(static_cast<std::size_t>(n));
        return kSettingsDone;
    }
    steps_.reserve(static_cast<std::size_t>(n));
    while (GetCount() < n) {
        const double endTime = steps_.empty() ? 1.0 : steps_.back()->GetEndTime() + 1.0;
        DorvixStepControls& step = AppendTemplateStep();
        // The new step's place is known: finding it again would make growing quadratic.
        if (step.SetEndTimeAt(GetCount(), endTime) != kSettingsDone) {
            // A step that cannot take its place in time order must not stay in the list.
            steps_.pop_back();
            return kSettingsRejected;
        }
    }
    return kSettingsDone;
}

int DorvixStepControlsList::DeleteStep(int i) {
    if (GetCount() <= 1 || i < 1 || i > GetCount()) return kSettingsRejected;
    steps_.erase(steps_.begin() + (i - 1));
    RespanStep(i);
    return kSettingsDone;
}

int DorvixStepControlsList::DeleteStepAtTime(double t) { return DeleteStep(GetStepIndexAtTime(t)); }

void DorvixStepControlsList::DeleteAllSteps() { steps_.clear(); }

int DorvixStepControlsList::AddStepAtTime(double t) {
    if (!(t > kEndTimeTolerance) || GetCount() >= kMaxStepCount) return kSettingsRejected;
    const int index = GetStepIndexAtTime(t);
    const std::size_t position = index == -1 ? steps_.size() : static_cast<std::size_t>(index - 1);
    // A time just above a step's end time is as much a duplicate as one just below it.
    const auto sameTime = [&](std::size_t i) {
        return i < steps_.size() && AreEqualRelative(steps_[i]->GetEndTime(), t, kEndTimeTolerance);
    };
    if (sameTime(position) || (position > 0 && sameTime(position - 1))) return kSettingsRejected;
    steps_.insert(steps_.begin() + static_cast<std::ptrdiff_t>(position), NewTemplateStep());
    if (steps_[position]->SetEndTime(t) != kSettingsDone) {
        steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position));
        return kSettingsRejected;
    }
    return kSettingsDone;
}

int DorvixStepControlsList::InsertStep(std::unique_ptr<DorvixStepControls>&& step) {
    if (!step || GetCount() >= kMaxStepCount) return kSettingsRejected;
    const int index = GetStepIndexAtTime(step->GetEndTime());
    if (index != -1 && GetStep(index)->GetEndTime() == step->GetEndTime()) return kSettingsRejected;
    const std::size_t position = index == -1 ? steps_.size() : static_cast<std::size_t>(index - 1);
    step->SetOwner(this);
    steps_.insert(steps_.begin() + static_cast<std::ptrdiff_t>(position), std::move(step));
    return kSettingsDone;
}

void DorvixStepControlsList::CopyFrom(const DorvixStepControlsList& other) {
    if (this == &other) return;
    DeleteAllSteps();
    for (const auto& step : other.steps_) {
        auto copy = std::make_unique<DorvixStepControls>(*step);
        copy->SetOwner(this);
        steps_.push_back(std::move(copy));
    }
}

void DorvixStepControlsList::TakeStepsFrom(DorvixStepControlsList& other) {
    if (this == &other) return;
    steps_ = std::move(other.steps_);
    other.steps_.clear();
    for (auto& step : steps_) step->SetOwner(this);
}

int DorvixStepControlsList::FirstStepOutOfOrder() const {
    double previousEnd = kEndTimeTolerance;
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        const double end = steps_[i]->GetEndTime();
        if (!(end > previousEnd) || !std::isfinite(end)) return static_cast<int>(i) + 1;
        previousEnd = end;
    }
    return 0;
}

bool DorvixStepControlsList::operator==(const DorvixStepControlsList& other) const {
    if (steps_.size() != other.steps_.size()) return false;
    for (std::size_t i = 0; i < steps_.size(); ++i)
        if (!(*steps_[i] == *other.steps_[i])) return false;
    return true;
}
