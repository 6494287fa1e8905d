// The add-in's own registry key: where it is installed and its option subkeys. This is the
// one reader of that key; the deck writer and the services both go through it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/com.h"

// The add-in's key below the machine hive; it holds "InstallDir" and the option subkeys.
inline constexpr const wchar_t* kAddinRegistryKey =
    L"SOFTWARE\\XENRA, Inc.\\v120\\TalpFramework\\AddIns\\DorvixAddin";

// A string value under the add-in's key (or a subkey path below it when subkey is not empty),
// with environment strings expanded. Fails when the key or value is missing, or when the
// expanded text is longer than maxLength characters; `value` is then untouched.
[[nodiscard]] HRESULT ReadAddinRegistryString(const std::wstring& subkey, const std::wstring& valueName,
                                              std::size_t maxLength, std::wstring& value);
