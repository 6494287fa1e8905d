// The add-in object loaded by the file-backed host: attached once on the applet context, its
// handlers for options, object naming and deletion, the project's save and resume, and every
// handler withdrawn on unload.

#include "addin/dorvix_addin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "addin/dorvix_proxy.h"
#include "hostsim/addin_host.h"
#include "hostsim/host_sim.h"
#include "hostsim/project_storage.h"
#include "hostsim/project_stream.h"
#include "platform/creation_registry.h"
#include "platform/files.h"
#include "runtime/addin_services.h"

namespace {

namespace fs = std::filesystem;

// Analyses to be named: each has its settings object (id 100 + i, type 429) pointing at the
// analysis (200 + i) and its parent (300 + i), which lists the analysis among its children.
struct NamingRow {
    const char* name;
    const char* solver;
    const wchar_t* expected;
};
const NamingRow kNamingRows[] = {
    {"Static Structural", "Dorvix", L"Dorvix Static Structural"},
    {"dorvix static", "Dorvix", L"dorvix static"},
    {"Dorvix Modal", "Dorvix", L"Dorvix Modal"},
    {"DORVIX Modal", "Other", L"Modal"},
    {"dOrViX Transient", "Other", L"Transient"},
    {"Dorvix", "Other", L"Dorvix"},
    {"Modal", "Other", L"Modal"},
    {"Modal", "dorvix", L"Modal"},
};
constexpr int kAnalysisType = 7;
// An object that is no settings object but carries the properties of one.
constexpr int kOtherObject = 50;

std::string CaseJson() {
    const std::string type = std::to_string(kAnalysisType);
    std::string objects;
    for (std::size_t i = 0; i < std::size(kNamingRows); ++i) {
        const std::string n = std::to_string(i);
        objects += R"({"id": 10)" + n + R"(, "type": 429, "properties": {"104": 30)" + n + R"(, "105": 20)" +
                   n + "}},";
        objects += R"({"id": 20)" + n + R"(, "type": )" + type + R"(, "name": ")" + kNamingRows[i].name +
                   R"(", "solverName": ")" + kNamingRows[i].solver + "\"},";
        objects += R"({"id": 30)" + n + R"(, "type": 1, "idLists": {")" + type + R"(": [20)" + n + "]}},";
    }
    objects += R"({"id": )" + std::to_string(kOtherObject) +
               R"(, "type": 428, "properties": {"104": 300, "105": 200}})";
    return R"({"hostOptions": {"PID_Sig_Digits": 4}, "objects": [)" + objects + "]}";
}

std::shared_ptr<HostSimCase> CaseFrom(const std::string& json) {
    auto hostCase = std::make_shared<HostSimCase>();
    ReadHostJson(json, "host.json", *hostCase);
    return hostCase;
}

class AddinTest : public ::testing::Test {
  protected:
    AddinTest()
        : scratch_(platform::CreateUniqueTemporaryFolder("addintest")),
          host_(CaseFrom(CaseJson())),
          framework_(host_, scratch_) {
        EXPECT_EQ(RegisterDorvixProxyClass(), S_OK);
        EXPECT_EQ(RegisterDorvixAnalysisSettingsClass(), S_OK);
        addin_ = MakeComObject<CDorvixAddin>();
        EXPECT_EQ(addin_->OnLoad(framework_.AddinManager().Get()), S_OK);
    }
    ~AddinTest() override {
        addin_ = nullptr;
        AddinServices::ReleaseInstance();
        (void)UnregisterComponentClass(CLSID_DorvixProxy);
        (void)UnregisterComponentClass(CLSID_DorvixAnalysisSettings);
        platform::DeleteFolderTree(scratch_);
    }

    ComPtr<IJXObjectsAddinProvider> Objects() const { return addin_->Proxy().As<IJXObjectsAddinProvider>(); }
    std::wstring NameOf(int id) const {
        HostSimObject object;
        (void)host_.Objects()->Get(id, object);
        return object.name;
    }
    bool Holds(int id) const {
        ComPtr<IUnknown> object;
        return SUCCEEDED(
            Objects()->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf()));
    }
    // A modal analysis' settings object held by the proxy for the host object `id`.
    ComPtr<IUnknown> CreateModal(int id) const {
        ComPtr<IUnknown> object;
        EXPECT_EQ(Objects()->CreateObject(kHostAnalysisSettingsType, id), S_OK);
        EXPECT_EQ(Objects()->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf()), S_OK);
        const ComPtr<IJXAnalysisSettingsAddIn> typed = object.As<IJXAnalysisSettingsAddIn>();
        EXPECT_TRUE(typed && typed->SetTypes(kPT_Mechanical, kSIMULATION_MODAL) == S_OK);
        return object;
    }
    // The settings object's number of modes, through late binding as the host's grid sets it.
    static HRESULT PutModes(IUnknown* settings, int modes) {
        ComPtr<IDispatch> dispatch;
        HRESULT hr = settings->QueryInterface(IID_IDispatch, dispatch.ReleaseAndGetVoidAddress());
        const OLECHAR* name = L"NumModesToFind";
        DISPID dispid = 0;
        if (SUCCEEDED(hr)) hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &dispid);
        VariantHolder value(std::int32_t{modes});
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{value.Get(), &named, 1, 1};
        if (SUCCEEDED(hr))
            hr = dispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                                  nullptr);
        return hr;
    }
    int ModesOf(int id) const {
        ComPtr<IUnknown> object;
        int modes = -1;
        if (SUCCEEDED(Objects()->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf())))
            (void)object.As<IDorvixAnalysisSettings>()->get_NumModesToFind(&modes);
        return modes;
    }

    fs::path scratch_;
    HostSim host_;
    HostSimAddinHost framework_;
    ComPtr<CDorvixAddin> addin_;
};

