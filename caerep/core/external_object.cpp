// The private copy of a carried subtree, renamed and marked "externalObject", and its save into a parent.
#include "caerep/core/external_object.h"

#include "platform/text.h"

namespace NCAERep {

CExternalObject::CExternalObject(const std::wstring& name, pugi::xml_node element) : m_name(name) {
    pugi::xml_node copy = element ? m_document.append_copy(element)
                                  : m_document.append_child(platform::WideToUtf8(name).c_str());
    copy.set_name(platform::WideToUtf8(name).c_str());
    pugi::xml_attribute kind = copy.attribute("CAEType");
    if (!kind) kind = copy.prepend_attribute("CAEType");
    kind.set_value("externalObject");
}

bool CExternalObject::saveInto(pugi::xml_node parent) const {
    return !parent.append_copy(getRootNode()).empty();
}

}  // namespace NCAERep
