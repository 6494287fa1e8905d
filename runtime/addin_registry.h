// The add-in's own registry key: where it is installed and its option subkeys.
#pragma once

#include <cstddef>
#include <string>

#include "platform/com.h"

// A string value under the add-in's key (or a subkey of it when subkey is not empty), with
// environment strings expanded. Fails when the key or value is missing, or when the expanded
// text is longer than maxLength characters.
HRESULT ReadAddinRegistryString(const std::wstring& subkey, const std::wstring& valueName,
                                std::size_t maxLength, std::wstring& value);
