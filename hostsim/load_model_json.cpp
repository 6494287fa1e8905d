// Reader of host.json's "loads" section: the host's load objects, each hung on the object-table
// record of its id, with its variables, their definitions and their values.
#include <charconv>
#include <set>

#include "foundation/unit_systems.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "hostsim/load_model.h"

namespace {

// The solver unit quantity of the host quantity codes a value can carry; -1 for a code the
// host does not know (the variable then names its unit quantity itself).
int UnitQuantityOf(int hostQuantity) {
    switch (hostQuantity) {
        case kLoadQuantityTimeFactor:
            return kQuantityNone;
        case kLoadQuantityAcceleration:
            return kQuantityAcceleration;
        case kLoadQuantityDisplacement:
            return 31;  // Displacement
        case kLoadQuantityForce:
            return kQuantityForce;
        case kLoadQuantityMoment:
            return 18;  // Moment
        case kLoadQuantityPressure:
            return 27;  // Pressure
        case kLoadQuantityRotationalVelocity:
            return kQuantityRotationalVelocity;
        case kLoadQuantityForcePerLength:
            return 9;  // ForcePerLength
        case kLoadQuantityTemperature:
            return kQuantityTemperature;
        default:
            return -1;
    }
}

bool IsVariableIndex(int index) {
    return (index >= kLoadVariableMagnitude && index <= kLoadVariableRotationX + 2) ||
           index == kLoadVariableSpatial;
}

std::vector<bool> ReadSteps(const JsonAt& at, int stepCount) {
    std::vector<bool> steps;
    for (const JsonAt& s : at.Elements()) steps.push_back(s.Bool());
    if (static_cast<int>(steps.size()) != stepCount)
        at.Fail("lists " + std::to_string(steps.size()) + " steps; the object table has " +
                std::to_string(stepCount));
    return steps;
}

std::vector<std::pair<double, double>> ReadRows(const JsonAt& at) {
    const std::vector<JsonAt> elements = at.Elements();
    if (elements.empty()) at.Fail("a table with no rows");
    std::vector<std::pair<double, double>> rows;
    for (const JsonAt& row : elements) {
        if (!row.Value().is_array() || row.Value().size() != 2) row.Fail("expected a row [abscissa, value]");
        const double x = row.Element(0).Double();
        if (!rows.empty() && x <= rows.back().first)
            row.Element(0).Fail("the rows must ascend strictly in their abscissa");
        rows.emplace_back(x, row.Element(1).Double());
    }
    return rows;
}

HostSimLoadEntry ReadEntry(const JsonAt& at) {
    const int forms =
        (at.Has("constant") ? 1 : 0) + (at.Has("expression") ? 1 : 0) + (at.Has("table") ? 1 : 0);
    if (forms != 1) at.Fail("a defined variable gives one of \"constant\", \"expression\" or \"table\"");
    HostSimLoadEntry entry;
    const JsonAt quantity = at.Member("quantity");
    entry.quantity = quantity.Int();
    entry.unitQuantity = UnitQuantityOf(entry.quantity);
    if (at.Has("unitQuantity")) {
        entry.unitQuantity = at.Member("unitQuantity").Int();
        if (entry.unitQuantity < 0 || entry.unitQuantity >= kUnitQuantityCount)
            at.Member("unitQuantity").Fail("names no solver unit quantity (0 to 84)");
    }
    if (entry.unitQuantity < 0) quantity.Fail("quantity code without a known unit; give \"unitQuantity\"");
    if (at.Has("constant")) {
        entry.coefficients = {at.Member("constant").Double()};
    } else if (at.Has("expression")) {
        const JsonAt polynomial = at.Member("expression").Member("polynomial");
        for (const JsonAt& c : polynomial.Elements()) entry.coefficients.push_back(c.Double());
        if (entry.coefficients.empty()) polynomial.Fail("a polynomial needs at least one coefficient");
    } else {
        entry.kind = kLoadEntryTable;
        entry.rows = ReadRows(at.Member("table"));
    }
    return entry;
}

int ReadIndependent(const JsonAt& at) {
    const std::string text = at.StringOr("independent", "time");
    if (text == "time") return kLoadIndependentTime;
    if (text == "x") return kLoadIndependentX;
    if (text == "y") return kLoadIndependentY;
    if (text == "z") return kLoadIndependentZ;
    at.Member("independent").Fail("must be \"time\", \"x\", \"y\" or \"z\"");
}

HostSimLoadVariable ReadVariable(const JsonAt& at, int stepCount) {
    HostSimLoadVariable v;
    const JsonAt index = at.Member("index");
    v.index = index.Int();
    if (!IsVariableIndex(v.index))
        index.Fail(
            "no variable has this index (1 magnitude, 2 to 4 components, 5 to 7 rotations, 10 spatial)");
    v.id = at.IntOr("id", v.index);
    v.flag = at.IntOr("flag", 0);
    if (v.flag < 0 || v.flag > 0xFFFF) at.Member("flag").Fail("a flag is a 16-bit word");
    v.name = at.WideStringOr("name", L"");
    if (at.Has("activeSteps")) v.activeSteps = ReadSteps(at.Member("activeSteps"), stepCount);
    const std::string kind = at.StringOr("kind", "defined");
    if (kind == "free") {
        v.definitionKind = kLoadDefinitionFree;
        for (const char* key : {"constant", "expression", "table", "quantity", "independent"})
            if (at.Has(key)) at.Member(key).Fail("a free variable carries no values");
        return v;
    }
    if (kind != "defined") at.Member("kind").Fail("must be \"defined\" or \"free\"");
    v.independent = ReadIndependent(at);
    v.entry = ReadEntry(at);
    return v;
}

HostSimLoadData ReadLoad(const JsonAt& at, const HostObjectRecord& record, int unitSystem, int stepCount) {
    HostSimLoadData load;
    load.id = record.id;
    load.type = record.hostType;
    load.unitSystem = unitSystem;
    load.stepCount = stepCount;
    load.activeSteps = at.Has("activeSteps") ? ReadSteps(at.Member("activeSteps"), stepCount)
                                             : std::vector<bool>(stepCount, true);
    load.samplingCount = at.IntOr("samplingCount", 0);
    if (load.samplingCount < 0) at.Member("samplingCount").Fail("must not be negative");
    load.coordinateSystemId = at.IntOr("coordinateSystemId", 0);
    if (at.Has("properties")) {
        const JsonAt map = at.Member("properties");
        for (const std::string& key : map.Keys()) {
            const JsonAt value = map.Member(key.c_str());
            int code = 0;
            const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), code);
            if (ec != std::errc() || end != key.data() + key.size()) value.Fail("the key must be an integer");
            load.properties[code] = value.Double();
        }
    }
    std::set<int> indices;
    std::set<std::pair<int, int>> idsAndFlags;
    for (const JsonAt& v : at.OptionalElements("variables")) {
        load.variables.push_back(ReadVariable(v, stepCount));
        const HostSimLoadVariable& added = load.variables.back();
        if (!indices.insert(added.index).second) v.Member("index").Fail("variable index used twice");
        if (!idsAndFlags.insert({added.id, added.flag}).second) v.Fail("variable id and flag used twice");
    }
    return load;
}

}  // namespace

void ReadLoadsSection(const JsonAt& root, HostSimCase& hostCase) {
    if (!root.Has("loads")) return;
    const JsonAt section = root.Member("loads");
    if (!section.Value().is_object()) section.Fail("expected an object");
    const JsonAt system = section.Member("unitSystem");
    const int unitSystem = system.Int();
    if (!GetUnitSystemTable().IsKnownSystem(unitSystem)) system.Fail("names no solver unit system");
    if (!hostCase.objectTable) section.Fail("the host has no object table for the loads to belong to");
    HostObjectTable& table = *hostCase.objectTable;
    std::set<int> ids;
    for (const JsonAt& e : section.OptionalElements("records")) {
        const JsonAt id = e.Member("id");
        HostObjectRecord* record = nullptr;
        for (HostObjectRecord& r : table.records)
            if (r.id == id.Int()) record = &r;
        if (!record) id.Fail("names no record of \"objectTable\"");
        if (!ids.insert(record->id).second) id.Fail("load id used twice");
        record->hostLoad = CreateHostSimLoad(
            std::make_shared<const HostSimLoadData>(ReadLoad(e, *record, unitSystem, table.stepCount)));
        if (!record->hostLoad) e.Fail("the load object cannot be created");
    }
}
