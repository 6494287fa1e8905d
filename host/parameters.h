// The host's study parameters: each has a value kind, a sub-kind, a name and a value object
// whose interface depends on the kind; the parameter-list component hands out all of them.
// Parameters (and other host objects) also carry collections of named properties, each item a
// name with typed value entries.
#pragma once

#include <cstdint>

#include "platform/com.h"

inline constexpr CLSID CLSID_HostParameterManager = MakeGuid("d8af0c30-db9d-4a11-a716-6fd99ca0d00e");
inline constexpr IID IID_IHostParameterManager = MakeGuid("2a988b8b-8038-4f77-af83-4b5c83ef5a28");
inline constexpr IID IID_IHostParameterCollection = MakeGuid("0b7e2c94-5a13-4d8f-9c61-e84f2a7d3b05");
inline constexpr IID IID_IHostParameter = MakeGuid("6f4a9d21-c83e-4b57-a0f2-19d7e5c36b48");
inline constexpr IID IID_IHostStudy = MakeGuid("08ee2e83-0fa5-4e5b-af1d-8b415b567716");

inline constexpr IID IID_IHostRealValue = MakeGuid("2257ef02-9aa5-4ef2-a42f-e1a28eab6862");
inline constexpr IID IID_IHostExpressionValue = MakeGuid("42d0e5cd-7ace-44bd-a1fc-14328f5472aa");
inline constexpr IID IID_IHostOutputValue = MakeGuid("2fc511d6-e959-46af-b64d-7d84a4802815");
inline constexpr IID IID_IHostListValue = MakeGuid("64ccc6de-e6a0-4a75-b0f7-9e45198f7e16");
inline constexpr IID IID_IHostTableValue = MakeGuid("7f94345a-a733-4c0f-8067-4d9fdee10f0d");
inline constexpr IID IID_IHostIntegerValue = MakeGuid("a2695372-3b0f-4de5-8414-3d2c6dabcdc9");

inline constexpr IID IID_IHostNamedPropertyOwner = MakeGuid("4076cffb-8470-4209-8582-adae16883c58");
inline constexpr IID IID_IHostNamedPropertyCollection = MakeGuid("eaf57a41-5106-4fd6-9076-f7bfd88fc204");
inline constexpr IID IID_IHostNamedProperty = MakeGuid("b934e5a5-3c7f-4f23-a30e-e05ab560e7ee");
inline constexpr IID IID_IHostPropertyValueEntry = MakeGuid("215de20f-b2a5-4a21-8e73-b0d48f901891");
inline constexpr IID IID_IHostIntPropertyValue = MakeGuid("e1b0446c-19b0-4295-838b-0990c90c7137");
inline constexpr IID IID_IHostDoublePropertyValue = MakeGuid("f36d2d22-d554-4405-92fe-5358e18248e4");
inline constexpr IID IID_IHostTextPropertyValue = MakeGuid("3de4ba0c-aee6-48b1-bcb8-b4689f0f6d96");

// Value kinds of a parameter and the value interface each answers.
inline constexpr int kHostParameterReal = 0;     // IHostRealValue (sub-kind 0), IHostExpressionValue (1)
inline constexpr int kHostParameterList = 1;     // IHostListValue
inline constexpr int kHostParameterTable = 2;    // IHostTableValue
inline constexpr int kHostParameterInteger = 3;  // IHostIntegerValue
inline constexpr int kHostParameterText = 4;     // no numeric value
inline constexpr int kHostParameterOutput = 5;   // IHostOutputValue (sub-kind 1); none for sub-kind 0
// Sub-kinds: a value the user sets, or one the host derives (an expression, a computed output).
inline constexpr int kHostParameterInput = 0;
inline constexpr int kHostParameterDerived = 1;

// The type code of a plain value entry of a named property.
inline constexpr int kHostPlainPropertyValue = 0;

struct IHostParameter : IUnknown {
    static constexpr const IID& iid() { return IID_IHostParameter; }
    // A new reference to the value object (see the value interfaces below); S_OK and null when
    // the parameter has none.
    [[nodiscard]] virtual HRESULT GetValueObject(IUnknown** value) = 0;
    [[nodiscard]] virtual HRESULT GetKind(int& kind) = 0;
    [[nodiscard]] virtual HRESULT GetSubKind(int& subKind) = 0;
    // A new BSTR the caller frees.
    [[nodiscard]] virtual HRESULT GetName(BSTR* name) = 0;
    // The name is borrowed.
    [[nodiscard]] virtual HRESULT SetName(BSTR name) = 0;
    // The text the host shows beside the parameter; a new BSTR the caller frees.
    [[nodiscard]] virtual HRESULT GetDescription(BSTR* text) = 0;
    // VT_BSTR only (DISP_E_TYPEMISMATCH otherwise); the text is borrowed.
    [[nodiscard]] virtual HRESULT SetDescription(VARIANT text) = 0;
    [[nodiscard]] virtual HRESULT SetKind(int kind) = 0;
    [[nodiscard]] virtual HRESULT SetSubKind(int subKind) = 0;

