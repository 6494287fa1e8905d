// The solver proxy's own interface: the solver's display name, the ProgID of its solver object
// and the analyses it accepts. The class id and ProgID the add-in creates the proxy by.
#pragma once

#include "host/analysis_settings_addin.h"
#include "platform/com.h"

inline constexpr CLSID CLSID_DorvixProxy = MakeGuid("cda7510d-6c5f-4f7c-8df5-a490a6e6de21");
inline constexpr const wchar_t* kDorvixProxyProgId = L"DorvixSolver.DorvixProxy.120";
inline constexpr IID IID_IDorvixProxy = MakeGuid("93271765-0f6e-453a-8752-22232c8947a2");

struct IDorvixProxy : IUnknown {
    static constexpr const IID& iid() { return IID_IDorvixProxy; }
    // E_POINTER for a null out; a new copy of the name, null when none is set.
    [[nodiscard]] virtual HRESULT get_Name(BSTR* name) = 0;
    // Keeps a copy; null clears the name.
    [[nodiscard]] virtual HRESULT put_Name(BSTR name) = 0;
    [[nodiscard]] virtual HRESULT get_Solver(BSTR* progId) = 0;
    [[nodiscard]] virtual HRESULT put_Solver(BSTR progId) = 0;
    // S_OK with `valid` VARIANT_TRUE for the analyses the solver accepts, VARIANT_FALSE otherwise.
    [[nodiscard]] virtual HRESULT CheckSolverValidity(JXPhysicsType physics, JXSimulationType analysis,
                                                      VARIANT_BOOL* valid) = 0;

  protected:
    ~IDorvixProxy() = default;
};
