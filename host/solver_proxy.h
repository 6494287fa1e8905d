// How the host sees a solver through its proxy: the solver's display name and the ProgID of
// its solver object, the analyses it accepts, the settings objects it makes for host objects,
// and the proxy's share of the project data.
#pragma once

#include "host/analysis_settings_addin.h"
#include "host/multiplatform_stream.h"
#include "host/object_types.h"
#include "platform/com.h"

inline constexpr IID IID_IXenSolverProxy = MakeGuid("630bd105-59d9-4ecd-be87-78f1a3810c6e");
inline constexpr IID IID_ISolverValidation = MakeGuid("2fc1629a-19ba-4f51-a35a-97d6197dccf2");
inline constexpr IID IID_ISolverDatabase = MakeGuid("96767c43-eb79-4627-a614-07b61a18bb93");
inline constexpr IID IID_IJXObjectsAddinProvider = MakeGuid("3ecd0a2b-85ca-40e2-8cb5-fc4c882f56af");

struct IXenSolverProxy : IUnknown {
    static constexpr const IID& iid() { return IID_IXenSolverProxy; }
    [[nodiscard]] virtual HRESULT get_Name(BSTR* name) = 0;
    [[nodiscard]] virtual HRESULT put_Name(BSTR name) = 0;
    [[nodiscard]] virtual HRESULT get_Solver(BSTR* progId) = 0;
    [[nodiscard]] virtual HRESULT put_Solver(BSTR progId) = 0;

  protected:
    ~IXenSolverProxy() = default;
};

struct ISolverValidation : IUnknown {
    static constexpr const IID& iid() { return IID_ISolverValidation; }
    [[nodiscard]] virtual HRESULT CheckSolverValidity(JXPhysicsType physics, JXSimulationType analysis,
                                                      VARIANT_BOOL* valid) = 0;

  protected:
    ~ISolverValidation() = default;
};

struct ISolverDatabase : IUnknown {
    static constexpr const IID& iid() { return IID_ISolverDatabase; }
    [[nodiscard]] virtual HRESULT SaveDB(IXenMultiplatformStream* stream) = 0;
    [[nodiscard]] virtual HRESULT ResumeDB(IXenMultiplatformStream* stream) = 0;

  protected:
    ~ISolverDatabase() = default;
};

struct IJXObjectsAddinProvider : IUnknown {
    static constexpr const IID& iid() { return IID_IJXObjectsAddinProvider; }
    [[nodiscard]] virtual HRESULT IsObjectTypeSupported(int objectType, VARIANT_BOOL* supported) = 0;
    [[nodiscard]] virtual HRESULT CreateObject(int objectType, int id) = 0;
    [[nodiscard]] virtual HRESULT GetObject(int objectType, int id, IUnknown** object) = 0;
    [[nodiscard]] virtual HRESULT DeleteObject(int objectType, int id) = 0;
    [[nodiscard]] virtual HRESULT ClearObjects() = 0;

  protected:
    ~IJXObjectsAddinProvider() = default;
};