  protected:
    ~IHostParameter() = default;
};

struct IHostParameterCollection : IUnknown {
    static constexpr const IID& iid() { return IID_IHostParameterCollection; }
    [[nodiscard]] virtual HRESULT GetCount(int& count) = 0;
    // `index` is VT_I4, from 0; the item with a new reference.
    [[nodiscard]] virtual HRESULT GetItem(VARIANT index, IHostParameter** item) = 0;

  protected:
    ~IHostParameterCollection() = default;
};

// The host's parameter-list component (created by class id).
struct IHostParameterManager : IUnknown {
    static constexpr const IID& iid() { return IID_IHostParameterManager; }
    [[nodiscard]] virtual HRESULT GetParameters(IHostParameterCollection** parameters) = 0;
    // Hands the host a named setting; the name is borrowed.
    [[nodiscard]] virtual HRESULT SetSetting(BSTR name, VARIANT value) = 0;

  protected:
    ~IHostParameterManager() = default;
};

// A study: its parameters by index, from 0.
struct IHostStudy : IUnknown {
    static constexpr const IID& iid() { return IID_IHostStudy; }
    [[nodiscard]] virtual HRESULT GetParameterCount(int& count) = 0;
    [[nodiscard]] virtual HRESULT GetParameter(int index, IHostParameter** parameter) = 0;

  protected:
    ~IHostStudy() = default;
};

// ---------------------------------------------------------------------------------------
// Value objects. A read the host cannot answer leaves the out value as it was.

// A real value the user sets, with its bounds and the value it started from.
struct IHostRealValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostRealValue; }
    [[nodiscard]] virtual HRESULT GetValue(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(double value) = 0;
    [[nodiscard]] virtual HRESULT GetLowerBound(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetLowerBound(double value) = 0;
    [[nodiscard]] virtual HRESULT GetUpperBound(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetUpperBound(double value) = 0;
    [[nodiscard]] virtual HRESULT GetReferenceValue(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetReferenceValue(double value) = 0;

  protected:
    ~IHostRealValue() = default;
};

// A real value the host derives from an expression.
struct IHostExpressionValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostExpressionValue; }
    [[nodiscard]] virtual HRESULT GetValue(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(double value) = 0;

  protected:
    ~IHostExpressionValue() = default;
};

// A numeric output of the study.
struct IHostOutputValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostOutputValue; }
    [[nodiscard]] virtual HRESULT GetValue(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(double value) = 0;

  protected:
    ~IHostOutputValue() = default;
};

// A list of real entries, one of them current.
struct IHostListValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostListValue; }
    [[nodiscard]] virtual HRESULT GetCurrentIndex(int& index) = 0;
    [[nodiscard]] virtual HRESULT GetValueAt(int index, double& value) = 0;
    [[nodiscard]] virtual HRESULT SetValueAt(int index, double value) = 0;
    [[nodiscard]] virtual HRESULT GetEntryCount(int& count) = 0;
    // Entries added are 0.0; the current index is forgotten when it falls outside.
    [[nodiscard]] virtual HRESULT SetEntryCount(int count) = 0;
    [[nodiscard]] virtual HRESULT GetLowerBound(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetLowerBound(double value) = 0;
    [[nodiscard]] virtual HRESULT GetUpperBound(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetUpperBound(double value) = 0;
    // Makes the first entry equal to the value current; E_INVALIDARG when none is.
    [[nodiscard]] virtual HRESULT SelectValue(double value) = 0;

  protected:
    ~IHostListValue() = default;
};

// A table of entries (rows), each a list of cells that are numbers or texts, one entry current.
// Column -1 is an entry's value: its last cell. Entry count -1 is the number of entries.
struct IHostTableValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostTableValue; }
    [[nodiscard]] virtual HRESULT GetCurrentIndex(int& index) = 0;
    [[nodiscard]] virtual HRESULT GetEntryCount(int index, int& count) = 0;
    [[nodiscard]] virtual HRESULT GetCell(int index, int column, VARIANT* cell) = 0;
    // A number or a text; the index and column may name the place just past the end.
    [[nodiscard]] virtual HRESULT SetCell(int index, int column, VARIANT cell) = 0;
    [[nodiscard]] virtual HRESULT GetLowerBound(double& value) = 0;
    [[nodiscard]] virtual HRESULT GetUpperBound(double& value) = 0;

  protected:
    ~IHostTableValue() = default;
};

