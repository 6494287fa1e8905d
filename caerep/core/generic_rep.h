// The object made for a CAE type that no class is registered for: it keeps whatever
// properties, children and external objects a document gives it, so nothing is lost on save.
#pragma once

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

class CGenericRep : public CCAERepBase {
  public:
    explicit CGenericRep(const CIdentity& identity) : CCAERepBase(identity) {}
};

}  // namespace NCAERep
