// Property entries of the host's property grid: one entry per property an object shows. An
// entry knows the property's name, caption, group, dispid and value type, and reads and
// writes the value through a getter and a setter of the object that owns it.
//
// An owner builds its list row by row:
//   AddXenProperty(coll, this, new XenPropInfo<XenPropertyCallbackDouble<CMyObject>>(
//       L"EndTime", L"ID_StepEndTime", L"ID_StepControlsGroup", 5011,
//       &CMyObject::get_EndTime, &CMyObject::put_EndTime));
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>

#include "host/property_grid.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "runtime/xen_com_object.h"

// The value type of one kind of entry: what the owner's getter writes and its setter takes,
// the VARTYPE the entry reports (and converts written values to), and the VARTYPE its value
// travels in. Unsigned, signed and enumerated values travel as VT_I4 with the same 32 bits.
template <class V, VARTYPE Type, class Owner>
struct XenPropertyCallback {
    static_assert(Type != VT_INT || sizeof(V) == sizeof(std::int32_t), "signed values travel in 32 bits");
    using OwnerClass = Owner;
    using Value = V;
    using Getter = HRESULT (Owner::*)(V*);
    using Setter = HRESULT (Owner::*)(V);
    static constexpr VARTYPE kType = Type;
    static constexpr VARTYPE kValueType = (Type == VT_UINT || Type == VT_INT) ? VARTYPE{VT_I4} : Type;
};

template <class Owner>
using XenPropertyCallbackVariantBool = XenPropertyCallback<VARIANT_BOOL, VT_BOOL, Owner>;
template <class Owner>
using XenPropertyCallbackUInt = XenPropertyCallback<std::uint32_t, VT_UINT, Owner>;
template <class Owner>
using XenPropertyCallbackDouble = XenPropertyCallback<double, VT_R8, Owner>;
template <class Owner>
using XenPropertyCallbackInt = XenPropertyCallback<std::int32_t, VT_INT, Owner>;
template <class Owner>
using XenPropertyCallbackBSTR = XenPropertyCallback<BSTR, VT_BSTR, Owner>;
// Any 32-bit value passes: whether it names a constant of E is the owner's business.
template <class E, class Owner>
using XenPropertyCallbackEnum = XenPropertyCallback<E, VT_INT, Owner>;

// What an owner says about one property. The strings are not copied: they must outlive the
// record (string literals in practice).
template <class Callback>
struct XenPropInfo {
    using Getter = typename Callback::Getter;
    using Setter = typename Callback::Setter;

    XenPropInfo(const OLECHAR* name, const OLECHAR* captionKey, const OLECHAR* groupKey, DISPID dispid,
                Getter getter, Setter setter)
        : name(name),
          captionKey(captionKey),
          groupKey(groupKey),
          dispid(dispid),
          getter(getter),
          setter(setter) {}

    const OLECHAR* name;
    const OLECHAR* captionKey;
    const OLECHAR* groupKey;
    DISPID dispid;
    std::uint32_t flags = 1;
    Getter getter;
    // Null for a read-only property.
    Setter setter;
};

namespace xen_property_detail {

// Replaces `text` by a copy of `value` (null clears it); a failed copy keeps the old text.
[[nodiscard]] inline HRESULT ReplaceText(BstrHolder& text, const OLECHAR* value) {
    if (!value) {
        text = BstrHolder();
        return S_OK;
    }
    return StoreBstrCopy(std::wstring_view(value), text);
}

// Puts a value the getter wrote into a VARIANT of the callback's travelling type; a BSTR
// moves into the VARIANT.
template <class Callback>
void StoreValue(typename Callback::Value value, VARIANT* out) {
    out->vt = Callback::kValueType;
    if constexpr (Callback::kType == VT_BOOL) {
        out->boolVal = value;
    } else if constexpr (Callback::kType == VT_R8) {
        out->dblVal = value;
    } else if constexpr (Callback::kType == VT_BSTR) {
        out->bstrVal = value;
    } else {
        out->lVal = static_cast<std::int32_t>(value);
    }
}

// The value of a VARIANT already converted to the callback's type; a BSTR stays owned by the
// VARIANT.
template <class Callback>
typename Callback::Value LoadValue(const VARIANT& in) {
    using Value = typename Callback::Value;
    if constexpr (Callback::kType == VT_BOOL) {
        return in.boolVal;
    } else if constexpr (Callback::kType == VT_R8) {
        return in.dblVal;
    } else if constexpr (Callback::kType == VT_BSTR) {
        return in.bstrVal;
    } else if constexpr (Callback::kType == VT_UINT) {
        return in.uintVal;
    } else {
        return static_cast<Value>(in.intVal);
    }
}

}  // namespace xen_property_detail

