// Sub-step counts from the span and time steps (rounded through float), rescaling to a new span, validity.
#include "settings/time_step_options.h"

#include <cmath>
#include <limits>

std::uint32_t RoundSubStepCount(double quotient) {
    if (!(quotient > 0.0)) return 0;  // also NaN
    const float sum = static_cast<float>(quotient + 0.5);
    if (!(sum < 4294967296.0f)) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(sum);
}

void DorvixTimeStepOptions::SetTimeStep(double t) {
    initialTimeStep_ = t;
    minimumTimeStep_ = t;
    maximumTimeStep_ = t;
}

std::uint32_t DorvixTimeStepOptions::CountFor(double timeStep) const {
    if (!(timeStep > 0.0)) return 0;
    return RoundSubStepCount(stepSpan_ / timeStep);
}

std::uint32_t DorvixTimeStepOptions::GetInitialSteps() const { return CountFor(initialTimeStep_); }
std::uint32_t DorvixTimeStepOptions::GetMaximumSteps() const { return CountFor(minimumTimeStep_); }
std::uint32_t DorvixTimeStepOptions::GetMinimumSteps() const { return CountFor(maximumTimeStep_); }

void DorvixTimeStepOptions::SetInitialSteps(std::uint32_t n) {
    if (n != 0) initialTimeStep_ = stepSpan_ / n;
}
void DorvixTimeStepOptions::SetMaximumSteps(std::uint32_t n) {
    if (n != 0) minimumTimeStep_ = stepSpan_ / n;
}
void DorvixTimeStepOptions::SetMinimumSteps(std::uint32_t n) {
    if (n != 0) maximumTimeStep_ = stepSpan_ / n;
}
void DorvixTimeStepOptions::SetNumberOfSubSteps(std::uint32_t n) {
    if (n != 0) SetTimeStep(stepSpan_ / n);
}

void DorvixTimeStepOptions::SetStepSpan(double newSpan) {
    if (timeStepDefineby_ == kDefineBySubSteps) {
        // The counts must be taken with the old span before it changes.
        const std::uint32_t initialSteps = GetInitialSteps();
        const std::uint32_t minimumSteps = GetMinimumSteps();
        const std::uint32_t maximumSteps = GetMaximumSteps();
        if (initialSteps != 0) initialTimeStep_ = newSpan / initialSteps;
        if (maximumSteps != 0) minimumTimeStep_ = newSpan / maximumSteps;
        if (minimumSteps != 0) maximumTimeStep_ = newSpan / minimumSteps;
    }
    stepSpan_ = newSpan;
}

bool DorvixTimeStepOptions::IsTimeStepValid() const {
    if (carryOverTimeStep_) return true;
    if (initialTimeStep_ == 0.0) return false;
    return minimumTimeStep_ <= initialTimeStep_ && initialTimeStep_ <= maximumTimeStep_;
}

bool DorvixTimeStepOptions::IsTimeStepRangeValid() const {
    return std::fabs(minimumTimeStep_) > 1e-10 && maximumTimeStep_ >= minimumTimeStep_;
}

bool DorvixTimeStepOptions::IsSubStepsValid() const {
    if (carryOverTimeStep_) return true;
    const std::uint32_t initialSteps = GetInitialSteps();
    if (initialSteps == 0) return false;
    return GetMinimumSteps() <= initialSteps && initialSteps <= GetMaximumSteps();
}

bool DorvixTimeStepOptions::IsSubStepRangeValid() const {
    const std::uint32_t minimumSteps = GetMinimumSteps();
    if (minimumSteps == 0) return false;
    return minimumSteps <= GetMaximumSteps();
}
