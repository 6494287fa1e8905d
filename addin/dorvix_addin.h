// The add-in object the host creates when it loads the add-in. On load it waits for the host's
// simulation applet to appear; then, once, it subscribes to the applet's project and object
// events and to the host's options, hands the applet to the services and registers the add-in's
// solver proxy with the host. Its handlers keep the add-in's data with the host project, keep
// the significant digits in step with the host option, drop the settings objects the host
// deleted and keep the "Dorvix " prefix on the names of analyses this solver solves.
// No exception leaves any of its operations.
#pragma once

#include <cstdint>

#include "host/addin_host.h"
#include "host/dorvix_proxy_interface.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "runtime/dorvix_addin_interface.h"
#include "runtime/xen_com_object.h"

class CDorvixAddin : public ComObject<CDorvixAddin, DorvixAddinDispatch>, public CXenComObject {
  public:
    static constexpr const wchar_t* kDigitsOption = L"PID_Sig_Digits";
    static constexpr const wchar_t* kProxyName = L"Dorvix_Solver";
    static constexpr const wchar_t* kSolverName = L"Dorvix";
    static constexpr const wchar_t* kNamePrefix = L"Dorvix ";
    static constexpr const wchar_t* kProjectStream = L"DORVIX_ADDIN_STREAM";
    static constexpr std::int32_t kProjectStreamVersion = 1;
    // Properties of a host settings object: the id of its analysis and of the analysis' parent.
    static constexpr int kAnalysisProperty = 105;
    static constexpr int kParentProperty = 104;

    // Each add-in object keeps the module loaded while it lives.
    CDorvixAddin();
    ~CDorvixAddin() override;

    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID iid, void** out);

    // Keeps the manager (the host's add-in manager, asked for IQHAddinManager) and subscribes
    // the context handler to its context-change event. S_OK.
    [[nodiscard]] HRESULT OnLoad(IDispatch* manager) override;
    // Withdraws every handler, unregisters the proxy, drops its settings objects and destroys
    // the services. S_OK.
    [[nodiscard]] HRESULT OnUnload() override;

    // Event handlers: the event's sender and argument. A missing host object ends a handler
    // with S_OK, keeping what it had done.
    [[nodiscard]] HRESULT OnContextChange(IUnknown* sender, IUnknown* argument);
    [[nodiscard]] HRESULT OnOptionsChanged(IUnknown* sender, IUnknown* argument);
    [[nodiscard]] HRESULT RefreshApplet(IUnknown* sender, IUnknown* argument);
    [[nodiscard]] HRESULT OnProjectReset(IUnknown* sender, IUnknown* argument);
    [[nodiscard]] HRESULT OnObjectDeleted(IUnknown* sender, IUnknown* argument);
    [[nodiscard]] HRESULT OnObjectNaming(IUnknown* sender, IUnknown* argument);
    // E_FAIL without a storage, a stream, a proxy or a step of the proxy's data; else the
    // stream's commit answer.
    [[nodiscard]] HRESULT OnSaveProject(IUnknown* sender, IUnknown* argument);
    // E_FAIL without a storage, a stream or a proxy, for a stream of another version and when
    // the proxy cannot resume its data (its objects then stay as they were). The reason of a
    // failure is left as the thread's error information.
    [[nodiscard]] HRESULT OnResumeProject(IUnknown* sender, IUnknown* argument);

    [[nodiscard]] HRESULT CreateProxy(REFCLSID clsid, IUnknown* outer, std::uint32_t context,
                                      IDorvixProxy** out);
    void ClearAnalysisSettingsObjects();

    // The registered proxy; null before the applet context arrives or without a solver registry.
    ComPtr<IDorvixProxy> Proxy() const { return proxy_; }
    bool WaitsForApplet() const { return attach_; }

  private:
    using Handler = HRESULT (CDorvixAddin::*)(IUnknown*, IUnknown*);
    using EventGetter = HRESULT (IQHApplet::*)(IDispatch**);

    struct AppletSubscription {
        EventGetter event;
        Handler handler;
    };
    static const AppletSubscription kAppletSubscriptions[6];

    [[nodiscard]] HRESULT Subscribe(IDispatch* event, Handler handler);
    [[nodiscard]] HRESULT Unsubscribe(IDispatch* event, Handler handler);
    // The applet and the root of the context; false when the context lacks either.
    bool KeepContextItems(IQHContext& context);
    bool HandStringSource();
    bool FollowOptions();
    void RegisterProxy();
    void WithdrawContextHandler();
    void WithdrawAppletHandlers();
    void WithdrawOptionsHandler();
    void ReleaseMembers();

    bool attach_ = true;
    ComPtr<IQHAddinManager> manager_;
    ComPtr<IQHRoot> root_;
    ComPtr<IQHApplet> applet_;
    ComPtr<IDorvixProxy> proxy_;
    ComPtr<IQHOptions> options_;
};

// The creator the registry and the module's class factory use.
[[nodiscard]] HRESULT CreateDorvixAddin(IUnknown* outer, REFIID iid, void** out);
// Makes the add-in object creatable by CLSID_DorvixAddin through the creation registry.
[[nodiscard]] HRESULT RegisterDorvixAddinClass();
