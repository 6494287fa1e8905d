// Plain XML names or a Name attribute for others, Id attribute reads, and element paths for messages.
#include "caerep/core/xml_names.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace NCAERep {

namespace {
bool IsNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c >= 0xC0;
}
bool IsNameChar(wchar_t c) {
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' || c == 0xB7;
}
}  // namespace

bool IsPlainXmlName(const std::wstring& name) {
    if (name.empty() || !IsNameStart(name[0])) return false;
    for (wchar_t c : name)
        if (!IsNameChar(c)) return false;
    // Names beginning with "xml" in any case are reserved.
    if (name.size() >= 3 && platform::EqualsIgnoreAsciiCase(std::wstring_view(name).substr(0, 3), L"xml"))
        return false;
    return true;
}

void AppendNameIfNeeded(pugi::xml_node element, const std::wstring& name) {
    if (!IsPlainXmlName(name)) element.append_attribute("Name").set_value(platform::WideToUtf8(name).c_str());
}

pugi::xml_node AppendNamedElement(pugi::xml_node parent, const std::wstring& name, const char* fallbackTag) {
    if (IsPlainXmlName(name)) return parent.append_child(platform::WideToUtf8(name).c_str());
    // A type name can be no element name either ("My Type"); the element's attributes carry
    // the type and the name, so any plain tag reads back the same.
    if (IsPlainXmlName(platform::Utf8ToWide(fallbackTag))) return parent.append_child(fallbackTag);
    return parent.append_child("Object");
}

std::wstring ElementItemName(pugi::xml_node element) {
    if (pugi::xml_attribute a = element.attribute("Name")) return platform::Utf8ToWide(a.value());
    return platform::Utf8ToWide(element.name());
}

bool ReadIdAttribute(pugi::xml_node element, int& id) {
    const std::string_view text = element.attribute("Id").value();
    const auto r = std::from_chars(text.data(), text.data() + text.size(), id);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size();
}

std::wstring DescribeElement(pugi::xml_node element) {
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent()) chain.push_back(n);
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += L"/" + platform::Utf8ToWide(it->name());
        if (pugi::xml_attribute id = it->attribute("Id"))
            path += L"[Id=" + platform::Utf8ToWide(id.value()) + L"]";
    }
    return path.empty() ? L"(no element)" : path;
}

}  // namespace NCAERep
