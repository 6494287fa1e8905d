// Creation of the settings object for an analysis, by type codes or by type names.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "settings/solution_settings.h"

// Mechanical static, transient, buckling and modal, thermal static and transient; null for
// every other pair.
std::unique_ptr<DorvixSolutionSettings> CreateDorvixSolutionSettings(int analysisType, int physicsType);
// A new object of the source's class holding the source's values; null for a null source or
// a source the factory does not make.
std::unique_ptr<DorvixSolutionSettings> CloneDorvixSolutionSettings(const DorvixSolutionSettings* source);
std::unique_ptr<DorvixSolutionSettings> CreateDorvixSolutionSettingsFromNames(
    std::wstring_view analysisTypeName, std::wstring_view physicsTypeName);

// "Static", "Harmonic", "Transient", "Spectrum", "Buckling", "Modal", "InitialContact", "MBD",
// "Shape" (exact match); any other name is taken as Static.
int GetAnalysisTypeFromName(std::wstring_view name);
// "Mechanical", "Thermal", "Electromagnetic", "ElectricCond"; any other name is Mechanical.
int GetPhysicsTypeFromName(std::wstring_view name);
// The name of analysis types 0 to 8; false (name unchanged) for any other value.
bool GetAnalysisTypeName(int type, std::wstring& name);
