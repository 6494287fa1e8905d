// Numbers as the command line prints them.
#pragma once

#include <cstdio>
#include <string>

// Up to 15 significant digits, without trailing zeros ("2", "0.5", "1e-07").
inline std::string FormatNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}
