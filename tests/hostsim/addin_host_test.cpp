// The file-backed host's framework around a loaded add-in: its events, context, options,
// solver registry, analysis objects' solvers and the project storage in one file.

#include "hostsim/addin_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "addin/qh_event_handler.h"
#include "host/multiplatform_stream.h"
#include "host/object_model.h"
#include "host/solver_proxy.h"
#include "host/string_table.h"
#include "hostsim/host_sim.h"
#include "hostsim/json_reader.h"
#include "hostsim/project_storage.h"
#include "platform/com_object.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kHostJson = R"({
  "hostOptions": {"PID_Sig_Digits": 4, "Scale": 2.5, "Show": true, "Label": "mm"},
  "hostStrings": {"ID_Hello": "Hello"},
  "objects": [{"id": 9, "type": 7, "name": "Static", "solverName": "Dorvix"}, {"id": 10, "type": 429}]
})";

class Scratch {
  public:
    Scratch() : path_(platform::CreateUniqueTemporaryFolder("addinhost")) {}
    ~Scratch() { platform::DeleteFolderTree(path_); }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

std::shared_ptr<HostSimCase> CaseFrom(const std::string& json) {
    auto hostCase = std::make_shared<HostSimCase>();
    ReadHostJson(json, "host.json", *hostCase);
    return hostCase;
}

// Notes, for every call it gets, whether the applet sent it and the id of the host object
// it was about, and answers what the test asks.
struct Listener {
    HRESULT On(IUnknown* sender, IUnknown* argument) {
        fromApplet.push_back(static_cast<bool>(ComPtr<IUnknown>(sender).As<IQHApplet>()));
        int id = 0;
        if (ComPtr<IHostObject> object = ComPtr<IUnknown>(argument).As<IHostObject>())
            (void)object->GetId(id);
        ids.push_back(id);
        return answer;
    }
    HRESULT answer = S_OK;
    std::vector<bool> fromApplet;
    std::vector<int> ids;
};

ComPtr<IQHDelegate> DelegateOf(IDispatch* event) {
    ComPtr<IQHDelegate> delegate;
    if (event) (void)event->QueryInterface(IQHDelegate::iid(), delegate.ReleaseAndGetVoidAddress());
    return delegate;
}

// The applet and root a context change carries.
struct Announced {
    ComPtr<IQHApplet> applet;
    ComPtr<IQHRoot> root;
    HRESULT Keep(IUnknown*, IUnknown* argument) {
        ComPtr<IQHContext> context;
        if (FAILED(argument->QueryInterface(IQHContext::iid(), context.ReleaseAndGetVoidAddress())))
            return E_FAIL;
        applet = Item(*context, kQHAppletItem).As<IQHApplet>();
        root = Item(*context, kQHRootItem).As<IQHRoot>();
        return S_OK;
    }
    static ComPtr<IUnknown> Item(IQHContext& context, const wchar_t* name) {
        BstrHolder key(name);
        VariantHolder item;
        if (context.get_Item(key.Get(), item.ReleaseAndGet()) != S_OK || item.Type() != VT_DISPATCH)
            return nullptr;
        return ComPtr<IUnknown>(item->punkVal);
    }
};

class AddinHostTest : public ::testing::Test {
  protected:
    AddinHostTest() : host_(CaseFrom(kHostJson)), framework_(host_, scratch_.Path()) {}

    // Subscribes a handler to the context change and raises the applet context once.
    Announced Announce() {
        Announced announced;
        ComPtr<IQHAddinManager> manager;
        EXPECT_EQ(framework_.AddinManager()->QueryInterface(IQHAddinManager::iid(),
                                                            manager.ReleaseAndGetVoidAddress()),
                  S_OK);
        ComPtr<IDispatch> event;
        EXPECT_EQ(manager->get_OnContextChange(event.ReleaseAndGetAddressOf()), S_OK);
        const CQHEventHandler<Announced> handler(&announced, &Announced::Keep);
        EXPECT_EQ(DelegateOf(event.Get())->AddHandler(handler), S_OK);
        EXPECT_EQ(framework_.RaiseContextChange(), S_OK);
        EXPECT_EQ(DelegateOf(event.Get())->RemoveHandler(handler), S_OK);
        return announced;
    }

