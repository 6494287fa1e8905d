// Coupling conditions: one degree of freedom forced equal on a node set, written as linear
// relations that tie every node to the first. A component meant in a local frame also gets a
// node group and the ".AXL" line that puts the group's nodes in that frame.
#include <set>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/bc_reps.h"
#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/analysis_kind.h"
#include "foundation/signed_memory.h"
#include "foundation/text.h"
#include "platform/text.h"
#include "runtime/return_package.h"

namespace {

// The deck component of a "DOFSelection" text; 0 for a text that names none.
int CoupledComponent(const std::wstring& selection) {
    static const wchar_t* const kSelections[] = {L"DOFDisplacementX", L"DOFDisplacementY",
                                                 L"DOFDisplacementZ", L"DOFRotationX",
                                                 L"DOFRotationY",     L"DOFRotationZ"};
    for (int c = 0; c < 6; ++c)
        if (selection == kSelections[c]) return c + 1;
    return 0;
}

// The host's node block copied in its order and freed.
std::vector<int> TakeNodes(int* block, int count) {
    std::vector<int> nodes;
    if (block && count > 0) nodes.assign(block, block + count);
    (void)SignedMemFree(block);
    return nodes;
}

}  // namespace

int DorvixFeeder::WriteCouplingConditions() try {
    if (!inputRoot_) return kRC_Success;
    std::vector<NCAERep::CIdentity> conditions;
    inputRoot_->getIdentitiesByType(NCAERep::CCouplingConditionRep::kTypeName, conditions);
    if (conditions.empty()) return kRC_Success;
    if (!deckFile_ || !meshWrapper_ || !returnPackage_ || !objectTypeTable_) return kRC_MissingData;
    DorvixDeckFile& deck = *deckFile_;

    for (const NCAERep::CIdentity& identity : conditions) {
        const NCAERep::CCAERepBase* condition = inputDatabase_.getObject(identity);
        if (!condition) {
            PostHostMessage(L"A coupling condition of the model cannot be read", L"Error");
            return kRC_ModelLoadFailed;
        }
        const int objectId = condition->getId();
        std::wstring caption;
        condition->getProperty(L"Caption").getValue(caption);
        const auto refuse = [&](int code, const std::wstring& reason) {
            PostHostMessage(L"Coupling condition \"" + caption + L"\" (object " + std::to_wstring(objectId) +
                                L"): " + reason,
                            L"Error");
            return code;
        };
        const std::string name = platform::WideToUtf8(caption);
        deck.WriteLine("!*********** Create Coupling Condition \"" + name + "\" ***********");

        int* block = nullptr;
        int count = 0;
        const HRESULT resolved =
            ResolveReferencedObject(*objectTypeTable_, objectId, meshWrapper_->GetMeshData(), block, count);
        const std::vector<int> nodes = TakeNodes(block, count);
        if (FAILED(resolved) || nodes.size() < 2)
            return refuse(kRC_CouplingTooFewNodes, L"it must hold at least two nodes");
        if (returnPackage_->SetLookup(objectId, objectId, kLookupCoupling) != 0)
            return refuse(kRC_MissingData, L"its id is used by another object");
        std::wstring selection;
        condition->getProperty(L"DOFSelection").getValue(selection);
        const int component = CoupledComponent(selection);
        if (component == 0)
            return refuse(kRC_MissingData, L"the coupled component \"" + selection + L"\" is unknown");

        deck.WriteLine(".LIA");
        for (std::size_t i = 1; i < nodes.size(); ++i)
            deck.WriteFields("   NA", nodes[0], "NB 0 NC", component, "MA", nodes[i], "MB 0 MC", component);
        if (analysisKind_ == kAnalysisThermal) continue;

        unsigned int frameId = 0;
        condition->getProperty(L"RefCoordSysId").getValue(frameId);
        if (frameId == 0) continue;
        const CoordinateSystemData* frame =
            bodyWrapper_ ? bodyWrapper_->FindCoordinateSystem(static_cast<int>(frameId)) : nullptr;
        if (!frame) return refuse(kRC_MissingData, L"its coordinate system is not in the model");
        if (frame->deckFrameNumber == 0) continue;

        // The ".AXL" line names the group by number, but the group must still exist under a
        // name the solver takes; a caption it refuses gives way to one made from the id.
        std::string groupName;
        if (!SanitizeDeckName(name, groupName, false)) groupName = "N" + std::to_string(objectId);
        const int group = NextSelectionGroupNumber();
        const std::set<int> nodeSet(nodes.begin(), nodes.end());
        if (deck.WriteSelectionGroup(groupName, nodeSet, true, group) != kRC_Success)
            return refuse(kRC_MissingData, L"its node group cannot be written");
        deck.WriteFields(".AXL GROUP ", group, " FRAME ", frame->deckFrameNumber);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the coupling conditions");
}
