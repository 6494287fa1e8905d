// One-call forwarders to parameters' real, list, integer and table values; renames, kinds, descriptions.
#include "addin/host_parameter_values.h"

#include "addin/host_parameter_access.h"

namespace {

// One call on the parameter's value interface with an out value.
template <class Value, class Out, class Call>
[[nodiscard]] HRESULT ReadThrough(IHostParameter* parameter, Out* out, Call&& call) {
    if (!out) return E_POINTER;
    return WithParameterValue<Value>(parameter, [&](Value& value) { return call(value, *out); });
}

}  // namespace

HRESULT GetRealParameterValue(IHostParameter* p, double* out) {
    return ReadThrough<IHostRealValue>(p, out, [](IHostRealValue& v, double& o) { return v.GetValue(o); });
}
HRESULT SetRealParameterValue(IHostParameter* p, double value) {
    return WithParameterValue<IHostRealValue>(p, [&](IHostRealValue& v) { return v.SetValue(value); });
}
HRESULT GetRealParameterLowerBound(IHostParameter* p, double* out) {
    return ReadThrough<IHostRealValue>(p, out,
                                       [](IHostRealValue& v, double& o) { return v.GetLowerBound(o); });
}
HRESULT SetRealParameterLowerBound(IHostParameter* p, double value) {
    return WithParameterValue<IHostRealValue>(p, [&](IHostRealValue& v) { return v.SetLowerBound(value); });
}
HRESULT GetRealParameterUpperBound(IHostParameter* p, double* out) {
    return ReadThrough<IHostRealValue>(p, out,
                                       [](IHostRealValue& v, double& o) { return v.GetUpperBound(o); });
}
HRESULT SetRealParameterUpperBound(IHostParameter* p, double value) {
    return WithParameterValue<IHostRealValue>(p, [&](IHostRealValue& v) { return v.SetUpperBound(value); });
}
HRESULT GetRealParameterReferenceValue(IHostParameter* p, double* out) {
    return ReadThrough<IHostRealValue>(p, out,
                                       [](IHostRealValue& v, double& o) { return v.GetReferenceValue(o); });
}
HRESULT SetRealParameterReferenceValue(IHostParameter* p, double value) {
    return WithParameterValue<IHostRealValue>(p,
                                              [&](IHostRealValue& v) { return v.SetReferenceValue(value); });
}

HRESULT SetExpressionParameterValue(IHostParameter* p, double value) {
    return WithParameterValue<IHostExpressionValue>(
        p, [&](IHostExpressionValue& v) { return v.SetValue(value); });
}
HRESULT SetOutputParameterValue(IHostParameter* p, double value) {
    return WithParameterValue<IHostOutputValue>(p, [&](IHostOutputValue& v) { return v.SetValue(value); });
}

HRESULT GetListParameterLowerBound(IHostParameter* p, double* out) {
    return ReadThrough<IHostListValue>(p, out,
                                       [](IHostListValue& v, double& o) { return v.GetLowerBound(o); });
}
HRESULT SetListParameterLowerBound(IHostParameter* p, double value) {
    return WithParameterValue<IHostListValue>(p, [&](IHostListValue& v) { return v.SetLowerBound(value); });
}
HRESULT GetListParameterUpperBound(IHostParameter* p, double* out) {
    return ReadThrough<IHostListValue>(p, out,
                                       [](IHostListValue& v, double& o) { return v.GetUpperBound(o); });
}
HRESULT SetListParameterUpperBound(IHostParameter* p, double value) {
    return WithParameterValue<IHostListValue>(p, [&](IHostListValue& v) { return v.SetUpperBound(value); });
}
HRESULT GetListParameterEntryCount(IHostParameter* p, int* out) {
    return ReadThrough<IHostListValue>(p, out, [](IHostListValue& v, int& o) { return v.GetEntryCount(o); });
}
HRESULT SetListParameterEntryCount(IHostParameter* p, int count) {
    return WithParameterValue<IHostListValue>(p, [&](IHostListValue& v) { return v.SetEntryCount(count); });
}
HRESULT GetListParameterValueAt(IHostParameter* p, int index, double* out) {
    return ReadThrough<IHostListValue>(p, out,
                                       [&](IHostListValue& v, double& o) { return v.GetValueAt(index, o); });
}
HRESULT SetListParameterValueAt(IHostParameter* p, int index, double value) {
    return WithParameterValue<IHostListValue>(p,
                                              [&](IHostListValue& v) { return v.SetValueAt(index, value); });
}
HRESULT GetListParameterCurrentIndex(IHostParameter* p, int* out) {
    return ReadThrough<IHostListValue>(p, out,
                                       [](IHostListValue& v, int& o) { return v.GetCurrentIndex(o); });
}
HRESULT SelectListParameterEntry(IHostParameter* p, double value) {
    return WithParameterValue<IHostListValue>(p, [&](IHostListValue& v) { return v.SelectValue(value); });
}

