// The material library of a case as read from its MatML file, before any host object is made
// of it: materials, their properties, the data objects of each property and their columns.
// Values are kept as written in the file together with their unit, so that every request can
// be answered in the unit system it names.
#pragma once

#include <string>
#include <vector>

#include "hostsim/matml_units.h"

struct MatmlColumn {
    std::wstring name;
    MatmlUnit unit;
    std::vector<double> values;  // as written; undefined entries hold the host's undefined value
};

struct MatmlData {
    std::wstring name;
    std::wstring behavior;
    std::vector<MatmlColumn> columns;

    const MatmlColumn* FindColumn(std::wstring_view columnName) const;
    // The longest column: rows of a temperature-dependent datum are its temperature points.
    int RowCount() const;
};

struct MatmlProperty {
    std::wstring name;
    std::vector<MatmlData> data;

    // The behaviour of the first data object that states one.
    std::wstring Behavior() const;
    const MatmlData* FindData(std::wstring_view dataName, std::wstring_view behavior) const;
};

struct MatmlMaterial {
    std::wstring name;
    std::vector<MatmlProperty> properties;

    const MatmlProperty* FindProperty(std::wstring_view propertyName) const;
};

struct MatmlLibraryData {
    std::vector<MatmlMaterial> materials;

    const MatmlMaterial* FindMaterial(std::wstring_view materialName) const;
};
