// One deck function table of a material waiting to be written after its `.MAT` record, and
// the ordered list in which a material collects them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The name that marks the deck-wide zero function of the scaled anisotropic materials.
inline constexpr std::string_view kZeroFunctionName = "Fct_Zero";

struct MaterialFunction {
    int id = 0;
    // Written after the number as NOM "name" when not empty.
    std::string name;
    // Two columns (abscissae, ordinates) or three (U, V, Y).
    std::vector<std::vector<double>> columns;
};

using MaterialFunctionList = std::vector<MaterialFunction>;
