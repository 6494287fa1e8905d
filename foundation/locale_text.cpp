// A number as a BSTR for the property grid, in as many significant digits as the caller asks.
#include "foundation/locale_text.h"

#include <string>

#include "foundation/number_format.h"

HRESULT DoubleToLocaleBSTR(double value, int significantDigits, BSTR* out) {
    if (!out) return E_POINTER;
    const std::string text = FormatSignificant(value, significantDigits);
    // The text is ASCII: digits, sign, point, 'e', or "NaN"/"Inf".
    *out = SysAllocString(std::wstring(text.begin(), text.end()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
