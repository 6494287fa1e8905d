// VARIANT lifetime and conversions. Conversions never consult the process locale: text is
// read and written with '.' as the decimal point.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

#include "platform/com.h"
#include "platform/dispatch.h"
#include "platform/safearray.h"
#include "platform/text.h"

void VariantInit(VARIANT* v) {
    if (!v) return;
    v->vt = VT_EMPTY;
    v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    if (v->vt & VT_BYREF) {
        // A reference owns nothing.
    } else if (v->vt & VT_ARRAY) {
        HRESULT hr = SafeArrayDestroy(v->parray);
        if (FAILED(hr)) return hr;
    } else if (v->vt == VT_BSTR) {
        SysFreeString(v->bstrVal);
    } else if (v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) {
        if (v->punkVal) v->punkVal->Release();
    }
    VariantInit(v);
    return S_OK;
}

namespace {

bool IsKnownScalarType(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_BOOL:
        case VT_ERROR:
        case VT_BSTR:
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return true;
        default:
            return false;
    }
}

// Copies src into a fresh VARIANT (owning its own BSTR, reference or array).
[[nodiscard]] HRESULT CopyInto(const VARIANT& src, VARIANT* out) {
    VARIANT r;
    r.vt = src.vt;
    r.llVal = src.llVal;
    if (src.vt & VT_BYREF) {
        // A reference is copied as a reference.
    } else if (src.vt & VT_ARRAY) {
        r.parray = nullptr;
        if (src.parray) {
            HRESULT hr = SafeArrayCopy(src.parray, &r.parray);
            if (FAILED(hr)) return hr;
        }
    } else if (!IsKnownScalarType(src.vt)) {
        return DISP_E_BADVARTYPE;
    } else if (src.vt == VT_BSTR) {
        if (src.bstrVal) {
            r.bstrVal = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
            if (!r.bstrVal) return E_OUTOFMEMORY;
        }
    } else if (src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH) {
        if (r.punkVal) r.punkVal->AddRef();
    }
    *out = r;
    return S_OK;
}

}  // namespace

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (dest == src) return S_OK;
    VARIANT copy;
    HRESULT hr = CopyInto(*src, &copy);
    if (FAILED(hr)) return hr;
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        (void)VariantClear(&copy);  // a fresh copy holds no locked array
        return hr;
    }
    *dest = copy;
    return S_OK;
}

// ---------------------------------------------------------------------------------------
// VariantChangeType

namespace {

// A number on its way between two types: integers keep their full 64-bit value.
struct Number {
    enum Kind { Signed, Unsigned, Real } kind = Signed;
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double d = 0.0;
};

Number FromSigned(std::int64_t v) { return {Number::Signed, v, 0, 0.0}; }
Number FromUnsigned(std::uint64_t v) { return {Number::Unsigned, 0, v, 0.0}; }
Number FromReal(double v) { return {Number::Real, 0, 0, v}; }

std::wstring_view Trim(std::wstring_view t) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    while (!t.empty() && blank(t.front())) t.remove_prefix(1);
    while (!t.empty() && blank(t.back())) t.remove_suffix(1);
    return t;
}

// Parses a decimal number written in the C locale: optional sign, digits with an optional
// '.' fraction and exponent. No thousands separators, no "inf" or "nan".
[[nodiscard]] HRESULT ParseNumber(std::wstring_view wide, Number* out) {
    wide = Trim(wide);
    if (wide.empty() || wide.size() > 400) return DISP_E_TYPEMISMATCH;
    std::string text;
    for (wchar_t c : wide) {
        if (c < 0 || c > 0x7F) return DISP_E_TYPEMISMATCH;
        text += static_cast<char>(c);
    }
    bool negative = false;
    std::size_t start = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        start = 1;
    }
    std::string_view body(text.data() + start, text.size() - start);
    if (body.empty() || !((body[0] >= '0' && body[0] <= '9') || body[0] == '.')) return DISP_E_TYPEMISMATCH;
    bool integral = body.find_first_not_of("0123456789") == std::string_view::npos;
    if (integral) {
        std::uint64_t magnitude = 0;
        auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), magnitude);
        if (ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
        if (ec != std::errc() || p != body.data() + body.size()) return DISP_E_TYPEMISMATCH;
        if (!negative) {
            *out = FromUnsigned(magnitude);
        } else if (magnitude <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1) {
            *out = FromSigned(magnitude == 0 ? 0 : static_cast<std::int64_t>(0 - magnitude));
        } else {
            return DISP_E_OVERFLOW;
        }
        return S_OK;
    }
    double value = 0.0;
    auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // A tiny number underflows to zero; a huge one does not fit any type.
        std::size_t e = body.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < body.size() && body[e + 1] == '-') {
            *out = FromReal(negative ? -0.0 : 0.0);
            return S_OK;
        }
        return DISP_E_OVERFLOW;
    }
    if (ec != std::errc() || p != body.data() + body.size()) return DISP_E_TYPEMISMATCH;
    *out = FromReal(negative ? -value : value);
    return S_OK;
}

