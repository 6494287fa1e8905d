// The host's name of a solver unit system, in which the material values are asked for.
#pragma once

#include <string>

#include "platform/com.h"

// Answered for a code that names no unit system.
inline constexpr HRESULT kUnitSystemNameUnknown = MakeHResult(0x80000008u);

// S_OK and the name, or kUnitSystemNameUnknown with `name` unchanged (codes outside 0..14,
// and 12).
[[nodiscard]] HRESULT GetUnitSystemName(int code, std::wstring& name);
