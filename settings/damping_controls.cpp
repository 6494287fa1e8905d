#include "settings/damping_controls.h"

#include <cmath>
#include <numbers>

void DorvixDampingControls::UpdateBetaFromFrequency() {
    if (std::fabs(frequency_) > 1e-10) {
        const double pi = static_cast<float>(std::numbers::pi);
        betaDamping_ = measure_ / (pi * frequency_);
    }
}
