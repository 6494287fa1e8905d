// Readers of the host.json members the host framework around a loaded add-in answers from: the
// root's options, the applet application's texts and the solver names of analysis objects.
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "platform/text.h"

namespace {

VariantHolder ReadOption(const JsonAt& at) {
    const nlohmann::json& value = at.Value();
    if (value.is_boolean()) return VariantHolder(value.get<bool>());
    if (value.is_number_integer()) {
        const int number = at.Int();
        return VariantHolder(static_cast<std::int32_t>(number));
    }
    if (value.is_number()) return VariantHolder(at.Double());
    if (value.is_string()) {
        VariantHolder text(std::wstring_view(at.WideString()));
        if (text.Type() != VT_BSTR || !text->bstrVal) throw std::bad_alloc();
        return text;
    }
    at.Fail("an option must be a number, a bool or a text");
}

}  // namespace

void ReadAddinHostSection(const JsonAt& root, HostSimCase& hostCase) {
    if (root.Has("hostOptions")) {
        const JsonAt options = root.Member("hostOptions");
        for (const std::string& key : options.Keys())
            hostCase.hostOptions[platform::Utf8ToWide(key)] = ReadOption(options.Member(key.c_str()));
    }
    if (root.Has("hostStrings")) {
        const JsonAt strings = root.Member("hostStrings");
        for (const std::string& key : strings.Keys())
            hostCase.hostStrings[platform::Utf8ToWide(key)] = strings.Member(key.c_str()).WideString();
    }
    // The object model's reader has already refused an entry without an id or with a repeated one.
    for (const JsonAt& entry : root.OptionalElements("objects")) {
        if (!entry.Has("solverName")) continue;
        const int id = entry.Member("id").Int();
        for (HostSimObject& object : hostCase.objects)
            if (object.id == id) object.solverName = entry.Member("solverName").WideString();
    }
}
