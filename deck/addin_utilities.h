// Small services shared by the deck writers and the host integration: the add-in's
// registry values, degree-of-freedom digits, the host object types of loads and supports,
// and splitting an HTML message into the paragraphs the host shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/jx_list.h"
#include "platform/com.h"

struct IHostStringList;

// Reads a string value under the add-in's key (plus an optional subkey path) and expands its
// %NAME% references into `out` (capacity in characters, terminator included). S_OK, or
// E_FAIL when the key or value is missing or the expanded text does not fit; `out` is then
// untouched.
[[nodiscard]] HRESULT GetAddinDirectory(const std::wstring& subkey, const std::wstring& valueName,
                                        wchar_t* out, std::size_t capacity);
[[nodiscard]] HRESULT GetAddinDirectory(const std::wstring& subkey, const std::wstring& valueName,
                                        std::wstring& out);

// The deck's digit notation of a degree-of-freedom mask: 1 to 3 translations, 4 to 6
// rotations; a planar model never gets 3, 4 or 5. `out` holds at least 7 characters. 0.
[[nodiscard]] int DofMaskToDigits(bool planar, std::uint8_t mask, char* out);
std::string DofMaskToDigits(bool planar, std::uint8_t mask);

// Appends the host object types of loads (28 entries, two repeated) and of supports (17)
// that may be sent as node components.
void AddLoadObjectTypes(JXList<int>& list);
void AddSupportObjectTypes(JXList<int>& list);

// The paragraphs of an HTML message as a host string list. Takes ownership of `text` and
// frees it on every path. E_POINTER without an output location, E_FAIL when the host's
// string list cannot be created.
[[nodiscard]] HRESULT ListHtmlParagraphs(BSTR text, IHostStringList** out);
