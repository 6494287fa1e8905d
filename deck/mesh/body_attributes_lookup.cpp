#include "deck/mesh/body_attributes_lookup.h"

#include "caerep/model/body_lookup.h"

using NCAERep::CCAERepBase;

// The host's body ids are positive; a negative one names no body rather than a huge unsigned id.
CCAERepBase* FindBodyAttributes(const CCAERepBase* root, int bodyId) {
    return bodyId < 0 ? nullptr : NCAERep::GetBodyAttributes(root, static_cast<unsigned int>(bodyId));
}

CCAERepBase* FindBodyMaterialRep(const CCAERepBase* root, int bodyId) {
    return bodyId < 0 ? nullptr : NCAERep::GetBodyMaterialRep(root, static_cast<unsigned int>(bodyId));
}
