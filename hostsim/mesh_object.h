// The simulated host's mesh object: answers the host mesh interfaces from a HostSimMesh.
#pragma once

#include <memory>

#include "host/mesh.h"
#include "hostsim/mesh_model.h"

// A new mesh object over the mesh (shared: several objects may read one mesh).
ComPtr<IHostMesh> CreateHostSimMeshObject(std::shared_ptr<const HostSimMesh> mesh);
