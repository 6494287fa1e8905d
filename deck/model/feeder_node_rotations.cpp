// The node frames the constraint table chose, as one ".AXL" block: each rotated node gets its
// position and the first two axes of its frame (the solver completes the third).
#include "deck/constraints/node_constraint_table.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"

int DorvixFeeder::WriteNodeRotations() {
    const NodeConstraintTable* table = GetNodeConstraintTable();
    if (!table || !deckFile_ || !meshWrapper_) return kRC_Success;
    DorvixDeckFile& deck = *deckFile_;
    bool started = false;
    NodeConstraintWalk walk(*table, NodeWalkFilter::kRotatedNodes);
    for (walk.First(); !walk.IsAtEnd(); walk.Next()) {
        const int node = walk.GetNodeId();
        Vector3 at;
        if (FAILED(meshWrapper_->GetNodeCoordinates(true, node, at))) {
            // A rotation on a node the mesh does not know would name a node the deck lacks.
            PostHostMessage(
                L"Node " + std::to_wstring(node) +
                    L" has a node frame but is not a node of the mesh; its rotation is not written",
                L"Warning");
            continue;
        }
        if (!started) {
            deck.WriteLine("! *********** Node Rotations ***********");
            deck.WriteLine(".AXL");
            started = true;
        }
        const CoordSystemSafe frame = table->GetNodeFrame(node);
        deck.WriteFields("     I", node, "ORIGINE", at.x, at.y, at.z);
        const Vector3& x = frame.GetXAxis();
        const Vector3& y = frame.GetYAxis();
        deck.WriteFields("          AXE 1 DIRECTION", x.x, x.y, x.z);
        deck.WriteFields("          AXE 2 DIRECTION", y.x, y.y, y.z);
    }
    return kRC_Success;
}
