// The add-in's handlers: the one-time attach to the applet, project save and resume, analysis names, digits.
#include "addin/dorvix_addin.h"

#include <new>
#include <string>

#include "addin/qh_event_handler.h"
#include "host/analysis_host.h"
#include "host/multiplatform_stream.h"
#include "host/object_model.h"
#include "host/solver_interfaces.h"
#include "host/solver_proxy.h"
#include "platform/creation_registry.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "runtime/addin_services.h"

namespace {

template <class I>
ComPtr<I> Ask(IUnknown* object) {
    ComPtr<I> answer;
    if (object) (void)object->QueryInterface(I::iid(), answer.ReleaseAndGetVoidAddress());
    return answer;
}

// The interface an item of the context carries, when the item is an interface of an accepted
// kind.
template <class I>
ComPtr<I> ContextItem(IQHContext& context, const wchar_t* name, bool acceptUnknown) {
    BstrHolder key(name);
    VariantHolder item;
    if (key.IsNull() || FAILED(context.get_Item(key.Get(), item.ReleaseAndGet()))) return nullptr;
    const bool accepted = item.Type() == VT_DISPATCH || (acceptUnknown && item.Type() == VT_UNKNOWN);
    return accepted ? Ask<I>(item->punkVal) : nullptr;
}

bool HasNamePrefix(const std::wstring& name) {
    const std::wstring_view prefix(CDorvixAddin::kNamePrefix);
    return name.size() >= prefix.size() &&
           platform::EqualsIgnoreAsciiCase(std::wstring_view(name).substr(0, prefix.size()), prefix);
}

}  // namespace

// The applet's events in the order the add-in subscribes to them.
const CDorvixAddin::AppletSubscription CDorvixAddin::kAppletSubscriptions[6] = {
    {&IQHApplet::get_OnProjectReset, &CDorvixAddin::OnProjectReset},
    {&IQHApplet::get_OnRefresh, &CDorvixAddin::RefreshApplet},
    {&IQHApplet::get_OnObjectDeleted, &CDorvixAddin::OnObjectDeleted},
    {&IQHApplet::get_OnObjectNaming, &CDorvixAddin::OnObjectNaming},
    {&IQHApplet::get_OnSaveProject, &CDorvixAddin::OnSaveProject},
    {&IQHApplet::get_OnResumeProject, &CDorvixAddin::OnResumeProject},
};

CDorvixAddin::CDorvixAddin() { ModuleLock(); }

CDorvixAddin::~CDorvixAddin() {
    // A host that releases the add-in without unloading it must not keep handlers that call a
    // destroyed object.
    WithdrawContextHandler();
    WithdrawAppletHandlers();
    WithdrawOptionsHandler();
    ReleaseMembers();
    ModuleUnlock();
}

HRESULT CDorvixAddin::QueryInterfaceExtra(REFIID iid, void** out) {
    return QueryMarshaler(ControllingUnknown(), iid, out);
}

HRESULT CDorvixAddin::Subscribe(IDispatch* event, Handler handler) {
    ComPtr<IQHDelegate> delegate = Ask<IQHDelegate>(event);
    if (!delegate) return E_NOINTERFACE;
    return delegate->AddHandler(CQHEventHandler<CDorvixAddin>(this, handler));
}

HRESULT CDorvixAddin::Unsubscribe(IDispatch* event, Handler handler) {
    ComPtr<IQHDelegate> delegate = Ask<IQHDelegate>(event);
    if (!delegate) return E_NOINTERFACE;
    return delegate->RemoveHandler(CQHEventHandler<CDorvixAddin>(this, handler));
}

HRESULT CDorvixAddin::OnLoad(IDispatch* manager) {
    // A second load must not leave the first subscription behind: the earlier manager would
    // keep calling this object after it is gone.
    WithdrawContextHandler();
    manager_ = Ask<IQHAddinManager>(manager);
    if (!manager_) return S_OK;
    ComPtr<IDispatch> event;
    if (SUCCEEDED(manager_->get_OnContextChange(event.ReleaseAndGetAddressOf())))
        (void)Subscribe(event.Get(), &CDorvixAddin::OnContextChange);
    return S_OK;
}

