// The services singleton: string lookups, host objects and their lists, value text, units, unique names.
#include "runtime/addin_services.h"

#include <charconv>
#include <cstring>
#include <new>

#include "foundation/locale_text.h"
#include "platform/creation_registry.h"
#include "platform/environment.h"
#include "platform/text.h"
#include "runtime/addin_registry.h"

namespace {

AddinServices* g_instance = nullptr;

BSTR NewBstr(std::wstring_view text) {
    BSTR b = SysAllocString(text);
    if (!b) throw std::bad_alloc();
    return b;
}

// Whether the text reads as a non-zero integer the way the C runtime's conversion reads it:
// leading blanks, an optional sign, then digits up to the first other character.
bool ReadsAsNonZeroInteger(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        if (text[i] != L'0') return true;
    return false;
}

// "Frame 2" -> "Frame"; names without a non-zero number after their last blank stay whole.
std::wstring BaseName(const std::wstring& name) {
    const std::size_t blank = name.rfind(L' ');
    if (blank == std::wstring::npos) return name;
    if (!ReadsAsNonZeroInteger(std::wstring_view(name).substr(blank + 1))) return name;
    return name.substr(0, blank);
}

}  // namespace

AddinServices& AddinServices::GetInstance() {
    if (!g_instance) g_instance = new AddinServices();
    return *g_instance;
}

void AddinServices::ReleaseInstance() {
    if (!g_instance) return;
    AddinServices* instance = g_instance;
    instance->ReleaseMembers();
    delete instance;
}

bool AddinServices::HasInstance() { return g_instance != nullptr; }

AddinServices::AddinServices() {
    (void)Xen::Vexcomp::CoCreateInstance(CLSID_HostUnitsService, unitsService_);  // null without one
    RefreshUnitSystem();
    LoadStringTable();
}

AddinServices::~AddinServices() = default;

void AddinServices::LoadStringTable() {
    std::wstring folder;
    if (FAILED(ReadAddinRegistryString(L"", L"InstallDir", kMaxPathLength - 1, folder)) || folder.empty())
        return;
    std::optional<std::wstring> language =
        platform::ReadEnvironmentVariable(std::wstring_view(kLanguageVariable));
    if (!language || language->empty() || language->size() >= kMaxPathLength) return;
    const std::wstring path = folder + L"/" + *language + L"/xml/" + kStringTableFile;
    if (FAILED(Xen::Vexcomp::CoCreateInstance(CLSID_HostStringTable, stringTable_))) return;
    // A table that fails to load finds nothing, and every key then reaches the user as itself.
    (void)stringTable_->Load(path);
}

void AddinServices::ReleaseMembers() {
    converter_ = nullptr;
    unitsService_ = nullptr;
    stringTable_ = nullptr;
    g_instance = nullptr;
    applet_ = nullptr;
    stringSource_ = nullptr;
}

std::wstring AddinServices::GetStringText(const std::wstring& key) const {
    std::wstring text;
    if (stringSource_ && stringSource_->Lookup(key, text) == S_OK) return text;
    if (stringTable_ && stringTable_->Lookup(key, text) == S_OK) return text;
    return key;
}

BSTR AddinServices::GetString(const std::wstring& key) const { return NewBstr(GetStringText(key)); }

void AddinServices::GetString(const std::wstring& key, BSTR* out) const {
    if (!out) return;
    BSTR text = GetString(key);
    SysFreeString(*out);
    *out = text;
}

HRESULT AddinServices::SetStringSource(IUnknown* hostObject) {
    stringSource_ = nullptr;
    if (!hostObject) return E_FAIL;
    (void)hostObject->QueryInterface(IHostStringTable::iid(), stringSource_.ReleaseAndGetVoidAddress());
    return stringSource_ ? S_OK : E_FAIL;
}

HRESULT AddinServices::SetApplet(IUnknown* hostObject) {
    if (!hostObject) return S_FALSE;
    applet_ = nullptr;
    return hostObject->QueryInterface(IHostApplet::iid(), applet_.ReleaseAndGetVoidAddress());
}

