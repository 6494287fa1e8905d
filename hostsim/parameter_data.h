// The study parameters of a case as host.json gives them (the "parameters" section): each
// with its kind, its value of that kind and its named properties.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class JsonAt;
struct HostSimCase;

// One value entry of a named property: its type code and a typed value.
struct HostSimPropertyValue {
    int typeCode = 0;
    std::variant<std::int32_t, double, std::wstring> value;
};

struct HostSimNamedProperty {
    std::wstring name;
    std::vector<HostSimPropertyValue> entries;
};

// A table cell: a number or a text.
using HostSimCell = std::variant<double, std::wstring>;

// A value the case leaves out is one the host cannot give: reading it fails.
struct HostSimParameter {
    std::wstring name;
    std::wstring description;
    int kind = 0;
    int subKind = 0;
    // Real, expression and output values.
    std::optional<double> value;
    std::optional<double> lowerBound;
    std::optional<double> upperBound;
    std::optional<double> referenceValue;
    std::vector<double> listValues;
    // The current entry of a list or a table.
    std::optional<int> currentIndex;
    std::vector<std::vector<HostSimCell>> tableEntries;
    std::optional<std::int32_t> integerValue;
    std::optional<std::int16_t> integerStep;
    std::vector<HostSimNamedProperty> namedProperties;
};

// Reads the "parameters" section (absent: none).
void ReadParametersSection(const JsonAt& root, HostSimCase& hostCase);
