#include "runtime/addin_registry.h"

#include <vector>

#include "platform/registry.h"

namespace {

// The add-in's key below the machine hive; it holds "InstallDir". The deck writer reads the
// same key for its option subkeys.
constexpr const wchar_t* kAddinKey = L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin";

}  // namespace

HRESULT ReadAddinRegistryString(const std::wstring& subkey, const std::wstring& valueName,
                                std::size_t maxLength, std::wstring& value) {
    std::wstring key = kAddinKey;
    if (!subkey.empty()) key += L"\\" + subkey;
    std::vector<wchar_t> buffer(maxLength + 1, L'\0');
    HRESULT hr = platform::RegistryReadExpandedString(platform::RegistryRoot::LocalMachine, key, valueName,
                                                      buffer.data(), buffer.size());
    if (FAILED(hr)) return hr;
    value.assign(buffer.data());
    return S_OK;
}
