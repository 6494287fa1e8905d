// The unit definition folder: the "xml" folder below the applet's install folder read from the registry.
#include "caerep/units/unit_definition_folder.h"

#include "platform/path_text.h"
#include "platform/registry.h"

namespace NCAERep {

namespace {
// The installation path is limited to the classic path length.
constexpr std::size_t kMaxPath = 260;
}  // namespace

std::filesystem::path FindUnitDefinitionFolder() {
    std::wstring installFolder;
    if (FAILED(platform::RegistryReadExpandedString(platform::RegistryRoot::LocalMachine, kAppletRegistryKey,
                                                    L"InstallDir", kMaxPath - 1, &installFolder)) ||
        installFolder.empty())
        return {};
    return platform::PathFromWide(installFolder) / "xml";
}

}  // namespace NCAERep
