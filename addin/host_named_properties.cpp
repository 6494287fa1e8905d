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
HRESULT GetPlainValue(IHostNamedProperty* item, ComPtr<Typed>& typed) {
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

VARIANT IndexVariant(int index) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = index;
    return v;
}

template <class Typed, class Out, class Read>
HRESULT ReadFirstMatching(IUnknown* object, std::wstring_view key, Out* out, Read&& read) {
    if (!out) return E_POINTER;
    ComPtr<IHostNamedPropertyCollection> properties;
    HRESULT hr = GetNamedProperties(object, properties);
    if (FAILED(hr)) return hr;
    int count = 0;
    hr = properties->GetCount(count);
    if (FAILED(hr)) return hr;
    for (int i = 0; i < count; ++i) {
        ComPtr<IHostNamedProperty> item;
        hr = properties->GetItem(IndexVariant(i), item.ReleaseAndGetAddressOf());
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

// The plain item of that name through the collection's search; null when there is none.
HRESULT FindPlainItem(IHostNamedPropertyCollection& properties, BSTR key, ComPtr<IHostNamedProperty>& item) {
    return properties.Find(kHostPlainPropertyValue, key, item.ReleaseAndGetAddressOf());
}

template <class Typed, class Set>
HRESULT WriteOrAdd(IUnknown* object, std::wstring_view key, const VARIANT& value, Set&& set) {
    ComPtr<IHostNamedPropertyCollection> properties;
    HRESULT hr = GetNamedProperties(object, properties);
    if (FAILED(hr)) return hr;
    BstrHolder name(key);
    if (name.IsNull()) return E_OUTOFMEMORY;
    ComPtr<IHostNamedProperty> item;
    hr = FindPlainItem(*properties, name.Get(), item);
    if (FAILED(hr)) return hr;
    if (!item) return properties->Add(name.Get(), value, nullptr);
    ComPtr<Typed> typed;
    hr = GetPlainValue(item.Get(), typed);
    if (FAILED(hr)) return hr;
    return set(*typed);
}

// The integer of the plain property found by the search; false when there is none.
bool FindPlainInt(IUnknown* object, std::wstring_view key, std::int32_t& value) {
    ComPtr<IHostNamedPropertyCollection> properties;
    if (FAILED(GetNamedProperties(object, properties))) return false;
    BstrHolder name(key);
    ComPtr<IHostNamedProperty> item;
    if (name.IsNull() || FAILED(FindPlainItem(*properties, name.Get(), item)) || !item) return false;
    ComPtr<IHostIntPropertyValue> typed;
    return SUCCEEDED(GetPlainValue(item.Get(), typed)) && SUCCEEDED(typed->GetValue(value));
}

bool HasPlainProperty(IUnknown* object, std::wstring_view key) {
    ComPtr<IHostNamedPropertyCollection> properties;
    if (FAILED(GetNamedProperties(object, properties))) return false;
    BstrHolder name(key);
    ComPtr<IHostNamedProperty> item;
    return !name.IsNull() && SUCCEEDED(FindPlainItem(*properties, name.Get(), item)) && item;
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
