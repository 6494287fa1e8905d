// A body's attribute or material object by id, with negative ids and ids that are no number found as none.
#include "deck/mesh/body_attributes_lookup.h"

#include "caerep/core/cae_exception.h"
#include "caerep/model/body_lookup.h"

using NCAERep::CCAERepBase;

// The host's body ids are positive; a negative one names no body rather than a huge unsigned id.
// The look-ups throw when a body of the model carries an id that is no number; the deck's
// writers answer codes, so such a body is not found here.
CCAERepBase* FindBodyAttributes(const CCAERepBase* root, int bodyId) {
    if (bodyId < 0) return nullptr;
    try {
        return NCAERep::GetBodyAttributes(root, static_cast<unsigned int>(bodyId));
    } catch (const NCAERep::CCAEException&) {
        return nullptr;
    }
}

CCAERepBase* FindBodyMaterialRep(const CCAERepBase* root, int bodyId) {
    if (bodyId < 0) return nullptr;
    try {
        return NCAERep::GetBodyMaterialRep(root, static_cast<unsigned int>(bodyId));
    } catch (const NCAERep::CCAEException&) {
        return nullptr;
    }
}
