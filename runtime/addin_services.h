// The add-in's process-wide services: localized strings, the host's unit system and conversions
// into and out of it, significant digits of displayed values, host objects by id, and unique
// object names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "host/object_model.h"
#include "host/property_grid.h"
#include "host/string_table.h"
#include "host/units_service.h"
#include "platform/com.h"

class AddinServices {
  public:
    // The solver's reference unit system (MKS), the other side of every conversion.
    static constexpr int kReferenceUnitSystem = 11;
    static constexpr int kDefaultSignificantDigits = 5;
    // Longest install folder and language name the services accept.
    static constexpr std::size_t kMaxPathLength = 260;
    static constexpr const wchar_t* kStringTableFile = L"dorvixstringtable.xml";
    static constexpr const wchar_t* kLanguageVariable = L"QXW_LOCALE120";

    static AddinServices& GetInstance();
    // Destroys the instance (when there is one); the next GetInstance builds a new one.
    static void ReleaseInstance();
    static bool HasInstance();

    AddinServices(const AddinServices&) = delete;
    AddinServices& operator=(const AddinServices&) = delete;

    // The host's text for the key, else the add-in's table's, else the key itself.
    std::wstring GetStringText(const std::wstring& key) const;
    // The same as a new BSTR.
    BSTR GetString(const std::wstring& key) const;
    // The same into a caller BSTR, freeing what it held.
    void GetString(const std::wstring& key, BSTR* out) const;

    // E_FAIL (and no host table) when the object carries no string table.
    [[nodiscard]] HRESULT SetStringSource(IUnknown* hostObject);
    // S_FALSE for a null object; otherwise the answer of asking it for the applet interface.
    [[nodiscard]] HRESULT SetApplet(IUnknown* hostObject);

    // The host object with the id, with a reference the caller owns; null when there is no
    // applet or no such object.
    ComPtr<IUnknown> GetObjectById(int id) const;
    // 0 when the object is missing or gives nothing for the code.
    int GetObjectProperty(int id, int code) const;
    // Empty when the object is missing.
    JXIdList GetObjectIdList(int id, int listCode) const;
    JXIdList GetObjectChildIds(int id) const;

    void SetSignificantDigits(int digits) { significantDigits_ = digits; }
    int GetSignificantDigits() const { return significantDigits_; }
    // The value with the stored number of significant digits.
    [[nodiscard]] HRESULT FormatValue(double value, BSTR* out) const;

    // Both arrays get `count` entries: copies of the values in task memory, and the cookies (or
    // 0, 1, 2, ... when none are given). The caller frees both arrays and every string.
    [[nodiscard]] static HRESULT FillPredefinedArrays(int count, const OLECHAR* const* values,
                                                      CALPOLESTR* strings, CADWORD* cookies,
                                                      const std::uint32_t* cookieValues);

    void RefreshUnitSystem();
    // The solver unit-system code of the host's current system; -1 when there is none.
    int GetUnitSystem();
    [[nodiscard]] HRESULT GetUnitLabel(int quantity, BSTR* out);
    // From the reference system into the host's, and back.
    [[nodiscard]] HRESULT ConvertToUnitSystem(double value, int quantity, double& out);
    [[nodiscard]] HRESULT ConvertFromUnitSystem(double value, int quantity, double& out);

    // Names the object after its siblings of the same type under the parent; always 0.
    [[nodiscard]] int MakeUniqueName(IUnknown* hostObject, int parentId, const std::wstring& name,
                                     bool enabled);
    // The name MakeUniqueName gives among siblings with these names.
    static std::wstring UniqueName(const std::wstring& name, const std::vector<std::wstring>& siblingNames);

    bool HasStringTable() const { return stringTable_ != nullptr; }
    int GetStoredUnitSystemId() const { return unitSystemId_; }

  private:
    AddinServices();
    ~AddinServices();
    void LoadStringTable();
    void ReleaseMembers();
    ComPtr<IHostObject> HostObjectById(int id) const;
    // GetUnitLabel's work; throws std::bad_alloc when the label cannot be allocated.
    [[nodiscard]] HRESULT UnitLabel(int quantity, BSTR& out);

    ComPtr<IHostStringTable> stringSource_;
    ComPtr<IHostStringTable> stringTable_;
    ComPtr<IHostApplet> applet_;
    int unitSystemId_ = -1;
    ComPtr<IHostUnitsService> unitsService_;
    ComPtr<IHostUnitConverter> converter_;
    int significantDigits_ = kDefaultSignificantDigits;
};
