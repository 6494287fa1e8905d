// Lookups in a read library: materials, properties, data and columns by name, row counts and behaviour.
#include "hostsim/matml_model.h"

#include <algorithm>

#include "platform/text.h"

const MatmlColumn* MatmlData::FindColumn(std::wstring_view columnName) const {
    for (const MatmlColumn& c : columns)
        if (c.name == columnName) return &c;
    return nullptr;
}

int MatmlData::RowCount() const {
    std::size_t rows = 0;
    for (const MatmlColumn& c : columns) rows = std::max(rows, c.values.size());
    return static_cast<int>(rows);
}

std::wstring MatmlProperty::Behavior() const {
    for (const MatmlData& d : data)
        if (!d.behavior.empty()) return d.behavior;
    return {};
}

const MatmlData* MatmlProperty::FindData(std::wstring_view dataName, std::wstring_view behavior) const {
    for (const MatmlData& d : data) {
        if (d.name != dataName) continue;
        if (behavior.empty() || platform::EqualsIgnoreAsciiCase(d.behavior, behavior)) return &d;
    }
    return nullptr;
}

const MatmlProperty* MatmlMaterial::FindProperty(std::wstring_view propertyName) const {
    for (const MatmlProperty& p : properties)
        if (p.name == propertyName) return &p;
    return nullptr;
}

const MatmlMaterial* MatmlLibraryData::FindMaterial(std::wstring_view materialName) const {
    for (const MatmlMaterial& m : materials)
        if (m.name == materialName) return &m;
    return nullptr;
}
