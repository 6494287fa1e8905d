// The supports block of the deck (".CLM" and its "FIX NOEUD" lines), read from a finalised
// per-node constraint table.
#pragma once

#include <set>

class DorvixDeckFile;
class NodeConstraintTable;

struct SupportsContext {
    // Nodes the cyclic symmetry ties: they get no frictionless or zero-displacement line.
    const std::set<int>* tiedNodes = nullptr;
    bool twoDimensional = false;
    // Some body carries rotations: a fixed support then holds all six components.
    bool rotationalDofs = false;
};

// Fixed and simple supports, frictionless supports and zero displacements per axis, then the
// rotations held on nodes that carry them, each set under its banner and one line per node,
// with one ".CLM" before the first set; nothing when every set is empty.
void WriteSupportSets(DorvixDeckFile& deck, const NodeConstraintTable& table, const SupportsContext& context);
