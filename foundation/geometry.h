// Vectors, axis indices and coordinate frames in one include.
#pragma once

#include "foundation/coord_system.h"
#include "foundation/vector3.h"
