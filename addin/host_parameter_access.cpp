// Kind tests of study parameters, their value and bounds read as a double, and their value set from one.
#include "addin/host_parameter_access.h"

#include <cmath>
#include <cstdint>

namespace {

bool KindIs(IHostParameter* parameter, int expected) {
    int kind = 0;
    return parameter && SUCCEEDED(parameter->GetKind(kind)) && kind == expected;
}

bool SubKindIs(IHostParameter* parameter, int expected) {
    int subKind = 0;
    return parameter && SUCCEEDED(parameter->GetSubKind(subKind)) && subKind == expected;
}

// The type of cell (0, 0) when the first entry has cells; VT_EMPTY when it cannot be read.
VARTYPE FirstCellType(IHostTableValue& table) {
    int count = 0;
    if (FAILED(table.GetEntryCount(0, count)) || count <= 0) return VT_EMPTY;
    VariantHolder cell;
    if (FAILED(table.GetCell(0, 0, cell.ReleaseAndGet()))) return VT_EMPTY;
    // A cell read as empty still counts as read: it is no text.
    return cell.Type() == VT_EMPTY ? VARTYPE{VT_NULL} : cell.Type();
}

bool IsNumericCellType(VARTYPE type) { return type != VT_EMPTY && type != VT_BSTR; }

// The table value of a parameter of the table kind (its kind already known); null otherwise.
ComPtr<IHostTableValue> TableValueOf(IHostParameter* parameter) {
    ComPtr<IHostTableValue> table;
    if (FAILED(GetTableValueOf(parameter, table.ReleaseAndGetAddressOf()))) return nullptr;
    return table;
}

// The type of cell (0, 0) of a table parameter whose first entry has cells; VT_EMPTY when the
// parameter is no such table or the cell cannot be read.
VARTYPE FirstTableCellType(IHostParameter* parameter) {
    if (!KindIs(parameter, kHostParameterTable)) return VT_EMPTY;
    ComPtr<IHostTableValue> table = TableValueOf(parameter);
    return table ? FirstCellType(*table) : VARTYPE{VT_EMPTY};
}

[[nodiscard]] HRESULT ReadListValue(IHostParameter* parameter, double* out) {
    return WithParameterValue<IHostListValue>(parameter, [&](IHostListValue& list) {
        int index = -1;
        (void)list.GetCurrentIndex(index);  // unreadable: the host is asked for entry -1
        return list.GetValueAt(index, *out);
    });
}

// The value of a numeric table (a table of the table kind whose cell (0, 0) is no text);
// E_FAIL for any other table.
[[nodiscard]] HRESULT ReadNumericTableValue(IHostParameter* parameter, double* out) {
    ComPtr<IHostTableValue> table = TableValueOf(parameter);
    if (!table || !IsNumericCellType(FirstCellType(*table))) return E_FAIL;
    VariantHolder cell;
    int index = 0;
    if (SUCCEEDED(table->GetCurrentIndex(index))) {
        const HRESULT hr = table->GetCell(index, -1, cell.ReleaseAndGet());
        if (FAILED(hr)) return hr;
    }
    // Without a current entry the cell stays empty, which reads as 0.0.
    const HRESULT hr = cell.ChangeType(VT_R8);
    if (SUCCEEDED(hr)) *out = cell->dblVal;
    return hr;
}

[[nodiscard]] HRESULT ReadIntegerValue(IHostParameter* parameter, double* out) {
    return WithParameterValue<IHostIntegerValue>(parameter, [&](IHostIntegerValue& integer) {
        std::int32_t value = 0;
        const HRESULT hr = integer.GetValue(value);
        *out = static_cast<double>(value);
        return hr;
    });
}

[[nodiscard]] HRESULT WriteNumericTableValue(IHostParameter* parameter, double value) {
    return WithParameterValue<IHostTableValue>(parameter, [&](IHostTableValue& table) {
        int index = 0;
        const HRESULT hr = table.GetCurrentIndex(index);
        if (FAILED(hr)) return hr;
        return table.SetCell(index, -1, *VariantHolder(value));
    });
}

[[nodiscard]] HRESULT WriteIntegerValue(IHostParameter* parameter, double value) {
    const double truncated = std::trunc(value);
    // A value outside the 32-bit range (or not a number) has no integer to set.
    if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0)) return DISP_E_OVERFLOW;
    return WithParameterValue<IHostIntegerValue>(parameter, [&](IHostIntegerValue& integer) {
        return integer.SetValue(static_cast<std::int32_t>(truncated));
    });
}

enum class Bound { kLower, kUpper };

