// What a loaded add-in asks of the host framework: the add-in manager that announces context
// changes, the context (the simulation applet and the host's root), the applet with its project
// and object events, the events' delegates that take handler objects, the options, the
// registry of solvers and the project storage the add-in keeps its data in.
#pragma once

#include <string>

#include "platform/com.h"
#include "platform/dispatch.h"

// The names the host and the add-in agree on: the simulation applet's context, the context's
// items (the applet and the host's root) and the applet's application among the root's.
inline constexpr const wchar_t* kQHAppletContextName = L"QH.JXApplet";
inline constexpr const wchar_t* kQHAppletItem = L"QH.Applet";
inline constexpr const wchar_t* kQHRootItem = L"QH";
inline constexpr const wchar_t* kQHAppletApplicationName = L"JXApplet";

// An event handler the add-in hands to a host delegate. The delegate keeps a clone and calls
// it with the event's sender and argument; removal passes a handler equal to the one added
// (same target and same operation).
class CQHEventHandlerBase {
  public:
    virtual ~CQHEventHandlerBase() = default;
    [[nodiscard]] virtual HRESULT Invoke(IUnknown* sender, IUnknown* argument) = 0;
    // A copy on the heap; the caller destroys it with Destroy.
    virtual CQHEventHandlerBase* Clone() const = 0;
    // Whether both handlers call the same operation on the same target.
    virtual bool SameAs(const CQHEventHandlerBase& other) const = 0;
    static void Destroy(CQHEventHandlerBase* handler) { delete handler; }
};

inline constexpr IID IID_IQHDelegate = MakeGuid("157b57be-945c-482d-8ec0-6ba08aae621a");
inline constexpr IID IID_IQHAddinManager = MakeGuid("a4d2c7e1-3b58-4f90-8e26-71c9b0d5f342");
inline constexpr IID IID_IQHContext = MakeGuid("e8a1f5c3-62d4-4b7e-9f10-2c5d8b3a7e64");
inline constexpr IID IID_IQHRoot = MakeGuid("74f97bb5-8b9b-4e24-a62d-effebde22104");
inline constexpr IID IID_IQHApplicationList = MakeGuid("3f6b9e20-d1c8-47a5-b3e9-5a0f2c8d6b71");
inline constexpr IID IID_IQHApplication = MakeGuid("b27d4c85-9e13-4a6f-8d50-e3c1f7a92b06");
inline constexpr IID IID_IQHApplet = MakeGuid("193fe0d0-549c-4579-9892-7c54bcaf94b2");
inline constexpr IID IID_IQHOptions = MakeGuid("6c9e2a47-f083-4d1b-a5c2-98e7b4f1d3a0");
inline constexpr IID IID_IJXSolverRegistry = MakeGuid("d5a83f16-2c7b-4e94-b1d8-0f6a9c3e5b27");
inline constexpr IID IID_IQHProjectStorage = MakeGuid("81e4b7c2-5f3a-4d69-9b0e-c6d2a8f47e15");
inline constexpr IID IID_IQHProjectStream = MakeGuid("2a7c5e91-b4d3-4f08-86e1-d9b3f6c0a724");
inline constexpr IID IID_IHostAnalysisSolver = MakeGuid("f0b6d823-7a1e-4c95-a3f4-5e8c2b9d6a13");

// The delegate behind one host event (obtained from the IDispatch an event getter answers).
struct IQHDelegate : IUnknown {
    static constexpr const IID& iid() { return IID_IQHDelegate; }
    // Keeps a clone of the handler.
    [[nodiscard]] virtual HRESULT AddHandler(const CQHEventHandlerBase& handler) = 0;
    // Drops the kept handler equal to this one; S_FALSE when there is none.
    [[nodiscard]] virtual HRESULT RemoveHandler(const CQHEventHandlerBase& handler) = 0;

  protected:
    ~IQHDelegate() = default;
};

struct IQHAddinManager : IDispatch {
    using BaseInterface = IDispatch;
    static constexpr const IID& iid() { return IID_IQHAddinManager; }
    // The context-change event; its argument answers IQHContext.
    [[nodiscard]] virtual HRESULT get_OnContextChange(IDispatch** event) = 0;

  protected:
    ~IQHAddinManager() = default;
};

struct IQHContext : IUnknown {
    static constexpr const IID& iid() { return IID_IQHContext; }
    [[nodiscard]] virtual HRESULT get_Name(BSTR* name) = 0;
    // An item of the context by name ("QH.Applet", "QH"); VT_EMPTY when it has none.
    [[nodiscard]] virtual HRESULT get_Item(BSTR name, VARIANT* item) = 0;

  protected:
    ~IQHContext() = default;
};

