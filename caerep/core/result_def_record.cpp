// A result definition's attributes written on its element, and read back whole or not at all.
#include "caerep/core/result_def_record.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "platform/text.h"

namespace NCAERep {

namespace {
template <class N>
bool ParseAttribute(pugi::xml_node e, const char* name, N& out) {
    pugi::xml_attribute a = e.attribute(name);
    if (!a) return true;
    std::string_view t(a.value());
    N v{};
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    out = v;
    return true;
}
void ReadText(pugi::xml_node e, const char* name, std::wstring& out) {
    if (pugi::xml_attribute a = e.attribute(name)) out = platform::Utf8ToWide(a.value());
}
void WriteText(pugi::xml_node e, const char* name, const std::wstring& v) {
    e.append_attribute(name).set_value(platform::WideToUtf8(v).c_str());
}
}  // namespace

bool ResultDefRecord::writeXml(pugi::xml_node e) const {
    if (!e) return false;
    e.append_attribute("ResultId").set_value(ResultId);
    WriteText(e, "ResultType", ResultType);
    WriteText(e, "ResultSubType", ResultSubType);
    WriteText(e, "Component", Component);
    WriteText(e, "Location", Location);
    e.append_attribute("SetNumber").set_value(SetNumber);
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf - 1, Time);
    *r.ptr = '\0';
    e.append_attribute("Time").set_value(buf);
    WriteText(e, "Units", Units);
    WriteText(e, "FileName", FileName);
    return true;
}

bool ResultDefRecord::readXml(pugi::xml_node e) {
    if (!e) return false;
    ResultDefRecord r = *this;
    if (!ParseAttribute(e, "ResultId", r.ResultId) || !ParseAttribute(e, "SetNumber", r.SetNumber) ||
        !ParseAttribute(e, "Time", r.Time))
        return false;
    ReadText(e, "ResultType", r.ResultType);
    ReadText(e, "ResultSubType", r.ResultSubType);
    ReadText(e, "Component", r.Component);
    ReadText(e, "Location", r.Location);
    ReadText(e, "Units", r.Units);
    ReadText(e, "FileName", r.FileName);
    *this = r;
    return true;
}

}  // namespace NCAERep