HRESULT GetIntegerParameterValue(IHostParameter* p, std::int32_t* out) {
    return ReadThrough<IHostIntegerValue>(
        p, out, [](IHostIntegerValue& v, std::int32_t& o) { return v.GetValue(o); });
}
HRESULT SetIntegerParameterValue(IHostParameter* p, std::int32_t value) {
    return WithParameterValue<IHostIntegerValue>(p, [&](IHostIntegerValue& v) { return v.SetValue(value); });
}
HRESULT GetIntegerParameterStep(IHostParameter* p, std::int16_t* out) {
    return ReadThrough<IHostIntegerValue>(p, out,
                                          [](IHostIntegerValue& v, std::int16_t& o) { return v.GetStep(o); });
}
HRESULT SetIntegerParameterStep(IHostParameter* p, std::int16_t step) {
    return WithParameterValue<IHostIntegerValue>(p, [&](IHostIntegerValue& v) { return v.SetStep(step); });
}

HRESULT GetTableParameterCell(IHostParameter* p, int index, int column, VARIANT* out) {
    return ReadThrough<IHostTableValue>(
        p, out, [&](IHostTableValue& v, VARIANT& o) { return v.GetCell(index, column, &o); });
}
HRESULT SetTableParameterCell(IHostParameter* p, int index, int column, const VARIANT& cell) {
    return WithParameterValue<IHostTableValue>(
        p, [&](IHostTableValue& v) { return v.SetCell(index, column, cell); });
}
HRESULT GetTableParameterEntryCount(IHostParameter* p, int index, int* out) {
    return ReadThrough<IHostTableValue>(
        p, out, [&](IHostTableValue& v, int& o) { return v.GetEntryCount(index, o); });
}

HRESULT FillTableParameterEntry(IHostParameter* p, int index, const std::vector<VariantHolder>& cells) {
    return WithParameterValue<IHostTableValue>(p, [&](IHostTableValue& table) {
        HRESULT hr = S_OK;
        for (std::size_t column = 0; column < cells.size() && SUCCEEDED(hr); ++column)
            hr = table.SetCell(index, static_cast<int>(column), *cells[column]);
        return hr;
    });
}

HRESULT ReadTableParameterEntry(IHostParameter* p, int index, std::vector<VariantHolder>& cells) {
    return WithParameterValue<IHostTableValue>(p, [&](IHostTableValue& table) {
        int count = 0;
        HRESULT hr = table.GetEntryCount(index, count);
        std::vector<VariantHolder> read;
        for (int column = 0; column < count && SUCCEEDED(hr); ++column)
            hr = table.GetCell(index, column, read.emplace_back().ReleaseAndGet());
        if (SUCCEEDED(hr)) cells = std::move(read);
        return hr;
    });
}

HRESULT RenameParameter(IHostParameter* parameter, std::wstring_view name) {
    if (!parameter) return E_POINTER;
    BstrHolder text(name);
    if (text.IsNull()) return E_OUTOFMEMORY;
    return parameter->SetName(text.Get());
}

HRESULT SetParameterKind(IHostParameter* parameter, int kind) {
    return parameter ? parameter->SetKind(kind) : E_POINTER;
}

HRESULT SetParameterSubKind(IHostParameter* parameter, int subKind) {
    return parameter ? parameter->SetSubKind(subKind) : E_POINTER;
}

HRESULT SetRealValueBounds(IHostRealValue* value, double lower, double upper) {
    if (!value) return E_POINTER;
    const HRESULT hr = value->SetLowerBound(lower);
    return FAILED(hr) ? hr : value->SetUpperBound(upper);
}

HRESULT CopyParameterDescription(IHostParameter* source, IHostParameter* target) {
    if (!source || !target) return S_OK;
    BstrHolder text;
    const HRESULT hr = source->GetDescription(text.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    VARIANT borrowed;
    borrowed.vt = VT_BSTR;
    borrowed.bstrVal = text.Get();
    return target->SetDescription(borrowed);
}

HRESULT GetListedParameterAt(IHostParameterManager* manager, int index, IHostParameter** item) {
    if (!item) return E_POINTER;
    *item = nullptr;
    if (!manager) return E_POINTER;
    ComPtr<IHostParameterCollection> parameters;
    HRESULT hr = manager->GetParameters(parameters.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    if (!parameters) return E_FAIL;
    hr = parameters->GetItem(*VariantHolder(std::int32_t{index}), item);
    if (SUCCEEDED(hr) && !*item) return E_FAIL;
    return hr;
}