    Scratch scratch_;
    HostSim host_;
    HostSimAddinHost framework_;
};

TEST(AddinHostJson, OptionsKeepTheirTypeAndOtherValuesAreRefused) {
    const auto hostCase = CaseFrom(kHostJson);
    ASSERT_EQ(hostCase->hostOptions.size(), 4u);
    EXPECT_EQ(hostCase->hostOptions.at(L"PID_Sig_Digits").Type(), VT_I4);
    EXPECT_EQ(hostCase->hostOptions.at(L"PID_Sig_Digits")->lVal, 4);
    EXPECT_EQ(hostCase->hostOptions.at(L"Scale").Type(), VT_R8);
    EXPECT_EQ(hostCase->hostOptions.at(L"Show").Type(), VT_BOOL);
    EXPECT_EQ(BstrView(hostCase->hostOptions.at(L"Label")->bstrVal), L"mm");
    EXPECT_EQ(hostCase->hostStrings.at(L"ID_Hello"), L"Hello");
    ASSERT_TRUE(hostCase->objects[0].solverName);
    EXPECT_EQ(*hostCase->objects[0].solverName, L"Dorvix");
    EXPECT_FALSE(hostCase->objects[1].solverName);
    try {
        CaseFrom(R"({"hostOptions": {"PID_Sig_Digits": [4]}})");
        FAIL() << "an array option was accepted";
    } catch (const HostCaseError& e) {
        EXPECT_EQ(e.Place(), "/hostOptions/PID_Sig_Digits");
    }
}

TEST_F(AddinHostTest, OnlyAnalysisObjectsWithASolverTellIt) {
    for (const auto& [id, solver] : {std::pair<int, const wchar_t*>{9, L"Dorvix"}, {10, nullptr}}) {
        VARIANT found;
        ASSERT_EQ(host_.Applet()->GetObjectById(id, &found), S_OK);
        ComPtr<IUnknown> object = ComPtr<IUnknown>::Attach(found.punkVal);
        ComPtr<IHostAnalysisSolver> analysis = object.As<IHostAnalysisSolver>();
        EXPECT_EQ(static_cast<bool>(analysis), solver != nullptr) << id;
        std::wstring name;
        if (analysis) {
            EXPECT_EQ(analysis->GetSolverName(name), S_OK);
            EXPECT_EQ(name, solver);
        }
    }
}

TEST_F(AddinHostTest, TheAppletContextCarriesTheAppletRootApplicationAndOptions) {
    const Announced announced = Announce();
    ASSERT_TRUE(announced.applet && announced.root);

    ComPtr<IUnknown> current, registry, applications, application, source, options;
    EXPECT_EQ(announced.applet->get_CurrentObject(current.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(current.As<IHostApplet>());
    EXPECT_EQ(announced.applet->get_SolverRegistry(registry.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(registry.As<IJXSolverRegistry>());

    ASSERT_EQ(announced.root->get_Applications(applications.ReleaseAndGetAddressOf()), S_OK);
    BstrHolder other(L"Other"), applet(kQHAppletApplicationName);
    EXPECT_EQ(
        applications.As<IQHApplicationList>()->get_Item(other.Get(), application.ReleaseAndGetAddressOf()),
        S_FALSE);
    ASSERT_EQ(
        applications.As<IQHApplicationList>()->get_Item(applet.Get(), application.ReleaseAndGetAddressOf()),
        S_OK);
    ASSERT_EQ(application.As<IQHApplication>()->get_StringSource(source.ReleaseAndGetAddressOf()), S_OK);
    std::wstring text;
    EXPECT_EQ(source.As<IHostStringTable>()->Lookup(L"ID_Hello", text), S_OK);
    EXPECT_EQ(text, L"Hello");

    ASSERT_EQ(announced.root->get_Options(options.ReleaseAndGetAddressOf()), S_OK);
    BstrHolder digits(L"PID_Sig_Digits"), unknown(L"Nothing");
    VariantHolder value;
    EXPECT_EQ(options.As<IQHOptions>()->GetOption(digits.Get(), value.ReleaseAndGet()), S_OK);
    EXPECT_EQ(value->lVal, 4);
    EXPECT_EQ(options.As<IQHOptions>()->GetOption(unknown.Get(), value.ReleaseAndGet()), S_FALSE);
    EXPECT_EQ(value.Type(), VT_EMPTY);
}

TEST_F(AddinHostTest, EventsKeepClonesCallThemWithSenderAndArgumentAndAnswerTheFirstFailure) {
    const Announced announced = Announce();
    ASSERT_TRUE(announced.applet);
    Listener first, second;
    first.answer = E_ACCESSDENIED;
    second.answer = E_OUTOFMEMORY;
    ComPtr<IDispatch> event;
    ASSERT_EQ(announced.applet->get_OnObjectDeleted(event.ReleaseAndGetAddressOf()), S_OK);
    const ComPtr<IQHDelegate> deleted = DelegateOf(event.Get());
    ASSERT_TRUE(deleted);
    {
        // The delegate keeps clones: the handlers given may go.
        const CQHEventHandler<Listener> a(&first, &Listener::On), b(&second, &Listener::On);
        EXPECT_EQ(deleted->AddHandler(a), S_OK);
        EXPECT_EQ(deleted->AddHandler(b), S_OK);
    }
    EXPECT_EQ(framework_.HandlerCount(HostSimEvent::ObjectDeleted), 2u);
    EXPECT_EQ(framework_.RaiseObjectDeleted(77), E_INVALIDARG);
    EXPECT_EQ(framework_.RaiseObjectDeleted(10), E_ACCESSDENIED);
    for (const Listener* listener : {&first, &second}) {
        EXPECT_EQ(listener->fromApplet, std::vector<bool>{true});
        EXPECT_EQ(listener->ids, std::vector<int>{10});
    }

    EXPECT_EQ(deleted->RemoveHandler(CQHEventHandler<Listener>(&first, &Listener::On)), S_OK);
    EXPECT_EQ(deleted->RemoveHandler(CQHEventHandler<Listener>(&first, &Listener::On)), S_FALSE);
    EXPECT_EQ(framework_.HandlerCount(HostSimEvent::ObjectDeleted), 1u);
    for (HostSimEvent other : kHostSimEvents) {
        if (other != HostSimEvent::ObjectDeleted) {
            EXPECT_EQ(framework_.HandlerCount(other), 0u) << HostSimEventName(other);
        }
    }
}

TEST_F(AddinHostTest, AChangedOptionIsReadByTheHandlersOfTheChangeEvent) {
    const Announced announced = Announce();
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(announced.root->get_Options(unknown.ReleaseAndGetAddressOf()), S_OK);
    const ComPtr<IQHOptions> options = unknown.As<IQHOptions>();
    struct Reader {
        IQHOptions* options;
        std::vector<int> seen;
        HRESULT On(IUnknown*, IUnknown*) {
            BstrHolder name(L"PID_Sig_Digits");
            VariantHolder value;
            if (FAILED(options->GetOption(name.Get(), value.ReleaseAndGet()))) return E_FAIL;
            seen.push_back(value->lVal);
            return S_OK;
        }
    } reader{options.Get(), {}};
    ComPtr<IDispatch> event;
    ASSERT_EQ(options->get_OnChange(event.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(DelegateOf(event.Get())->AddHandler(CQHEventHandler<Reader>(&reader, &Reader::On)), S_OK);
    EXPECT_EQ(framework_.SetOption(L"PID_Sig_Digits", *VariantHolder(std::int32_t{7})), S_OK);
    EXPECT_EQ(reader.seen, std::vector<int>{7});
}

// A proxy as the registry sees it: a name.
class NamedProxy : public ComObject<NamedProxy, IXenSolverProxy> {
  public:
    explicit NamedProxy(std::wstring name) : name_(std::move(name)) {}
    HRESULT get_Name(BSTR* name) override {
        *name = SysAllocString(name_);
        return S_OK;
    }
    HRESULT put_Name(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Solver(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_Solver(BSTR) override { return E_NOTIMPL; }

  private:
    std::wstring name_;
};

TEST_F(AddinHostTest, TheSolverRegistryFindsProxiesByNameAndRefusesASecondOfOneName) {
    const ComPtr<IJXSolverRegistry> registry = framework_.SolverRegistry();
    const ComPtr<NamedProxy> a = MakeComObject<NamedProxy>(L"Dorvix_Solver");
    const ComPtr<NamedProxy> b = MakeComObject<NamedProxy>(L"Dorvix_Solver");
    BstrHolder name(L"Dorvix_Solver");
    ComPtr<IUnknown> found;
    EXPECT_EQ(registry->FindSolver(name.Get(), found.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_EQ(registry->RegisterSolver(static_cast<IXenSolverProxy*>(a.Get())), S_OK);
    EXPECT_EQ(registry->RegisterSolver(static_cast<IXenSolverProxy*>(b.Get())), E_INVALIDARG);
    ASSERT_EQ(registry->FindSolver(name.Get(), found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IUnknown*>(static_cast<IXenSolverProxy*>(a.Get())));
    EXPECT_EQ(registry->UnregisterSolver(static_cast<IXenSolverProxy*>(b.Get())), S_FALSE);
    EXPECT_EQ(registry->UnregisterSolver(static_cast<IXenSolverProxy*>(a.Get())), S_OK);
    EXPECT_EQ(registry->FindSolver(name.Get(), found.ReleaseAndGetAddressOf()), S_FALSE);
}

// What a saving handler writes: the values given, then a commit when asked.
struct Saver {
    std::vector<std::uint32_t> values;
    bool commit = true;
    HRESULT On(IUnknown*, IUnknown* argument) {
        ComPtr<IQHProjectStorage> storage = ComPtr<IUnknown>(argument).As<IQHProjectStorage>();
        BstrHolder name(L"DATA");
        ComPtr<IUnknown> stream;
        if (!storage || FAILED(storage->CreateStream(name.Get(), stream.ReleaseAndGetAddressOf())))
            return E_FAIL;
        for (std::uint32_t v : values)
            if (FAILED(stream.As<IXenMultiplatformStream>()->writeUINT(v))) return E_FAIL;
        return commit ? stream.As<IQHProjectStream>()->Commit() : S_OK;
    }
};

struct Resumer {
    std::vector<std::uint32_t> values;
    HRESULT On(IUnknown*, IUnknown* argument) {
        values.clear();
        ComPtr<IQHProjectStorage> storage = ComPtr<IUnknown>(argument).As<IQHProjectStorage>();
        BstrHolder name(L"DATA");
        ComPtr<IUnknown> stream;
        if (!storage) return E_POINTER;
        const HRESULT hr = storage->OpenStream(name.Get(), stream.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
        std::uint32_t v = 0;
        while (SUCCEEDED(stream.As<IXenMultiplatformStream>()->readUINT(&v))) values.push_back(v);
        return S_OK;
    }
};

TEST_F(AddinHostTest, AProjectStreamIsReplacedOnlyWhenCommittedAndSurvivesInTheProjectFile) {
    const Announced announced = Announce();
    Saver saver;
    Resumer resumer;
    ComPtr<IDispatch> save, resume;
    ASSERT_EQ(announced.applet->get_OnSaveProject(save.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(announced.applet->get_OnResumeProject(resume.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(DelegateOf(save.Get())->AddHandler(CQHEventHandler<Saver>(&saver, &Saver::On)), S_OK);
    ASSERT_EQ(DelegateOf(resume.Get())->AddHandler(CQHEventHandler<Resumer>(&resumer, &Resumer::On)), S_OK);

    std::string error;
    EXPECT_EQ(framework_.ResumeProject(&error), E_FAIL);
    EXPECT_NE(error.find("no project file"), std::string::npos) << error;

    saver.values = {1, 2, 3};
    ASSERT_EQ(framework_.SaveProject(&error), S_OK) << error;
    saver.values = {9};
    saver.commit = false;
    ASSERT_EQ(framework_.SaveProject(&error), S_OK) << error;
    ASSERT_EQ(framework_.ResumeProject(&error), S_OK) << error;
    EXPECT_EQ(resumer.values, (std::vector<std::uint32_t>{1, 2, 3}));
    // Nothing written beside the project file stays behind.
    for (const fs::directory_entry& entry : fs::directory_iterator(framework_.ProjectFile().parent_path()))
        EXPECT_EQ(
            entry.path().filename().string().rfind(framework_.ProjectFile().filename().string() + ".", 0),
            std::string::npos)
            << entry.path();

    // A damaged project file is refused, not read as an empty project.
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(framework_.ProjectFile(), bytes));
    for (std::size_t keep : {std::size_t{0}, bytes.size() - 1, std::size_t{6}}) {
        {
            std::ofstream out(framework_.ProjectFile(), std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(keep));
        }
        EXPECT_EQ(framework_.ResumeProject(&error), E_FAIL) << keep;
        EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
        EXPECT_EQ(framework_.SaveProject(&error), E_FAIL) << keep;
    }
}

}  // namespace
