// Where the installation keeps the unit definition files.
#pragma once

#include <filesystem>

namespace NCAERep {

// The registry value "InstallDir" of the applet key, with environment references expanded,
// followed by "xml". Empty when the key or value is missing or the path does not fit.
std::filesystem::path FindUnitDefinitionFolder();

}  // namespace NCAERep
