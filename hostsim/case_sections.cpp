// Readers of the host.json sections that describe the solve and the model's record lists.
#include <set>

#include "host/object_types.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "platform/path_text.h"

ScopingRecord ReadScoping(const JsonAt& at) {
    ScopingRecord r;
    const int id = at.IntOr("id", 0);
    if (id < 0) at.Member("id").Fail("must not be negative");
    r.id = static_cast<std::uint32_t>(id);
    r.name = at.StringOr("name", "");
    if (r.name.size() > 259) at.Member("name").Fail("longer than 259 characters");
    for (int i : at.Ints("idList")) r.idList.push_back(i);
    r.references = at.References("references");
    for (int i : at.Ints("ids")) r.parallelIds.push_back(static_cast<std::uint32_t>(i));
    if (at.Has("ids") && r.parallelIds.size() != r.references.size())
        at.Member("ids").Fail("needs one id per reference");
    for (int i : at.Ints("activeIds")) r.activeIds.insert(static_cast<std::uint32_t>(i));
    return r;
}

CoordSystemSafe ReadFrame(const JsonAt& at) {
    CoordSystemSafe frame;
    const int type = at.IntOr("type", 0);
    if (type < 0 || type > 3) at.Member("type").Fail("frame type must be 0 to 3");
    frame.SetType(type);
    if (at.Has("origin")) frame.SetOrigin(at.Member("origin").Vector());
    if (at.Has("xAxis") || at.Has("yAxis")) {
        if (FAILED(frame.SetAxes(at.Member("xAxis").Vector(), 0, at.Member("yAxis").Vector(), 1)))
            at.Fail("the axes must be two non-zero, distinct directions");
    }
    frame.SetParams(at.DoubleOr("param1", 0.0), at.DoubleOr("param2", 0.0));
    frame.SetId(at.IntOr("frameId", 0));
    return frame;
}

