// The sector angle the ".ZYG" line takes, checked to divide the full turn, and the letter of the axis.
#include "deck/model/cyclic_sector.h"

#include <cmath>

#include "deck/return_codes.h"

namespace {

constexpr double kZeroAngle = 1e-15;
constexpr double kTurnTolerance = 1e-7;
// How far 360 / angle may lie from a whole sector count.
constexpr double kSectorCountTolerance = 0.01;
constexpr double kAxisTolerance = 1e-15;

bool Near(double value, double target) { return std::fabs(value - target) <= kAxisTolerance; }

}  // namespace

int CyclicSectorAngle(double bodyAngle, double& sectorAngle) {
    const double magnitude = std::fabs(bodyAngle);
    if (!(magnitude > kZeroAngle) || magnitude + kTurnTolerance > 360.0) return kRC_MissingData;
    double s = -bodyAngle;
    if (magnitude + kTurnTolerance > 180.0) s = bodyAngle > 0.0 ? 360.0 - bodyAngle : -360.0 - bodyAngle;
    const double count = 360.0 / s;
    const double whole = s >= 0.0 ? std::trunc(count + 0.5) : std::trunc(count - 0.5);
    if (std::fabs(count - whole) > kSectorCountTolerance) return kRC_MissingData;
    sectorAngle = s;
    return kRC_Success;
}

char CyclicAxisLetter(const Vector3& axis) {
    if (Near(axis.x, 1.0) && Near(axis.y, 0.0) && Near(axis.z, 0.0)) return 'X';
    if (Near(axis.x, 0.0) && Near(axis.y, 1.0) && Near(axis.z, 0.0)) return 'Y';
    if (Near(axis.x, 0.0) && Near(axis.y, 0.0) && Near(axis.z, 1.0)) return 'Z';
    return 0;
}
