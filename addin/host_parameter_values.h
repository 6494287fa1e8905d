// Typed access to the value objects of host parameters, the one-call forwarders to host
// objects, the copy of a description between parameters and the access to the items of the
// parameter-list component. Each answers the host's result of its last call and releases what it
// obtained; E_POINTER for a null object or out pointer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "host/parameters.h"
#include "platform/com.h"

// Real value (IHostRealValue): the value, its bounds and its reference value.
[[nodiscard]] HRESULT GetRealParameterValue(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetRealParameterValue(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT GetRealParameterLowerBound(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetRealParameterLowerBound(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT GetRealParameterUpperBound(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetRealParameterUpperBound(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT GetRealParameterReferenceValue(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetRealParameterReferenceValue(IHostParameter* parameter, double value);

// Expression and output values.
[[nodiscard]] HRESULT SetExpressionParameterValue(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT SetOutputParameterValue(IHostParameter* parameter, double value);

// List (IHostListValue).
[[nodiscard]] HRESULT GetListParameterLowerBound(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetListParameterLowerBound(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT GetListParameterUpperBound(IHostParameter* parameter, double* out);
[[nodiscard]] HRESULT SetListParameterUpperBound(IHostParameter* parameter, double value);
[[nodiscard]] HRESULT GetListParameterEntryCount(IHostParameter* parameter, int* out);
[[nodiscard]] HRESULT SetListParameterEntryCount(IHostParameter* parameter, int count);
[[nodiscard]] HRESULT GetListParameterValueAt(IHostParameter* parameter, int index, double* out);
[[nodiscard]] HRESULT SetListParameterValueAt(IHostParameter* parameter, int index, double value);
[[nodiscard]] HRESULT GetListParameterCurrentIndex(IHostParameter* parameter, int* out);
[[nodiscard]] HRESULT SelectListParameterEntry(IHostParameter* parameter, double value);

// Integer (IHostIntegerValue).
[[nodiscard]] HRESULT GetIntegerParameterValue(IHostParameter* parameter, std::int32_t* out);
[[nodiscard]] HRESULT SetIntegerParameterValue(IHostParameter* parameter, std::int32_t value);
[[nodiscard]] HRESULT GetIntegerParameterStep(IHostParameter* parameter, std::int16_t* out);
[[nodiscard]] HRESULT SetIntegerParameterStep(IHostParameter* parameter, std::int16_t step);

// Table (IHostTableValue).
[[nodiscard]] HRESULT GetTableParameterCell(IHostParameter* parameter, int index, int column, VARIANT* out);
[[nodiscard]] HRESULT SetTableParameterCell(IHostParameter* parameter, int index, int column,
                                            const VARIANT& cell);
[[nodiscard]] HRESULT GetTableParameterEntryCount(IHostParameter* parameter, int index, int* out);
// Sets cells 0, 1, ... of the entry from the list, stopping at the first refusal.
[[nodiscard]] HRESULT FillTableParameterEntry(IHostParameter* parameter, int index,
                                              const std::vector<VariantHolder>& cells);
// Every cell of the entry, in order; `cells` is replaced only when all were read.
[[nodiscard]] HRESULT ReadTableParameterEntry(IHostParameter* parameter, int index,
                                              std::vector<VariantHolder>& cells);

// Forwarders. The name travels as a string made for the call and freed after it.
[[nodiscard]] HRESULT RenameParameter(IHostParameter* parameter, std::wstring_view name);
[[nodiscard]] HRESULT SetParameterKind(IHostParameter* parameter, int kind);
[[nodiscard]] HRESULT SetParameterSubKind(IHostParameter* parameter, int subKind);
// The upper bound is set only when the lower one was taken.
[[nodiscard]] HRESULT SetRealValueBounds(IHostRealValue* value, double lower, double upper);

// Sets the source's description on the target; S_OK and nothing done when either is null.
[[nodiscard]] HRESULT CopyParameterDescription(IHostParameter* source, IHostParameter* target);

// The item at the index of the parameter-list component's collection, with a reference.
// E_POINTER for a null out pointer (otherwise cleared first); E_FAIL when the host answers
// success with no collection or no item. (The items of an object's named properties:
// GetNamedPropertyAt in addin/host_named_properties.h.)
[[nodiscard]] HRESULT GetListedParameterAt(IHostParameterManager* manager, int index, IHostParameter** item);
