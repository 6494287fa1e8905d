// The grid's property collection: entries kept in order, found by 1-based index or by dispid.
#include "addin/xen_property_coll.h"

#include "runtime/xen_com_object.h"

CXenPropertyColl::CXenPropertyColl() { ModuleLock(); }

CXenPropertyColl::~CXenPropertyColl() { ModuleUnlock(); }

HRESULT CXenPropertyColl::get_Count(std::uint32_t* count) {
    if (!count) return E_POINTER;
    *count = static_cast<std::uint32_t>(items_.size());
    return S_OK;
}

HRESULT CXenPropertyColl::get_Item(std::uint32_t index, IXenProperty** item) {
    if (index == 0 || index > items_.size()) return E_INVALIDARG;
    if (!item) return XEN_E_NULL_OUT;
    return items_[index - 1].CopyTo(item);
}

HRESULT CXenPropertyColl::get_ItemById(DISPID dispid, IXenProperty** item) {
    for (const ComPtr<IXenProperty>& entry : items_) {
        DISPID id = 0;
        // An entry without its info record has no dispid and matches nothing.
        if (FAILED(entry->get_DispID(&id)) || id != dispid) continue;
        if (!item) return XEN_E_NULL_OUT;
        return entry.CopyTo(item);
    }
    return E_INVALIDARG;
}

HRESULT CXenPropertyColl::Add(IXenProperty* item) {
    if (!item) return E_POINTER;
    try {
        items_.emplace_back(item);
    } catch (...) {
        return AnswerCurrentFailure();
    }
    return S_OK;
}

HRESULT CreateXenPropertyColl(IXenPropertyColl** out) {
    return CreateComInstance<CXenPropertyColl>(nullptr, IID_IXenPropertyColl, reinterpret_cast<void**>(out));
}
