// Values with a fixed meaning shared by every layer.
#pragma once

// Marks a component of a prescribed motion or load that is left free: the largest double.
inline constexpr double kFreeComponent = 1.7976931348623157e308;

// The host's "undefined" value for a double (2^-100); it is compared bit for bit.
inline constexpr double kHostUndefined = 7.888609052210118e-31;

// Smallest positive normal double, the start value of running maxima over lengths.
inline constexpr double kSmallestNormalDouble = 2.2250738585072014e-308;

// Lengths at or below this count as zero in the vector helpers.
inline constexpr double kZeroLengthTolerance = 1e-15;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kDegreesPerRadian = 180.0 / kPi;
inline constexpr double kRadiansPerDegree = kPi / 180.0;

// Longest path or name the system's fixed-size text fields hold, terminator included.
inline constexpr int kMaxPathLength = 260;
