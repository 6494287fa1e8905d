#include "deck/mesh/body_attributes_lookup.h"

#include "caerep/core/cae_rep_base.h"

using NCAERep::CCAERepBase;
using NCAERep::EValueType;

namespace {

bool HasProtoReferenceId(const CCAERepBase* object, int bodyId) {
    const NCAERep::CPropertyValue* value = object->findProperty(L"ProtoReferenceId");
    if (!value) return false;
    if (value->getType() == EValueType::Int) {
        int id = 0;
        value->getValue(id);
        return id == bodyId;
    }
    if (value->getType() == EValueType::Unsigned) {
        unsigned id = 0;
        value->getValue(id);
        return bodyId >= 0 && id == static_cast<unsigned>(bodyId);
    }
    return false;
}

}  // namespace

CCAERepBase* FindBodyAttributes(const CCAERepBase* root, int bodyId) {
    if (!root) return nullptr;
    const CCAERepBase* geometry = root->getChildByType(L"GeometryAttributes");
    if (!geometry) return nullptr;
    for (const CCAERepBase* part : geometry->getChildrenByType(L"PartAttributes"))
        for (CCAERepBase* body : part->getChildrenByType(L"BodyAttributes"))
            if (HasProtoReferenceId(body, bodyId)) return body;
    return nullptr;
}

CCAERepBase* FindBodyMaterialRep(const CCAERepBase* root, int bodyId) {
    const CCAERepBase* body = FindBodyAttributes(root, bodyId);
    return body ? body->getChildByType(L"MaterialRep") : nullptr;
}
