// Counts and tests over a study's enabled parameters, the set-up of each parameter kind, a setting handed on.
#include "addin/host_study_parameters.h"

#include "addin/host_named_properties.h"
#include "addin/host_parameter_access.h"
#include "addin/host_parameter_values.h"
#include "platform/creation_registry.h"

namespace {

// Calls `test` on each enabled parameter of the study; stops when it answers true.
template <class Test>
void ForEachEnabledParameter(IHostStudy* study, Test&& test) {
    int count = 0;
    if (!study || FAILED(study->GetParameterCount(count))) return;
    for (int i = 0; i < count; ++i) {
        ComPtr<IHostParameter> parameter;
        if (FAILED(study->GetParameter(i, parameter.ReleaseAndGetAddressOf())) || !parameter) continue;
        if (ReadDisabledFlag(parameter.Get()) != VARIANT_FALSE) continue;
        if (test(parameter.Get())) return;
    }
}

bool IsNumericParameter(IHostParameter* p) {
    return IsRealParameter(p) || IsListParameter(p) || IsIntegerParameter(p) || IsNumericTableParameter(p) ||
           (IsOutputParameter(p) && HasDerivedSubKind(p));
}

// Runs the steps in order while they succeed; the last result.
template <class... Steps>
[[nodiscard]] HRESULT InOrder(Steps&&... steps) {
    HRESULT hr = S_OK;
    ((hr = SUCCEEDED(hr) ? steps() : hr), ...);
    return hr;
}

}  // namespace

int CountEnabledParameters(IHostStudy* study) {
    int count = 0;
    ForEachEnabledParameter(study, [&](IHostParameter*) { return ++count, false; });
    return count;
}

int CountEnabledNumericParameters(IHostStudy* study) {
    int count = 0;
    ForEachEnabledParameter(study, [&](IHostParameter* p) {
        if (IsNumericParameter(p)) ++count;
        return false;
    });
    return count;
}

bool StudyHasEnabledTextParameter(IHostStudy* study) {
    bool found = false;
    ForEachEnabledParameter(
        study, [&](IHostParameter* p) { return found = IsTextParameter(p) || IsTextTableParameter(p); });
    return found;
}

bool StudyHasEnabledTableParameter(IHostStudy* study) {
    bool found = false;
    ForEachEnabledParameter(study, [&](IHostParameter* p) { return found = IsTableParameterWithCells(p); });
    return found;
}

HRESULT SetUpRealParameter(IHostParameter* p, std::wstring_view name, double value, double lowerBound,
                           double upperBound, std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] {
                       ComPtr<IHostRealValue> real;
                       const HRESULT hr = GetRealValueOf(p, real.ReleaseAndGetAddressOf());
                       return FAILED(hr) ? hr : SetRealValueBounds(real.Get(), lowerBound, upperBound);
                   },
                   [&] { return SetRealParameterValue(p, value); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpExpressionParameter(IHostParameter* p, std::wstring_view name, double value,
                                 std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] { return SetExpressionParameterValue(p, value); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpOutputParameter(IHostParameter* p, std::wstring_view name, double value,
                             std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] { return SetOutputParameterValue(p, value); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpListParameter(IHostParameter* p, std::wstring_view name, const std::vector<double>& values,
                           double selected, std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] { return SetListParameterEntryCount(p, static_cast<int>(values.size())); },
                   [&] {
                       HRESULT hr = S_OK;
                       for (std::size_t i = 0; i < values.size() && SUCCEEDED(hr); ++i)
                           hr = SetListParameterValueAt(p, static_cast<int>(i), values[i]);
                       return hr;
                   },
                   [&] { return SelectListParameterEntry(p, selected); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpTableParameter(IHostParameter* p, std::wstring_view name,
                            const std::vector<std::vector<VariantHolder>>& entries,
                            std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] {
                       HRESULT hr = S_OK;
                       for (std::size_t i = 0; i < entries.size() && SUCCEEDED(hr); ++i)
                           hr = FillTableParameterEntry(p, static_cast<int>(i), entries[i]);
                       return hr;
                   },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpIntegerParameter(IHostParameter* p, std::wstring_view name, std::int32_t value,
                              std::int16_t step, std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] { return SetIntegerParameterValue(p, value); },
                   [&] { return SetIntegerParameterStep(p, step); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT SetUpTextParameter(IHostParameter* p, std::wstring_view name, std::wstring_view source) {
    return InOrder([&] { return RenameParameter(p, name); },
                   [&] { return WriteTextNamedProperty(p, kSourceKey, source); });
}

HRESULT PassSettingToHost(std::wstring_view name, const VARIANT& value) {
    if (name.empty()) return E_FAIL;
    BstrHolder text(name);
    if (text.IsNull()) return E_OUTOFMEMORY;
    ComPtr<IHostParameterManager> manager;
    const HRESULT hr = Xen::Vexcomp::CoCreateInstance(CLSID_HostParameterManager, manager, CLSCTX_ALL);
    if (FAILED(hr)) return hr;
    if (!manager) return E_FAIL;
    return manager->SetSetting(text.Get(), value);
}
