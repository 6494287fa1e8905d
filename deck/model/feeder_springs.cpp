// Spring connections as two-node spring elements, and the node lookups of host point
// entities that the remote-point writers share through the return package.
#include <cmath>
#include <string>

#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/text.h"
#include "host/data_source.h"
#include "host/entity_text.h"
#include "runtime/return_package.h"

namespace {

// Shorter springs are welds the solver cannot orient.
constexpr double kSpotWeldMinLength = 4.02e-08;

}  // namespace

int DorvixFeeder::WriteSprings() try {
    if (!dataSource_) return kRC_Success;
    const std::vector<SpringRecord>& springs = dataSource_->GetSprings();
    if (springs.empty()) return kRC_Success;
    if (!deckFile_ || !meshWrapper_ || !returnPackage_) return kRC_MissingData;
    for (const SpringRecord& spring : springs) {
        if (spring.skip == 1) continue;
        deckFile_->WriteLine("!*********** Create Spring Connection \"" + spring.name + "\" ***********");
        if (IsSpotWeldTooShort(spring.endA, spring.endB)) return kRC_MissingData;

        int kind = kHET_Line2;
        int element = 0;
        if (FAILED(meshWrapper_->GetScopedNodeIds(&kind, spring.meshReference, &element)) || element < 1)
            return kRC_HostMeshRefused;
        JXList<unsigned int> nodes;
        if (FAILED(meshWrapper_->GetEntityIds(element, nodes)) || nodes.GetCount() != 2)
            return kRC_HostMeshRefused;

        deckFile_->WriteFields(".MCE I", element, "SPRI N", static_cast<int>(nodes[0]),
                               static_cast<int>(nodes[1]));
        deckFile_->WriteFields(".MCC I", element, "SPRI KR", spring.stiffness, "C", spring.damping);
        // Whether an entry was replaced does not matter: the spring's latest element is its result.
        (void)returnPackage_->SetLookup(spring.objectId, element, kLookupElement);
        WriteObjectSnippetsForKey(kSnippetSpring, spring.objectId);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the springs");
}

bool DorvixFeeder::IsSpotWeldTooShort(const double endA[3], const double endB[3]) const {
    double minimum = kSpotWeldMinLength;
    std::string text;
    if (GetNamedOption("spot weld min length", text) == 1) minimum = ParseDouble(text);
    const double dx = endA[0] - endB[0];
    const double dy = endA[1] - endB[1];
    const double dz = endA[2] - endB[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) <= minimum;
}

int DorvixFeeder::GetEntityNodeNumber(int /*unused*/, IUnknown* entity, int& node) const {
    if (!entity) return kRC_MissingData;
    ComPtr<IHostEntityText> named;
    if (FAILED(entity->QueryInterface(IHostEntityText::iid(), named.ReleaseAndGetVoidAddress())) || !named)
        return kRC_MissingData;
    std::wstring text;
    if (named->GetTextProperty(text) != S_OK) return kRC_MissingData;
    node = ParseInt(text);
    return kRC_Success;
}

int DorvixFeeder::RegisterEntityLookup(const int& key, IUnknown* entity) {
    int node = 0;
    if (const int code = GetEntityNodeNumber(0, entity, node); code != kRC_Success) return code;
    if (!returnPackage_) return kRC_MissingData;
    int first = 0;
    int second = 0;
    if (FAILED(returnPackage_->GetLookup(node, first, second)) || second != kLookupNode)
        return kRC_MissingData;
    (void)returnPackage_->SetLookup(key, first, kLookupNode);  // a replaced entry is as good
    return kRC_Success;
}
