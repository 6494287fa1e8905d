// Runs the topology and element-group writers on a case folder of tests/data/cases and
// hands back the two deck sections.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_database.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "host/model_records.h"
#include "hostsim/mesh_model.h"

namespace meshtest {

struct MeshCase {
    std::shared_ptr<HostSimMesh> mesh;
    ComPtr<IHostMesh> meshObject;
    std::vector<BodyRecord> bodies;
    std::unique_ptr<NCAERep::CCAEDatabase> model;
    int partCount = 0;
    bool twoDimensional = false;
    int analysisKind = 1;
};

// Reads the case folder as the simulated host does (host.json) and its model (CAERep.xml).
MeshCase LoadCase(const std::string& name);
// Adds a "BodyAttributes" object (body id, caption, material name) to the model's one part,
// below EngineeringRep, GeometryAttributes and an assembly, as the host builds the model.
void AddBodyAttributes(NCAERep::CCAEDatabase& db, int bodyId, const std::wstring& caption,
                       const std::wstring& material);

struct Sections {
    int code = 0;
    std::string topology;
    std::string groups;
};
// Writes nodes, elements and the part loop as the model section does and splits the deck.
Sections WriteSections(MeshCase& c);
}  // namespace meshtest