// The host's root object.
struct IQHRoot : IUnknown {
    static constexpr const IID& iid() { return IID_IQHRoot; }
    // The host's applications (answering IQHApplicationList).
    [[nodiscard]] virtual HRESULT get_Applications(IUnknown** applications) = 0;
    // The options object (answering IQHOptions).
    [[nodiscard]] virtual HRESULT get_Options(IUnknown** options) = 0;

  protected:
    ~IQHRoot() = default;
};

struct IQHApplicationList : IUnknown {
    static constexpr const IID& iid() { return IID_IQHApplicationList; }
    // The application with the name (answering IQHApplication); S_FALSE and null when none.
    [[nodiscard]] virtual HRESULT get_Item(BSTR name, IUnknown** application) = 0;

  protected:
    ~IQHApplicationList() = default;
};

struct IQHApplication : IUnknown {
    static constexpr const IID& iid() { return IID_IQHApplication; }
    // The object carrying the application's string table (answering IHostStringTable).
    [[nodiscard]] virtual HRESULT get_StringSource(IUnknown** source) = 0;

  protected:
    ~IQHApplication() = default;
};

// The simulation applet: its project and object events, its solver registry and its
// current object (which answers IHostApplet).
struct IQHApplet : IUnknown {
    static constexpr const IID& iid() { return IID_IQHApplet; }
    [[nodiscard]] virtual HRESULT get_OnProjectReset(IDispatch** event) = 0;
    [[nodiscard]] virtual HRESULT get_OnRefresh(IDispatch** event) = 0;
    // Argument: the deleted host object.
    [[nodiscard]] virtual HRESULT get_OnObjectDeleted(IDispatch** event) = 0;
    // Argument: the host object being named.
    [[nodiscard]] virtual HRESULT get_OnObjectNaming(IDispatch** event) = 0;
    // Argument of save and resume: the project storage (IQHProjectStorage).
    [[nodiscard]] virtual HRESULT get_OnSaveProject(IDispatch** event) = 0;
    [[nodiscard]] virtual HRESULT get_OnResumeProject(IDispatch** event) = 0;
    // The registry (IJXSolverRegistry); S_FALSE and null when the applet has none.
    [[nodiscard]] virtual HRESULT get_SolverRegistry(IUnknown** registry) = 0;
    // S_FALSE and null when there is no current object.
    [[nodiscard]] virtual HRESULT get_CurrentObject(IUnknown** object) = 0;

  protected:
    ~IQHApplet() = default;
};

struct IQHOptions : IUnknown {
    static constexpr const IID& iid() { return IID_IQHOptions; }
    // VT_EMPTY and S_FALSE for an unknown option.
    [[nodiscard]] virtual HRESULT GetOption(BSTR name, VARIANT* value) = 0;
    [[nodiscard]] virtual HRESULT get_OnChange(IDispatch** event) = 0;

  protected:
    ~IQHOptions() = default;
};

// The solvers the host offers for its analyses, each through its proxy.
struct IJXSolverRegistry : IUnknown {
    static constexpr const IID& iid() { return IID_IJXSolverRegistry; }
    // Keeps a reference; the proxy answers its name through IXenSolverProxy.
    [[nodiscard]] virtual HRESULT RegisterSolver(IUnknown* proxy) = 0;
    [[nodiscard]] virtual HRESULT UnregisterSolver(IUnknown* proxy) = 0;
    // The proxy registered under the name; S_FALSE and null when none.
    [[nodiscard]] virtual HRESULT FindSolver(BSTR name, IUnknown** proxy) = 0;

  protected:
    ~IJXSolverRegistry() = default;
};

// The project's storage: named streams, each answering IXenMultiplatformStream and
// IQHProjectStream.
struct IQHProjectStorage : IUnknown {
    static constexpr const IID& iid() { return IID_IQHProjectStorage; }
    // A new, empty stream that replaces a stream of that name once it is committed.
    [[nodiscard]] virtual HRESULT CreateStream(BSTR name, IUnknown** stream) = 0;
    // The committed stream of that name, read from its start; STG_E_FILENOTFOUND-like
    // failure (E_FAIL) when there is none.
    [[nodiscard]] virtual HRESULT OpenStream(BSTR name, IUnknown** stream) = 0;

  protected:
    ~IQHProjectStorage() = default;
};

struct IQHProjectStream : IUnknown {
    static constexpr const IID& iid() { return IID_IQHProjectStream; }
    [[nodiscard]] virtual HRESULT Commit() = 0;

  protected:
    ~IQHProjectStream() = default;
};

// The solver an analysis object is solved with.
struct IHostAnalysisSolver : IUnknown {
    static constexpr const IID& iid() { return IID_IHostAnalysisSolver; }
    [[nodiscard]] virtual HRESULT GetSolverName(std::wstring& name) = 0;

  protected:
    ~IHostAnalysisSolver() = default;
};