HRESULT CDorvixAddin::OnUnload() try {
    WithdrawContextHandler();
    WithdrawAppletHandlers();
    ComPtr<IUnknown> registry;
    if (applet_ && proxy_ && SUCCEEDED(applet_->get_SolverRegistry(registry.ReleaseAndGetAddressOf()))) {
        if (ComPtr<IJXSolverRegistry> solvers = Ask<IJXSolverRegistry>(registry.Get()))
            (void)solvers->UnregisterSolver(proxy_.Get());
    }
    ClearAnalysisSettingsObjects();
    WithdrawOptionsHandler();
    AddinServices::ReleaseInstance();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

void CDorvixAddin::WithdrawContextHandler() {
    ComPtr<IDispatch> event;
    if (manager_ && SUCCEEDED(manager_->get_OnContextChange(event.ReleaseAndGetAddressOf())))
        (void)Unsubscribe(event.Get(), &CDorvixAddin::OnContextChange);
}

void CDorvixAddin::WithdrawAppletHandlers() {
    if (!applet_) return;
    for (const AppletSubscription& s : kAppletSubscriptions) {
        ComPtr<IDispatch> event;
        if (SUCCEEDED(((*applet_).*s.event)(event.ReleaseAndGetAddressOf())))
            (void)Unsubscribe(event.Get(), s.handler);
    }
}

void CDorvixAddin::WithdrawOptionsHandler() {
    ComPtr<IDispatch> event;
    if (options_ && SUCCEEDED(options_->get_OnChange(event.ReleaseAndGetAddressOf())))
        (void)Unsubscribe(event.Get(), &CDorvixAddin::OnOptionsChanged);
}

HRESULT CDorvixAddin::OnContextChange(IUnknown*, IUnknown* argument) try {
    ComPtr<IQHContext> context = Ask<IQHContext>(argument);
    if (!context) return S_OK;
    BstrHolder name;
    if (FAILED(context->get_Name(name.ReleaseAndGetAddressOf()))) return S_OK;
    if (name.View() != kQHAppletContextName || !attach_) return S_OK;
    // Everything below runs once for the add-in object, whatever becomes of it.
    attach_ = false;
    if (!KeepContextItems(*context)) return S_OK;
    if (!HandStringSource() || !FollowOptions()) return S_OK;
    for (const AppletSubscription& s : kAppletSubscriptions) {
        ComPtr<IDispatch> event;
        if (FAILED(((*applet_).*s.event)(event.ReleaseAndGetAddressOf())) || !event) return S_OK;
        if (FAILED(Subscribe(event.Get(), s.handler))) return S_OK;
    }
    RegisterProxy();
    (void)RefreshApplet(nullptr, nullptr);
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

bool CDorvixAddin::KeepContextItems(IQHContext& context) {
    ComPtr<IQHApplet> applet = ContextItem<IQHApplet>(context, kQHAppletItem, true);
    if (!applet) return false;
    applet_ = applet;
    ComPtr<IQHRoot> root = ContextItem<IQHRoot>(context, kQHRootItem, false);
    if (!root) return false;
    root_ = root;
    return true;
}

// The applet application's string table becomes the services' first source of texts; false when
// the host has no such application or table.
bool CDorvixAddin::HandStringSource() {
    ComPtr<IUnknown> applications, application, source;
    if (FAILED(root_->get_Applications(applications.ReleaseAndGetAddressOf()))) return false;
    ComPtr<IQHApplicationList> list = Ask<IQHApplicationList>(applications.Get());
    BstrHolder name(kQHAppletApplicationName);
    if (!list || name.IsNull() || FAILED(list->get_Item(name.Get(), application.ReleaseAndGetAddressOf())))
        return false;
    ComPtr<IQHApplication> applet = Ask<IQHApplication>(application.Get());
    if (!applet || FAILED(applet->get_StringSource(source.ReleaseAndGetAddressOf())) || !source) return false;
    // An object without a table of texts leaves the services with their own.
    (void)AddinServices::GetInstance().SetStringSource(source.Get());
    return true;
}

bool CDorvixAddin::FollowOptions() {
    ComPtr<IUnknown> options;
    if (FAILED(root_->get_Options(options.ReleaseAndGetAddressOf()))) return false;
    options_ = Ask<IQHOptions>(options.Get());
    if (!options_) return false;
    (void)OnOptionsChanged(nullptr, nullptr);
    ComPtr<IDispatch> event;
    if (FAILED(options_->get_OnChange(event.ReleaseAndGetAddressOf())) || !event) return false;
    return SUCCEEDED(Subscribe(event.Get(), &CDorvixAddin::OnOptionsChanged));
}

void CDorvixAddin::RegisterProxy() {
    ComPtr<IUnknown> registry;
    if (FAILED(applet_->get_SolverRegistry(registry.ReleaseAndGetAddressOf()))) return;
    ComPtr<IJXSolverRegistry> solvers = Ask<IJXSolverRegistry>(registry.Get());
    if (!solvers) return;
    if (FAILED(CreateProxy(CLSID_DorvixProxy, nullptr, CLSCTX_SERVER, proxy_.ReleaseAndGetAddressOf())) ||
        !proxy_)
        return;
    BstrHolder name(kDorvixProxyName), solver(kJXDorvixSolverProgId);
    (void)proxy_->put_Name(name.Get());
    (void)proxy_->put_Solver(solver.Get());
    (void)solvers->RegisterSolver(proxy_.Get());
}

HRESULT CDorvixAddin::CreateProxy(REFCLSID clsid, IUnknown* outer, std::uint32_t context,
                                  IDorvixProxy** out) {
    return Xen::Vexcomp::CoCreateInstance(clsid, outer, context, IDorvixProxy::iid(),
                                          reinterpret_cast<void**>(out));
}

void CDorvixAddin::ClearAnalysisSettingsObjects() {
    if (ComPtr<IJXObjectsAddinProvider> provider = Ask<IJXObjectsAddinProvider>(proxy_.Get()))
        (void)provider->ClearObjects();
}

HRESULT CDorvixAddin::OnOptionsChanged(IUnknown*, IUnknown*) try {
    if (!options_) return S_OK;
    BstrHolder name(kDigitsOption);
    VariantHolder value;
    if (name.IsNull() || FAILED(options_->GetOption(name.Get(), value.ReleaseAndGet()))) return S_OK;
    // An option that is not a whole number leaves the digits as they were.
    if (value.Type() != VT_EMPTY && SUCCEEDED(value.ChangeType(VT_I4)))
        AddinServices::GetInstance().SetSignificantDigits(value->lVal);
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAddin::RefreshApplet(IUnknown*, IUnknown*) try {
    if (!applet_) return S_OK;
    ComPtr<IUnknown> current;
    const HRESULT hr = applet_->get_CurrentObject(current.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr) && current) (void)AddinServices::GetInstance().SetApplet(current.Get());
    return hr;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAddin::OnProjectReset(IUnknown* sender, IUnknown* argument) {
    ClearAnalysisSettingsObjects();
    (void)RefreshApplet(sender, argument);
    return S_OK;
}

HRESULT CDorvixAddin::OnObjectDeleted(IUnknown*, IUnknown* argument) {
    ComPtr<IHostObject> object = Ask<IHostObject>(argument);
    int type = 0, id = 0;
    if (!object || FAILED(object->GetType(type)) || type != kHostAnalysisSettingsType) return S_OK;
    ComPtr<IJXObjectsAddinProvider> provider = Ask<IJXObjectsAddinProvider>(proxy_.Get());
    if (!provider || FAILED(object->GetId(id))) return S_OK;
    return provider->DeleteObject(kHostAnalysisSettingsType, id);
}

HRESULT CDorvixAddin::OnObjectNaming(IUnknown*, IUnknown* argument) try {
    ComPtr<IHostObject> settings = Ask<IHostObject>(argument);
    int type = 0, id = 0;
    if (!settings || FAILED(settings->GetType(type)) || type != kHostAnalysisSettingsType ||
        FAILED(settings->GetId(id)))
        return S_OK;
    AddinServices& services = AddinServices::GetInstance();
    const int parentId = services.GetObjectProperty(id, kHostParentProperty);
    ComPtr<IUnknown> analysis =
        services.GetObjectById(services.GetObjectProperty(id, kHostOwnerAnalysisProperty));
    ComPtr<IHostObject> named = Ask<IHostObject>(analysis.Get());
    ComPtr<IHostAnalysisSolver> solved = Ask<IHostAnalysisSolver>(analysis.Get());
    std::wstring name, solver;
    if (!named || !solved || FAILED(named->GetName(name)) || FAILED(solved->GetSolverName(solver)))
        return S_OK;
    std::wstring renamed;
    if (solver == kSolverName && !HasNamePrefix(name))
        renamed = kNamePrefix + name;
    else if (solver != kSolverName && HasNamePrefix(name))
        renamed = name.substr(std::wstring_view(kNamePrefix).size());
    else
        return S_OK;
    (void)services.MakeUniqueName(analysis.Get(), parentId, renamed, true);  // always 0
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAddin::OnSaveProject(IUnknown*, IUnknown* argument) try {
    ComPtr<IQHProjectStorage> storage = Ask<IQHProjectStorage>(argument);
    ComPtr<ISolverDatabase> database = Ask<ISolverDatabase>(proxy_.Get());
    BstrHolder name(kProjectStream);
    ComPtr<IUnknown> created;
    if (!storage || !database || name.IsNull() ||
        FAILED(storage->CreateStream(name.Get(), created.ReleaseAndGetAddressOf())))
        return E_FAIL;
    ComPtr<IXenMultiplatformStream> stream = Ask<IXenMultiplatformStream>(created.Get());
    ComPtr<IQHProjectStream> project = Ask<IQHProjectStream>(created.Get());
    if (!stream || !project || FAILED(stream->writeINT(kProjectStreamVersion)) ||
        FAILED(database->SaveDB(stream.Get())))
        return E_FAIL;
    return project->Commit();
} catch (...) {
    return AnswerCurrentFailure();
}

namespace {

// Leaves the reason the add-in's project data cannot be resumed as the thread's error
// information; answers E_FAIL.
[[nodiscard]] HRESULT RefuseProjectData(const std::wstring& reason) {
    return FailWithErrorInfo(kDorvixAddinProgId, reason);
}

}  // namespace

HRESULT CDorvixAddin::OnResumeProject(IUnknown*, IUnknown* argument) try {
    (void)SetErrorInfo(0, nullptr);
    ComPtr<IQHProjectStorage> storage = Ask<IQHProjectStorage>(argument);
    if (!storage) return E_FAIL;
    ComPtr<ISolverDatabase> database = Ask<ISolverDatabase>(proxy_.Get());
    if (!database) return RefuseProjectData(L"the add-in has no solver proxy to take its project data");
    BstrHolder name(kProjectStream);
    ComPtr<IUnknown> opened;
    if (name.IsNull()) return E_FAIL;
    if (FAILED(storage->OpenStream(name.Get(), opened.ReleaseAndGetAddressOf())))
        return RefuseProjectData(L"the project holds no data of the add-in (no stream \"" +
                                 std::wstring(kProjectStream) + L"\")");
    ComPtr<IXenMultiplatformStream> stream = Ask<IXenMultiplatformStream>(opened.Get());
    if (!stream) return E_FAIL;
    std::int32_t version = 0;
    if (FAILED(stream->readINT(&version)))
        return RefuseProjectData(L"the add-in's project data ends before its version");
    // A stream of another layout would be misread from here on.
    if (version != kProjectStreamVersion)
        return RefuseProjectData(L"the add-in's project data is of version " + std::to_wstring(version) +
                                 L"; this add-in reads version " + std::to_wstring(kProjectStreamVersion));
    // The proxy leaves its own reason.
    return SUCCEEDED(database->ResumeDB(stream.Get())) ? S_OK : E_FAIL;
} catch (...) {
    return AnswerCurrentFailure();
}

void CDorvixAddin::ReleaseMembers() {
    options_ = nullptr;
    proxy_ = nullptr;
    applet_ = nullptr;
    root_ = nullptr;
    manager_ = nullptr;
}

HRESULT CreateDorvixAddin(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstance<CDorvixAddin>(outer, iid, out);
}

HRESULT RegisterDorvixAddinClass() { return RegisterComponentClass(CLSID_DorvixAddin, &CreateDorvixAddin); }
