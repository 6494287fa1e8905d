// Named properties of host objects (an object answering IHostNamedPropertyOwner): readers and
// writers by key, and the flags of study parameters that are kept as named properties.
// Each releases what it obtained; host failures are passed on unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/parameters.h"
#include "platform/com.h"

// Readers walk the object's properties in order and read the first item whose name is the key
// (exactly, case-sensitive) and whose first value entry is plain and of the wanted type. The
// read's result; E_FAIL when no item matches; E_POINTER for a null object or out pointer.
[[nodiscard]] HRESULT ReadIntNamedProperty(IUnknown* object, std::wstring_view key, std::int32_t* out);
[[nodiscard]] HRESULT ReadDoubleNamedProperty(IUnknown* object, std::wstring_view key, double* out);
[[nodiscard]] HRESULT ReadTextNamedProperty(IUnknown* object, std::wstring_view key, std::wstring* out);

// Writers set the value of the plain item of that name, or add an item with the name and the
// value when there is none.
[[nodiscard]] HRESULT WriteIntNamedProperty(IUnknown* object, std::wstring_view key, std::int32_t value);
[[nodiscard]] HRESULT WriteDoubleNamedProperty(IUnknown* object, std::wstring_view key, double value);
[[nodiscard]] HRESULT WriteTextNamedProperty(IUnknown* object, std::wstring_view key,
                                             std::wstring_view value);

// The item at the index of the object's named properties, with a reference. E_POINTER for a
// null out pointer (otherwise cleared first) or object; E_FAIL when the host answers success
// with no collection or no item.
[[nodiscard]] HRESULT GetNamedPropertyAt(IUnknown* object, int index, IHostNamedProperty** item);

// The keys the study uses.
inline constexpr std::wstring_view kGoalIdKey = L"GoalId";
inline constexpr std::wstring_view kImportanceIdKey = L"ImportanceId";
inline constexpr std::wstring_view kTargetLevelKey = L"TargetLevel";
inline constexpr std::wstring_view kOutputIndexKey = L"ZPROutputIndex";
inline constexpr std::wstring_view kOutputIndex2Key = L"ZPROutputIndex2";
inline constexpr std::wstring_view kOutputTypeKey = L"ZPROutputType";
inline constexpr std::wstring_view kMinMaxValidKey = L"MinMaxValid";
inline constexpr std::wstring_view kUnitSystemKey = L"UnitSystem";
inline constexpr std::wstring_view kUnitTypeKey = L"UnitType";
inline constexpr std::wstring_view kObjectIdKey = L"ObjectId";
inline constexpr std::wstring_view kGoalValueKey = L"GoalValue";
inline constexpr std::wstring_view kHardMaximumKey = L"HardMaximum";
inline constexpr std::wstring_view kSourceKey = L"Source";
inline constexpr std::wstring_view kNameKey = L"Name";
inline constexpr std::wstring_view kSampleSetIdKey = L"SampleSetID";
inline constexpr std::wstring_view kUnitStringKey = L"UnitString";
inline constexpr std::wstring_view kEquationKey = L"Equation";
inline constexpr std::wstring_view kDisabledKey = L"Disabled";
inline constexpr std::wstring_view kOutputKey = L"ZPROutput";
inline constexpr std::wstring_view kUncertaintyKey = L"Uncertainty";
inline constexpr std::wstring_view kTradeOffKey = L"TradeOff";

