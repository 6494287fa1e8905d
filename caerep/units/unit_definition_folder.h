// Where the installation keeps the unit definition files.
#pragma once

#include <filesystem>

namespace NCAERep {

// The simulation applet's key below the machine hive; its "InstallDir" is the applet's install
// folder.
inline constexpr const wchar_t* kAppletRegistryKey =
    L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\JXApplet";

// The registry value "InstallDir" of the applet key, with environment references expanded,
// followed by "xml". Empty when the key or value is missing or the path does not fit.
std::filesystem::path FindUnitDefinitionFolder();

}  // namespace NCAERep
