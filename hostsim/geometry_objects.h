// The simulated host's geometry object: answers the host geometry interfaces from a
// HostSimGeometry.
#pragma once

#include <memory>

#include "host/geometry.h"
#include "hostsim/geometry_model.h"

// A new geometry object over the geometry (shared: the objects it hands out keep it alive).
ComPtr<IHostGeometry> CreateHostSimGeometryObject(std::shared_ptr<const HostSimGeometry> geometry);