namespace {

std::vector<CoordinateSystemData> ReadCoordinateSystems(const JsonAt& root, const char* key) {
    std::vector<CoordinateSystemData> out;
    std::set<int> ids;
    for (const JsonAt& e : root.OptionalElements(key)) {
        CoordinateSystemData d;
        d.id = e.Member("id").Int();
        if (!ids.insert(d.id).second) e.Member("id").Fail("id used twice");
        d.frame = ReadFrame(e);
        d.deckFrameNumber = e.IntOr("frameNumber", 0);
        if (d.deckFrameNumber < 0) e.Member("frameNumber").Fail("a frame number is 0 or more");
        out.push_back(d);
    }
    return out;
}

// A relative source folder is taken from the case folder, as the host keeps an earlier solve's
// folder beside its project. A source that names no unit system was solved in this case's
// deck unit system.
InitialConditionEntry ReadInitialCondition(const JsonAt& at, const HostSimCase& hostCase) {
    const std::filesystem::path& caseFolder = hostCase.folder;
    InitialConditionEntry e;
    e.kind = at.IntOr("kind", 0);
    e.uniformTemperature = at.DoubleOr("temperature", 0.0);
    e.earlierSolutionTime = at.DoubleOr("time", 0.0);
    if (at.Has("velocity")) {
        const Vector3 v = at.Member("velocity").Vector();
        e.velocityX = v.x;
        e.velocityY = v.y;
        e.velocityZ = v.z;
    }
    if (at.Has("scoping")) e.scoping = ReadScoping(at.Member("scoping"));
    if (at.Has("source")) {
        const JsonAt s = at.Member("source");
        InitialConditionSource source;
        source.folder = s.WideStringOr("folder", L"");
        if (!source.folder.empty() && platform::PathFromWide(source.folder).is_relative())
            source.folder = platform::WideFromPath(
                (caseFolder / platform::PathFromWide(source.folder)).lexically_normal());
        source.fileName = s.WideStringOr("fileName", L"");
        // The host keeps the code in 16 bits.
        const int system = s.IntOr("unitSystem", hostCase.deckUnitSystem);
        if (s.Has("unitSystem") && (system < 0 || system > 0xFFFF))
            s.Member("unitSystem").Fail("out of range");
        source.unitSystem = static_cast<std::uint16_t>(system);
        e.source = source;
    }
    return e;
}

ContactSide ReadContactSide(const JsonAt& at) {
    ContactSide side;
    side.references = at.References("references");
    for (int i : at.Ints("ids")) side.ids.push_back(static_cast<std::uint32_t>(i));
    if (side.ids.size() != side.references.size()) at.Fail("needs one id per reference");
    return side;
}

ContactRegionRecord ReadContact(const JsonAt& at) {
    ContactRegionRecord c;
    c.name = at.StringOr("name", "");
    c.contactType = at.IntOr("type", 1);
    if (c.contactType < 1 || c.contactType > 5) at.Member("type").Fail("contact type must be 1 to 5");
    c.offsetMode = at.IntOr("offsetMode", 0);
    c.friction = at.DoubleOr("friction", 0.0);
    c.offset = at.DoubleOr("offset", 0.0);
    if (at.Has("source")) c.source = ReadContactSide(at.Member("source"));
    if (at.Has("target")) c.target = ReadContactSide(at.Member("target"));
    c.referenceFlag = at.IntOr("referenceFlag", 0);
    c.referenceValue = at.DoubleOr("referenceValue", 0.0);
    c.hostObjectId = at.IntOr("hostObjectId", 0);
    c.bonded = at.BoolOr("bonded", false);
    c.marker = at.IntOr("marker", 0);
    c.conductance = at.DoubleOr("conductance", 0.0);
    c.snippetKey = at.IntOr("snippetKey", 0);
    return c;
}

BodyRecord ReadBody(const JsonAt& at) {
    BodyRecord b;
    b.sequence = at.IntOr("sequence", 0);
    b.partIndex = at.IntOr("partIndex", 0);
    b.kind = at.IntOr("kind", 0);
    if (b.kind != kBodySolid && b.kind != kBodySurface && b.kind != kBodyLine)
        at.Member("kind").Fail("body kind must be 0, 1 or 3");
    b.bodyMeshId = at.Member("bodyMeshId").Int();
    if (b.bodyMeshId == 0) at.Member("bodyMeshId").Fail("must not be 0");
    b.materialId = at.IntOr("materialId", 0);
    b.bodyId = at.Member("bodyId").Int();
    b.partMeshId = at.IntOr("partMeshId", 0);
    b.thickness = at.DoubleOr("thickness", 0.0);
    b.planarBehaviour = at.IntOr("planarBehaviour", 0);
    b.coordinateSystemId = at.IntOr("coordinateSystemId", 0);
    b.rigidCode = at.IntOr("rigidCode", 0);
    b.mass = at.DoubleOr("mass", 0.0);
    b.ixx = at.DoubleOr("ixx", 0.0);
    b.iyy = at.DoubleOr("iyy", 0.0);
    b.izz = at.DoubleOr("izz", 0.0);
    b.shellOffsetCode = at.IntOr("shellOffsetCode", 0);
    b.userShellOffset = at.DoubleOr("userShellOffset", 0.0);
    return b;
}

SymmetryRegionRecord ReadSymmetryRegion(const JsonAt& at) {
    SymmetryRegionRecord s;
    s.typeCode = at.IntOr("type", 0);
    s.suppressed = at.BoolOr("suppressed", false);
    s.bodies = at.Ints("bodies");
    s.hostObjectId = at.IntOr("hostObjectId", 0);
    s.lowBoundary = at.References("lowBoundary");
    s.highBoundary = at.References("highBoundary");
    s.coordinateSystemId = at.IntOr("coordinateSystemId", 0);
    return s;
}

SpringRecord ReadSpring(const JsonAt& at) {
    SpringRecord s;
    s.name = at.StringOr("name", "");
    s.objectId = at.IntOr("objectId", 0);
    if (at.Has("meshReference")) s.meshReference = at.Member("meshReference").Reference();
    s.stiffness = at.DoubleOr("stiffness", 0.0);
    s.damping = at.DoubleOr("damping", 0.0);
    if (at.Has("endA")) {
        const Vector3 a = at.Member("endA").Vector();
        s.endA[0] = a.x, s.endA[1] = a.y, s.endA[2] = a.z;
    }
    if (at.Has("endB")) {
        const Vector3 b = at.Member("endB").Vector();
        s.endB[0] = b.x, s.endB[1] = b.y, s.endB[2] = b.z;
    }
    s.skip = at.IntOr("skip", 0);
    return s;
}

CommandSnippet ReadSnippet(const JsonAt& at) {
    CommandSnippet c;
    c.objectId = at.IntOr("objectId", 0);
    c.text = at.StringOr("text", "");
    c.key = at.Member("key").Int();
    c.step = at.IntOr("step", -1);
    if (c.step == 0 || c.step < -1) at.Member("step").Fail("step must be -1 (every step) or from 1");
    return c;
}

}  // namespace