// The bool words: "true"/"false" in any case and "#TRUE#"/"#FALSE#", blanks around allowed.
bool ParseBoolWord(std::wstring_view text, bool* out) {
    text = Trim(text);
    if (platform::EqualsIgnoreAsciiCase(text, L"true") || text == L"#TRUE#") {
        *out = true;
        return true;
    }
    if (platform::EqualsIgnoreAsciiCase(text, L"false") || text == L"#FALSE#") {
        *out = false;
        return true;
    }
    return false;
}

[[nodiscard]] HRESULT ParseBool(std::wstring_view text, bool* out) {
    if (ParseBoolWord(text, out)) return S_OK;
    Number n;
    HRESULT hr = ParseNumber(text, &n);
    if (hr == DISP_E_OVERFLOW) {
        *out = true;  // a huge number is still not zero
        return S_OK;
    }
    if (FAILED(hr)) return hr;
    *out = n.kind == Number::Real ? n.d != 0.0 : (n.kind == Number::Signed ? n.i != 0 : n.u != 0);
    return S_OK;
}

// The value of a scalar VARIANT as a number.
[[nodiscard]] HRESULT ToNumber(const VARIANT& v, Number* out) {
    switch (v.vt) {
        case VT_EMPTY:
            *out = FromSigned(0);
            return S_OK;
        case VT_I1:
            *out = FromSigned(v.cVal);
            return S_OK;
        case VT_UI1:
            *out = FromUnsigned(v.bVal);
            return S_OK;
        case VT_I2:
            *out = FromSigned(v.iVal);
            return S_OK;
        case VT_UI2:
            *out = FromUnsigned(v.uiVal);
            return S_OK;
        case VT_I4:
            *out = FromSigned(v.lVal);
            return S_OK;
        case VT_INT:
            *out = FromSigned(v.intVal);
            return S_OK;
        case VT_UI4:
            *out = FromUnsigned(v.ulVal);
            return S_OK;
        case VT_UINT:
            *out = FromUnsigned(v.uintVal);
            return S_OK;
        case VT_I8:
            *out = FromSigned(v.llVal);
            return S_OK;
        case VT_UI8:
            *out = FromUnsigned(v.ullVal);
            return S_OK;
        case VT_R4:
            *out = FromReal(v.fltVal);
            return S_OK;
        case VT_R8:
            *out = FromReal(v.dblVal);
            return S_OK;
        case VT_BOOL:
            *out = FromSigned(v.boolVal != 0 ? -1 : 0);
            return S_OK;
        case VT_BSTR: {
            std::wstring_view text = BstrView(v.bstrVal);
            // A bool written as text converts to its number (-1 or 0).
            bool word = false;
            if (ParseBoolWord(text, &word)) {
                *out = FromSigned(word ? -1 : 0);
                return S_OK;
            }
            return ParseNumber(text, out);
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// Integers round half to even, as the component platform does; out of range overflows.
[[nodiscard]] HRESULT ToSigned(const Number& n, std::int64_t lo, std::int64_t hi, std::int64_t* out) {
    std::int64_t v = 0;
    if (n.kind == Number::Signed) {
        v = n.i;
    } else if (n.kind == Number::Unsigned) {
        if (n.u > static_cast<std::uint64_t>(hi)) return DISP_E_OVERFLOW;
        v = static_cast<std::int64_t>(n.u);
    } else {
        double r = std::nearbyint(n.d);
        if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return DISP_E_OVERFLOW;
        v = static_cast<std::int64_t>(r);
    }
    if (v < lo || v > hi) return DISP_E_OVERFLOW;
    *out = v;
    return S_OK;
}

[[nodiscard]] HRESULT ToUnsigned(const Number& n, std::uint64_t hi, std::uint64_t* out) {
    std::uint64_t v = 0;
    if (n.kind == Number::Signed) {
        if (n.i < 0) return DISP_E_OVERFLOW;
        v = static_cast<std::uint64_t>(n.i);
    } else if (n.kind == Number::Unsigned) {
        v = n.u;
    } else {
        double r = std::nearbyint(n.d);
        if (!(r >= 0.0 && r < 18446744073709551616.0)) {
            if (r > -1.0 && r <= 0.0)
                r = 0.0;  // -0.4 rounds to -0: still zero
            else
                return DISP_E_OVERFLOW;
        }
        v = static_cast<std::uint64_t>(r);
    }
    if (v > hi) return DISP_E_OVERFLOW;
    *out = v;
    return S_OK;
}

double ToDouble(const Number& n) {
    return n.kind == Number::Real     ? n.d
           : n.kind == Number::Signed ? static_cast<double>(n.i)
                                      : static_cast<double>(n.u);
}

bool IsZero(const Number& n) {
    return n.kind == Number::Real ? n.d == 0.0 : n.kind == Number::Signed ? n.i == 0 : n.u == 0;
}

[[nodiscard]] HRESULT NumberToVariant(const Number& n, VARTYPE vt, VARIANT* r) {
    std::int64_t s = 0;
    std::uint64_t u = 0;
    HRESULT hr = S_OK;
    r->vt = vt;
    switch (vt) {
        case VT_I1:
            if (SUCCEEDED(hr = ToSigned(n, INT8_MIN, INT8_MAX, &s))) r->cVal = static_cast<std::int8_t>(s);
            break;
        case VT_I2:
            if (SUCCEEDED(hr = ToSigned(n, INT16_MIN, INT16_MAX, &s))) r->iVal = static_cast<std::int16_t>(s);
            break;
        case VT_I4:
        case VT_INT:
            if (SUCCEEDED(hr = ToSigned(n, INT32_MIN, INT32_MAX, &s))) r->lVal = static_cast<std::int32_t>(s);
            break;
        case VT_I8:
            if (SUCCEEDED(hr = ToSigned(n, INT64_MIN, INT64_MAX, &s))) r->llVal = s;
            break;
        case VT_UI1:
            if (SUCCEEDED(hr = ToUnsigned(n, UINT8_MAX, &u))) r->bVal = static_cast<std::uint8_t>(u);
            break;
        case VT_UI2:
            if (SUCCEEDED(hr = ToUnsigned(n, UINT16_MAX, &u))) r->uiVal = static_cast<std::uint16_t>(u);
            break;
        case VT_UI4:
        case VT_UINT:
            if (SUCCEEDED(hr = ToUnsigned(n, UINT32_MAX, &u))) r->ulVal = static_cast<std::uint32_t>(u);
            break;
        case VT_UI8:
            if (SUCCEEDED(hr = ToUnsigned(n, UINT64_MAX, &u))) r->ullVal = u;
            break;
        case VT_R4: {
            double d = ToDouble(n);
            if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
            r->fltVal = static_cast<float>(d);
            break;
        }
        case VT_R8:
            r->dblVal = ToDouble(n);
            break;
        case VT_BOOL:
            r->boolVal = IsZero(n) ? VARIANT_FALSE : VARIANT_TRUE;
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    return hr;
}

// Up to `digits` significant digits, trailing zeros removed; an exponent ("1E+20",
// "1E-05") when the decimal exponent is below -4 or at least `digits`.
std::string FormatReal(double d, int digits) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
    if (d == 0.0) return "0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, digits - 1);
    std::string sci(buf, res.ptr);
    std::size_t e = sci.find('e');
    int exponent = std::stoi(sci.substr(e + 1));
    std::string mantissa = sci.substr(0, e);
    bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digitsOnly;
    for (char c : mantissa)
        if (c != '.') digitsOnly += c;
    while (digitsOnly.size() > 1 && digitsOnly.back() == '0') digitsOnly.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= digits) {
        out += digitsOnly[0];
        if (digitsOnly.size() > 1) out += "." + digitsOnly.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        int a = exponent < 0 ? -exponent : exponent;
        if (a < 10) out += '0';
        out += std::to_string(a);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digitsOnly;
    } else {
        auto intDigits = static_cast<std::size_t>(exponent + 1);
        if (digitsOnly.size() <= intDigits) {
            out += digitsOnly + std::string(intDigits - digitsOnly.size(), '0');
        } else {
            out += digitsOnly.substr(0, intDigits) + "." + digitsOnly.substr(intDigits);
        }
    }
    return out;
}

[[nodiscard]] HRESULT ToText(const VARIANT& v, std::uint16_t flags, std::wstring* out) {
    std::string text;
    switch (v.vt) {
        case VT_EMPTY:
            break;
        case VT_BOOL:
            if (flags & VARIANT_ALPHABOOL)
                text = v.boolVal ? "True" : "False";
            else
                text = v.boolVal ? "-1" : "0";
            break;
        case VT_R4:
            text = FormatReal(v.fltVal, 7);
            break;
        case VT_R8:
            text = FormatReal(v.dblVal, 15);
            break;
        default: {
            Number n;
            HRESULT hr = ToNumber(v, &n);
            if (FAILED(hr)) return hr;
            text = n.kind == Number::Signed ? std::to_string(n.i) : std::to_string(n.u);
        }
    }
    *out = platform::Utf8ToWide(text);
    return S_OK;
}

[[nodiscard]] HRESULT Convert(const VARIANT& src, std::uint16_t flags, VARTYPE vt, VARIANT* r) {
    if (src.vt == vt) return CopyInto(src, r);
    if ((src.vt & (VT_BYREF | VT_ARRAY)) || (vt & (VT_BYREF | VT_ARRAY))) return DISP_E_TYPEMISMATCH;
    if (!IsKnownScalarType(src.vt) || !IsKnownScalarType(vt)) return DISP_E_BADVARTYPE;
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
            r->vt = vt;
            return S_OK;
        case VT_BSTR: {
            if (src.vt == VT_NULL || src.vt == VT_ERROR || src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH)
                return DISP_E_TYPEMISMATCH;
            std::wstring text;
            HRESULT hr = ToText(src, flags, &text);
            if (FAILED(hr)) return hr;
            r->vt = VT_BSTR;
            r->bstrVal = SysAllocString(text);
            return r->bstrVal ? S_OK : E_OUTOFMEMORY;
        }
        case VT_UNKNOWN:
        case VT_DISPATCH: {
            if (src.vt != VT_UNKNOWN && src.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
            r->vt = vt;
            r->punkVal = nullptr;
            if (!src.punkVal) return S_OK;
            if (vt == VT_UNKNOWN)
                return src.punkVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&r->punkVal));
            // An object without late binding cannot stand where a dispatch value is wanted.
            HRESULT hr = src.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&r->punkVal));
            if (SUCCEEDED(hr) && r->punkVal) return S_OK;
            r->punkVal = nullptr;
            return DISP_E_TYPEMISMATCH;
        }
        case VT_ERROR:
            return DISP_E_TYPEMISMATCH;
        case VT_BOOL:
            if (src.vt == VT_BSTR) {
                bool b = false;
                HRESULT hr = ParseBool(BstrView(src.bstrVal), &b);
                if (FAILED(hr)) return hr;
                r->vt = VT_BOOL;
                r->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
            [[fallthrough]];
        default: {
            Number n;
            HRESULT hr = ToNumber(src, &n);
            if (FAILED(hr)) return hr;
            return NumberToVariant(n, vt, r);
        }
    }
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    VARIANT result;
    HRESULT hr = E_OUTOFMEMORY;
    try {
        hr = Convert(*src, flags, vt, &result);
    } catch (const std::bad_alloc&) {
        // The texts a conversion works on could not be had; nothing was built.
    }
    if (FAILED(hr)) {
        // A half-built result owns nothing: only a successful conversion allocates.
        return hr;
    }
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        (void)VariantClear(&result);  // a fresh result holds no locked array
        return hr;
    }
    *dest = result;
    return S_OK;
}
