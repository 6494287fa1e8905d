// Finding a body's objects in the CAE representation of the model.
#pragma once

namespace NCAERep {
class CCAERepBase;
}

// The "BodyAttributes" object whose "ProtoReferenceId" is the body id, wherever the model's
// assembly tree holds it below `root` (its "GeometryAttributes", then every "PartAttributes" at
// any depth); null for a null root, a negative id, no such body, or a body met on the way whose
// "ProtoReferenceId" is no id.
NCAERep::CCAERepBase* FindBodyAttributes(const NCAERep::CCAERepBase* root, int bodyId);
// The "MaterialRep" child of that object; null when either is missing.
NCAERep::CCAERepBase* FindBodyMaterialRep(const NCAERep::CCAERepBase* root, int bodyId);
