// Finding a body's attribute object and its material in the model tree.
#pragma once

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

// The "BodyAttributes" object whose host body id (GetHostBodyId) equals the body id: "GeometryAttributes"
// is searched below `object` (at any depth), then every "PartAttributes" below it at any depth,
// and the first body of a part that matches is taken. Null when `object` is null or nothing
// matches.
CCAERepBase* GetBodyAttributes(const CCAERepBase* object, unsigned int bodyId);

// The "MaterialRep" child of that body; null when either is missing.
CCAERepBase* GetBodyMaterialRep(const CCAERepBase* object, unsigned int bodyId);

// The id by which the host knows a body: its "ProtoReferenceId", or the database id when the
// body does not carry one.
unsigned int GetHostBodyId(const CCAERepBase& bodyAttributes);

}  // namespace NCAERep