ComPtr<IUnknown> AddinServices::GetObjectById(int id) const {
    if (!applet_) return nullptr;
    VARIANT v;
    if (FAILED(applet_->GetObjectById(id, &v))) {
        (void)VariantClear(&v);
        return nullptr;
    }
    ComPtr<IUnknown> object;
    if ((v.vt == VT_UNKNOWN || v.vt == VT_DISPATCH) && v.punkVal) object = ComPtr<IUnknown>(v.punkVal);
    (void)VariantClear(&v);
    return object;
}

ComPtr<IHostObject> AddinServices::HostObjectById(int id) const {
    ComPtr<IUnknown> object = GetObjectById(id);
    return object ? object.As<IHostObject>() : nullptr;
}

int AddinServices::GetObjectProperty(int id, int code) const {
    ComPtr<IHostObject> object = HostObjectById(id);
    int value = 0;
    if (!object || FAILED(object->GetIntProperty(code, value))) return 0;
    return value;
}

JXIdList AddinServices::GetObjectIdList(int id, int listCode) const {
    JXIdList list;
    std::vector<int> ids;
    ComPtr<IHostObject> object = HostObjectById(id);
    if (object && SUCCEEDED(object->GetIdList(listCode, ids)))
        for (int i : ids) list.Add(i);
    return list;
}

JXIdList AddinServices::GetObjectChildIds(int id) const {
    JXIdList list;
    std::vector<int> ids;
    ComPtr<IHostObject> object = HostObjectById(id);
    if (object && SUCCEEDED(object->GetChildIds(ids)))
        for (int i : ids) list.Add(i);
    return list;
}

HRESULT AddinServices::FormatValue(double value, BSTR* out) const {
    // The grid shows numbers like every other number text of the system: "%g" style with a
    // three-digit exponent.
    return DoubleToLocaleBSTR(value, significantDigits_, out);
}

HRESULT AddinServices::FillPredefinedArrays(int count, const OLECHAR* const* values, CALPOLESTR* strings,
                                            CADWORD* cookies, const std::uint32_t* cookieValues) {
    if (count == 0) return S_OK;
    if (!values) return E_INVALIDARG;
    if (!strings || !cookies) return E_POINTER;
    if (count < 0) return E_INVALIDARG;
    const std::size_t n = static_cast<std::size_t>(count);
    // Each array is sized by its own element: the strings are pointers, the cookies 32-bit.
    auto** texts = static_cast<OLECHAR**>(CoTaskMemAlloc(n * sizeof(OLECHAR*)));
    auto* numbers = static_cast<std::uint32_t*>(CoTaskMemAlloc(n * sizeof(std::uint32_t)));
    if (!texts || !numbers) {
        CoTaskMemFree(texts);
        CoTaskMemFree(numbers);
        return E_OUTOFMEMORY;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t length = values[i] ? std::wcslen(values[i]) : 0;
        texts[i] = static_cast<OLECHAR*>(CoTaskMemAlloc((length + 1) * sizeof(OLECHAR)));
        if (!texts[i]) {
            for (std::size_t j = 0; j < i; ++j) CoTaskMemFree(texts[j]);
            CoTaskMemFree(texts);
            CoTaskMemFree(numbers);
            return E_OUTOFMEMORY;
        }
        if (length) std::wmemcpy(texts[i], values[i], length);
        texts[i][length] = L'\0';
        numbers[i] = cookieValues ? cookieValues[i] : static_cast<std::uint32_t>(i);
    }
    strings->cElems = static_cast<std::uint32_t>(n);
    strings->pElems = texts;
    cookies->cElems = static_cast<std::uint32_t>(n);
    cookies->pElems = numbers;
    return S_OK;
}

void AddinServices::RefreshUnitSystem() {
    if (!unitsService_) return;
    int id = -1;
    if (FAILED(unitsService_->GetCurrentUnitSystem(id)) || id == unitSystemId_) return;
    unitSystemId_ = id;
    converter_ = nullptr;
    ComPtr<IHostUnitSystems> systems;
    if (FAILED(unitsService_->GetUnitSystems(systems.ReleaseAndGetAddressOf())) || !systems) return;
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = id + 1;
    if (FAILED(systems->Item(index, converter_.ReleaseAndGetAddressOf()))) converter_ = nullptr;
}

