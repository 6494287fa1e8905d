// Core component-object types of the platform layer: result codes, GUIDs, the IUnknown
// contract with its smart pointer, BSTR strings, task memory and VARIANT values.
// The rest of the system talks to components only through these types.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;

// 64-bit stream offsets and sizes travel in these wrappers; only the whole value is kept.
struct LARGE_INTEGER {
    std::int64_t QuadPart = 0;
};
struct ULARGE_INTEGER {
    std::uint64_t QuadPart = 0;
};

[[nodiscard]] constexpr HRESULT MakeHResult(std::uint32_t v) { return static_cast<HRESULT>(v); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002u);
constexpr HRESULT E_POINTER = MakeHResult(0x80004003u);
constexpr HRESULT E_ABORT = MakeHResult(0x80004004u);
constexpr HRESULT E_FAIL = MakeHResult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005u);
constexpr HRESULT E_HANDLE = MakeHResult(0x80070006u);
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154u);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = MakeHResult(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = MakeHResult(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = MakeHResult(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHResult(0x80020006u);
constexpr HRESULT DISP_E_NONAMEDARGS = MakeHResult(0x80020007u);
constexpr HRESULT DISP_E_BADVARTYPE = MakeHResult(0x80020008u);
constexpr HRESULT DISP_E_EXCEPTION = MakeHResult(0x80020009u);
constexpr HRESULT DISP_E_OVERFLOW = MakeHResult(0x8002000Au);
constexpr HRESULT DISP_E_BADINDEX = MakeHResult(0x8002000Bu);
constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeHResult(0x8002000Eu);
constexpr HRESULT TYPE_E_REGISTRYACCESS = MakeHResult(0x8002801Cu);
constexpr HRESULT STG_E_FILENOTFOUND = MakeHResult(0x80030002u);
constexpr HRESULT STG_E_READFAULT = MakeHResult(0x8003001Eu);
constexpr HRESULT STG_E_WRITEFAULT = MakeHResult(0x8003001Du);
constexpr HRESULT STG_E_INVALIDPOINTER = MakeHResult(0x80030009u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// ---------------------------------------------------------------------------------------
// GUID

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i]) return false;
        return true;
    }
    friend constexpr bool operator<(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
        if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
        if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i]) return a.Data4[i] < b.Data4[i];
        return false;
    }
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;

constexpr GUID GUID_NULL{};

// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional, hex digits of either
// case). Answers false and leaves `out` unchanged on any other text.
bool TryParseGuid(std::string_view text, GUID& out);
bool TryParseGuid(std::wstring_view text, GUID& out);
// The braced upper-case text form.
std::string GuidToString(const GUID& g);

namespace platform_detail {
constexpr int HexValue(char c) {
    return (c >= '0' && c <= '9')   ? c - '0'
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                    : -1;
}
constexpr std::uint64_t HexField(const char* s, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) {
        int d = HexValue(s[i]);
        if (d < 0) throw "bad hex digit in GUID literal";  // constant evaluation fails
        v = v * 16 + static_cast<std::uint64_t>(d);
    }
    return v;
}
}  // namespace platform_detail

// Compile-time GUID from "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (no braces).
constexpr GUID MakeGuid(const char (&s)[37]) {
    using platform_detail::HexField;
    GUID g{};
    g.Data1 = static_cast<std::uint32_t>(HexField(s, 8));
    g.Data2 = static_cast<std::uint16_t>(HexField(s + 9, 4));
    g.Data3 = static_cast<std::uint16_t>(HexField(s + 14, 4));
    g.Data4[0] = static_cast<std::uint8_t>(HexField(s + 19, 2));
    g.Data4[1] = static_cast<std::uint8_t>(HexField(s + 21, 2));
    for (int i = 0; i < 6; ++i) g.Data4[2 + i] = static_cast<std::uint8_t>(HexField(s + 24 + 2 * i, 2));
    return g;
}

// ---------------------------------------------------------------------------------------
// IUnknown

struct IUnknown {
    [[nodiscard]] virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};
