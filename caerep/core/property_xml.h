// The XML form of one property value (see docs/case-format/caerep-xml.md): an element named
// after the property with CAEType "property", the value type, and units and quantity type
// when they are defined; scalars and numeric lists as text, strings in <Item>, maps in <Entry>.
#pragma once

#include <pugixml.hpp>
#include <string>

#include "caerep/core/property_value.h"

namespace NCAERep {

// Writes the value's type, units, quantity type and text onto `element` (already named).
void WritePropertyXml(pugi::xml_node element, const CPropertyValue& value);

// Fills `value` from a property element. The file's value type wins; without one the type
// already held by `value` (its registration) is used. Units and quantity type are taken when
// present. Answers false with `reason` set when the element cannot be read as a value.
bool ReadPropertyXml(pugi::xml_node element, CPropertyValue& value, std::wstring& reason);

// The item name of a property element ("Name" attribute, else the tag), pooled.
const std::wstring* PropertyElementName(pugi::xml_node element);

}  // namespace NCAERep
