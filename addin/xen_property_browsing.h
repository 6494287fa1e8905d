// Default answers of the property-grid interfaces, for objects that show their settings in
// the host's grid and replace only the answers they know better.
#pragma once

#include "addin/xen_property_coll.h"
#include "host/property_grid.h"
#include "platform/com.h"

// The grid's per-property questions: everything visible, editable and valid, no range, no
// flags; a value to convert becomes the integer 1.
class QHPropertyBrowsingImpl : public IQHPropertyBrowsing {
  public:
    [[nodiscard]] HRESULT IsPropertyVisible(DISPID, VARIANT_BOOL* visible) override {
        if (!visible) return E_POINTER;
        *visible = VARIANT_TRUE;
        return S_OK;
    }
    [[nodiscard]] HRESULT IsPropertyEditable(DISPID, VARIANT_BOOL* editable) override {
        if (!editable) return E_POINTER;
        *editable = VARIANT_TRUE;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetPropertyRange(DISPID, QHPropertyRange*) override { return E_NOTIMPL; }
    [[nodiscard]] HRESULT GetPropertyFlags(DISPID, DWORD*) override { return E_NOTIMPL; }
    [[nodiscard]] HRESULT IsPropertyValueValid(DISPID, VARIANT_BOOL* valid) override {
        if (!valid) return E_POINTER;
        *valid = VARIANT_TRUE;
        return S_OK;
    }
    [[nodiscard]] HRESULT ConvertPropertyValue(DISPID, VARIANT* value) override {
        if (!value) return E_POINTER;
        (void)VariantClear(value);
        value->vt = VT_I4;
        value->lVal = 1;
        return S_OK;
    }
    [[nodiscard]] HRESULT DefaultFalse(DISPID, VARIANT_BOOL* value) override {
        if (!value) return E_POINTER;
        *value = VARIANT_FALSE;
        return S_OK;
    }

  protected:
    ~QHPropertyBrowsingImpl() = default;
};

// IXenProvideProperties with a stored type name and one empty collection built on first
// request; no localized strings, captions or groups of its own.
template <class T>
class IXenPropertyBrowsingImpl : public IXenProvideProperties {
  public:
    [[nodiscard]] HRESULT get_ObjectTypeName(BSTR* name) override { return HandOutBstrCopy(typeName_, name); }
    [[nodiscard]] HRESULT BuildProperties(IXenPropertyColl** properties) override {
        if (!collection_) {
            HRESULT hr = CreateXenPropertyColl(collection_.ReleaseAndGetAddressOf());
            if (FAILED(hr)) return hr;
        }
        if (!properties) return XEN_E_NULL_OUT;
        *properties = ComPtr<IXenPropertyColl>(collection_).Detach();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetLocalizedString(const OLECHAR*, BSTR*) override { return E_NOTIMPL; }
    [[nodiscard]] HRESULT GetPropertyCaption(IXenProperty*, BSTR*) override { return E_NOTIMPL; }
    [[nodiscard]] HRESULT GetPropertyGroup(IXenProperty*, BSTR*) override { return E_NOTIMPL; }

  protected:
    ~IXenPropertyBrowsingImpl() = default;

    BstrHolder typeName_;
    ComPtr<IXenPropertyColl> collection_;
};
