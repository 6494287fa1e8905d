// The two sides of a contact region in the deck: the contact side as a node group, the target
// side as a group of element faces.
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/face_set.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "platform/text.h"

namespace {

// One target entity's element faces and the host's answer.
struct ResolvedFaces {
    HRESULT answer = S_OK;
    std::vector<int> elements;
    std::vector<int> numbers;
};

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
    FaceSet faces;
    FillFaceSet(region.target, faces);
    // The target's element faces, resolved up to its first entity that is not face-like before
    // anything is written, so that a region refused for an edge of a solid element leaves no group.
    std::vector<ResolvedFaces> resolved;
    for (const auto& face : faces.GetFaces()) {
        if (!IsFaceLike(face->reference)) break;
        ResolvedFaces& entity = resolved.emplace_back();
        entity.answer =
            GetScopingFaces(meshWrapper_->GetMesh(), face->reference, entity.elements, entity.numbers);
        if (entity.answer == kE_SolidElementEdge)
            return RefuseSolidElementEdge(
                L"The target side of the contact region \"" + platform::Utf8ToWide(region.name) + L"\"",
                face->reference);
    }

    nodeGroup = NextSelectionGroupNumber();
    deckFile_->WriteFields(".SEL GROUP", nodeGroup, "NOEUDS");
    std::set<int> nodes;
    if (const int code = CollectSideNodes(region.source, nodes); code != kRC_Success) return code;
    std::string line = "  I";
    for (int node : nodes) line += " " + std::to_string(node);
    deckFile_->WriteLongLine(line);

    faceGroup = NextSelectionGroupNumber();
    deckFile_->WriteFields(".SEL GROUP", faceGroup, "FACES");
    for (const ResolvedFaces& entity : resolved) {
        if (FAILED(entity.answer)) return kRC_MissingData;
        for (std::size_t i = 0; i < entity.elements.size() && i < entity.numbers.size(); ++i)
            deckFile_->WriteFields("  MAILLE", entity.elements[i], "FACE", entity.numbers[i]);
    }
    return resolved.size() == faces.GetFaces().size() ? kRC_Success : kRC_ContactTargetNotFace;
}
