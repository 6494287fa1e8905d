// Late-bound access to an interface by member name. The names and dispids are a table written
// in code; there is no type library on this platform, so type information and late-bound calls
// are not offered.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/com.h"

using DISPID = std::int32_t;
inline constexpr DISPID DISPID_UNKNOWN = -1;

struct DispatchMember {
    const wchar_t* name;
    DISPID dispid;
};

class DispatchTable {
  public:
    DispatchTable(std::initializer_list<DispatchMember> members);

    // E_POINTER for null; otherwise one type-information block is advertised.
    static HRESULT GetTypeInfoCount(unsigned* count);
    // E_POINTER for null; E_NOTIMPL otherwise (there is no type library).
    static HRESULT GetTypeInfo(unsigned index, std::uint32_t locale, void** typeInfo);
    // The first name is a member (exact match of length and characters); the others would be
    // parameter names, which the table does not hold. DISP_E_UNKNOWNNAME, with DISPID_UNKNOWN
    // at each unknown position, when any name is not found.
    HRESULT GetIDsOfNames(const OLECHAR* const* names, unsigned count, DISPID* dispids) const;
    static HRESULT Invoke() { return E_NOTIMPL; }

    const std::vector<std::pair<std::wstring, DISPID>>& Members() const { return members_; }

  private:
    std::vector<std::pair<std::wstring, DISPID>> members_;
};

// The members of the add-in's dual interface.
const DispatchTable& DorvixAddinDispatchTable();
