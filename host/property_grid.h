// The host's property grid: the property objects it lists, their collection, the interface
// through which it asks an object for its properties, and the questions it asks per
// property (visibility, editing, range, flags, validity, display text and choices).
#pragma once

#include <cstdint>

#include "platform/com.h"
#include "platform/dispatch.h"

// Counted arrays the grid takes predefined choices in.
struct CALPOLESTR {
    std::uint32_t cElems = 0;
    OLECHAR** pElems = nullptr;
};
struct CADWORD {
    std::uint32_t cElems = 0;
    std::uint32_t* pElems = nullptr;
};

// Minimum and maximum of a property the grid lets the user enter.
struct QHPropertyRange {
    VARIANT minimum{};
    VARIANT maximum{};
};

// The answer of get_Item and get_ItemById for a null out pointer.
constexpr HRESULT XEN_E_NULL_OUT = MakeHResult(0x80000005u);

inline constexpr IID IID_IXenProperty = MakeGuid("de961ba6-ea56-4f44-9720-e3deb6b08d0a");
inline constexpr IID IID_IXenPropertyColl = MakeGuid("8dd699f1-5582-4706-9222-fa8b3e5f67ea");
inline constexpr IID IID_IXenProvideProperties = MakeGuid("22e73299-648e-4418-bdad-2dab81edb781");
inline constexpr IID IID_IQHPropertyBrowsing = MakeGuid("6cb58b7e-3bb7-4cb3-861d-fa2621729360");
inline constexpr IID IID_IPerPropertyBrowsing = MakeGuid("376bd3aa-3845-101b-84ed-08002b2ec713");

// One property the grid shows.
struct IXenProperty : IUnknown {
    static constexpr const IID& iid() { return IID_IXenProperty; }
    [[nodiscard]] virtual HRESULT get_Name(BSTR* name) = 0;
    [[nodiscard]] virtual HRESULT get_Caption(BSTR* caption) = 0;
    [[nodiscard]] virtual HRESULT put_Caption(const OLECHAR* caption) = 0;
    [[nodiscard]] virtual HRESULT get_Group(BSTR* group) = 0;
    [[nodiscard]] virtual HRESULT put_Group(const OLECHAR* group) = 0;
    [[nodiscard]] virtual HRESULT get_DispID(DISPID* dispid) = 0;
    [[nodiscard]] virtual HRESULT get_Type(VARTYPE* type) = 0;
    [[nodiscard]] virtual HRESULT get_Value(VARIANT* value) = 0;
    [[nodiscard]] virtual HRESULT put_Value(VARIANT value) = 0;
    [[nodiscard]] virtual HRESULT get_Flags(std::uint32_t* flags) = 0;
    [[nodiscard]] virtual HRESULT get_DefaultValue(VARIANT* value) = 0;
    [[nodiscard]] virtual HRESULT put_DefaultValue(VARIANT value) = 0;
    [[nodiscard]] virtual HRESULT GetOwner(IUnknown** owner) = 0;

  protected:
    ~IXenProperty() = default;
};

struct IXenPropertyColl : IUnknown {
    static constexpr const IID& iid() { return IID_IXenPropertyColl; }
    [[nodiscard]] virtual HRESULT get_Count(std::uint32_t* count) = 0;
    // 1-based.
    [[nodiscard]] virtual HRESULT get_Item(std::uint32_t index, IXenProperty** item) = 0;
    [[nodiscard]] virtual HRESULT get_ItemById(DISPID dispid, IXenProperty** item) = 0;
    [[nodiscard]] virtual HRESULT Add(IXenProperty* item) = 0;

  protected:
    ~IXenPropertyColl() = default;
};

// How the grid asks an object for its properties, and how a property asks its owner for
// texts.
struct IXenProvideProperties : IUnknown {
    static constexpr const IID& iid() { return IID_IXenProvideProperties; }
    [[nodiscard]] virtual HRESULT get_ObjectTypeName(BSTR* name) = 0;
    [[nodiscard]] virtual HRESULT BuildProperties(IXenPropertyColl** properties) = 0;
    [[nodiscard]] virtual HRESULT GetLocalizedString(const OLECHAR* key, BSTR* text) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyCaption(IXenProperty* property, BSTR* caption) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyGroup(IXenProperty* property, BSTR* group) = 0;

  protected:
    ~IXenProvideProperties() = default;
};

// The grid's questions about one property of an object, by dispid.
struct IQHPropertyBrowsing : IUnknown {
    static constexpr const IID& iid() { return IID_IQHPropertyBrowsing; }
    [[nodiscard]] virtual HRESULT IsPropertyVisible(DISPID dispid, VARIANT_BOOL* visible) = 0;
    [[nodiscard]] virtual HRESULT IsPropertyEditable(DISPID dispid, VARIANT_BOOL* editable) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyRange(DISPID dispid, QHPropertyRange* range) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyFlags(DISPID dispid, DWORD* flags) = 0;
    [[nodiscard]] virtual HRESULT IsPropertyValueValid(DISPID dispid, VARIANT_BOOL* valid) = 0;
    [[nodiscard]] virtual HRESULT ConvertPropertyValue(DISPID dispid, VARIANT* value) = 0;
    [[nodiscard]] virtual HRESULT DefaultFalse(DISPID dispid, VARIANT_BOOL* value) = 0;

  protected:
    ~IQHPropertyBrowsing() = default;
};

// Display texts and predefined choices of an object's properties.
struct IPerPropertyBrowsing : IUnknown {
    static constexpr const IID& iid() { return IID_IPerPropertyBrowsing; }
    [[nodiscard]] virtual HRESULT GetDisplayString(DISPID dispid, BSTR* text) = 0;
    [[nodiscard]] virtual HRESULT MapPropertyToPage(DISPID dispid, CLSID* page) = 0;
    // The caller frees both arrays and every string (CoTaskMemFree).
    [[nodiscard]] virtual HRESULT GetPredefinedStrings(DISPID dispid, CALPOLESTR* strings,
                                                       CADWORD* cookies) = 0;
    [[nodiscard]] virtual HRESULT GetPredefinedValue(DISPID dispid, DWORD cookie, VARIANT* value) = 0;

  protected:
    ~IPerPropertyBrowsing() = default;
};
