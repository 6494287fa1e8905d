// How names of objects and properties become XML element names and back.
#pragma once

#include <pugixml.hpp>
#include <string>

namespace NCAERep {

// True when `name` can stand as an XML element name as it is.
bool IsPlainXmlName(const std::wstring& name);

// Appends an element for a named item: the name itself as the tag when it is a plain XML
// name, otherwise `fallbackTag`; AppendNameIfNeeded then writes the name as a "Name" attribute
// (after the element's other attributes).
pugi::xml_node AppendNamedElement(pugi::xml_node parent, const std::wstring& name, const char* fallbackTag);
void AppendNameIfNeeded(pugi::xml_node element, const std::wstring& name);

// The item's name: the "Name" attribute when present, else the tag.
std::wstring ElementItemName(pugi::xml_node element);

// The element's "Id" attribute; false when it is absent or not wholly an integer.
bool ReadIdAttribute(pugi::xml_node element, int& id);

// "/CAERep/EngineeringRep[Id=2]/..." for messages about a document.
std::wstring DescribeElement(pugi::xml_node element);

}  // namespace NCAERep
