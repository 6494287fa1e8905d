// The framework's objects (event delegates, manager, context, root, options, solver registry), events raised.
#include "hostsim/addin_host.h"

#include <map>
#include <memory>
#include <vector>

#include "host/solver_proxy.h"
#include "hostsim/components.h"
#include "hostsim/host_sim.h"
#include "hostsim/object_model.h"
#include "hostsim/project_storage.h"
#include "platform/com_object.h"
#include "platform/error_info.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace {

// The host's objects reach the add-in as dispatch interfaces, but the add-in binds early: they
// offer no late binding.
template <class I>
class WithoutLateBinding : public I {
  public:
    [[nodiscard]] HRESULT GetTypeInfoCount(unsigned* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetTypeInfo(unsigned, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    [[nodiscard]] HRESULT GetIDsOfNames(REFIID, const OLECHAR* const*, unsigned, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    [[nodiscard]] HRESULT Invoke(DISPID, REFIID, LCID, std::uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                 unsigned*) override {
        return E_NOTIMPL;
    }

  protected:
    ~WithoutLateBinding() = default;
};

template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
    return MakeComObject<T>(std::forward<Args>(args)...);
}

// Hands out `object`'s dispatch interface.
template <class T>
[[nodiscard]] HRESULT GiveDispatch(const ComPtr<T>& object, IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!object) return E_FAIL;
    return object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

template <class T>
[[nodiscard]] HRESULT GiveUnknown(const ComPtr<T>& object, IUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!object) return S_FALSE;
    return object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(out));
}

using HandlerPtr = std::unique_ptr<CQHEventHandlerBase, void (*)(CQHEventHandlerBase*)>;

HandlerPtr Own(CQHEventHandlerBase* handler) { return HandlerPtr(handler, &CQHEventHandlerBase::Destroy); }

// One event: the clones of the handlers it was given, called in the order they came.
class HostSimDelegate : public ComObject<HostSimDelegate, WithoutLateBinding<IDispatch>, IQHDelegate> {
  public:
    [[nodiscard]] HRESULT AddHandler(const CQHEventHandlerBase& handler) override {
        HandlerPtr clone = Own(handler.Clone());
        if (!clone) return E_OUTOFMEMORY;
        handlers_.push_back(std::move(clone));
        return S_OK;
    }
    [[nodiscard]] HRESULT RemoveHandler(const CQHEventHandlerBase& handler) override {
        for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
            if (!(*it)->SameAs(handler)) continue;
            handlers_.erase(it);
            return S_OK;
        }
        return S_FALSE;
    }

    // Calls every handler; a handler may add or remove handlers meanwhile, so the call goes to
    // clones taken before the first one runs.
    [[nodiscard]] HRESULT Raise(IUnknown* sender, IUnknown* argument) {
        std::vector<HandlerPtr> calls;
        for (const HandlerPtr& handler : handlers_) {
            calls.push_back(Own(handler->Clone()));
            if (!calls.back()) return E_OUTOFMEMORY;
        }
        HRESULT answer = S_OK;
        for (const HandlerPtr& call : calls) {
            const HRESULT hr = call->Invoke(sender, argument);
            if (FAILED(hr) && SUCCEEDED(answer)) answer = hr;
        }
        return answer;
    }
    std::size_t Count() const { return handlers_.size(); }

  private:
    std::vector<HandlerPtr> handlers_;
};

class HostSimAddinManager : public ComObject<HostSimAddinManager, WithoutLateBinding<IQHAddinManager>> {
  public:
    explicit HostSimAddinManager(ComPtr<HostSimDelegate> onContextChange)
        : onContextChange_(std::move(onContextChange)) {}
    [[nodiscard]] HRESULT get_OnContextChange(IDispatch** event) override {
        return GiveDispatch(onContextChange_, event);
    }

  private:
    ComPtr<HostSimDelegate> onContextChange_;
};

class HostSimContext : public ComObject<HostSimContext, IQHContext> {
  public:
    explicit HostSimContext(std::wstring name) : name_(std::move(name)) {}
    void SetItem(const std::wstring& name, IUnknown* object) {
        VariantHolder& item = items_[name];
        VARIANT* v = item.ReleaseAndGet();
        IDispatch* dispatch = nullptr;
        if (object && SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
            v->vt = VT_DISPATCH;
            v->punkVal = dispatch;
        }
    }
    [[nodiscard]] HRESULT get_Name(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = SysAllocString(name_);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    [[nodiscard]] HRESULT get_Item(BSTR name, VARIANT* item) override {
        if (!item) return E_POINTER;
        VariantInit(item);
        auto it = items_.find(std::wstring(BstrView(name)));
        if (it == items_.end()) return S_FALSE;
        return VariantCopy(item, it->second.Get());
    }

  private:
    std::wstring name_;
    std::map<std::wstring, VariantHolder> items_;
};

class HostSimApplication : public ComObject<HostSimApplication, IQHApplication> {
  public:
    explicit HostSimApplication(ComPtr<IHostStringTable> strings) : strings_(std::move(strings)) {}
    [[nodiscard]] HRESULT get_StringSource(IUnknown** source) override {
        return GiveUnknown(strings_, source);
    }

