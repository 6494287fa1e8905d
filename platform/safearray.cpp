// Creating, copying and destroying arrays, their bounds, element get and put with owned copies, data access.
#include "platform/safearray.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

std::uint32_t ElementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
            return 8;
        case VT_BSTR:
            return sizeof(BSTR);
        case VT_UNKNOWN:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

// Offset of an element, or false when the index lies outside the bounds.
bool ElementOffset(const SAFEARRAY* a, std::int32_t index, std::size_t* offset) {
    std::int64_t rel = static_cast<std::int64_t>(index) - a->rgsabound[0].lLbound;
    if (rel < 0 || rel >= static_cast<std::int64_t>(a->rgsabound[0].cElements)) return false;
    *offset = static_cast<std::size_t>(rel) * a->cbElements;
    return true;
}

void ReleaseElements(SAFEARRAY* a) {
    std::uint32_t n = a->rgsabound[0].cElements;
    if (a->vt == VT_BSTR) {
        auto* p = static_cast<BSTR*>(a->pvData);
        for (std::uint32_t i = 0; i < n; ++i) SysFreeString(p[i]);
    } else if (a->vt == VT_UNKNOWN) {
        auto* p = static_cast<IUnknown**>(a->pvData);
        for (std::uint32_t i = 0; i < n; ++i)
            if (p[i]) p[i]->Release();
    } else if (a->vt == VT_VARIANT) {
        auto* p = static_cast<VARIANT*>(a->pvData);
        // An element holding a locked array cannot be cleared; the others still are.
        for (std::uint32_t i = 0; i < n; ++i) (void)VariantClear(&p[i]);
    }
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, std::uint32_t dims, const SAFEARRAYBOUND* bounds) {
    if (dims != 1 || !bounds) return nullptr;
    std::uint32_t size = ElementSize(vt);
    if (size == 0) return nullptr;
    std::uint32_t count = bounds[0].cElements;
    if (count > std::numeric_limits<std::uint32_t>::max() / size) return nullptr;
    auto* a = new (std::nothrow) SAFEARRAY();
    if (!a) return nullptr;
    a->vt = vt;
    a->cbElements = size;
    a->rgsabound[0] = bounds[0];
    // Zeroed bytes are valid empty elements of every supported type (VT_EMPTY variants,
    // null strings and pointers, zero numbers).
    a->pvData = std::calloc(count == 0 ? 1 : count, size);
    if (!a->pvData) {
        delete a;
        return nullptr;
    }
    if (vt == VT_VARIANT) {
        auto* p = static_cast<VARIANT*>(a->pvData);
        for (std::uint32_t i = 0; i < count; ++i) new (&p[i]) VARIANT();
    }
    return a;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, std::int32_t lowerBound, std::uint32_t count) {
    SAFEARRAYBOUND b{count, lowerBound};
    return SafeArrayCreate(vt, 1, &b);
}

HRESULT SafeArrayDestroy(SAFEARRAY* a) {
    if (!a) return S_OK;
    if (a->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    ReleaseElements(a);
    std::free(a->pvData);
    delete a;
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* a, SAFEARRAY** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!a) return E_INVALIDARG;
    SAFEARRAY* c = SafeArrayCreate(a->vt, 1, a->rgsabound);
    if (!c) return E_OUTOFMEMORY;
    std::uint32_t n = a->rgsabound[0].cElements;
    if (a->vt == VT_BSTR) {
        auto* from = static_cast<BSTR*>(a->pvData);
        auto* to = static_cast<BSTR*>(c->pvData);
        for (std::uint32_t i = 0; i < n; ++i) {
            if (!from[i]) continue;
            to[i] = SysAllocStringLen(from[i], SysStringLen(from[i]));
            if (!to[i]) {
                (void)SafeArrayDestroy(c);  // the new copy is not locked
                return E_OUTOFMEMORY;
            }
        }
    } else if (a->vt == VT_UNKNOWN) {
        auto* from = static_cast<IUnknown**>(a->pvData);
        auto* to = static_cast<IUnknown**>(c->pvData);
        for (std::uint32_t i = 0; i < n; ++i)
            if ((to[i] = from[i])) to[i]->AddRef();
    } else if (a->vt == VT_VARIANT) {
        auto* from = static_cast<VARIANT*>(a->pvData);
        auto* to = static_cast<VARIANT*>(c->pvData);
        for (std::uint32_t i = 0; i < n; ++i) {
            HRESULT hr = VariantCopy(&to[i], &from[i]);
            if (FAILED(hr)) {
                (void)SafeArrayDestroy(c);  // the new copy is not locked
                return hr;
            }
        }
    } else if (n > 0) {
        std::memcpy(c->pvData, a->pvData, static_cast<std::size_t>(n) * a->cbElements);
    }
    *out = c;
    return S_OK;
}

