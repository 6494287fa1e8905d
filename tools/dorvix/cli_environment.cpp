// The registry file beside the program and the English language, set when the user's environment has none.
#include "tools/dorvix/cli_environment.h"

#include <string_view>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/path_text.h"

void ApplyDefaultServiceEnvironment(const std::filesystem::path& programFolder) {
    constexpr std::string_view kRegistryVariable = "DORVIX_REGISTRY";
    constexpr std::string_view kLanguageVariable = "QXW_LOCALE120";
    if (!platform::ReadEnvironmentVariable(kRegistryVariable) && !programFolder.empty()) {
        const std::filesystem::path file = programFolder / kBuildRegistryFileName;
        if (platform::FileExists(file))
            (void)platform::WriteEnvironmentVariable(kRegistryVariable, platform::Utf8FromPath(file));
    }
    if (!platform::ReadEnvironmentVariable(kLanguageVariable))
        (void)platform::WriteEnvironmentVariable(kLanguageVariable, std::string_view("en-us"));
}
