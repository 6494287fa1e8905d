// The host's unit-system name for a code, or the unknown answer for a code without one.
#include "deck/materials/unit_system_name.h"

#include "host/material.h"

HRESULT GetUnitSystemName(int code, std::wstring& name) {
    if (code < 0 || code >= kHostUnitSystemCount || !kHostUnitSystemNames[code])
        return kUnitSystemNameUnknown;
    name = kHostUnitSystemNames[code];
    return S_OK;
}
