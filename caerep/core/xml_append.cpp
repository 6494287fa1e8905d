// Appending a named child element, for callers that take a result code.
#include "caerep/core/xml_append.h"

#include "platform/text.h"

namespace NCAERep {

HRESULT AppendChildElement(pugi::xml_node element, const std::wstring& name, pugi::xml_node& out) {
    out = pugi::xml_node();
    if (!element || name.empty()) return E_FAIL;
    out = element.append_child(platform::WideToUtf8(name).c_str());
    return out ? S_OK : E_FAIL;
}

}  // namespace NCAERep
