// Readers of the host.json sections about host objects: the object-type table the deck writer
// walks, and the object model the add-in services reach through the applet.
#include <set>

#include "hostsim/analysis_objects.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"

namespace {

HostLoadRecord ReadLoad(const JsonAt& at) {
    HostLoadRecord load;
    const std::string kind = at.Member("class").String();
    if (kind == "plain")
        load.loadClass = HostLoadRecord::Class::kPlain;
    else if (kind == "pointMass")
        load.loadClass = HostLoadRecord::Class::kPointMass;
    else if (kind == "temperature")
        load.loadClass = HostLoadRecord::Class::kTemperature;
    else
        at.Member("class").Fail("load class must be \"plain\", \"pointMass\" or \"temperature\"");
    load.firstNumber = at.IntOr("firstNumber", 0);
    load.objectType = at.IntOr("objectType", 0);
    load.kind = at.IntOr("kind", 0);
    load.flag = at.IntOr("flag", 0);
    if (at.Has("frame")) load.frame = ReadFrame(at.Member("frame"));
    load.mass = at.DoubleOr("mass", 0.0);
    if (at.Has("point")) {
        const Vector3 p = at.Member("point").Vector();
        load.point[0] = p.x, load.point[1] = p.y, load.point[2] = p.z;
    }
    load.pointMassInteger = at.IntOr("integer", 0);
    if (at.Has("inertia")) {
        const Vector3 i = at.Member("inertia").Vector();
        load.inertia[0] = i.x, load.inertia[1] = i.y, load.inertia[2] = i.z;
    }
    load.temperature = at.DoubleOr("temperature", 0.0);
    load.temperatureFlag = at.BoolOr("temperatureFlag", false) ? 1 : 0;
    return load;
}

HostObjectRecord ReadObjectRecord(const JsonAt& at) {
    HostObjectRecord r;
    r.id = at.Member("id").Int();
    r.hostType = at.Member("hostType").Int();
    r.name = at.StringOr("name", "");
    if (at.Has("scoping")) r.scoping = ReadScoping(at.Member("scoping"));
    r.objectType = at.IntOr("objectType", 0);
    r.bodyIdText = at.StringOr("bodyIdText", "");
    r.area = at.DoubleOr("area", 0.0);
    if (at.Has("load")) r.load = ReadLoad(at.Member("load"));
    return r;
}

HostSimObject ReadObject(const JsonAt& at) {
    HostSimObject o;
    o.id = at.Member("id").Int();
    o.type = at.IntOr("type", 0);
    o.name = at.WideStringOr("name", L"");
    if (at.Has("properties")) {
        const JsonAt map = at.Member("properties");
        for (const std::string& key : map.Keys())
            o.properties[IntKey(map, key)] = map.Member(key.c_str()).Int();
    }
    if (at.Has("idLists")) {
        const JsonAt map = at.Member("idLists");
        for (const std::string& key : map.Keys()) o.idLists[IntKey(map, key)] = map.Ints(key.c_str());
    }
    o.children = at.Ints("children");
    if (at.Has("text")) o.text = at.WideStringOr("text", L"");
    for (const JsonAt& a : at.OptionalElements("arguments")) {
        if (a.Value().is_string())
            o.arguments.emplace_back(a.WideString());
        else if (a.Value().is_number())
            o.arguments.emplace_back(a.Double());
        else
            a.Fail("an argument must be a number or a text");
    }
    return o;
}

}  // namespace

void ReadObjectTableSection(const JsonAt& root, HostSimCase& hostCase) {
    // A host always hands a table, empty for a model without loads and supports; only an
    // explicit null stands for a host that has none.
    if (!root.Has("objectTable")) {
        hostCase.objectTable = HostObjectTable{};
        return;
    }
    if (root.Value()["objectTable"].is_null()) return;
    const JsonAt t = root.Member("objectTable");
    HostObjectTable table;
    table.stepCount = t.IntOr("stepCount", 1);
    if (table.stepCount < 1) t.Member("stepCount").Fail("there must be at least one load step");
    std::set<int> ids;
    for (const JsonAt& e : t.OptionalElements("records")) {
        table.records.push_back(ReadObjectRecord(e));
        if (!ids.insert(table.records.back().id).second) e.Member("id").Fail("object id used twice");
    }
    hostCase.objectTable = std::move(table);
}

void ReadObjectModelSection(const JsonAt& root, HostSimCase& hostCase) {
    std::set<int> ids;
    for (const JsonAt& e : root.OptionalElements("objects")) {
        hostCase.objects.push_back(ReadObject(e));
        if (!ids.insert(hostCase.objects.back().id).second) e.Member("id").Fail("object id used twice");
    }
    ReadAnalysisObjectMembers(root, hostCase);
    if (root.Has("hostObjects")) {
        const JsonAt map = root.Member("hostObjects");
        for (const std::string& key : map.Keys()) {
            const int objectId = map.Member(key.c_str()).Int();
            if (!ids.count(objectId)) map.Member(key.c_str()).Fail("names no object of \"objects\"");
            hostCase.hostObjectsByCode[IntKey(map, key)] = objectId;
        }
    }
    if (root.Has("units")) {
        const JsonAt u = root.Member("units");
        hostCase.units.currentSystem = u.IntOr("current", 0);
        hostCase.units.anglesInDegrees = u.BoolOr("anglesInDegrees", true);
        hostCase.units.rotationalVelocityInRpm = u.BoolOr("rpm", false);
        if (u.Has("solverSystems")) {
            const JsonAt map = u.Member("solverSystems");
            for (const std::string& key : map.Keys())
                hostCase.units.solverSystems[IntKey(map, key)] = map.Member(key.c_str()).Int();
        }
    }
}
