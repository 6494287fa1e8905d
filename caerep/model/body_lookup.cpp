// A body's host id (its proto reference when it has one) and the search for its attributes and material.
#include "caerep/model/body_lookup.h"

namespace NCAERep {

unsigned int GetHostBodyId(const CCAERepBase& body) {
    if (const CPropertyValue* p = body.findProperty(L"ProtoReferenceId")) {
        unsigned int id = 0;
        p->getValue(id);
        return id;
    }
    return static_cast<unsigned int>(body.getId());
}

CCAERepBase* GetBodyAttributes(const CCAERepBase* object, unsigned int bodyId) {
    if (!object) return nullptr;
    std::vector<CCAERepBase*> geometry;
    if (object->typeName() == L"GeometryAttributes") geometry.push_back(const_cast<CCAERepBase*>(object));
    object->getDescendantsByType(L"GeometryAttributes", geometry);
    for (const CCAERepBase* g : geometry) {
        std::vector<CCAERepBase*> parts;
        g->getDescendantsByType(L"PartAttributes", parts);
        for (const CCAERepBase* part : parts) {
            for (CCAERepBase* body : part->getChildrenByType(L"BodyAttributes"))
                if (GetHostBodyId(*body) == bodyId) return body;
        }
    }
    return nullptr;
}

CCAERepBase* GetBodyMaterialRep(const CCAERepBase* object, unsigned int bodyId) {
    CCAERepBase* body = GetBodyAttributes(object, bodyId);
    return body ? body->getChildByType(L"MaterialRep") : nullptr;
}

}  // namespace NCAERep
