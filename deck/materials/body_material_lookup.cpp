// A body's material representation, its name and host material through the library, and why none was found.
#include "deck/materials/body_material_lookup.h"

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/geometry_reps.h"
#include "caerep/model/material_reps.h"
#include "platform/text.h"

namespace {

const NCAERep::CCAERepBase* ModelRoot(const NCAERep::CCAERepBase* object) {
    NCAERep::CCAEDatabase* database = object->getDatabase();
    return database ? database->getRoot() : nullptr;
}

std::wstring MaterialName(const NCAERep::CCAERepBase* materialRep) {
    const NCAERep::CPropertyValue* value = materialRep->findProperty(L"MaterialName");
    std::wstring name;
    if (value) {
        try {
            value->getValue(name);
        } catch (...) {
            name.clear();
        }
    }
    return name;
}

}  // namespace

std::string BodyMaterialLookup::Explain() const {
    const std::string name = platform::WideToUtf8(materialName);
    if (libraryMissing)
        return "ERROR: The model has no material library; material \"" + name + "\" cannot be read.";
    return "ERROR: Material \"" + name + "\" is not in the material library.";
}

BodyMaterialLookup FindBodyHostMaterial(NCAERep::CCAERepBase* bodyAttributes) {
    BodyMaterialLookup found;
    if (!bodyAttributes) return found;
    found.materialRep = bodyAttributes->getChildByType(NCAERep::CMaterialRep::kTypeName);
    auto* rep = dynamic_cast<NCAERep::CMaterialRep*>(found.materialRep);
    if (!rep) return found;
    found.materialName = MaterialName(rep);
    const NCAERep::CCAERepBase* root = ModelRoot(rep);
    if (!root ||
        !root->getChild(NCAERep::CMaterialLibraryRep::kTypeName, NCAERep::CMaterialLibraryRep::kTypeName)) {
        found.libraryMissing = true;
        return found;
    }
    ComPtr<IUnknown> host;
    if (SUCCEEDED(rep->getHostMaterial(host)) && host) found.material = host.As<IHostMaterial>();
    return found;
}

bool AreNonLinearEffectsOn(NCAERep::CCAERepBase* bodyAttributes) {
    auto* attributes = dynamic_cast<NCAERep::CBodyAttributes*>(bodyAttributes);
    return attributes && attributes->getAreNonLinearEffectsOn();
}
