// Late binding: the dispatch interface through which scripting hosts and other late-bound
// callers reach a component's members by name and number instead of through its table of
// operations, with the argument block and flags such calls carry.
#pragma once

#include <cstdint>

#include "platform/com.h"
#include "platform/locale.h"

using DISPID = std::int32_t;
// A name that no member or parameter has.
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
// The named argument that carries the new value of a property put.
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

// What the caller wants of the member; a caller may combine method and property get.
inline constexpr std::uint16_t DISPATCH_METHOD = 0x1;
inline constexpr std::uint16_t DISPATCH_PROPERTYGET = 0x2;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUT = 0x4;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr IID IID_NULL = GUID_NULL;

// The arguments of a late-bound call. `rgvarg` holds them last first; its first
// `cNamedArgs` entries are the named ones, whose ids stand in `rgdispidNamedArgs`.
struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    unsigned cArgs = 0;
    unsigned cNamedArgs = 0;
};

// Details of a failure a member reports beyond its HRESULT; the caller frees the texts.
struct EXCEPINFO {
    std::uint16_t wCode = 0;
    BSTR bstrSource = nullptr;
    BSTR bstrDescription = nullptr;
    HRESULT scode = S_OK;
};

struct ITypeInfo;

inline constexpr IID IID_IDispatch = MakeGuid("00020400-0000-0000-c000-000000000046");

struct IDispatch : IUnknown {
    static constexpr const IID& iid() { return IID_IDispatch; }
    // How many type-information blocks the object offers (0 or 1).
    [[nodiscard]] virtual HRESULT GetTypeInfoCount(unsigned* count) = 0;
    [[nodiscard]] virtual HRESULT GetTypeInfo(unsigned index, LCID locale, ITypeInfo** info) = 0;
    // A member name followed by names of its parameters; DISP_E_UNKNOWNNAME, with
    // DISPID_UNKNOWN at each unknown position, when any of them is not known.
    [[nodiscard]] virtual HRESULT GetIDsOfNames(REFIID iid, const OLECHAR* const* names, unsigned count,
                                                LCID locale, DISPID* dispids) = 0;
    // `argErr` receives the index in `rgvarg` of an argument that was refused.
    [[nodiscard]] virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, std::uint16_t flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                         unsigned* argErr) = 0;

  protected:
    ~IDispatch() = default;
};