TEST_F(AddinTest, AttachesOnceOnTheAppletContextWithOneProxy) {
    EXPECT_EQ(framework_.RaiseContextChange(L"QH.Other"), S_OK);
    EXPECT_TRUE(addin_->WaitsForApplet());
    EXPECT_EQ(framework_.HandlerCount(HostSimEvent::OptionsChange), 0u);

    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    const ComPtr<IDorvixProxy> proxy = addin_->Proxy();
    ASSERT_TRUE(proxy);
    // A second load and a second applet context change nothing.
    EXPECT_EQ(addin_->OnLoad(framework_.AddinManager().Get()), S_OK);
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    EXPECT_EQ(addin_->Proxy(), proxy);
    for (HostSimEvent event : kHostSimEvents)
        EXPECT_EQ(framework_.HandlerCount(event), 1u) << HostSimEventName(event);

    BstrHolder name(L"Dorvix_Solver");
    ComPtr<IUnknown> registered;
    ASSERT_EQ(framework_.SolverRegistry()->FindSolver(name.Get(), registered.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(proxy->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(registered, identity);
    BstrHolder solver;
    EXPECT_EQ(proxy->get_Solver(solver.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(solver.View(), L"DorvixSolver.JXDorvixSolver.120");
    // The services reach the case's objects through the applet's current object.
    EXPECT_TRUE(AddinServices::GetInstance().GetObjectById(200));
}

TEST_F(AddinTest, UnloadingWithdrawsEveryHandlerAndTheProxy) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    ASSERT_EQ(Objects()->CreateObject(kHostAnalysisSettingsType, 100), S_OK);
    EXPECT_EQ(addin_->OnUnload(), S_OK);
    for (HostSimEvent event : kHostSimEvents)
        EXPECT_EQ(framework_.HandlerCount(event), 0u) << HostSimEventName(event);
    BstrHolder name(L"Dorvix_Solver");
    ComPtr<IUnknown> registered;
    EXPECT_EQ(framework_.SolverRegistry()->FindSolver(name.Get(), registered.ReleaseAndGetAddressOf()),
              S_FALSE);
    EXPECT_FALSE(Holds(100));
    EXPECT_FALSE(AddinServices::HasInstance());
}

TEST_F(AddinTest, AnAddinReleasedWithoutUnloadLeavesNoHandlerBehind) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    addin_ = nullptr;
    for (HostSimEvent event : kHostSimEvents)
        EXPECT_EQ(framework_.HandlerCount(event), 0u) << HostSimEventName(event);
}

TEST_F(AddinTest, DigitsFollowTheOptionAndItsChanges) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    EXPECT_EQ(AddinServices::GetInstance().GetSignificantDigits(), 4);
    struct Row {
        VariantHolder value;
        int digits;
    };
    const Row rows[] = {{VariantHolder(std::int32_t{7}), 7},
                        {VariantHolder(std::wstring_view(L"3")), 3},
                        {VariantHolder(std::wstring_view(L"many")), 3},
                        {VariantHolder(6.0), 6}};
    for (const Row& row : rows) {
        EXPECT_EQ(framework_.SetOption(L"PID_Sig_Digits", *row.value), S_OK);
        EXPECT_EQ(AddinServices::GetInstance().GetSignificantDigits(), row.digits);
    }
}

TEST_F(AddinTest, AnalysesOfThisSolverCarryThePrefixAndOthersLoseIt) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    for (std::size_t i = 0; i < std::size(kNamingRows); ++i) {
        EXPECT_EQ(framework_.RaiseObjectNaming(100 + static_cast<int>(i)), S_OK);
        EXPECT_EQ(NameOf(200 + static_cast<int>(i)), kNamingRows[i].expected) << kNamingRows[i].name;
    }
    // Only a settings object names its analysis.
    ASSERT_EQ(framework_.RaiseObjectNaming(kOtherObject), S_OK);
    EXPECT_EQ(NameOf(200), L"Dorvix Static Structural");
}

TEST_F(AddinTest, OnlyDeletedSettingsObjectsLeaveTheProxy) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    for (int id : {100, kOtherObject})
        ASSERT_EQ(Objects()->CreateObject(kHostAnalysisSettingsType, id), S_OK);
    EXPECT_EQ(framework_.RaiseObjectDeleted(kOtherObject), S_OK);
    EXPECT_TRUE(Holds(kOtherObject));
    EXPECT_EQ(framework_.RaiseObjectDeleted(100), S_OK);
    EXPECT_FALSE(Holds(100));
    EXPECT_TRUE(Holds(kOtherObject));
}

