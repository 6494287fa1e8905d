// Questions over all parameters of a study, the set-up of a parameter of each value kind, and
// the hand-over of a named setting to the host's parameter-list component.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "host/parameters.h"
#include "platform/com.h"

// Over the parameters of the study that are not disabled (see ReadDisabledFlag). A study that
// cannot be asked counts none; a parameter that cannot be had is skipped.
int CountEnabledParameters(IHostStudy* study);
// Those readable as a double: real, list, integer, numeric table, or a derived output.
int CountEnabledNumericParameters(IHostStudy* study);
// A text parameter or a text table among them.
bool StudyHasEnabledTextParameter(IHostStudy* study);
// A table with cells among them.
bool StudyHasEnabledTableParameter(IHostStudy* study);

// Set-up of a parameter of a kind: its name, its typed values and its "Source" property, each
// step only after the one before succeeded. The last host result.
[[nodiscard]] HRESULT SetUpRealParameter(IHostParameter* parameter, std::wstring_view name, double value,
                                         double lowerBound, double upperBound, std::wstring_view source);
[[nodiscard]] HRESULT SetUpExpressionParameter(IHostParameter* parameter, std::wstring_view name,
                                               double value, std::wstring_view source);
[[nodiscard]] HRESULT SetUpOutputParameter(IHostParameter* parameter, std::wstring_view name, double value,
                                           std::wstring_view source);
// The list takes the values as its entries and selects the entry equal to `selected`.
[[nodiscard]] HRESULT SetUpListParameter(IHostParameter* parameter, std::wstring_view name,
                                         const std::vector<double>& values, double selected,
                                         std::wstring_view source);
// The entries are filled in order from index 0.
[[nodiscard]] HRESULT SetUpTableParameter(IHostParameter* parameter, std::wstring_view name,
                                          const std::vector<std::vector<VariantHolder>>& entries,
                                          std::wstring_view source);
[[nodiscard]] HRESULT SetUpIntegerParameter(IHostParameter* parameter, std::wstring_view name,
                                            std::int32_t value, std::int16_t step, std::wstring_view source);
[[nodiscard]] HRESULT SetUpTextParameter(IHostParameter* parameter, std::wstring_view name,
                                         std::wstring_view source);

// Creates the host's parameter-list component and hands it the named setting. E_FAIL for an
// empty name; the creation's failure; otherwise the component's answer.
[[nodiscard]] HRESULT PassSettingToHost(std::wstring_view name, const VARIANT& value);
