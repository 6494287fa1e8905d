// Access to the host's study parameters: the value interface of each kind, kind tests, reading
// any numeric parameter as a double and setting it from one. Every function releases what it
// obtained from the host and passes host failures on unchanged.
#pragma once

#include "host/parameters.h"
#include "platform/com.h"

// The parameter's value object asked for the interface Value: E_POINTER for a null out pointer
// (otherwise cleared first) or parameter; the value-object query's failure; E_FAIL when the
// host hands back no value object; else the answer of QueryInterface.
template <class Value>
[[nodiscard]] HRESULT GetParameterValueInterface(IHostParameter* parameter, Value** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!parameter) return E_POINTER;
    ComPtr<IUnknown> value;
    const HRESULT hr = parameter->GetValueObject(value.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!value) return E_FAIL;
    return value->QueryInterface(Value::iid(), reinterpret_cast<void**>(out));
}

[[nodiscard]] inline HRESULT GetRealValueOf(IHostParameter* parameter, IHostRealValue** out) {
    return GetParameterValueInterface(parameter, out);
}
[[nodiscard]] inline HRESULT GetExpressionValueOf(IHostParameter* parameter, IHostExpressionValue** out) {
    return GetParameterValueInterface(parameter, out);
}
[[nodiscard]] inline HRESULT GetOutputValueOf(IHostParameter* parameter, IHostOutputValue** out) {
    return GetParameterValueInterface(parameter, out);
}
[[nodiscard]] inline HRESULT GetListValueOf(IHostParameter* parameter, IHostListValue** out) {
    return GetParameterValueInterface(parameter, out);
}
[[nodiscard]] inline HRESULT GetTableValueOf(IHostParameter* parameter, IHostTableValue** out) {
    return GetParameterValueInterface(parameter, out);
}
[[nodiscard]] inline HRESULT GetIntegerValueOf(IHostParameter* parameter, IHostIntegerValue** out) {
    return GetParameterValueInterface(parameter, out);
}

// Runs `call(Value&)` (answering an HRESULT) on the parameter's value interface Value, or
// answers why the interface could not be had.
template <class Value, class Call>
[[nodiscard]] HRESULT WithParameterValue(IHostParameter* parameter, Call&& call) {
    ComPtr<Value> value;
    const HRESULT hr = GetParameterValueInterface(parameter, value.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!value) return E_FAIL;
    return call(*value);
}

// Kind tests: false when the parameter is null or the query fails.
bool IsRealParameter(IHostParameter* parameter);
bool IsListParameter(IHostParameter* parameter);
bool IsIntegerParameter(IHostParameter* parameter);
bool IsTextParameter(IHostParameter* parameter);
bool IsOutputParameter(IHostParameter* parameter);
bool HasInputSubKind(IHostParameter* parameter);
bool HasDerivedSubKind(IHostParameter* parameter);

// Table tests: a table parameter with a first entry whose first cell (0, 0) can be read; the
// table is numeric when that cell is no text, a text table when it is.
bool IsNumericTableParameter(IHostParameter* parameter);
bool IsTextTableParameter(IHostParameter* parameter);
bool IsTableParameterWithCells(IHostParameter* parameter);

// Reads a real, expression, numeric output, list, numeric table or integer parameter as a
// double. E_FAIL for other kinds (out untouched); a host failure of the value read is answered
// with out as the host left it. A list whose current index cannot be read is read at index -1;
// a numeric table whose current index cannot be read gives 0.0.
[[nodiscard]] HRESULT GetParameterValueAsDouble(IHostParameter* parameter, double* out);
// The counterpart: an output or a derived value sets its value, an integer the value truncated
// toward zero (DISP_E_OVERFLOW when it does not fit 32 bits), a numeric table the value cell
// of its current entry, a list selects the entry equal to the value, a real parameter sets its
// value; E_FAIL for anything else.
[[nodiscard]] HRESULT SetParameterValueFromDouble(IHostParameter* parameter, double value);

// The bounds of a real, list or numeric-table parameter through its value interface; E_FAIL
// for other kinds.
[[nodiscard]] HRESULT GetParameterLowerBound(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT GetParameterUpperBound(IHostParameter* parameter, double* out);
