// What the command line sets up in its own process before any service of the add-in starts.
#pragma once

#include <filesystem>

// The name of the registry file the build writes beside the program.
inline constexpr const char* kBuildRegistryFileName = "dorvix.reg";

// Without DORVIX_REGISTRY the program uses the registry file beside it (when there is one),
// whose add-in key names the source tree's data folder as the install folder, so captions and
// messages resolve from the string table; without QXW_LOCALE120 the language is "en-us".
// Variables the user set are left as they are.
void ApplyDefaultServiceEnvironment(const std::filesystem::path& programFolder);
