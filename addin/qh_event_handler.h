// The handler object an add-in hands to a host delegate: it calls one member function of one
// target with the event's sender and argument. The add-in builds one on the stack for each
// subscription; the delegate keeps a clone, and removal passes an equal handler.
#pragma once

#include <new>

#include "host/addin_host.h"

template <class T>
class CQHEventHandler final : public CQHEventHandlerBase {
  public:
    using Handler = HRESULT (T::*)(IUnknown* sender, IUnknown* argument);

    CQHEventHandler(T* target, Handler handler) : target_(target), handler_(handler) {}

    [[nodiscard]] HRESULT Invoke(IUnknown* sender, IUnknown* argument) override {
        if (!target_ || !handler_) return E_POINTER;
        return (target_->*handler_)(sender, argument);
    }
    // Null when no memory is left; the delegate then refuses the subscription.
    CQHEventHandlerBase* Clone() const override { return new (std::nothrow) CQHEventHandler(*this); }
    bool SameAs(const CQHEventHandlerBase& other) const override {
        const auto* same = dynamic_cast<const CQHEventHandler*>(&other);
        return same && same->target_ == target_ && same->handler_ == handler_;
    }

  private:
    CQHEventHandler(const CQHEventHandler&) = default;

    T* target_;
    Handler handler_;
};
