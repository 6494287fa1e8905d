// An XML subtree that a representation object carries as it is (for instance the analysis
// settings of the solver object). It owns a private copy of the element.
#pragma once

#include <pugixml.hpp>
#include <string>

namespace NCAERep {

class CExternalObject {
  public:
    // Copies `element`; the copy is renamed to `name` and marked as an external object.
    CExternalObject(const std::wstring& name, pugi::xml_node element);

    const std::wstring& getName() const { return m_name; }
    // The held element itself (named after the external object); its children are the data.
    pugi::xml_node getRootNode() const { return m_document.document_element(); }
    // Appends a copy of the held element to `parent`; false when the XML library fails.
    bool saveInto(pugi::xml_node parent) const;

  private:
    std::wstring m_name;
    pugi::xml_document m_document;
};

}  // namespace NCAERep