std::uint32_t SafeArrayGetDim(SAFEARRAY* a) { return a ? a->cDims : 0; }
std::uint32_t SafeArrayGetElemsize(SAFEARRAY* a) { return a ? a->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* a, VARTYPE* out) {
    if (!a || !out) return E_INVALIDARG;
    *out = a->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* a, std::uint32_t dim, std::int32_t* out) {
    if (!a || !out) return E_INVALIDARG;
    if (dim != 1) return DISP_E_BADINDEX;
    *out = a->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* a, std::uint32_t dim, std::int32_t* out) {
    if (!a || !out) return E_INVALIDARG;
    if (dim != 1) return DISP_E_BADINDEX;
    std::int64_t upper = static_cast<std::int64_t>(a->rgsabound[0].lLbound) + a->rgsabound[0].cElements - 1;
    if (upper > std::numeric_limits<std::int32_t>::max()) return DISP_E_OVERFLOW;
    *out = static_cast<std::int32_t>(upper);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* a, const std::int32_t* index, void* out) {
    if (!a || !index || !out) return E_INVALIDARG;
    std::size_t offset = 0;
    if (!ElementOffset(a, *index, &offset)) return DISP_E_BADINDEX;
    char* element = static_cast<char*>(a->pvData) + offset;
    if (a->vt == VT_BSTR) {
        BSTR s = *reinterpret_cast<BSTR*>(element);
        BSTR copy = s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr;
        if (s && !copy) return E_OUTOFMEMORY;
        *static_cast<BSTR*>(out) = copy;
    } else if (a->vt == VT_UNKNOWN) {
        IUnknown* p = *reinterpret_cast<IUnknown**>(element);
        if (p) p->AddRef();
        *static_cast<IUnknown**>(out) = p;
    } else if (a->vt == VT_VARIANT) {
        return VariantCopy(static_cast<VARIANT*>(out), reinterpret_cast<VARIANT*>(element));
    } else {
        std::memcpy(out, element, a->cbElements);
    }
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* a, const std::int32_t* index, const void* value) {
    if (!a || !index) return E_INVALIDARG;
    if (a->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    std::size_t offset = 0;
    if (!ElementOffset(a, *index, &offset)) return DISP_E_BADINDEX;
    char* element = static_cast<char*>(a->pvData) + offset;
    if (a->vt == VT_BSTR) {
        auto s = static_cast<BSTR>(const_cast<void*>(value));
        BSTR copy = s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr;
        if (s && !copy) return E_OUTOFMEMORY;
        BSTR* slot = reinterpret_cast<BSTR*>(element);
        SysFreeString(*slot);
        *slot = copy;
    } else if (a->vt == VT_UNKNOWN) {
        auto p = static_cast<IUnknown*>(const_cast<void*>(value));
        if (p) p->AddRef();
        IUnknown** slot = reinterpret_cast<IUnknown**>(element);
        if (*slot) (*slot)->Release();
        *slot = p;
    } else if (a->vt == VT_VARIANT) {
        if (!value) return E_INVALIDARG;
        return VariantCopy(reinterpret_cast<VARIANT*>(element), static_cast<const VARIANT*>(value));
    } else {
        if (!value) return E_INVALIDARG;
        std::memcpy(element, value, a->cbElements);
    }
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* a, void** data) {
    if (!a || !data) return E_INVALIDARG;
    ++a->cLocks;
    *data = a->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* a) {
    if (!a) return E_INVALIDARG;
    if (a->cLocks == 0) return E_UNEXPECTED;
    --a->cLocks;
    return S_OK;
}
