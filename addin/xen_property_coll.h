// The collection of property entries an object hands to the host's grid.
#pragma once

#include "host/property_grid.h"
#include "platform/com.h"

// A new, empty collection; *out holds the only reference.
[[nodiscard]] HRESULT CreateXenPropertyColl(IXenPropertyColl** out);
