// The common frame of the model classes: each names its type in `kTypeName`, registers its
// properties, makes its fixed children, and copies only from an object of the same type.
#pragma once

#include <utility>

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

// Self is the model class itself; Base is CCAERepBase or a model class that Self extends.
template <class Self, class Base = CCAERepBase>
class CModelRep : public Base {
  public:
    template <class... BaseArgs>
    explicit CModelRep(const CIdentity& identity, BaseArgs&&... baseArgs)
        : Base(identity, std::forward<BaseArgs>(baseArgs)...) {}

    void initialize() override {
        this->setTypeName(Self::kTypeName);
        this->registerProperties();
        this->createChildren();
    }
    bool copy(const CCAERepBase* other) override { return this->copyIfSameType(other); }
};

}  // namespace NCAERep
