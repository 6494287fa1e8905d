// Small numeric helpers with the exact rounding and comparison rules the deck relies on.
#pragma once

// True when a equals b exactly, or when |a - b| divided by the larger magnitude is at most
// tolerance. Against 0 only an exact 0 is equal; NaN equals nothing.
bool AreEqualRelative(double a, double b, double tolerance);

// Rounds half away from zero: the integer part of value + 0.5 (value - 0.5 for negatives),
// the sum first rounded to single precision. NaN gives 0; values beyond the int range give
// the nearest int.
int RoundToInt(double value);
