// Reading a constraint table saved with the host's project.
#pragma once

#include "deck/late_owned.h"
#include "platform/com.h"

class NodeConstraintTable;
struct IStream;

// Builds a table from the stream at its position (little-endian, no byte-order mark). On
// failure result is E_FAIL and nothing is answered.
LateOwned<NodeConstraintTable> ReadNodeConstraintTable(IStream* stream, HRESULT& result);
