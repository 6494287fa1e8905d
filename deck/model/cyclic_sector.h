// The two checks of a cyclic sector: the body's sector angle must divide the full turn, and
// the symmetry axis must be a positive global axis.
#pragma once

#include "foundation/vector3.h"

// The angle the deck's ".ZYG" line takes for a body's sector angle in degrees: the negated
// angle, brought into -180..180. kRC_Success, or kRC_MissingData when the angle is zero,
// exceeds a full turn or does not divide 360 into a whole number of sectors.
[[nodiscard]] int CyclicSectorAngle(double bodyAngle, double& sectorAngle);

// 'X', 'Y' or 'Z' for a unit axis along that positive global axis, else 0.
char CyclicAxisLetter(const Vector3& axis);
