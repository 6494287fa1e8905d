// One-dimensional SAFEARRAYs of the element types the system exchanges with the host:
// VT_R8, VT_I4, VT_BSTR, VT_VARIANT and VT_UNKNOWN (plus the other fixed-size numeric
// types). Elements are zeroed on creation; the array owns its BSTRs, VARIANTs and
// interface references and releases them on destruction.
#pragma once

#include <cstdint>

#include "platform/com.h"

struct SAFEARRAYBOUND {
    std::uint32_t cElements = 0;
    std::int32_t lLbound = 0;
};

struct SAFEARRAY {
    std::uint16_t cDims = 1;
    VARTYPE vt = VT_EMPTY;
    std::uint32_t cbElements = 0;
    std::uint32_t cLocks = 0;
    void* pvData = nullptr;
    SAFEARRAYBOUND rgsabound[1];
};

// Null for an unsupported element type, more than one dimension or no memory.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, std::uint32_t dims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, std::int32_t lowerBound, std::uint32_t count);
// DISP_E_ARRAYISLOCKED while the data is accessed.
[[nodiscard]] HRESULT SafeArrayDestroy(SAFEARRAY* array);
// A deep copy (BSTRs and VARIANTs copied, interfaces AddRef'ed).
[[nodiscard]] HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** out);

std::uint32_t SafeArrayGetDim(SAFEARRAY* array);
std::uint32_t SafeArrayGetElemsize(SAFEARRAY* array);
[[nodiscard]] HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* out);
// dim is 1-based; DISP_E_BADINDEX for any other dimension.
[[nodiscard]] HRESULT SafeArrayGetLBound(SAFEARRAY* array, std::uint32_t dim, std::int32_t* out);
[[nodiscard]] HRESULT SafeArrayGetUBound(SAFEARRAY* array, std::uint32_t dim, std::int32_t* out);

// Copies an element out: a new BSTR for VT_BSTR (pass BSTR*), a VariantCopy for
// VT_VARIANT (pass an initialised VARIANT*), an AddRef'ed pointer for VT_UNKNOWN (pass
// IUnknown**), the value for numbers. DISP_E_BADINDEX outside the bounds.
[[nodiscard]] HRESULT SafeArrayGetElement(SAFEARRAY* array, const std::int32_t* index, void* out);
// Stores a copy of an element: for VT_BSTR pass the BSTR itself, for VT_UNKNOWN the
// IUnknown*, for the others a pointer to the value (VARIANT* for VT_VARIANT).
[[nodiscard]] HRESULT SafeArrayPutElement(SAFEARRAY* array, const std::int32_t* index, const void* value);

// Direct access to the elements; the array cannot be destroyed until unaccessed.
[[nodiscard]] HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
[[nodiscard]] HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

constexpr HRESULT DISP_E_ARRAYISLOCKED = MakeHResult(0x8002000Du);
