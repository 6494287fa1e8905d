// Base state every co-class of the add-in carries: whether the object aggregates the
// free-threaded marshaler, and the marshaler itself, created on the first request for it.
#pragma once

#include "platform/com.h"
#include "platform/com_object.h"

class CXenComObject {
  public:
    // The environment variable that, set to "0" exactly, turns the marshaler off.
    static constexpr const char* kFreeThreadedVariable = "XEN_USE_COM_FREETHREADED";

    // Reads the switch once: later changes of the environment do not affect this object.
    CXenComObject();
    ~CXenComObject();
    CXenComObject(const CXenComObject&) = delete;
    CXenComObject& operator=(const CXenComObject&) = delete;

    bool UsesFreeThreadedMarshaler() const { return freeThreaded_; }
    bool HasMarshaler() const { return static_cast<bool>(marshaler_); }

    // For IID_IMarshal while the switch is on: the marshaler's answer, the marshaler being
    // created aggregated in `controllingUnknown` on the first request (its failure is
    // returned as it is). E_NOINTERFACE for every other request.
    [[nodiscard]] HRESULT QueryMarshaler(IUnknown* controllingUnknown, REFIID iid, void** out);

  private:
    bool freeThreaded_ = true;
    ComPtr<IUnknown> marshaler_;
};

// What a co-class operation answers for the exception being handled (call it inside a catch
// block): E_OUTOFMEMORY for a failed allocation, E_FAIL for anything else. No exception leaves
// an operation of a component object.
[[nodiscard]] HRESULT AnswerCurrentFailure();
