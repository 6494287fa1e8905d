// The beta damping worked out from the damping measure and its frequency, pi taken at float precision.
#include "settings/damping_controls.h"

#include <cmath>
#include <numbers>

void DorvixDampingControls::UpdateBetaFromFrequency() {
    if (std::fabs(frequency_) > 1e-10) {
        const double pi = static_cast<float>(std::numbers::pi);
        betaDamping_ = measure_ / (pi * frequency_);
    }
}
