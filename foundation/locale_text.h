// Numbers as text for the user (property grid): a given number of significant digits.
#pragma once

#include "platform/com.h"

// Formats value with `significantDigits` significant digits (1 to 17; fewer count as 1,
// more as 17) in the "%g" style with a three-digit exponent ("0.25", "1.5e-007"), and
// answers it as a new BSTR. Numbers are written with '.' whatever the user's settings, so
// that the same text reads back the same on every machine. E_POINTER for a null out,
// E_OUTOFMEMORY when the string cannot be allocated (*out null then).
[[nodiscard]] HRESULT DoubleToLocaleBSTR(double value, int significantDigits, BSTR* out);
