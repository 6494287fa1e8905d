// Reading one expanded string, of bounded length, from the add-in's key or one of its subkeys.
#include "runtime/addin_registry.h"

#include "platform/registry.h"

HRESULT ReadAddinRegistryString(const std::wstring& subkey, const std::wstring& valueName,
                                std::size_t maxLength, std::wstring& value) {
    std::wstring key = kAddinRegistryKey;
    if (!subkey.empty()) key += L"\\" + subkey;
    return platform::RegistryReadExpandedString(platform::RegistryRoot::LocalMachine, key, valueName,
                                                maxLength, &value);
}
