// Small XML helpers of the representation.
#pragma once

#include <pugixml.hpp>
#include <string>

#include "platform/com.h"

namespace NCAERep {

// Creates an element named `name` in the owner document of `element` and appends it as the
// last child; E_FAIL (and a null `out`) when the XML library refuses.
[[nodiscard]] HRESULT AppendChildElement(pugi::xml_node element, const std::wstring& name,
                                         pugi::xml_node& out);

}  // namespace NCAERep
