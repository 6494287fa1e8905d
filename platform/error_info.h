// Error information of the calling thread. An object whose operation fails may leave a text
// saying why (and which component said it) for its caller, who takes it right after the failed
// call; the answer code alone travels through every caller that passes a failure on.
//
//   Object side:  ReportErrorInfo(L"DorvixSolver.DorvixProxy", L"the project data ends early");
//                 return E_FAIL;
//   Caller side:  (void)SetErrorInfo(0, nullptr);           // forget what an earlier call left
//                 if (FAILED(object->Operation())) { ComPtr<IErrorInfo> why; GetErrorInfo(0, ...); }
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com.h"

inline constexpr IID IID_IErrorInfo = MakeGuid("1cf2b120-547d-101b-8e65-08002b2bd119");
inline constexpr IID IID_ICreateErrorInfo = MakeGuid("22f03340-547d-101b-8e65-08002b2bd119");

// What the failed operation left: the interface it belongs to, the component that failed and
// the reason as a user may read it. Each getter hands out a new copy (null when unset).
struct IErrorInfo : IUnknown {
    static constexpr const IID& iid() { return IID_IErrorInfo; }
    [[nodiscard]] virtual HRESULT GetGUID(GUID* iid) = 0;
    [[nodiscard]] virtual HRESULT GetSource(BSTR* source) = 0;
    [[nodiscard]] virtual HRESULT GetDescription(BSTR* description) = 0;

  protected:
    ~IErrorInfo() = default;
};

// Fills a new error-information object before it is handed to SetErrorInfo. Each setter keeps
// a copy (null clears); E_OUTOFMEMORY keeps what was there.
struct ICreateErrorInfo : IUnknown {
    static constexpr const IID& iid() { return IID_ICreateErrorInfo; }
    [[nodiscard]] virtual HRESULT SetGUID(REFGUID iid) = 0;
    [[nodiscard]] virtual HRESULT SetSource(const OLECHAR* source) = 0;
    [[nodiscard]] virtual HRESULT SetDescription(const OLECHAR* description) = 0;

  protected:
    ~ICreateErrorInfo() = default;
};

// A new, empty error-information object (it answers IErrorInfo too).
[[nodiscard]] HRESULT CreateErrorInfo(ICreateErrorInfo** out);
// Makes `info` the thread's error information, replacing what was there; null clears it.
// `reserved` must be 0 (E_INVALIDARG otherwise).
[[nodiscard]] HRESULT SetErrorInfo(std::uint32_t reserved, IErrorInfo* info);
// Hands out the thread's error information and clears it: S_OK, or S_FALSE with *info null
// when there is none. E_POINTER for a null `info`.
[[nodiscard]] HRESULT GetErrorInfo(std::uint32_t reserved, IErrorInfo** info);

// Leaves `description`, said by `source`, as the thread's error information; what was there is
// replaced. Answers the failure of making or keeping it (nothing is left then).
[[nodiscard]] HRESULT ReportErrorInfo(std::wstring_view source, std::wstring_view description);
// A refusal with its reason: leaves `description`, said by `source`, as ReportErrorInfo does, and
// answers E_FAIL; the refusal stands even when the reason cannot be kept.
[[nodiscard]] inline HRESULT FailWithErrorInfo(std::wstring_view source, std::wstring_view description) {
    (void)ReportErrorInfo(source, description);
    return E_FAIL;
}
// Takes the thread's error information and answers its description; empty when there is none
// (the thread has none afterwards either way). Throws only std::bad_alloc.
std::wstring TakeErrorDescription();
