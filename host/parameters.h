// The host's study parameters: each has a value kind, a sub-kind, a name and a value object
// whose interface depends on the kind; the parameter-list component hands out all of them.
#pragma once

#include "platform/com.h"

inline constexpr CLSID CLSID_HostParameterManager = MakeGuid("d8af0c30-db9d-4a11-a716-6fd99ca0d00e");
inline constexpr IID IID_IHostParameterManager = MakeGuid("2a988b8b-8038-4f77-af83-4b5c83ef5a28");
inline constexpr IID IID_IHostParameterCollection = MakeGuid("0b7e2c94-5a13-4d8f-9c61-e84f2a7d3b05");
inline constexpr IID IID_IHostParameter = MakeGuid("6f4a9d21-c83e-4b57-a0f2-19d7e5c36b48");

struct IHostParameter : IUnknown {
    static constexpr const IID& iid() { return IID_IHostParameter; }
    // A new reference to the value object (see the value interfaces below).
    [[nodiscard]] virtual HRESULT GetValueObject(IUnknown** value) = 0;
    [[nodiscard]] virtual HRESULT GetKind(int& kind) = 0;
    [[nodiscard]] virtual HRESULT GetSubKind(int& subKind) = 0;
    // A new BSTR the caller frees.
    [[nodiscard]] virtual HRESULT GetName(BSTR* name) = 0;

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
