#include "caerep/units/unit_definition_folder.h"

#include "platform/path_text.h"
#include "platform/registry.h"

namespace NCAERep {

namespace {
constexpr const wchar_t* kAppletKey = L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\JXApplet";
// The installation path is limited to the classic path length.
constexpr std::size_t kMaxPath = 260;
}  // namespace

std::filesystem::path FindUnitDefinitionFolder() {
    wchar_t buffer[kMaxPath] = {};
    if (FAILED(platform::RegistryReadExpandedString(platform::RegistryRoot::LocalMachine, kAppletKey,
                                                    L"InstallDir", buffer, kMaxPath)))
        return {};
    std::filesystem::path folder = platform::PathFromWide(buffer);
    return folder / "xml";
}

}  // namespace NCAERep
