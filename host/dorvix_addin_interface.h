// The add-in object as the host loads it: the host's add-in contract (IQHAddin), the add-in's
// own dual interface over it, the dispatch ids its type information gives both operations, and
// the class id and ProgID the host creates the object by. The host takes them from the add-in
// module's type information; the module implements them.
#pragma once

#include "platform/com.h"
#include "platform/dispatch.h"

inline constexpr CLSID CLSID_DorvixAddin = MakeGuid("754706da-154c-4a95-935f-c3006264668b");
inline constexpr const wchar_t* kDorvixAddinProgId = L"DorvixSolver.DorvixAddin.120";

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
