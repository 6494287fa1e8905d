// The host's material objects as the deck writer sees them: a material hands out its
// properties, a property its data objects, a data object its columns, a column its values.
// Every value is asked for in a named unit system and arrives already converted into it.
// "Nothing" (a null pointer) always means that the material does not define the thing asked.
#pragma once

#include <string>
#include <string_view>

#include "foundation/constants.h"
#include "platform/com.h"

// The host's "undefined" value (2^-100). A column that the host holds without data answers
// one value equal to it; readers treat such a column as empty.
inline constexpr double kHostUndefinedValue = kHostUndefined;
static_assert(kHostUndefinedValue == 0x1p-100);

// The third argument of `IHostMaterialColumn::GetValue`: convert into the named system.
inline constexpr int kHostValueConverted = 1;
// ... or hand the value over in the units it is stored in.
inline constexpr int kHostValueAsStored = 0;

// Names of the host's unit systems by the solver's unit-system code; code 12 names none.
inline constexpr int kHostUnitSystemCount = 15;
inline constexpr const wchar_t* kHostUnitSystemNames[kHostUnitSystemCount] = {
    L"MKS_STANDARD", L"CGS_STANDARD", L"NMM_STANDARD", L"BFT_STANDARD",    L"BIN_STANDARD",
    L"JX_SOLV_CGS",  L"JX_SOLV_NMM",  L"JX_SOLV_BFT",  L"JX_SOLV_BIN",     L"UMKS_STANDARD",
    L"JX_SOLV_UMKS", L"JX_SOLV_MKS",  nullptr,         L"NMMTON_STANDARD", L"NMMDAT_STANDARD",
};

// The unit-system code of a host unit-system name; -1 for an empty or unknown name.
inline int HostUnitSystemCode(std::wstring_view name) {
    for (int code = 0; code < kHostUnitSystemCount; ++code)
        if (kHostUnitSystemNames[code] && name == kHostUnitSystemNames[code]) return code;
    return -1;
}

inline constexpr IID IID_IHostMaterial = MakeGuid("9e948be8-04ec-49ea-801b-5e4e1f89ac59");
inline constexpr IID IID_IHostMaterialPropertyCollection = MakeGuid("50b37f84-0e53-44ab-b998-6311ba8f1a0e");
inline constexpr IID IID_IHostMaterialProperty = MakeGuid("9a88abc0-86fe-4cb7-ad33-45904e35fa4f");
inline constexpr IID IID_IHostMaterialData = MakeGuid("f3e2d58a-0f5b-441e-860f-5ab9ef67450b");
inline constexpr IID IID_IHostMaterialColumn = MakeGuid("a25cfd2e-f41e-412a-b162-168f3d29a5d3");
inline constexpr IID IID_IHostMaterialValue = MakeGuid("baa69568-eba9-4a4f-ba90-0d894ee55969");
inline constexpr IID IID_IHostMaterialLibrary = MakeGuid("3c1f0d0e-6a2b-4f51-9d7e-2b8a5e41c907");

struct IHostMaterialValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialValue; }
    virtual double GetDouble() = 0;

  protected:
    ~IHostMaterialValue() = default;
};

struct IHostMaterialColumn : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialColumn; }
    virtual int GetCount() = 0;
    // Null when the index is outside the column.
    virtual ComPtr<IHostMaterialValue> GetValue(int index, std::wstring_view unitSystemName, int mode) = 0;

  protected:
    ~IHostMaterialColumn() = default;
};

struct IHostMaterialData : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialData; }
    virtual ComPtr<IHostMaterialColumn> GetVariable(std::wstring_view columnName) = 0;
    // Number of rows, that is of temperature points for a temperature-dependent datum.
    virtual int GetRowCount() = 0;

  protected:
    ~IHostMaterialData() = default;
};

struct IHostMaterialProperty : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialProperty; }
    virtual std::wstring GetBehavior() = 0;
    // An empty behaviour asks for the data whatever its behaviour; a given one must match.
    virtual ComPtr<IHostMaterialData> GetData(std::wstring_view dataName, std::wstring_view behavior) = 0;

  protected:
    ~IHostMaterialProperty() = default;
};

struct IHostMaterialPropertyCollection : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialPropertyCollection; }
    // A property or model of the material by name; null when the material has none.
    virtual ComPtr<IHostMaterialProperty> Item(std::wstring_view name) = 0;

  protected:
    ~IHostMaterialPropertyCollection() = default;
};

struct IHostMaterial : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterial; }
    virtual std::wstring GetName() = 0;
    virtual ComPtr<IHostMaterialPropertyCollection> GetPropertyCollection() = 0;
    virtual ComPtr<IHostMaterialProperty> GetProperty(std::wstring_view propertyName) = 0;

  protected:
    ~IHostMaterial() = default;
};

// The host's material library: materials by name (null when absent).
struct IHostMaterialLibrary : IUnknown {
    static constexpr const IID& iid() { return IID_IHostMaterialLibrary; }
    virtual ComPtr<IHostMaterial> GetMaterial(std::wstring_view name) = 0;
    virtual int GetMaterialCount() = 0;

  protected:
    ~IHostMaterialLibrary() = default;
};
