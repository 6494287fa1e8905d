#include "runtime/addin_registry.h"

#include "platform/registry.h"

namespace {

// The add-in's key below the machine hive; it holds "InstallDir" and the option subkeys.
constexpr const wchar_t* kAddinKey = L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin";

}  // namespace

HRESULT ReadAddinRegistryString(const std::wstring& subkey, const std::wstring& valueName,
                                std::size_t maxLength, std::wstring& value) {
    std::wstring key = kAddinKey;
    if (!subkey.empty()) key += L"\\" + subkey;
    return platform::RegistryReadExpandedString(platform::RegistryRoot::LocalMachine, key, valueName,
                                                maxLength, &value);
}
