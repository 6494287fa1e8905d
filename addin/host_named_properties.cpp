// Search of a host object's named properties for a key's plain entry; the parameter flags read from them.
#include "addin/host_named_properties.h"

#include <algorithm>
#include <iterator>

#include "addin/host_parameter_access.h"

namespace {

HRESULT GetNamedProperties(IUnknown* object, ComPtr<IHostNamedPropertyCollection>& properties) {
    if (!object) return E_POINTER;
    ComPtr<IHostNamedPropertyOwner> owner;
    HRESULT hr = object->QueryInterface(IHostNamedPropertyOwner::iid(), owner.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    if (!owner) return E_FAIL;
    hr = owner->GetNamedProperties(properties.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr) && !properties) return E_FAIL;
    return hr;
}

// The typed value object of the item's first value entry when that entry is plain.
template <class Typed>
[[nodiscard]] HRESULT GetPlainValue(IHostNamedProperty* item, ComPtr<Typed>& typed) {
    ComPtr<IHostPropertyValueEntry> entry;
    HRESULT hr = item->GetEntry(0, entry.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!entry) return E_FAIL;
    int typeCode = 0;
    hr = entry->GetTypeCode(typeCode);
    if (FAILED(hr)) return hr;
    if (typeCode != kHostPlainPropertyValue) return E_FAIL;
    ComPtr<IUnknown> value;
    hr = entry->GetValueObject(value.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!value) return E_FAIL;
    hr = value->QueryInterface(Typed::iid(), typed.ReleaseAndGetVoidAddress());
    if (SUCCEEDED(hr) && !typed) return E_FAIL;
    return hr;
}

template <class Typed, class Out, class Read>
[[nodiscard]] HRESULT ReadFirstMatching(IUnknown* object, std::wstring_view key, Out* out, Read&& read) {
    if (!out) return E_POINTER;
    ComPtr<IHostNamedPropertyCollection> properties;
    HRESULT hr = GetNamedProperties(object, properties);
    if (FAILED(hr)) return hr;
    int count = 0;
    hr = properties->GetCount(count);
    if (FAILED(hr)) return hr;
    for (int i = 0; i < count; ++i) {
        ComPtr<IHostNamedProperty> item;
        hr = properties->GetItem(*VariantHolder(std::int32_t{i}), item.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
        if (!item) continue;
        BstrHolder name;
        if (FAILED(item->GetName(name.ReleaseAndGetAddressOf())) || name.View() != key) continue;
        ComPtr<Typed> typed;
        if (FAILED(GetPlainValue(item.Get(), typed))) continue;
        return read(*typed, *out);
    }
    return E_FAIL;
}

// A search of an object's properties for the plain item of a key: the collection searched, the
// key as the host takes it and the item found (null when there is none).
struct PlainItemSearch {
    ComPtr<IHostNamedPropertyCollection> properties;
    BstrHolder name;
    ComPtr<IHostNamedProperty> item;
};

[[nodiscard]] HRESULT FindPlainItem(IUnknown* object, std::wstring_view key, PlainItemSearch& search) {
    const HRESULT hr = GetNamedProperties(object, search.properties);
    if (FAILED(hr)) return hr;
    search.name = BstrHolder(key);
    if (search.name.IsNull()) return E_OUTOFMEMORY;
    return search.properties->Find(kHostPlainPropertyValue, search.name.Get(),
                                   search.item.ReleaseAndGetAddressOf());
}

template <class Typed, class Set>
[[nodiscard]] HRESULT WriteOrAdd(IUnknown* object, std::wstring_view key, const VARIANT& value, Set&& set) {
    PlainItemSearch search;
    HRESULT hr = FindPlainItem(object, key, search);
    if (FAILED(hr)) return hr;
    if (!search.item) return search.properties->Add(search.name.Get(), value, nullptr);
    ComPtr<Typed> typed;
    hr = GetPlainValue(search.item.Get(), typed);
    if (FAILED(hr)) return hr;
    return set(*typed);
}

// The integer of the plain property found by the search; false when there is none.
bool FindPlainInt(IUnknown* object, std::wstring_view key, std::int32_t& value) {
    PlainItemSearch search;
    ComPtr<IHostIntPropertyValue> typed;
    return SUCCEEDED(FindPlainItem(object, key, search)) && search.item &&
           SUCCEEDED(GetPlainValue(search.item.Get(), typed)) && SUCCEEDED(typed->GetValue(value));
}

bool HasPlainProperty(IUnknown* object, std::wstring_view key) {
    PlainItemSearch search;
    return SUCCEEDED(FindPlainItem(object, key, search)) && search.item;
}

template <std::size_t N>
bool OneOf(std::int32_t value, const std::int32_t (&codes)[N]) {
    return std::find(std::begin(codes), std::end(codes), value) != std::end(codes);
}

bool GoalIdIs(IHostParameter* parameter, bool (*accepts)(std::int32_t)) {
    std::int32_t goalId = 0;
    return FindPlainInt(parameter, kGoalIdKey, goalId) && accepts(goalId);
}

}  // namespace

HRESULT ReadIntNamedProperty(IUnknown* object, std::wstring_view key, std::int32_t* out) {
    return ReadFirstMatching<IHostIntPropertyValue>(
        object, key, out, [](IHostIntPropertyValue& v, std::int32_t& o) { return v.GetValue(o); });
}

HRESULT ReadDoubleNamedProperty(IUnknown* object, std::wstring_view key, double* out) {
    return ReadFirstMatching<IHostDoublePropertyValue>(
        object, key, out, [](IHostDoublePropertyValue& v, double& o) { return v.GetValue(o); });
}

HRESULT ReadTextNamedProperty(IUnknown* object, std::wstring_view key, std::wstring* out) {
    return ReadFirstMatching<IHostTextPropertyValue>(
        object, key, out, [](IHostTextPropertyValue& v, std::wstring& o) {
            BstrHolder text;
            const HRESULT hr = v.GetValue(text.ReleaseAndGetAddressOf());
            if (SUCCEEDED(hr)) o = text.Str();
            return hr;
        });
}

HRESULT WriteIntNamedProperty(IUnknown* object, std::wstring_view key, std::int32_t value) {
    return WriteOrAdd<IHostIntPropertyValue>(object, key, *VariantHolder(value),
                                             [&](IHostIntPropertyValue& v) { return v.SetValue(value); });
}

HRESULT WriteDoubleNamedProperty(IUnknown* object, std::wstring_view key, double value) {
    return WriteOrAdd<IHostDoublePropertyValue>(
        object, key, *VariantHolder(value), [&](IHostDoublePropertyValue& v) { return v.SetValue(value); });
}

HRESULT WriteTextNamedProperty(IUnknown* object, std::wstring_view key, std::wstring_view value) {
    VariantHolder text(value);
    if (!text->bstrVal) return E_OUTOFMEMORY;
    return WriteOrAdd<IHostTextPropertyValue>(
        object, key, *text, [&](IHostTextPropertyValue& v) { return v.SetValue(text->bstrVal); });
}

HRESULT GetNamedPropertyAt(IUnknown* object, int index, IHostNamedProperty** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    ComPtr<IHostNamedPropertyCollection> properties;
    HRESULT hr = GetNamedProperties(object, properties);
    if (FAILED(hr)) return hr;
    hr = properties->GetItem(*VariantHolder(std::int32_t{index}), item);
    if (SUCCEEDED(hr) && !*item) return E_FAIL;
    return hr;
}

VARIANT_BOOL ReadDisabledFlag(IUnknown* object) {
    std::int32_t disabled = 0;
    if (!FindPlainInt(object, kDisabledKey, disabled)) return VARIANT_TRUE;
    return disabled != 0 ? VARIANT_TRUE : VARIANT_FALSE;
}

VARIANT_BOOL HasOutputProperty(IUnknown* object) {
    return HasPlainProperty(object, kOutputKey) ? VARIANT_TRUE : VARIANT_FALSE;
}

bool HasUncertaintyProperty(IUnknown* object) { return HasPlainProperty(object, kUncertaintyKey); }

bool HasMarkedOutputType(IUnknown* object) {
    std::int32_t type = 0;
    return FindPlainInt(object, kOutputTypeKey, type) && OneOf(type, kMarkedOutputTypes);
}

bool IsGoalParameter(IHostParameter* parameter) {
    return HasInputSubKind(parameter) || GoalIdIs(parameter, [](std::int32_t id) {
               return id == kSingleGoalId || OneOf(id, kTradeOffGoalIds);
           });
}

bool IsSingleGoalParameter(IHostParameter* parameter) {
    return HasInputSubKind(parameter) ||
           GoalIdIs(parameter, [](std::int32_t id) { return id == kSingleGoalId; });
}

int ReadTradeOffFlag(IUnknown* object) {
    std::int32_t value = 0;
    if (FindPlainInt(object, kGoalIdKey, value) && OneOf(value, kTradeOffGoalIds)) return 1;
    if (FindPlainInt(object, kTradeOffKey, value) && (value == 0 || value == 1)) return value;
    return 0;
}