int AddinServices::GetUnitSystem() {
    RefreshUnitSystem();
    int system = -1;
    if (!unitsService_ || unitsService_->TranslateUnitSystem(unitSystemId_, system) != S_OK) return -1;
    return system;
}

HRESULT AddinServices::GetUnitLabel(int quantity, BSTR* out) {
    if (!out) return E_POINTER;
    // The label is a new string: running out of memory is answered, not thrown at the caller.
    try {
        return UnitLabel(quantity, *out);
    } catch (const std::bad_alloc&) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT AddinServices::UnitLabel(int quantity, BSTR& out) {
    VARIANT_BOOL degrees = VARIANT_TRUE;
    VARIANT_BOOL rpm = VARIANT_FALSE;
    HRESULT flags = S_OK;
    if (unitsService_)
        flags = unitsService_->GetAnglesInDegrees(degrees) | unitsService_->GetRotationalVelocityInRpm(rpm);
    if (quantity == 1 && degrees) {
        out = GetString(L"ID_Degrees");
        return flags;
    }
    if (quantity == 2 && rpm) {
        out = GetString(L"ID_RPM");
        return flags;
    }
    RefreshUnitSystem();
    if (quantity == -2 || !converter_) {
        out = NewBstr(L"");
        return flags;
    }
    std::wstring label;
    HRESULT hr = converter_->GetUnitLabel(quantity, label);
    out = NewBstr(label);
    return hr;
}

HRESULT AddinServices::ConvertToUnitSystem(double value, int quantity, double& out) {
    RefreshUnitSystem();
    out = value;
    if (!converter_) return E_FAIL;
    return converter_->ConvertToSystem(value, quantity, kReferenceUnitSystem, out);
}

HRESULT AddinServices::ConvertFromUnitSystem(double value, int quantity, double& out) {
    RefreshUnitSystem();
    out = value;
    if (!converter_) return E_FAIL;
    return converter_->ConvertFromSystem(value, quantity, kReferenceUnitSystem, out);
}

std::wstring AddinServices::UniqueName(const std::wstring& name,
                                       const std::vector<std::wstring>& siblingNames) {
    const std::wstring base = BaseName(name);
    bool clash = false;
    int counter = 1;
    for (const std::wstring& sibling : siblingNames) {
        if (sibling == base) clash = true;
        if (BaseName(sibling) == base) ++counter;
    }
    if (!clash) return base;
    for (;;) {
        const std::wstring candidate = base + L" " + std::to_wstring(counter);
        bool taken = false;
        for (const std::wstring& sibling : siblingNames) taken = taken || sibling == candidate;
        if (!taken) return candidate;
        ++counter;
    }
}

int AddinServices::MakeUniqueName(IUnknown* hostObject, int parentId, const std::wstring& name,
                                  bool enabled) {
    if (!hostObject) return 0;
    std::wstring finalName = name;
    if (enabled) {
        ComPtr<IHostObject> object(ComPtr<IUnknown>(hostObject).As<IHostObject>());
        int id = 0;
        int type = 0;
        // An object that cannot tell its id or type keeps 0 for it.
        if (object && FAILED(object->GetId(id))) id = 0;
        if (object && FAILED(object->GetType(type))) type = 0;
        std::vector<std::wstring> siblingNames;
        for (int sibling : GetObjectIdList(parentId, type)) {
            if (sibling == id) continue;
            ComPtr<IHostObject> s = HostObjectById(sibling);
            std::wstring siblingName;
            if (s && SUCCEEDED(s->GetName(siblingName))) siblingNames.push_back(siblingName);
        }
        finalName = UniqueName(name, siblingNames);
    }
    ComPtr<IHostObjectNaming> naming = ComPtr<IUnknown>(hostObject).As<IHostObjectNaming>();
    // An object that refuses the name keeps its own: the name only helps the user find it.
    if (naming) (void)naming->SetName(finalName);
    return 0;
}