// An integer value and the step between the values the user may choose.
struct IHostIntegerValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostIntegerValue; }
    [[nodiscard]] virtual HRESULT GetValue(std::int32_t& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(std::int32_t value) = 0;
    [[nodiscard]] virtual HRESULT GetStep(std::int16_t& step) = 0;
    [[nodiscard]] virtual HRESULT SetStep(std::int16_t step) = 0;

  protected:
    ~IHostIntegerValue() = default;
};

// ---------------------------------------------------------------------------------------
// Named properties.

struct IHostNamedProperty;
struct IHostNamedPropertyCollection;
struct IHostPropertyValueEntry;

// A host object that carries named properties.
struct IHostNamedPropertyOwner : IUnknown {
    static constexpr const IID& iid() { return IID_IHostNamedPropertyOwner; }
    [[nodiscard]] virtual HRESULT GetNamedProperties(IHostNamedPropertyCollection** properties) = 0;

  protected:
    ~IHostNamedPropertyOwner() = default;
};

struct IHostNamedPropertyCollection : IUnknown {
    static constexpr const IID& iid() { return IID_IHostNamedPropertyCollection; }
    [[nodiscard]] virtual HRESULT GetCount(int& count) = 0;
    // `index` is VT_I4, from 0.
    [[nodiscard]] virtual HRESULT GetItem(VARIANT index, IHostNamedProperty** item) = 0;
    // The first item of that name whose first value entry has the type code; S_FALSE and null
    // when there is none. The name is borrowed.
    [[nodiscard]] virtual HRESULT Find(int typeCode, BSTR name, IHostNamedProperty** item) = 0;
    // Appends an item with one plain value entry holding the value (VT_I4, VT_R8 or VT_BSTR;
    // DISP_E_TYPEMISMATCH otherwise). `item` may be null.
    [[nodiscard]] virtual HRESULT Add(BSTR name, VARIANT value, IHostNamedProperty** item) = 0;

  protected:
    ~IHostNamedPropertyCollection() = default;
};

struct IHostNamedProperty : IUnknown {
    static constexpr const IID& iid() { return IID_IHostNamedProperty; }
    // A new BSTR the caller frees.
    [[nodiscard]] virtual HRESULT GetName(BSTR* name) = 0;
    [[nodiscard]] virtual HRESULT GetEntryCount(int& count) = 0;
    [[nodiscard]] virtual HRESULT GetEntry(int index, IHostPropertyValueEntry** entry) = 0;

  protected:
    ~IHostNamedProperty() = default;
};

struct IHostPropertyValueEntry : IUnknown {
    static constexpr const IID& iid() { return IID_IHostPropertyValueEntry; }
    [[nodiscard]] virtual HRESULT GetTypeCode(int& typeCode) = 0;
    // Answers one of the three typed interfaces below.
    [[nodiscard]] virtual HRESULT GetValueObject(IUnknown** value) = 0;

  protected:
    ~IHostPropertyValueEntry() = default;
};

struct IHostIntPropertyValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostIntPropertyValue; }
    [[nodiscard]] virtual HRESULT GetValue(std::int32_t& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(std::int32_t value) = 0;

  protected:
    ~IHostIntPropertyValue() = default;
};

struct IHostDoublePropertyValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostDoublePropertyValue; }
    [[nodiscard]] virtual HRESULT GetValue(double& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(double value) = 0;

  protected:
    ~IHostDoublePropertyValue() = default;
};

struct IHostTextPropertyValue : IUnknown {
    static constexpr const IID& iid() { return IID_IHostTextPropertyValue; }
    // A new BSTR the caller frees.
    [[nodiscard]] virtual HRESULT GetValue(BSTR* value) = 0;
    // The text is borrowed.
    [[nodiscard]] virtual HRESULT SetValue(BSTR value) = 0;

  protected:
    ~IHostTextPropertyValue() = default;
};