inline constexpr IID IID_IUnknown = MakeGuid("00000000-0000-0000-c000-000000000046");

// Each interface declares `static constexpr const IID& iid() { return IID_X; }` so that
// ComPtr::As and QueryInterfaceOf can find its IID.
template <class T>
concept HasIid = requires {
    T::iid();
};

// Owning smart pointer over an interface: AddRef on copy, Release on destruction.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& o) : p_(o.Get()) {
        if (p_) p_->AddRef();
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) {
        if (this != &o) ComPtr(o).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    // Adopts a pointer whose reference the caller already owns.
    static ComPtr Attach(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Gives up ownership without releasing.
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Releases what is held and gives the address for an out parameter.
    T** ReleaseAndGetAddressOf() {
        Reset();
        return &p_;
    }
    void** ReleaseAndGetVoidAddress() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

    // QueryInterface for another interface; null when it is not supported.
    template <class U>
    requires HasIid<U> ComPtr<U> As()
    const {
        ComPtr<U> r;
        if (p_) (void)p_->QueryInterface(U::iid(), r.ReleaseAndGetVoidAddress());  // a refusal leaves r null
        return r;
    }
    // Hands out a new reference through an out parameter.
    [[nodiscard]] HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

  private:
    T* p_ = nullptr;
};

// ---------------------------------------------------------------------------------------
// Task memory

void* CoTaskMemAlloc(std::size_t bytes);
void* CoTaskMemRealloc(void* block, std::size_t bytes);
void CoTaskMemFree(void* block);

// ---------------------------------------------------------------------------------------
// BSTR: a length-prefixed wide string; a null BSTR reads as the empty string.

using OLECHAR = wchar_t;
using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length);
BSTR SysAllocString(std::wstring_view text);
void SysFreeString(BSTR s);
std::uint32_t SysStringLen(BSTR s);
// The text of a BSTR as a view (empty for null).
std::wstring_view BstrView(BSTR s);

// Owns one BSTR.
class BstrHolder {
  public:
    BstrHolder() = default;
    explicit BstrHolder(std::wstring_view text) : s_(SysAllocString(text)) {}
    BstrHolder(const BstrHolder& o) : s_(o.s_ ? SysAllocString(o.View()) : nullptr) {}
    BstrHolder(BstrHolder&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    ~BstrHolder() { SysFreeString(s_); }
    BstrHolder& operator=(BstrHolder o) noexcept {
        std::swap(s_, o.s_);
        return *this;
    }
    static BstrHolder Attach(BSTR s) {
        BstrHolder h;
        h.s_ = s;
        return h;
    }
    BSTR Detach() { return std::exchange(s_, nullptr); }
    BSTR Get() const { return s_; }
    BSTR* ReleaseAndGetAddressOf() {
        SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }
    std::wstring_view View() const { return BstrView(s_); }
    std::wstring Str() const { return std::wstring(View()); }
    bool IsNull() const { return s_ == nullptr; }

  private:
    BSTR s_ = nullptr;
};

// Keeps a copy of `source` in `target`: null clears it, the string `target` already holds is
// left alone, and E_OUTOFMEMORY leaves `target` as it was.
[[nodiscard]] HRESULT StoreBstrCopy(BSTR source, BstrHolder& target);
// Keeps a copy of `text` in `target`; E_OUTOFMEMORY leaves `target` as it was.
[[nodiscard]] HRESULT StoreBstrCopy(std::wstring_view text, BstrHolder& target);

// Hands a new copy of `text` out through `out`, which the caller frees: E_POINTER for a null
// `out`, E_OUTOFMEMORY (with *out null) when no copy can be made.
[[nodiscard]] HRESULT HandOutBstrCopy(std::wstring_view text, BSTR* out);
// The same for a kept string, a null one handed out as null.
[[nodiscard]] HRESULT HandOutBstrCopy(const BstrHolder& source, BSTR* out);

// ---------------------------------------------------------------------------------------
// VARIANT

using VARTYPE = std::uint16_t;
enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
};
using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct SAFEARRAY;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        std::int8_t cVal;
        std::uint8_t bVal;
        std::int16_t iVal;
        std::uint16_t uiVal;
        std::int32_t lVal;
        std::uint32_t ulVal;
        std::int64_t llVal;
        std::uint64_t ullVal;
        std::int32_t intVal;
        std::uint32_t uintVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        SAFEARRAY* parray;
    };
    VARIANT() : llVal(0) {}
};

