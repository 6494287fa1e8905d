// Loading the adaptor's unit table (all or nothing), and the unit of a category with the flag overrides.
#include "caerep/units/units_adaptor.h"

#include <charconv>
#include <memory>
#include <pugixml.hpp>
#include <string_view>

#include "caerep/units/unit_definition_folder.h"
#include "platform/text.h"

namespace NCAERep {

namespace {
// Decimal or 0x-prefixed hexadecimal.
bool ParseCode(const char* text, int& out) {
    std::string_view t(text ? text : "");
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        t.remove_prefix(2);
        base = 16;
    }
    auto r = std::from_chars(t.data(), t.data() + t.size(), out, base);
    return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
}
}  // namespace

CCAEUnitsJXAdaptor* CCAEUnitsJXAdaptor::getInstance() {
    static std::unique_ptr<CCAEUnitsJXAdaptor> instance;
    if (!instance) {
        instance = std::make_unique<CCAEUnitsJXAdaptor>();
        std::filesystem::path folder = FindUnitDefinitionFolder();
        if (!folder.empty()) instance->load(folder / "JXAdaptorUnits.xml");
    }
    return instance.get();
}

bool CCAEUnitsJXAdaptor::load(const std::filesystem::path& file) {
    // A table that fails halfway must not answer with the part read before the failure.
    const auto fail = [this] {
        m_units.clear();
        m_systemNames.clear();
        m_flagOverrides.clear();
        return false;
    };
    m_loaded = false;
    fail();
    pugi::xml_document doc;
    if (!doc.load_file(file.c_str()) || !doc.document_element()) return false;
    pugi::xml_node top = doc.document_element();
    for (pugi::xml_node system : top.children("UnitSystem")) {
        int id = 0;
        if (!ParseCode(system.attribute("Id").value(), id)) return fail();
        m_systemNames[id] = platform::Utf8ToWide(system.attribute("Name").value());
        for (pugi::xml_node u : system.children("Units")) {
            int category = 0;
            if (!ParseCode(u.attribute("Category").value(), category)) return fail();
            m_units[{id, category}] = platform::Utf8ToWide(u.text().get());
        }
    }
    for (pugi::xml_node f : top.children("FlagOverride")) {
        int mask = 0, category = 0;
        if (!ParseCode(f.attribute("Mask").value(), mask) ||
            !ParseCode(f.attribute("Category").value(), category))
            return fail();
        m_flagOverrides.push_back({{mask, category}, platform::Utf8ToWide(f.text().get())});
    }
    m_loaded = true;
    return true;
}

bool CCAEUnitsJXAdaptor::getUnits(int category, int unitSystem, std::wstring& out) const {
    const int flags = unitSystem & (kCelsiusFlag | kDegreesFlag);
    const int system = unitSystem & ~(kCelsiusFlag | kDegreesFlag);
    auto it = m_units.find({system, category});
    if (it == m_units.end()) return false;
    out = it->second;
    for (const auto& [key, expression] : m_flagOverrides)
        if ((flags & key.first) && key.second == category) out = expression;
    return true;
}

std::wstring CCAEUnitsJXAdaptor::getUnits(int category, int unitSystem) const {
    std::wstring out;
    getUnits(category, unitSystem, out);
    return out;
}

std::wstring CCAEUnitsJXAdaptor::getSystemName(int unitSystem) const {
    auto it = m_systemNames.find(unitSystem & ~(kCelsiusFlag | kDegreesFlag));
    return it == m_systemNames.end() ? std::wstring() : it->second;
}

}  // namespace NCAERep
