// The two sides of a contact region in the deck: the contact side as a node group, the target
// side as a group of element faces.
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/face_set.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"

namespace {

bool IsFaceLike(const JXReference& reference) {
    return (reference.kind & (kJXReferenceEdge | kJXReferenceFace)) != 0;
}

// The side as a face set. The reference list drops a repeated entity, so its id is dropped
// with it: the face set pairs references and ids by position.
void FillFaceSet(const ContactSide& side, FaceSet& faces) {
    JXReferenceList references;
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < side.references.size(); ++i) {
        if (references.Add(side.references[i])) ids.push_back(i < side.ids.size() ? side.ids[i] : 0u);
    }
    faces.SetFaces(references, ids);
}

}  // namespace

int DorvixFeeder::CollectSideNodes(const ContactSide& side, std::set<int>& nodes) const {
    if (!meshWrapper_) return kRC_MissingData;
    FaceSet faces;
    FillFaceSet(side, faces);
    std::vector<int> list;
    for (const auto& face : faces.GetFaces()) {
        list.clear();
        if (FAILED(GetScopingNodeIds(meshWrapper_->GetMesh(), face->reference, list))) return kRC_MissingData;
        nodes.insert(list.begin(), list.end());
    }
    return kRC_Success;
}

int DorvixFeeder::WriteContactGroups(const ContactRegionRecord& region, int& nodeGroup, int& faceGroup) {
    if (!deckFile_ || !meshWrapper_) return kRC_MissingData;
    nodeGroup = NextSelectionGroupNumber();
    deckFile_->WriteFields(".SEL GROUP", nodeGroup, "NOEUDS");
    std::set<int> nodes;
    if (const int code = CollectSideNodes(region.source, nodes); code != kRC_Success) return code;
    std::string line = "  I";
    for (int node : nodes) line += " " + std::to_string(node);
    deckFile_->WriteLongLine(line);

    faceGroup = NextSelectionGroupNumber();
    deckFile_->WriteFields(".SEL GROUP", faceGroup, "FACES");
    FaceSet faces;
    FillFaceSet(region.target, faces);
    std::vector<int> elements;
    std::vector<int> numbers;
    for (const auto& face : faces.GetFaces()) {
        if (!IsFaceLike(face->reference)) return kRC_ContactTargetNotFace;
        elements.clear();
        numbers.clear();
        if (FAILED(GetScopingFaces(meshWrapper_->GetMesh(), face->reference, elements, numbers)))
            return kRC_MissingData;
        for (std::size_t i = 0; i < elements.size() && i < numbers.size(); ++i)
            deckFile_->WriteFields("  MAILLE", elements[i], "FACE", numbers[i]);
    }
    return kRC_Success;
}
