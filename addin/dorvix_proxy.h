// The solver proxy the add-in registers with the host: the solver's display name and the
// ProgID of its solver object, the analyses the solver accepts, the analysis-settings objects
// it makes and keeps for the host's settings objects, and their share of the project data.
// No exception leaves any of its operations.
#pragma once

#include <map>

#include "host/dorvix_proxy_interface.h"
#include "host/solver_proxy.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "runtime/xen_com_object.h"

class CDorvixProxy : public ComObject<CDorvixProxy, IDorvixProxy, IXenSolverProxy, ISolverValidation,
                                      ISolverDatabase, IJXObjectsAddinProvider>,
                     public CXenComObject {
  public:
    // Each proxy keeps the module loaded while it lives.
    CDorvixProxy();
    ~CDorvixProxy() override;

    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID iid, void** out);

    // IDorvixProxy and IXenSolverProxy. A copy that cannot be made answers E_OUTOFMEMORY and
    // leaves the stored value alone.
    [[nodiscard]] HRESULT get_Name(BSTR* name) override;
    [[nodiscard]] HRESULT put_Name(BSTR name) override;
    [[nodiscard]] HRESULT get_Solver(BSTR* progId) override;
    [[nodiscard]] HRESULT put_Solver(BSTR progId) override;
    // Mechanical static, transient, buckling and modal; thermal static and transient.
    [[nodiscard]] HRESULT CheckSolverValidity(JXPhysicsType physics, JXSimulationType analysis,
                                              VARIANT_BOOL* valid) override;

    // ISolverDatabase. The record: INT version 1, INT count, then per held object the host
    // still knows, in ascending id order, UINT id and the object's own record.
    [[nodiscard]] HRESULT SaveDB(IXenMultiplatformStream* stream) override;
    // Reads every record into a fresh settings object of the held object's types and puts the
    // fresh objects in place only once the whole record set has been read: a record of an id
    // the proxy does not hold, a negative count or one larger than the bytes left can carry, or
    // any failed read answers E_FAIL (or the failure) and leaves the held objects as they were.
    [[nodiscard]] HRESULT ResumeDB(IXenMultiplatformStream* stream) override;

    // IJXObjectsAddinProvider: analysis settings (host type 429) only.
    [[nodiscard]] HRESULT IsObjectTypeSupported(int objectType, VARIANT_BOOL* supported) override;
    [[nodiscard]] HRESULT CreateObject(int objectType, int id) override;
    [[nodiscard]] HRESULT GetObject(int objectType, int id, IUnknown** object) override;
    [[nodiscard]] HRESULT DeleteObject(int objectType, int id) override;
    [[nodiscard]] HRESULT ClearObjects() override;

  private:
    using HeldObjects = std::map<int, ComPtr<IUnknown>>;

    [[nodiscard]] HRESULT ResumeRecords(IXenMultiplatformStream* stream, HeldObjects& resumed) const;

    BstrHolder name_;
    BstrHolder solver_;
    HeldObjects objects_;
};

// Creates a proxy answering `iid` (no aggregation).
[[nodiscard]] HRESULT CreateDorvixProxy(IUnknown* outer, REFIID iid, void** out);
// Makes the proxy creatable by CLSID_DorvixProxy through the creation registry.
[[nodiscard]] HRESULT RegisterDorvixProxyClass();
