// The add-in's dual interface: the host's add-in contract, which the add-in object serves
// through early binding and, described by its type information, through late binding.
#pragma once

#include "platform/com.h"
#include "platform/dispatch.h"
#include "runtime/xen_dispatch.h"

inline constexpr IID IID_IQHAddin = MakeGuid("ad518575-45f9-4223-85c5-9f0ec6b3b0c6");
inline constexpr IID IID_IDorvixAddin = MakeGuid("e64f3834-a581-48c3-bd70-a541b8729a70");

// What the host calls when it loads and unloads an add-in.
struct IQHAddin : IDispatch {
    using BaseInterface = IDispatch;
    static constexpr const IID& iid() { return IID_IQHAddin; }
    // `manager` is the host's add-in manager; the add-in asks it for the interfaces it needs.
    [[nodiscard]] virtual HRESULT OnLoad(IDispatch* manager) = 0;
    [[nodiscard]] virtual HRESULT OnUnload() = 0;

  protected:
    ~IQHAddin() = default;
};

// The add-in's own interface adds nothing to the host's contract.
struct IDorvixAddin : IQHAddin {
    using BaseInterface = IQHAddin;
    static constexpr const IID& iid() { return IID_IDorvixAddin; }

  protected:
    ~IDorvixAddin() = default;
};

inline constexpr DISPID DISPID_DorvixAddin_OnLoad = 1;
inline constexpr DISPID DISPID_DorvixAddin_OnUnload = 2;

// The type information of IDorvixAddin, loaded on first use, shared by every add-in object.
XenComTypeInfoHolder& DorvixAddinTypeInfo();

// The IDispatch half of the add-in object's dual interface; the object supplies OnLoad and
// OnUnload.
using DorvixAddinDispatch = IXenDispatchImpl<IDorvixAddin, &DorvixAddinTypeInfo>;
