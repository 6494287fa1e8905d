// Reader of the analysis members of host.json's "objects" entries (see
// docs/case-format/analysis-objects.md).
#include <string>

#include "host/analysis_host.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/json_reader.h"

namespace {

int NonNegative(const JsonAt& at) {
    const int value = at.Int();
    if (value < 0) at.Fail("must not be negative");
    return value;
}

std::optional<std::uint32_t> OptionalCount(const JsonAt& entry, const char* key, int least) {
    if (!entry.Has(key)) return std::nullopt;
    const JsonAt at = entry.Member(key);
    const int value = at.Int();
    if (value < least) at.Fail("must be at least " + std::to_string(least));
    return static_cast<std::uint32_t>(value);
}

HostSimObject::RegionState ReadRegion(const JsonAt& at) {
    return {at.Member("kind").Int(), at.BoolOr("suppressed", false)};
}

std::vector<HostSimObject::TimeTableEntry> ReadTimeTable(const JsonAt& at) {
    std::vector<HostSimObject::TimeTableEntry> table;
    for (const JsonAt& e : at.Elements()) {
        HostSimObject::TimeTableEntry entry;
        entry.kind = e.Member("kind").Int();
        for (const JsonAt& t : e.Member("times").Elements()) entry.times.push_back(t.Double());
        table.push_back(std::move(entry));
    }
    return table;
}

std::map<int, int> ReadLoadsByKind(const JsonAt& at) {
    std::map<int, int> loads;
    for (const std::string& key : at.Keys()) {
        const int kind = IntKey(at, key);
        loads[kind] = at.Member(key.c_str()).Int();
    }
    return loads;
}

void ReadMembers(const JsonAt& at, HostSimObject& o) {
    o.steps = OptionalCount(at, "steps", 0);
    if (o.steps && o.type != kHostStepLoadType && o.type != kHostStepSupportType &&
        o.type != kHostStepHistoryType)
        at.Member("steps").Fail("only objects of types 423, 431 and 546 carry steps");
    o.stepCount = OptionalCount(at, "stepCount", 1);
    o.stepLimit = OptionalCount(at, "stepLimit", 1);
    if (o.stepLimit && ((o.steps && *o.steps > *o.stepLimit) || (o.stepCount && *o.stepCount > *o.stepLimit)))
        at.Member("stepLimit").Fail("the object already has more steps");
    if (at.Has("timeTable")) o.timeTable = ReadTimeTable(at.Member("timeTable"));
    if (at.Has("contactRegion")) o.contactRegion = ReadRegion(at.Member("contactRegion"));
    if (at.Has("cyclicRegion")) o.cyclicRegion = ReadRegion(at.Member("cyclicRegion"));
    if (at.Has("loadObject")) {
        const JsonAt l = at.Member("loadObject");
        o.loadObject = HostSimObject::LoadState{l.Member("hostType").Int(), l.BoolOr("suppressed", false),
                                                l.Has("rows") ? NonNegative(l.Member("rows")) : 1,
                                                l.BoolOr("scopedToBody", false)};
    }
    if (at.Has("loadsByKind")) o.loadsByKind = ReadLoadsByKind(at.Member("loadsByKind"));
    if (at.Has("linkedObjectId")) o.linkedObjectId = NonNegative(at.Member("linkedObjectId"));
    if (at.Has("body")) {
        const JsonAt b = at.Member("body");
        o.body = HostSimObject::BodyState{b.BoolOr("suppressed", false), b.BoolOr("flexible", true)};
    }
    if (at.Has("material")) o.materialNonlinearKinds = at.Member("material").Ints("nonlinearKinds");
}

}  // namespace

void ReadAnalysisObjectMembers(const JsonAt& root, HostSimCase& hostCase) {
    const std::vector<JsonAt> entries = root.OptionalElements("objects");
    if (entries.size() > hostCase.objects.size()) root.Fail("the objects must be read first");
    // The entries are the last objects read.
    HostSimObject* const objects = hostCase.objects.data() + (hostCase.objects.size() - entries.size());
    std::map<int, const HostSimObject*> byId;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ReadMembers(entries[i], objects[i]);
        byId[objects[i].id] = &objects[i];
    }
    // A finder hands out the load it names, which must answer as a load.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!objects[i].loadsByKind) continue;
        const JsonAt map = entries[i].Member("loadsByKind");
        for (const std::string& key : map.Keys()) {
            const JsonAt target = map.Member(key.c_str());
            const auto found = byId.find(target.Int());
            if (found == byId.end()) target.Fail("names no object of \"objects\"");
            if (!found->second->loadObject) target.Fail("names an object without \"loadObject\"");
        }
    }
}