  private:
    ComPtr<IHostStringTable> strings_;
};

class HostSimApplicationList : public ComObject<HostSimApplicationList, IQHApplicationList> {
  public:
    explicit HostSimApplicationList(ComPtr<HostSimApplication> applet) : applet_(std::move(applet)) {}
    [[nodiscard]] HRESULT get_Item(BSTR name, IUnknown** application) override {
        if (!application) return E_POINTER;
        *application = nullptr;
        if (BstrView(name) != kQHAppletApplicationName) return S_FALSE;
        return GiveUnknown(applet_, application);
    }

  private:
    ComPtr<HostSimApplication> applet_;
};

class HostSimOptions : public ComObject<HostSimOptions, IQHOptions> {
  public:
    HostSimOptions(const std::map<std::wstring, VariantHolder>& values, ComPtr<HostSimDelegate> onChange)
        : values_(values), onChange_(std::move(onChange)) {}
    [[nodiscard]] HRESULT GetOption(BSTR name, VARIANT* value) override {
        if (!value) return E_POINTER;
        VariantInit(value);
        auto it = values_.find(std::wstring(BstrView(name)));
        if (it == values_.end()) return S_FALSE;
        return VariantCopy(value, it->second.Get());
    }
    [[nodiscard]] HRESULT get_OnChange(IDispatch** event) override { return GiveDispatch(onChange_, event); }
    [[nodiscard]] HRESULT Set(const std::wstring& name, const VARIANT& value) {
        VariantHolder copy;
        const HRESULT hr = VariantCopy(copy.Get(), &value);
        if (FAILED(hr)) return hr;
        values_[name] = std::move(copy);
        return S_OK;
    }

  private:
    std::map<std::wstring, VariantHolder> values_;
    ComPtr<HostSimDelegate> onChange_;
};

class HostSimRoot : public ComObject<HostSimRoot, WithoutLateBinding<IDispatch>, IQHRoot> {
  public:
    HostSimRoot(ComPtr<HostSimApplicationList> applications, ComPtr<HostSimOptions> options)
        : applications_(std::move(applications)), options_(std::move(options)) {}
    [[nodiscard]] HRESULT get_Applications(IUnknown** applications) override {
        return GiveUnknown(applications_, applications);
    }
    [[nodiscard]] HRESULT get_Options(IUnknown** options) override { return GiveUnknown(options_, options); }

  private:
    ComPtr<HostSimApplicationList> applications_;
    ComPtr<HostSimOptions> options_;
};

// The registered proxies with the names they gave when they came.
class HostSimSolverRegistry : public ComObject<HostSimSolverRegistry, IJXSolverRegistry> {
  public:
    // A second proxy of a name already registered is refused with E_INVALIDARG.
    [[nodiscard]] HRESULT RegisterSolver(IUnknown* proxy) override {
        ComPtr<IUnknown> identity = Identity(proxy);
        if (!identity) return E_INVALIDARG;
        ComPtr<IXenSolverProxy> solver;
        if (FAILED(proxy->QueryInterface(IXenSolverProxy::iid(), solver.ReleaseAndGetVoidAddress())) ||
            !solver)
            return E_NOINTERFACE;
        BstrHolder name;
        const HRESULT hr = solver->get_Name(name.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
        for (const Entry& e : entries_)
            if (e.name == name.View() || e.proxy == identity) return E_INVALIDARG;
        entries_.push_back({name.Str(), identity});
        return S_OK;
    }
    [[nodiscard]] HRESULT UnregisterSolver(IUnknown* proxy) override {
        ComPtr<IUnknown> identity = Identity(proxy);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (!(it->proxy == identity)) continue;
            entries_.erase(it);
            return S_OK;
        }
        return S_FALSE;
    }
    [[nodiscard]] HRESULT FindSolver(BSTR name, IUnknown** proxy) override {
        if (!proxy) return E_POINTER;
        *proxy = nullptr;
        for (const Entry& e : entries_)
            if (e.name == BstrView(name)) return e.proxy.CopyTo(proxy);
        return S_FALSE;
    }

  private:
    struct Entry {
        std::wstring name;
        ComPtr<IUnknown> proxy;
    };
    static ComPtr<IUnknown> Identity(IUnknown* object) {
        ComPtr<IUnknown> identity;
        if (object) (void)object->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddress());
        return identity;
    }