// Readers of the study's keys.
[[nodiscard]] inline HRESULT ReadGoalId(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kGoalIdKey, out);
}
[[nodiscard]] inline HRESULT ReadImportanceId(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kImportanceIdKey, out);
}
[[nodiscard]] inline HRESULT ReadTargetLevel(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kTargetLevelKey, out);
}
[[nodiscard]] inline HRESULT ReadOutputIndex(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kOutputIndexKey, out);
}
[[nodiscard]] inline HRESULT ReadOutputIndex2(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kOutputIndex2Key, out);
}
[[nodiscard]] inline HRESULT ReadOutputType(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kOutputTypeKey, out);
}
[[nodiscard]] inline HRESULT ReadMinMaxValid(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kMinMaxValidKey, out);
}
[[nodiscard]] inline HRESULT ReadUnitSystemProperty(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kUnitSystemKey, out);
}
[[nodiscard]] inline HRESULT ReadUnitType(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kUnitTypeKey, out);
}
[[nodiscard]] inline HRESULT ReadObjectIdProperty(IUnknown* o, std::int32_t* out) {
    return ReadIntNamedProperty(o, kObjectIdKey, out);
}
[[nodiscard]] inline HRESULT ReadGoalValue(IUnknown* o, double* out) {
    return ReadDoubleNamedProperty(o, kGoalValueKey, out);
}
[[nodiscard]] inline HRESULT ReadHardMaximum(IUnknown* o, double* out) {
    return ReadDoubleNamedProperty(o, kHardMaximumKey, out);
}
[[nodiscard]] inline HRESULT ReadSource(IUnknown* o, std::wstring* out) {
    return ReadTextNamedProperty(o, kSourceKey, out);
}
[[nodiscard]] inline HRESULT ReadNameProperty(IUnknown* o, std::wstring* out) {
    return ReadTextNamedProperty(o, kNameKey, out);
}
[[nodiscard]] inline HRESULT ReadSampleSetId(IUnknown* o, std::wstring* out) {
    return ReadTextNamedProperty(o, kSampleSetIdKey, out);
}
[[nodiscard]] inline HRESULT ReadUnitString(IUnknown* o, std::wstring* out) {
    return ReadTextNamedProperty(o, kUnitStringKey, out);
}

// Writers of the study's keys.
[[nodiscard]] inline HRESULT WriteNameProperty(IUnknown* o, std::wstring_view value) {
    return WriteTextNamedProperty(o, kNameKey, value);
}
[[nodiscard]] inline HRESULT WriteEquation(IUnknown* o, std::wstring_view value) {
    return WriteTextNamedProperty(o, kEquationKey, value);
}
[[nodiscard]] inline HRESULT WriteGoalId(IUnknown* o, std::int32_t value) {
    return WriteIntNamedProperty(o, kGoalIdKey, value);
}
[[nodiscard]] inline HRESULT WriteImportanceId(IUnknown* o, std::int32_t value) {
    return WriteIntNamedProperty(o, kImportanceIdKey, value);
}
[[nodiscard]] inline HRESULT WriteGoalValue(IUnknown* o, double value) {
    return WriteDoubleNamedProperty(o, kGoalValueKey, value);
}
[[nodiscard]] inline HRESULT WriteTargetLevel(IUnknown* o, std::int32_t value) {
    return WriteIntNamedProperty(o, kTargetLevelKey, value);
}
[[nodiscard]] inline HRESULT WriteSampleSetId(IUnknown* o, std::wstring_view value) {
    return WriteTextNamedProperty(o, kSampleSetIdKey, value);
}
[[nodiscard]] inline HRESULT WriteMinMaxValid(IUnknown* o, std::int32_t value) {
    return WriteIntNamedProperty(o, kMinMaxValidKey, value);
}

// Goal ids: 3001 a goal of its own, 3002 and 3003 goals traded off against others.
inline constexpr std::int32_t kSingleGoalId = 3001;
inline constexpr std::int32_t kTradeOffGoalIds[] = {3002, 3003};
// Output types that mark a derived output.
inline constexpr std::int32_t kMarkedOutputTypes[] = {18006, 18007, 18010};

// Flags, each from a search of the plain property of its key. "Disabled" read as an integer
// (non-zero is true); VARIANT_TRUE when the host gives no value.
VARIANT_BOOL ReadDisabledFlag(IUnknown* object);
// VARIANT_TRUE when the object has a "ZPROutput" property.
VARIANT_BOOL HasOutputProperty(IUnknown* object);
bool HasUncertaintyProperty(IUnknown* object);
// "ZPROutputType" is one of kMarkedOutputTypes.
bool HasMarkedOutputType(IUnknown* object);
// An input sub-kind, or a "GoalId" among the goal ids (IsGoalParameter), or equal to
// kSingleGoalId (IsSingleGoalParameter).
bool IsGoalParameter(IHostParameter* parameter);
bool IsSingleGoalParameter(IHostParameter* parameter);
// 1 for a traded-off goal id; else the "TradeOff" integer when it is 0 or 1; else 0.
int ReadTradeOffFlag(IUnknown* object);
