// The deck's number formats, written without the process locale and without printf:
//
// General15 (15 significant digits, C runtime _gcvt style): fixed notation when the decimal
//   exponent m of the first significant digit (after rounding) lies in -1..14, trailing zeros
//   of the fraction dropped but the point kept ("1.", "0.5", "100.", zero "0."); otherwise one
//   digit, the point, up to 14 digits without trailing zeros, 'e', sign and three exponent
//   digits ("5.e-002", "1.23456789012346e+017").
// E20_9 ("%20.9E" with a three-digit exponent): "-5.000000000E-001" right-aligned in 20
//   columns.
// Significant ("%.<digits>g" with a three-digit exponent): "1", "0.001", "1e-006".
//
// Special values, the same in every format: negative zero is written as zero (no sign);
// NaN as "NaN", infinities as "Inf" and "-Inf", so that a solver refuses the deck rather than
// read a wrong number.
#pragma once

#include <string>

std::string FormatGeneral15(double value);
void AppendGeneral15(std::string& out, double value);

std::string FormatE20_9(double value);
void AppendE20_9(std::string& out, double value);

// digits below 1 count as 1, above 17 as 17.
std::string FormatSignificant(double value, int digits);
void AppendSignificant(std::string& out, double value, int digits);

// Decimal digits of an int, '-' for negatives (the C runtime's _itoa in base 10).
void AppendInt(std::string& out, int value);

// One node record of the deck, "  %8i%20.9E%20.9E%20.9E" and the line end '\n' (71 bytes
// for ids of up to 8 digits).
void AppendNodeLine(std::string& out, int node, double x, double y, double z);
