// The ".CLM" block: fixed, simple, frictionless and zero-displacement node sets, then the fixed rotations.
#include "deck/constraints/supports_writer.h"

#include <string>
#include <vector>

#include "deck/constraints/node_constraint_table.h"
#include "deck/deck_file.h"

namespace {

struct SupportSet {
    const char* banner;
    const char* components;
    std::vector<int> nodes;
};

std::vector<int> WalkNodes(const NodeConstraintTable& table, NodeWalkFilter filter, const std::set<int>* skip,
                           int code = 0) {
    std::vector<int> nodes;
    NodeConstraintWalk walk(table, filter, code);
    for (walk.First(); !walk.IsAtEnd(); walk.Next())
        if (!skip || !skip->count(walk.GetNodeId())) nodes.push_back(walk.GetNodeId());
    return nodes;
}

// The walks look at UX alone, so a rotation held on a shell or beam node (a fixed rotation,
// or the rotational half of a symmetry region) is found slot by slot.
std::vector<int> HeldRotationNodes(const NodeConstraintTable& table, int slot) {
    std::vector<int> nodes;
    for (const auto& [node, record] : table.Records())
        if (record.rotational && record.state.Dof(slot).kind == kDofRotationHeld) nodes.push_back(node);
    return nodes;
}

std::vector<SupportSet> CollectSets(const NodeConstraintTable& table, const SupportsContext& c) {
    const std::set<int>* tied = c.tiedNodes;
    const char* fixed = c.twoDimensional ? "C 1 2" : c.rotationalDofs ? "C 1 2 3 4 5 6" : "C 1 2 3";
    std::vector<SupportSet> sets = {
        {"!*********** Fixed Supports ***********", fixed,
         WalkNodes(table, NodeWalkFilter::kFixedSupports, nullptr)},
        {"!*********** Simple Supports ***********", c.twoDimensional ? "C 1 2" : "C 1 2 3",
         WalkNodes(table, NodeWalkFilter::kSimpleSupports, nullptr)},
        {"!********* Frictionless Supports X *********", "C 1",
         WalkNodes(table, NodeWalkFilter::kDirectionSupportX, tied)},
        {"!********* Frictionless Supports Y *********", "C 2",
         WalkNodes(table, NodeWalkFilter::kDirectionSupportY, tied)},
        {"!********* Frictionless Supports Z *********", "C 3",
         WalkNodes(table, NodeWalkFilter::kDirectionSupportZ, tied)},
        {"!******* Constant Zero Displacement X *******", "C 1",
         WalkNodes(table, NodeWalkFilter::kZeroMotionX, tied, kZeroDisplacementCode)},
        {"!******* Constant Zero Displacement Y *******", "C 2",
         WalkNodes(table, NodeWalkFilter::kZeroMotionY, tied, kZeroDisplacementCode)},
        {"!******* Constant Zero Displacement Z *******", "C 3",
         WalkNodes(table, NodeWalkFilter::kZeroMotionZ, tied, kZeroDisplacementCode)},
    };
    // A two-dimensional table keeps RX and RY inactive, so only the rotation about Z appears there.
    const char* components[] = {"C 4", "C 5", "C 6"};
    for (int slot = kRX; slot <= kRZ; ++slot)
        sets.push_back({"!*********** Fixed Rotations ***********", components[slot - kRX],
                        HeldRotationNodes(table, slot)});
    return sets;
}

}  // namespace

void WriteSupportSets(DorvixDeckFile& deck, const NodeConstraintTable& table,
                      const SupportsContext& context) {
    bool opened = false;
    const char* lastBanner = nullptr;
    for (const SupportSet& set : CollectSets(table, context)) {
        if (set.nodes.empty()) continue;
        if (!opened) deck.WriteLine(".CLM");
        opened = true;
        // The three rotation sets share one banner.
        if (!lastBanner || std::string(lastBanner) != set.banner) deck.WriteLine(set.banner);
        lastBanner = set.banner;
        for (int node : set.nodes) deck.WriteFields("  FIX NOEUD I", node, set.components);
    }
}
