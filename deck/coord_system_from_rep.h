// A coordinate frame of the CAE representation as the deck writers use it.
#pragma once

#include "foundation/coord_system.h"

namespace NCAERep {
class CCAERepBase;
}

// The frame of a "CoordinateSystemRep" object: its type, two parameters, axis matrix and
// origin. Anything else, or a system whose matrix is missing, gives the global frame.
CoordSystemSafe ReadCoordSystemFromRep(const NCAERep::CCAERepBase* object);
