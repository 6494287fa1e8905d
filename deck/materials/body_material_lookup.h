// The host material of a body, reached from the body's attribute object through its material
// representation and the model's material library, with what went missing when there is none.
#pragma once

#include <string>

#include "host/material.h"

namespace NCAERep {
class CCAERepBase;
}

struct BodyMaterialLookup {
    // The "MaterialRep" child of the attribute object; null when the body has none.
    NCAERep::CCAERepBase* materialRep = nullptr;
    ComPtr<IHostMaterial> material;
    std::wstring materialName;
    bool libraryMissing = false;

    // The deck's "ERROR:" line telling why no host material was found.
    std::string Explain() const;
};

BodyMaterialLookup FindBodyHostMaterial(NCAERep::CCAERepBase* bodyAttributes);

// The body's "AreNonLinearEffectsOn" switch; false when the object does not carry it.
bool AreNonLinearEffectsOn(NCAERep::CCAERepBase* bodyAttributes);