// One entry. It keeps the module loaded while it lives and holds a reference on its owner
// from Init on, so an entry the host keeps after dropping the collection and the owner still
// reads and writes a live object.
template <class Callback, class Owner>
class CXenPropEntryProperty
    : public ComObjectSingleThreaded<CXenPropEntryProperty<Callback, Owner>, IXenProperty> {
    static_assert(std::is_base_of_v<IXenProvideProperties, Owner>, "an owner provides properties");
    static_assert(std::is_same_v<typename Callback::OwnerClass, Owner>, "the callback calls this owner");

  public:
    using Info = XenPropInfo<Callback>;

    CXenPropEntryProperty() { ModuleLock(); }
    // The members go in reverse order: the info record, the owner, the default value, then the
    // texts.
    ~CXenPropEntryProperty() override { ModuleUnlock(); }

    // Called once by the owner after the entry joined its collection. The entry owns `info`
    // from this call on, also when it refuses it (E_FAIL for a null owner or info; nothing is
    // kept then). The caption and group come from the owner's GetPropertyCaption and
    // GetPropertyGroup, or else from its string table under the record's keys.
    [[nodiscard]] HRESULT Init(Owner* owner, Info* info) {
        std::unique_ptr<Info> record(info);
        if (!owner || !record) return E_FAIL;
        BstrHolder name;
        if (record->name) {
            name = BstrHolder::Attach(SysAllocString(record->name));
            if (name.IsNull()) return E_OUTOFMEMORY;
        }
        owner_ = ComPtr<IXenProvideProperties>(owner);
        info_ = std::move(record);
        name_ = std::move(name);
        FillText(&IXenProvideProperties::GetPropertyCaption, info_->captionKey, caption_);
        FillText(&IXenProvideProperties::GetPropertyGroup, info_->groupKey, group_);
        return S_OK;
    }

    // IXenProperty
    [[nodiscard]] HRESULT get_Name(BSTR* name) override { return HandOutBstrCopy(name_, name); }
    [[nodiscard]] HRESULT get_Caption(BSTR* caption) override { return HandOutBstrCopy(caption_, caption); }
    [[nodiscard]] HRESULT put_Caption(const OLECHAR* caption) override {
        return xen_property_detail::ReplaceText(caption_, caption);
    }
    [[nodiscard]] HRESULT get_Group(BSTR* group) override { return HandOutBstrCopy(group_, group); }
    [[nodiscard]] HRESULT put_Group(const OLECHAR* group) override {
        return xen_property_detail::ReplaceText(group_, group);
    }
    [[nodiscard]] HRESULT get_DispID(DISPID* dispid) override {
        if (!info_) return E_FAIL;
        if (!dispid) return E_POINTER;
        *dispid = info_->dispid;
        return S_OK;
    }
    [[nodiscard]] HRESULT get_Type(VARTYPE* type) override {
        if (!info_) return E_FAIL;
        if (!type) return E_POINTER;
        *type = Callback::kType;
        return S_OK;
    }
    // A getter that fails without writing leaves the zero of the type, answered with S_OK.
    [[nodiscard]] HRESULT get_Value(VARIANT* value) override try {
        if (!info_) return E_FAIL;
        if (!value) return E_POINTER;
        typename Callback::Value read{};
        if (info_->getter) (void)(OwnerObject()->*(info_->getter))(&read);
        VariantHolder local;
        xen_property_detail::StoreValue<Callback>(read, local.Get());
        return VariantCopy(value, local.Get());
    } catch (...) {
        return AnswerCurrentFailure();
    }
    // Converts the value to the entry's type and hands it to the setter, whose answer is
    // passed on. A value that does not convert reaches no setter.
    [[nodiscard]] HRESULT put_Value(VARIANT value) override try {
        if (!info_) return E_FAIL;
        if (!info_->setter) return E_NOTIMPL;
        VariantHolder local;
        HRESULT hr = VariantCopy(local.Get(), &value);
        if (FAILED(hr)) return hr;
        hr = local.ChangeType(Callback::kType);
        if (FAILED(hr)) return hr;
        return (OwnerObject()->*(info_->setter))(xen_property_detail::LoadValue<Callback>(*local));
    } catch (...) {
        return AnswerCurrentFailure();
    }
    [[nodiscard]] HRESULT get_Flags(std::uint32_t* flags) override {
        if (!info_) return E_FAIL;
        if (!flags) return E_POINTER;
        *flags = info_->flags;
        return S_OK;
    }
    [[nodiscard]] HRESULT get_DefaultValue(VARIANT* value) override {
        if (!value) return E_POINTER;
        return VariantCopy(value, defaultValue_.Get());
    }
    // A copy that cannot be made keeps the old default and answers the copy's failure.
    [[nodiscard]] HRESULT put_DefaultValue(VARIANT value) override {
        VariantHolder copy;
        HRESULT hr = VariantCopy(copy.Get(), &value);
        if (FAILED(hr)) return hr;
        defaultValue_ = std::move(copy);
        return S_OK;
    }
    [[nodiscard]] HRESULT GetOwner(IUnknown** owner) override {
        if (!owner) return E_POINTER;
        *owner = nullptr;
        if (!owner_) return E_FAIL;
        return owner_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(owner));
    }

  private:
    Owner* OwnerObject() const { return static_cast<Owner*>(owner_.Get()); }

    // The owner's own text for this entry, else the string-table text of `key` (whose failure
    // leaves the text null).
    void FillText(HRESULT (IXenProvideProperties::*ask)(IXenProperty*, BSTR*), const OLECHAR* key,
                  BstrHolder& text) {
        BstrHolder answer;
        if (FAILED((owner_.Get()->*ask)(this, answer.ReleaseAndGetAddressOf()))) {
            (void)owner_->GetLocalizedString(key, answer.ReleaseAndGetAddressOf());
        }
        text = std::move(answer);
    }

    BstrHolder name_;
    BstrHolder caption_;
    BstrHolder group_;
    VariantHolder defaultValue_;
    ComPtr<IXenProvideProperties> owner_;
    std::unique_ptr<Info> info_;
};

// Adds one entry to an owner's collection: creates the entry, adds it (the collection holds
// it from then on) and initialises it. `info` belongs to the entry; it is deleted when the
// entry cannot be created or added. An entry whose Init fails stays in the collection, inert,
// and Init's answer is returned.
template <class Callback, class Owner>
[[nodiscard]] HRESULT AddXenProperty(IXenPropertyColl* coll, Owner* owner, XenPropInfo<Callback>* info) {
    using Entry = CXenPropEntryProperty<Callback, Owner>;
    std::unique_ptr<XenPropInfo<Callback>> record(info);
    if (!coll) return E_POINTER;
    ComPtr<Entry> entry = MakeComObject<Entry>();
    if (!entry) return E_OUTOFMEMORY;
    HRESULT hr = coll->Add(entry.Get());
    if (FAILED(hr)) return hr;
    return entry->Init(owner, record.release());
}
