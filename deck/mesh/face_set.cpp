// Resetting a face set, and one face per scoping reference with the host's id beside it.
#include "deck/mesh/face_set.h"

void FaceSet::Init() {
    bounds = FaceSetBounds{};
    kind = 0;
    flagA = false;
    flagB = false;
    flagC = true;
    value.reset();
    faces_.clear();
}

void FaceSet::SetFaces(const JXReferenceList& references, const std::vector<std::uint32_t>& ids) {
    faces_.clear();
    std::size_t i = 0;
    for (const JXReference& r : references) {
        auto face = std::make_unique<FaceSetFace>();
        face->reference = r;
        face->id = i < ids.size() ? static_cast<std::int32_t>(ids[i]) : 0;
        faces_.push_back(std::move(face));
        ++i;
    }
}