void VariantInit(VARIANT* v);
[[nodiscard]] HRESULT VariantClear(VARIANT* v);
[[nodiscard]] HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts src into dest (which may be src) as type vt. Numbers convert to numbers with
// DISP_E_OVERFLOW when out of range, text parses in the C locale ("." decimal point) with
// DISP_E_TYPEMISMATCH when it does not parse, numbers format to text. Bool texts accepted:
// "true"/"false" in any case, "#TRUE#"/"#FALSE#", and any number (non-zero is true).
// An interface becomes VT_UNKNOWN, or VT_DISPATCH when it answers IDispatch. E_OUTOFMEMORY, dest
// untouched, when memory runs out.
[[nodiscard]] HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt);

// ---------------------------------------------------------------------------------------
// Additions: conversion flags, string helpers and the VARIANT holder.

// VariantChangeType flag: a bool converts to the text "True"/"False" instead of "-1"/"0".
constexpr std::uint16_t VARIANT_ALPHABOOL = 0x2;

// Bytes of text held by a BSTR (the length prefix), 0 for null.
std::uint32_t SysStringByteLen(BSTR s);
// Replaces *s by a new copy of text; false (and *s untouched) when allocation fails.
bool SysReAllocString(BSTR* s, std::wstring_view text);

// Owns one VARIANT and clears it on destruction.
class VariantHolder {
  public:
    VariantHolder() = default;
    explicit VariantHolder(std::int32_t v) {
        v_.vt = VT_I4;
        v_.lVal = v;
    }
    explicit VariantHolder(double v) {
        v_.vt = VT_R8;
        v_.dblVal = v;
    }
    explicit VariantHolder(bool v) {
        v_.vt = VT_BOOL;
        v_.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    }
    explicit VariantHolder(std::wstring_view text) {
        v_.vt = VT_BSTR;
        v_.bstrVal = SysAllocString(text);
    }
    // Takes a new reference to p (VT_UNKNOWN).
    explicit VariantHolder(IUnknown* p) {
        v_.vt = VT_UNKNOWN;
        v_.punkVal = p;
        if (p) p->AddRef();
    }
    // A copy that cannot be made (no memory) leaves this holder empty, and an assignment leaves
    // the old value: a copy operation has no way to answer a code.
    VariantHolder(const VariantHolder& o) { (void)VariantCopy(&v_, &o.v_); }
    VariantHolder(VariantHolder&& o) noexcept : v_(o.v_) { o.v_.vt = VT_EMPTY; }
    // Clearing fails only for an array still locked by its user; nothing is left to do then.
    ~VariantHolder() { (void)VariantClear(&v_); }
    VariantHolder& operator=(const VariantHolder& o) {
        if (this != &o) (void)VariantCopy(&v_, &o.v_);
        return *this;
    }
    VariantHolder& operator=(VariantHolder&& o) noexcept {
        if (this != &o) {
            (void)VariantClear(&v_);
            v_ = o.v_;
            o.v_.vt = VT_EMPTY;
        }
        return *this;
    }

    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    // Clears what is held and gives the VARIANT for an out parameter.
    VARIANT* ReleaseAndGet() {
        (void)VariantClear(&v_);
        return &v_;
    }
    VARTYPE Type() const { return v_.vt; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }
    // Converts in place; on failure the held value is unchanged.
    [[nodiscard]] HRESULT ChangeType(VARTYPE vt, std::uint16_t flags = 0) {
        return VariantChangeType(&v_, &v_, flags, vt);
    }
    // Gives up the value; the caller must clear it.
    VARIANT Detach() {
        VARIANT r = v_;
        v_.vt = VT_EMPTY;
        return r;
    }

  private:
    VARIANT v_;
};