    std::vector<Entry> entries_;
};

// The delegate of every event, indexed by the event.
using HostSimDelegates = std::array<ComPtr<HostSimDelegate>, kHostSimEvents.size()>;

constexpr std::size_t IndexOf(HostSimEvent event) { return static_cast<std::size_t>(event); }
static_assert(IndexOf(kHostSimEvents.back()) + 1 == kHostSimEvents.size(), "every event has its delegate");

class HostSimSimulationApplet
    : public ComObject<HostSimSimulationApplet, WithoutLateBinding<IDispatch>, IQHApplet> {
  public:
    HostSimSimulationApplet(ComPtr<IHostApplet> currentObject, ComPtr<HostSimSolverRegistry> registry,
                            const HostSimDelegates& events)
        : currentObject_(std::move(currentObject)), registry_(std::move(registry)), events_(events) {}
    [[nodiscard]] HRESULT get_OnProjectReset(IDispatch** event) override {
        return Give(HostSimEvent::ProjectReset, event);
    }
    [[nodiscard]] HRESULT get_OnRefresh(IDispatch** event) override {
        return Give(HostSimEvent::Refresh, event);
    }
    [[nodiscard]] HRESULT get_OnObjectDeleted(IDispatch** event) override {
        return Give(HostSimEvent::ObjectDeleted, event);
    }
    [[nodiscard]] HRESULT get_OnObjectNaming(IDispatch** event) override {
        return Give(HostSimEvent::ObjectNaming, event);
    }
    [[nodiscard]] HRESULT get_OnSaveProject(IDispatch** event) override {
        return Give(HostSimEvent::SaveProject, event);
    }
    [[nodiscard]] HRESULT get_OnResumeProject(IDispatch** event) override {
        return Give(HostSimEvent::ResumeProject, event);
    }
    [[nodiscard]] HRESULT get_SolverRegistry(IUnknown** registry) override {
        return GiveUnknown(registry_, registry);
    }
    [[nodiscard]] HRESULT get_CurrentObject(IUnknown** object) override {
        return GiveUnknown(currentObject_, object);
    }

  private:
    [[nodiscard]] HRESULT Give(HostSimEvent event, IDispatch** out) {
        return GiveDispatch(events_[IndexOf(event)], out);
    }

    ComPtr<IHostApplet> currentObject_;
    ComPtr<HostSimSolverRegistry> registry_;
    HostSimDelegates events_;
};

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

}  // namespace

const char* HostSimEventName(HostSimEvent event) {
    switch (event) {
        case HostSimEvent::ContextChange:
            return "context change";
        case HostSimEvent::OptionsChange:
            return "options change";
        case HostSimEvent::ProjectReset:
            return "project reset";
        case HostSimEvent::Refresh:
            return "refresh";
        case HostSimEvent::ObjectDeleted:
            return "object deleted";
        case HostSimEvent::ObjectNaming:
            return "object naming";
        case HostSimEvent::SaveProject:
            return "save project";
        case HostSimEvent::ResumeProject:
            return "resume project";
    }
    return "?";
}

struct HostSimAddinHost::Parts {
    std::shared_ptr<HostSimObjectModel> objects;
    HostSimDelegates events;
    ComPtr<HostSimAddinManager> manager;
    ComPtr<HostSimOptions> options;
    ComPtr<HostSimRoot> root;
    ComPtr<HostSimSolverRegistry> registry;
    ComPtr<HostSimSimulationApplet> applet;

    HostSimDelegate& Event(HostSimEvent event) const { return *events[IndexOf(event)]; }
    IUnknown* AppletUnknown() const { return static_cast<IQHApplet*>(applet.Get()); }
};

HostSimAddinHost::HostSimAddinHost(HostSim& host, const std::filesystem::path& workFolder)
    : parts_(std::make_unique<Parts>()), projectFile_(workFolder / kProjectFileName) {
    Parts& p = *parts_;
    p.objects = host.Objects();
    for (ComPtr<HostSimDelegate>& event : p.events) {
        event = Make<HostSimDelegate>();
        if (!event) throw std::bad_alloc();
    }
    p.manager = Make<HostSimAddinManager>(p.events[IndexOf(HostSimEvent::ContextChange)]);
    p.options = Make<HostSimOptions>(host.Case().hostOptions, p.events[IndexOf(HostSimEvent::OptionsChange)]);
    auto application = Make<HostSimApplication>(CreateHostSimStringTable(host.Case().hostStrings));
    p.root = Make<HostSimRoot>(Make<HostSimApplicationList>(application), p.options);
    p.registry = Make<HostSimSolverRegistry>();
    p.applet = Make<HostSimSimulationApplet>(host.Applet(), p.registry, p.events);
    if (!p.manager || !p.options || !application || !p.root || !p.registry || !p.applet)
        throw std::bad_alloc();
}

