// Reads the "mesh" section of a case's host.json into a HostSimMesh.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "hostsim/case_mesh.h"
#include "hostsim/mesh_model.h"

// Builds the mesh the section describes (generated blocks first, then the listed nodes,
// elements, parts, geometry, sets and references). Bad input throws HostSimMeshError whose
// text starts with the place: `jsonPathForErrors` followed by the JSON pointer of the item.
std::unique_ptr<HostSimMesh> LoadMeshSection(const nlohmann::json& meshNode,
                                             const std::string& jsonPathForErrors);

// The mesh of a case's "mesh" section: a section of generated blocks alone, known to be made
// without a refusal, is left to be generated at the first question; any other is built now.
// Refuses what LoadMeshSection refuses, in the same words and places.
HostSimCaseMesh ReadCaseMeshSection(const nlohmann::json& meshNode, const std::string& jsonPathForErrors);