TEST_F(AddinTest, AProjectResetDropsEverySettingsObjectAndRefreshesTheApplet) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    for (int id : {100, 101}) (void)CreateModal(id);
    // The services lose the host's applet; the reset hands it to them again.
    (void)AddinServices::GetInstance().SetApplet(CreateHostSimProjectStream().Get());
    ASSERT_FALSE(AddinServices::GetInstance().GetObjectById(200));

    EXPECT_EQ(framework_.RaiseProjectReset(), S_OK);
    EXPECT_FALSE(Holds(100));
    EXPECT_FALSE(Holds(101));
    EXPECT_TRUE(AddinServices::GetInstance().GetObjectById(200));
    // The proxy stays and makes the objects of the next project.
    EXPECT_EQ(Objects()->CreateObject(kHostAnalysisSettingsType, 100), S_OK);
    EXPECT_TRUE(Holds(100));
}

TEST_F(AddinTest, SavedSettingsObjectsComeBackThroughTheProjectFile) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    for (int id : {100, 101}) ASSERT_EQ(PutModes(CreateModal(id).Get(), id - 90), S_OK);
    std::string error;
    ASSERT_EQ(framework_.SaveProject(&error), S_OK) << error;
    ComPtr<HostSimProjectStorage> storage = HostSimProjectStorage::Open(framework_.ProjectFile());
    ASSERT_TRUE(storage);
    EXPECT_EQ(storage->StreamNames(), std::vector<std::wstring>{L"DORVIX_ADDIN_STREAM"});

    ComPtr<IUnknown> object;
    for (int id : {100, 101}) {
        ASSERT_EQ(Objects()->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(PutModes(object.Get(), 3), S_OK);
    }
    ASSERT_EQ(framework_.ResumeProject(&error), S_OK) << error;
    EXPECT_EQ(ModesOf(100), 10);
    EXPECT_EQ(ModesOf(101), 11);
}

TEST_F(AddinTest, ATruncatedOrUnknownStreamLeavesTheObjectsAsTheyWere) {
    ASSERT_EQ(framework_.RaiseContextChange(), S_OK);
    const ComPtr<IUnknown> object = CreateModal(100);
    std::string error;
    ASSERT_EQ(framework_.SaveProject(&error), S_OK) << error;
    ComPtr<HostSimProjectStorage> storage = HostSimProjectStorage::Open(framework_.ProjectFile());
    HostSimProjectStorage::Bytes saved, newer;
    ASSERT_TRUE(storage->StreamBytes(L"DORVIX_ADDIN_STREAM", saved));
    {
        // The same data under a version this add-in does not know.
        BstrHolder name(L"NEWER");
        ComPtr<IUnknown> stream;
        ASSERT_EQ(storage->CreateStream(name.Get(), stream.ReleaseAndGetAddressOf()), S_OK);
        ASSERT_EQ(stream.As<IXenMultiplatformStream>()->writeINT(2), S_OK);
        ASSERT_EQ(addin_->Proxy().As<ISolverDatabase>()->SaveDB(stream.As<IXenMultiplatformStream>().Get()),
                  S_OK);
        ASSERT_EQ(stream.As<IQHProjectStream>()->Commit(), S_OK);
        ASSERT_TRUE(storage->StreamBytes(L"NEWER", newer));
    }

    ASSERT_EQ(PutModes(object.Get(), 9), S_OK);
    struct Row {
        HostSimProjectStorage::Bytes bytes;
        const char* reason;
    };
    const Row rows[] = {
        {HostSimProjectStorage::Bytes(saved.begin(), saved.end() - 1),
         "the saved settings of host object 100 end early"},
        {HostSimProjectStorage::Bytes(), "the add-in's project data ends before its version"},
        {newer, "the add-in's project data is of version 2; this add-in reads version 1"},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(storage->Commit(L"DORVIX_ADDIN_STREAM", row.bytes), S_OK);
        EXPECT_EQ(framework_.ResumeProject(&error), E_FAIL);
        EXPECT_EQ(error, std::string("the add-in could not resume its project data: ") + row.reason +
                             " (0x80004005)");
        EXPECT_EQ(ModesOf(100), 9);
    }
}

TEST_F(AddinTest, WithoutAProxySaveAndResumeFail) {
    ComPtr<HostSimProjectStorage> storage = HostSimProjectStorage::Open(framework_.ProjectFile());
    ASSERT_TRUE(storage);
    IUnknown* argument = static_cast<IQHProjectStorage*>(storage.Get());
    EXPECT_EQ(addin_->OnSaveProject(nullptr, argument), E_FAIL);
    EXPECT_EQ(addin_->OnResumeProject(nullptr, argument), E_FAIL);
    EXPECT_FALSE(fs::exists(framework_.ProjectFile()));
}

}  // namespace
