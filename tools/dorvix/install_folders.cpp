// The add-in's and the applet's install folders filled into the registry file from the build, and listed.
#include "tools/dorvix/install_folders.h"

#include <ostream>
#include <vector>

#include "build_install_folders.h"
#include "caerep/units/unit_definition_folder.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "runtime/addin_registry.h"

namespace {

constexpr const wchar_t* kInstallValue = L"InstallDir";

struct InstallFolder {
    const wchar_t* key;
    const char* buildFolder;
    const char* label;
};

const InstallFolder kInstallFolders[] = {
    {kAddinRegistryKey, kBuildAddinInstallFolder, "add-in:     "},
    {NCAERep::kAppletRegistryKey, kBuildAppletInstallFolder, "applet:     "},
};

bool Names(const InstallFolder& folder, std::wstring& value) {
    return SUCCEEDED(platform::RegistryReadString(platform::RegistryRoot::LocalMachine, folder.key,
                                                  kInstallValue, &value)) &&
           !value.empty();
}

}  // namespace

bool CompleteInstallFolders(std::string& problem) {
    // Without a registry file there is nothing to complete; registering says so.
    if (platform::RegistryFilePath().empty()) return true;
    std::vector<platform::RegistryStringWrite> writes;
    for (const InstallFolder& folder : kInstallFolders) {
        std::wstring value;
        if (!Names(folder, value))
            writes.push_back({folder.key, kInstallValue, platform::Utf8ToWide(folder.buildFolder)});
    }
    if (writes.empty()) return true;
    const HRESULT hr = platform::RegistryWriteStrings(platform::RegistryRoot::LocalMachine, writes);
    if (SUCCEEDED(hr)) return true;
    // The registry says why it refused (not a registry file, not writable, ...).
    const std::string& why = platform::RegistryLastProblem();
    problem = why.empty() ? "the install folders cannot be written into the registry file " +
                                platform::RegistryFilePath() + " (" + HexCodeText(hr) + ")"
                          : why;
    return false;
}

void ShowInstallFolders(std::ostream& out) {
    for (const InstallFolder& folder : kInstallFolders) {
        std::wstring value;
        out << folder.label << (Names(folder, value) ? platform::WideToUtf8(value) : std::string("(none)"))
            << "\n";
    }
}
