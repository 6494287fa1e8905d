// Relative comparison of doubles, and rounding half away from zero to an int clamped to its range.
#include "foundation/numeric.h"

#include <algorithm>
#include <climits>
#include <cmath>

bool AreEqualRelative(double a, double b, double tolerance) {
    if (a == b) return true;
    if (a == 0.0 || b == 0.0) return false;
    const double scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) / scale <= tolerance;
}

int RoundToInt(double value) {
    if (std::isnan(value) || value == 0.0) return 0;
    const float sum = static_cast<float>(value > 0 ? value + 0.5 : value - 0.5);
    if (sum >= 2147483647.0f) return INT_MAX;
    if (sum <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(sum);
}
