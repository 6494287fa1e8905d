// Reader of the host.json "parameters" section (layout in docs/case-format/parameters.md).
#include <limits>

#include "host/parameters.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "hostsim/parameter_data.h"

namespace {

HostSimPropertyValue ReadPropertyValue(const JsonAt& at) {
    HostSimPropertyValue entry;
    entry.typeCode = at.IntOr("typeCode", 0);
    const int given = int(at.Has("int")) + int(at.Has("double")) + int(at.Has("text"));
    if (given != 1) at.Fail("a value entry needs exactly one of \"int\", \"double\" and \"text\"");
    if (at.Has("int"))
        entry.value = std::int32_t{at.Member("int").Int()};
    else if (at.Has("double"))
        entry.value = at.Member("double").Double();
    else
        entry.value = at.Member("text").WideString();
    return entry;
}

HostSimNamedProperty ReadNamedProperty(const JsonAt& at) {
    HostSimNamedProperty property;
    property.name = at.Member("name").WideString();
    const bool inlineValue = at.Has("int") || at.Has("double") || at.Has("text");
    if (inlineValue && at.Has("entries")) at.Fail("give either one value or \"entries\", not both");
    if (inlineValue) property.entries.push_back(ReadPropertyValue(at));
    for (const JsonAt& e : at.OptionalElements("entries")) property.entries.push_back(ReadPropertyValue(e));
    return property;
}

// An array of named properties: [{"name", "int" | "double" | "text", "typeCode"} or
// {"name", "entries": [{"int" | "double" | "text", "typeCode"} ..]}].
std::vector<HostSimNamedProperty> ReadNamedProperties(const JsonAt& array) {
    std::vector<HostSimNamedProperty> properties;
    for (const JsonAt& e : array.Elements()) properties.push_back(ReadNamedProperty(e));
    return properties;
}

// "current", when given, must name an entry.
std::optional<int> ReadCurrentIndex(const JsonAt& at, std::size_t entryCount) {
    if (!at.Has("current")) return std::nullopt;
    const JsonAt current = at.Member("current");
    const int index = current.Int();
    if (index < 0 || static_cast<std::size_t>(index) >= entryCount) current.Fail("names no entry");
    return index;
}

void ReadList(const JsonAt& at, HostSimParameter& p) {
    for (const JsonAt& v : at.Member("values").Elements()) p.listValues.push_back(v.Double());
    p.currentIndex = ReadCurrentIndex(at, p.listValues.size());
}

void ReadTable(const JsonAt& at, HostSimParameter& p) {
    for (const JsonAt& row : at.Member("entries").Elements()) {
        std::vector<HostSimCell>& cells = p.tableEntries.emplace_back();
        for (const JsonAt& c : row.Elements()) {
            if (c.Value().is_string())
                cells.emplace_back(c.WideString());
            else if (c.Value().is_number())
                cells.emplace_back(c.Double());
            else
                c.Fail("a cell must be a number or a text");
        }
    }
    p.currentIndex = ReadCurrentIndex(at, p.tableEntries.size());
}

void ReadInteger(const JsonAt& at, HostSimParameter& p) {
    if (at.Has("value")) p.integerValue = at.Member("value").Int();
    if (at.Has("step")) {
        const int step = at.Member("step").Int();
        if (step < std::numeric_limits<std::int16_t>::min() ||
            step > std::numeric_limits<std::int16_t>::max())
            at.Member("step").Fail("must fit 16 bits");
        p.integerStep = static_cast<std::int16_t>(step);
    }
}

std::optional<double> OptionalDouble(const JsonAt& at, const char* key) {
    if (!at.Has(key)) return std::nullopt;
    return at.Member(key).Double();
}

// A value member that does not belong to the parameter's kind would be silently ignored.
void RequireKind(const JsonAt& at, const char* key, bool fits, const char* kinds) {
    if (at.Has(key) && !fits) at.Member(key).Fail(std::string("belongs to a parameter of kind ") + kinds);
}

HostSimParameter ReadParameter(const JsonAt& at) {
    HostSimParameter p;
    p.name = at.Member("name").WideString();
    p.description = at.WideStringOr("description", L"");
    p.kind = at.Member("kind").Int();
    p.subKind = at.IntOr("subKind", 0);
    const bool real = p.kind == kHostParameterReal;
    const bool list = p.kind == kHostParameterList;
    const bool table = p.kind == kHostParameterTable;
    RequireKind(at, "value", real || p.kind == kHostParameterOutput, "0 or 5");
    RequireKind(at, "lowerBound", real || list || table, "0, 1 or 2");
    RequireKind(at, "upperBound", real || list || table, "0, 1 or 2");
    RequireKind(at, "referenceValue", real, "0");
    RequireKind(at, "list", list, "1");
    RequireKind(at, "table", table, "2");
    RequireKind(at, "integer", p.kind == kHostParameterInteger, "3");
    p.value = OptionalDouble(at, "value");
    p.lowerBound = OptionalDouble(at, "lowerBound");
    p.upperBound = OptionalDouble(at, "upperBound");
    p.referenceValue = OptionalDouble(at, "referenceValue");
    if (at.Has("list")) ReadList(at.Member("list"), p);
    if (at.Has("table")) ReadTable(at.Member("table"), p);
    if (at.Has("integer")) ReadInteger(at.Member("integer"), p);
    if (at.Has("namedProperties")) p.namedProperties = ReadNamedProperties(at.Member("namedProperties"));
    return p;
}

}  // namespace

void ReadParametersSection(const JsonAt& root, HostSimCase& hostCase) {
    for (const JsonAt& e : root.OptionalElements("parameters"))
        hostCase.parameters.push_back(ReadParameter(e));
}
