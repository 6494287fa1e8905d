// Finding a body's objects in the CAE representation of the model.
#pragma once

namespace NCAERep {
class CCAERepBase;
}

// The "BodyAttributes" object whose "ProtoReferenceId" is the body id, searched under the
// root's "GeometryAttributes" child through its "PartAttributes" children; null when none.
NCAERep::CCAERepBase* FindBodyAttributes(const NCAERep::CCAERepBase* root, int bodyId);
// The "MaterialRep" child of that object; null when either is missing.
NCAERep::CCAERepBase* FindBodyMaterialRep(const NCAERep::CCAERepBase* root, int bodyId);
