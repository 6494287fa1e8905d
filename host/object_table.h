// The host's table of its objects (loads, supports, connections) by id, as the data source
// hands it to the deck writer. The deck builds its own object-type table from these records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "host/scoping_record.h"
#include "platform/com.h"

// The load a host object describes, as plain data: which class of load it is and the fields of
// that class. The deck writer turns it into its polymorphic load records.
struct HostLoadRecord {
    enum class Class { kNone, kPlain, kPointMass, kTemperature };
    Class loadClass = Class::kNone;
    std::int32_t firstNumber = 0;
    std::int32_t objectType = 0;  // HostObjectType
    std::int32_t kind = 0;        // 0 to 3
    std::int32_t flag = 0;        // 0 or 1
    CoordSystemSafe frame;
    // Point mass.
    double mass = 0.0;
    double point[3] = {0.0, 0.0, 0.0};
    std::int32_t pointMassInteger = 0;
    double inertia[3] = {0.0, 0.0, 0.0};  // MIXX, MIYY, MIZZ
    // Temperature.
    double temperature = 0.0;
    std::uint8_t temperatureFlag = 0;
};

struct HostObjectRecord {
    std::int32_t id = 0;
    std::int32_t hostType = 0;    // HostObjectType or HostLoadType
    std::string name;             // written after NOM
    ScopingRecord scoping;        // references, parallel ids, id list (body ids)
    std::int32_t objectType = 0;  // HostGeometryKind: vertices or edges
    std::string bodyIdText;
    // Total size of the scoped faces or edges; a force on faces is divided by it.
    double area = 0.0;
    HostLoadRecord load;
    // The host's load object of this id (it answers IHostLoad, host/load_model.h); null for an
    // object that is no load of the host's load model.
    ComPtr<IUnknown> hostLoad;
    // The host's own entity of this id; a point mass names its remote point's node through it
    // (IHostEntityText). Null when the host hands none.
    ComPtr<IUnknown> hostObject;

    int GetReferenceKind() const { return ReferenceKindOf(scoping.references); }
};

struct HostObjectTable {
    int stepCount = 1;
    std::vector<HostObjectRecord> records;

    const HostObjectRecord* FindById(int id) const {
        for (const HostObjectRecord& r : records)
            if (r.id == id) return &r;
        return nullptr;
    }
};