HostSimAddinHost::~HostSimAddinHost() = default;

ComPtr<IDispatch> HostSimAddinHost::AddinManager() const {
    ComPtr<IDispatch> manager;
    (void)GiveDispatch(parts_->manager, manager.ReleaseAndGetAddressOf());
    return manager;
}

ComPtr<IJXSolverRegistry> HostSimAddinHost::SolverRegistry() const { return parts_->registry; }

HRESULT HostSimAddinHost::RaiseContextChange(const std::wstring& name) {
    ComPtr<HostSimContext> context = Make<HostSimContext>(name);
    if (!context) return E_OUTOFMEMORY;
    if (name == kQHAppletContextName) {
        context->SetItem(kQHAppletItem, parts_->AppletUnknown());
        context->SetItem(kQHRootItem, static_cast<IQHRoot*>(parts_->root.Get()));
    }
    return parts_->Event(HostSimEvent::ContextChange)
        .Raise(static_cast<IQHAddinManager*>(parts_->manager.Get()), static_cast<IQHContext*>(context.Get()));
}

HRESULT HostSimAddinHost::RaiseProjectReset() {
    return parts_->Event(HostSimEvent::ProjectReset).Raise(parts_->AppletUnknown(), nullptr);
}

HRESULT HostSimAddinHost::RaiseRefresh() {
    return parts_->Event(HostSimEvent::Refresh).Raise(parts_->AppletUnknown(), nullptr);
}

HRESULT HostSimAddinHost::RaiseObjectDeleted(int id) {
    ComPtr<IUnknown> object = CreateHostSimObject(parts_->objects, id);
    if (!object) return E_INVALIDARG;
    return parts_->Event(HostSimEvent::ObjectDeleted).Raise(parts_->AppletUnknown(), object.Get());
}

HRESULT HostSimAddinHost::RaiseObjectNaming(int id) {
    ComPtr<IUnknown> object = CreateHostSimObject(parts_->objects, id);
    if (!object) return E_INVALIDARG;
    return parts_->Event(HostSimEvent::ObjectNaming).Raise(parts_->AppletUnknown(), object.Get());
}

HRESULT HostSimAddinHost::SetOption(const std::wstring& name, const VARIANT& value) {
    const HRESULT hr = parts_->options->Set(name, value);
    if (FAILED(hr)) return hr;
    return parts_->Event(HostSimEvent::OptionsChange)
        .Raise(static_cast<IQHOptions*>(parts_->options.Get()), nullptr);
}

HRESULT HostSimAddinHost::SaveProject(std::string* error) {
    ComPtr<HostSimProjectStorage> storage = HostSimProjectStorage::Open(projectFile_, error);
    if (!storage) return E_FAIL;
    const HRESULT hr = parts_->Event(HostSimEvent::SaveProject)
                           .Raise(parts_->AppletUnknown(), static_cast<IQHProjectStorage*>(storage.Get()));
    if (FAILED(hr))
        SetError(error, "the add-in could not save its project data (" +
                            HexCodeText(static_cast<std::uint32_t>(hr)) + ")");
    return hr;
}

HRESULT HostSimAddinHost::ResumeProject(std::string* error) { return ResumeProjectFrom(projectFile_, error); }

HRESULT HostSimAddinHost::ResumeProjectFrom(const std::filesystem::path& file, std::string* error) {
    ComPtr<HostSimProjectStorage> storage =
        HostSimProjectStorage::Open(file, error, HostSimProjectStorage::MissingFile::Refused);
    if (!storage) return E_FAIL;
    return ResumeProjectFrom(*storage, error);
}

HRESULT HostSimAddinHost::ResumeProjectFrom(HostSimProjectStorage& storage, std::string* error) {
    // What an earlier call left is no reason of this one.
    (void)SetErrorInfo(0, nullptr);
    const HRESULT hr = parts_->Event(HostSimEvent::ResumeProject)
                           .Raise(parts_->AppletUnknown(), static_cast<IQHProjectStorage*>(&storage));
    if (FAILED(hr)) {
        const std::string reason = platform::WideToUtf8(TakeErrorDescription());
        SetError(error, "the add-in could not resume its project data" +
                            (reason.empty() ? std::string() : ": " + reason) + " (" +
                            HexCodeText(static_cast<std::uint32_t>(hr)) + ")");
    }
    return hr;
}

std::size_t HostSimAddinHost::HandlerCount(HostSimEvent event) const { return parts_->Event(event).Count(); }
