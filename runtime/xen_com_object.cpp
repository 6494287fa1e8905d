// The marshaler made on first request unless the environment turns it off, and exceptions turned into codes.
#include "runtime/xen_com_object.h"

#include <new>
#include <optional>
#include <string>

#include "platform/environment.h"

CXenComObject::CXenComObject() {
    std::optional<std::string> value =
        platform::ReadEnvironmentVariable(std::string_view(kFreeThreadedVariable));
    if (value && *value == "0") freeThreaded_ = false;
}

CXenComObject::~CXenComObject() = default;

HRESULT CXenComObject::QueryMarshaler(IUnknown* controllingUnknown, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!freeThreaded_ || !(iid == IID_IMarshal)) return E_NOINTERFACE;
    if (!marshaler_) {
        HRESULT hr = CoCreateFreeThreadedMarshaler(controllingUnknown, marshaler_.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
        if (!marshaler_) return E_FAIL;
    }
    return marshaler_->QueryInterface(iid, out);
}

HRESULT AnswerCurrentFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