template <class Value>
[[nodiscard]] HRESULT ReadBound(IHostParameter* parameter, Bound bound, double* out) {
    return WithParameterValue<Value>(parameter, [&](Value& value) {
        return bound == Bound::kLower ? value.GetLowerBound(*out) : value.GetUpperBound(*out);
    });
}

[[nodiscard]] HRESULT GetParameterBound(IHostParameter* parameter, Bound bound, double* out) {
    if (!out || !parameter) return E_POINTER;
    if (IsRealParameter(parameter)) return ReadBound<IHostRealValue>(parameter, bound, out);
    if (IsListParameter(parameter)) return ReadBound<IHostListValue>(parameter, bound, out);
    if (IsNumericTableParameter(parameter)) return ReadBound<IHostTableValue>(parameter, bound, out);
    return E_FAIL;
}

}  // namespace

bool IsRealParameter(IHostParameter* parameter) { return KindIs(parameter, kHostParameterReal); }
bool IsListParameter(IHostParameter* parameter) { return KindIs(parameter, kHostParameterList); }
bool IsIntegerParameter(IHostParameter* parameter) { return KindIs(parameter, kHostParameterInteger); }
bool IsTextParameter(IHostParameter* parameter) { return KindIs(parameter, kHostParameterText); }
bool IsOutputParameter(IHostParameter* parameter) { return KindIs(parameter, kHostParameterOutput); }
bool HasInputSubKind(IHostParameter* parameter) { return SubKindIs(parameter, kHostParameterInput); }
bool HasDerivedSubKind(IHostParameter* parameter) { return SubKindIs(parameter, kHostParameterDerived); }

bool IsNumericTableParameter(IHostParameter* parameter) {
    return IsNumericCellType(FirstTableCellType(parameter));
}

bool IsTextTableParameter(IHostParameter* parameter) { return FirstTableCellType(parameter) == VT_BSTR; }

bool IsTableParameterWithCells(IHostParameter* parameter) {
    return FirstTableCellType(parameter) != VT_EMPTY;
}

HRESULT GetParameterValueAsDouble(IHostParameter* parameter, double* out) {
    if (!out || !parameter) return E_POINTER;
    int kind = 0;
    if (FAILED(parameter->GetKind(kind))) return E_FAIL;
    int subKind = -1;
    switch (kind) {
        case kHostParameterReal:
            if (FAILED(parameter->GetSubKind(subKind))) return E_FAIL;
            if (subKind == kHostParameterInput)
                return WithParameterValue<IHostRealValue>(
                    parameter, [&](IHostRealValue& v) { return v.GetValue(*out); });
            if (subKind == kHostParameterDerived)
                return WithParameterValue<IHostExpressionValue>(
                    parameter, [&](IHostExpressionValue& v) { return v.GetValue(*out); });
            return E_FAIL;
        case kHostParameterOutput:
            if (FAILED(parameter->GetSubKind(subKind)) || subKind != kHostParameterDerived) return E_FAIL;
            return WithParameterValue<IHostOutputValue>(
                parameter, [&](IHostOutputValue& v) { return v.GetValue(*out); });
        case kHostParameterList:
            return ReadListValue(parameter, out);
        case kHostParameterTable:
            return ReadNumericTableValue(parameter, out);
        case kHostParameterInteger:
            return ReadIntegerValue(parameter, out);
        default:
            return E_FAIL;
    }
}

HRESULT SetParameterValueFromDouble(IHostParameter* parameter, double value) {
    if (!parameter) return E_POINTER;
    if (IsOutputParameter(parameter))
        return WithParameterValue<IHostOutputValue>(parameter,
                                                    [&](IHostOutputValue& v) { return v.SetValue(value); });
    if (HasDerivedSubKind(parameter))
        return WithParameterValue<IHostExpressionValue>(
            parameter, [&](IHostExpressionValue& v) { return v.SetValue(value); });
    if (IsIntegerParameter(parameter)) return WriteIntegerValue(parameter, value);
    if (IsNumericTableParameter(parameter)) return WriteNumericTableValue(parameter, value);
    if (IsListParameter(parameter))
        return WithParameterValue<IHostListValue>(parameter,
                                                  [&](IHostListValue& v) { return v.SelectValue(value); });
    if (IsRealParameter(parameter))
        return WithParameterValue<IHostRealValue>(parameter,
                                                  [&](IHostRealValue& v) { return v.SetValue(value); });
    return E_FAIL;
}

HRESULT GetParameterLowerBound(IHostParameter* parameter, double* out) {
    return GetParameterBound(parameter, Bound::kLower, out);
}

HRESULT GetParameterUpperBound(IHostParameter* parameter, double* out) {
    return GetParameterBound(parameter, Bound::kUpper, out);
}