void ReadSolveSection(const JsonAt& root, HostSimCase& hostCase) {
    if (root.Has("referenceTemperature")) {
        const JsonAt t = root.Member("referenceTemperature");
        hostCase.referenceTemperature =
            ReferenceTemperatureRecord{t.IntOr("unitSystem", 11), t.Member("value").Double()};
    }
    if (!root.Has("solveJob")) return;
    const JsonAt j = root.Member("solveJob");
    SolveJobRecord job;
    job.inputOnly = j.BoolOr("inputOnly", false);
    job.writeNothing = j.BoolOr("writeNothing", false);
    job.copyTargetPath = j.WideStringOr("copyTargetPath", L"");
    if (job.inputOnly && job.copyTargetPath.empty()) j.Fail("an input-only job needs \"copyTargetPath\"");
    job.geometryAttachFile = j.WideStringOr("geometryAttachFile", L"");
    if (j.Has("memory")) {
        const JsonAt m = j.Member("memory");
        job.memory.w0 = m.IntOr("w0", 0);
        job.memory.zoneMemory = m.IntOr("zone", 0);
        job.memory.coreMemory = m.IntOr("core", 0);
        job.memory.memoryMode = m.IntOr("mode", 0);
    }
    if (j.Has("initialCondition"))
        job.initialCondition = ReadInitialCondition(j.Member("initialCondition"), hostCase);
    hostCase.solveJob = job;
}

void ReadModelRecordSections(const JsonAt& root, HostSimCase& hostCase) {
    // A host always hands a contact list, empty for a model without contacts; only an
    // explicit null stands for a host that has none.
    if (!root.Has("contacts")) {
        hostCase.contacts = ContactList{};
    } else if (!root.Value()["contacts"].is_null()) {
        ContactList list;
        for (const JsonAt& e : root.Member("contacts").Elements()) list.regions.push_back(ReadContact(e));
        hostCase.contacts = list;
    }
    for (const JsonAt& e : root.OptionalElements("symmetryRegions"))
        hostCase.symmetryRegions.push_back(ReadSymmetryRegion(e));
    for (const JsonAt& e : root.OptionalElements("namedSelections"))
        hostCase.namedSelections.push_back(ReadScoping(e));
    std::set<int> bodyIds;
    for (const JsonAt& e : root.OptionalElements("bodies")) {
        hostCase.bodies.push_back(ReadBody(e));
        if (!bodyIds.insert(hostCase.bodies.back().bodyId).second)
            e.Member("bodyId").Fail("body id used twice");
    }
    for (const JsonAt& e : root.OptionalElements("springs")) hostCase.springs.push_back(ReadSpring(e));
    hostCase.coordinateSystems = ReadCoordinateSystems(root, "coordinateSystems");
    hostCase.meshCoordinateSystems = ReadCoordinateSystems(root, "meshCoordinateSystems");
    for (const JsonAt& e : root.OptionalElements("snippets")) hostCase.snippets.push_back(ReadSnippet(e));
    if (root.Has("namedOptions")) {
        const JsonAt options = root.Member("namedOptions");
        for (const std::string& key : options.Keys())
            hostCase.namedOptions[key] = options.Member(key.c_str()).String();
    }
}
