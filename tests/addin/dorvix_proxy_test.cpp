// The solver proxy as the host and the add-in use it: created by class id, named, asked which
// analyses the solver accepts, made to create, hand out and drop settings objects, and saving
// and resuming them in the host's project stream.

#include "addin/dorvix_proxy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "hostsim/object_model.h"
#include "hostsim/project_stream.h"
#include "platform/creation_registry.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "runtime/addin_services.h"

namespace {

class ProxyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDorvixProxyClass(), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DorvixProxy, proxy_, CLSCTX_SERVER), S_OK);
        ASSERT_TRUE(proxy_);
        objects_ = proxy_.As<IJXObjectsAddinProvider>();
        ASSERT_TRUE(objects_);
    }
    void TearDown() override { (void)UnregisterComponentClass(CLSID_DorvixProxy); }

    ComPtr<IDorvixProxy> proxy_;
    ComPtr<IJXObjectsAddinProvider> objects_;
};

}  // namespace

TEST_F(ProxyTest, AnswersEveryInterfaceAndKeepsTheModuleLoadedWhileItLives) {
    EXPECT_TRUE(proxy_.As<IXenSolverProxy>());
    EXPECT_TRUE(proxy_.As<ISolverValidation>());
    EXPECT_TRUE(proxy_.As<ISolverDatabase>());
    EXPECT_TRUE(proxy_.As<IMarshal>());
    const long before = ModuleLockCount();
    proxy_ = nullptr;
    objects_ = nullptr;
    EXPECT_EQ(ModuleLockCount(), before - 1);
}

TEST_F(ProxyTest, NameAndSolverAreCopiesAndNullClearsThem) {
    using Get = HRESULT (IXenSolverProxy::*)(BSTR*);
    using Put = HRESULT (IXenSolverProxy::*)(BSTR);
    const ComPtr<IXenSolverProxy> host = proxy_.As<IXenSolverProxy>();
    for (const auto& [get, put] :
         {std::pair<Get, Put>{&IXenSolverProxy::get_Name, &IXenSolverProxy::put_Name},
          std::pair<Get, Put>{&IXenSolverProxy::get_Solver, &IXenSolverProxy::put_Solver}}) {
        EXPECT_EQ(((*host).*get)(nullptr), E_POINTER);
        BstrHolder unset;
        EXPECT_EQ(((*host).*get)(unset.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_TRUE(unset.IsNull());

        BstrHolder value(L"Dorvix_Solver");
        EXPECT_EQ(((*host).*put)(value.Get()), S_OK);
        value = BstrHolder(L"changed afterwards");
        BstrHolder first;
        BstrHolder second;
        EXPECT_EQ(((*host).*get)(first.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(((*host).*get)(second.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(first.View(), L"Dorvix_Solver");
        EXPECT_NE(first.Get(), second.Get());

        EXPECT_EQ(((*host).*put)(nullptr), S_OK);
        EXPECT_EQ(((*host).*get)(first.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_TRUE(first.IsNull());
    }
    BstrHolder progId(L"DorvixSolver.JXDorvixSolver.120");
    EXPECT_EQ(proxy_->put_Solver(progId.Get()), S_OK);
    BstrHolder name;
    EXPECT_EQ(proxy_->get_Name(name.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(name.IsNull());
}

TEST_F(ProxyTest, AcceptsMechanicalStaticTransientBucklingModalAndThermalStaticTransient) {
    const ComPtr<ISolverValidation> validation = proxy_.As<ISolverValidation>();
    struct Row {
        int physics;
        int analysis;
        VARIANT_BOOL valid;
    };
    const Row rows[] = {
        {1, 0, VARIANT_TRUE},  {1, 1, VARIANT_FALSE}, {1, 2, VARIANT_TRUE},  {1, 3, VARIANT_FALSE},
        {1, 4, VARIANT_TRUE},  {1, 5, VARIANT_TRUE},  {2, 0, VARIANT_TRUE},  {2, 1, VARIANT_FALSE},
        {2, 2, VARIANT_TRUE},  {2, 4, VARIANT_FALSE}, {2, 5, VARIANT_FALSE}, {0, 0, VARIANT_FALSE},
        {3, 2, VARIANT_FALSE},
    };
    for (const Row& row : rows) {
        VARIANT_BOOL valid = 7;
        EXPECT_EQ(validation->CheckSolverValidity(static_cast<JXPhysicsType>(row.physics),
                                                  static_cast<JXSimulationType>(row.analysis), &valid),
                  S_OK);
        EXPECT_EQ(valid, row.valid) << row.physics << " " << row.analysis;
    }
    EXPECT_EQ(proxy_->CheckSolverValidity(kPT_Mechanical, kSIMULATION_STATIC, nullptr), E_POINTER);
}

TEST_F(ProxyTest, OnlyAnalysisSettingsObjectsAreSupported) {
    VARIANT_BOOL supported = VARIANT_FALSE;
    EXPECT_EQ(objects_->IsObjectTypeSupported(kHostAnalysisSettingsType, &supported), S_OK);
    EXPECT_EQ(supported, VARIANT_TRUE);
    EXPECT_EQ(objects_->IsObjectTypeSupported(428, &supported), S_OK);
    EXPECT_EQ(supported, VARIANT_FALSE);
    EXPECT_EQ(objects_->IsObjectTypeSupported(kHostAnalysisSettingsType, nullptr), E_POINTER);

    EXPECT_EQ(objects_->CreateObject(428, 20), E_FAIL);
    EXPECT_EQ(objects_->DeleteObject(428, 20), E_FAIL);
    IUnknown* object = reinterpret_cast<IUnknown*>(&supported);
    EXPECT_EQ(objects_->GetObject(428, 20, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 20, nullptr), E_POINTER);
}

TEST_F(ProxyTest, AFailedCreationHoldsNothing) {
    const ScopedComponentClass refusing(CLSID_DorvixAnalysisSettings,
                                        [](IUnknown*, REFIID, void**) { return E_OUTOFMEMORY; });
    EXPECT_EQ(objects_->CreateObject(kHostAnalysisSettingsType, 20), E_OUTOFMEMORY);
    ComPtr<IUnknown> object;
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 20, object.ReleaseAndGetAddressOf()), E_FAIL);
    EXPECT_FALSE(object);
    EXPECT_EQ(objects_->DeleteObject(kHostAnalysisSettingsType, 20), S_OK);
    EXPECT_EQ(objects_->ClearObjects(), S_OK);
}

namespace {

std::vector<std::uint8_t> LittleEndian(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

void Append(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

void Patch(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    const std::vector<std::uint8_t> word = LittleEndian(value);
    std::copy(word.begin(), word.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// A proxy holding settings objects for host objects 30 and 20 (created in that order) and 25,
// which the host does not know; 20 is a three-step mechanical transient analysis, 30 a thermal
// static one.
class ProxyDatabaseTest : public ProxyTest {
  protected:
    void SetUp() override {
        ProxyTest::SetUp();
        ASSERT_EQ(RegisterDorvixAnalysisSettingsClass(), S_OK);
        HostKnows({20, 30});
        for (int id : {30, 20, 25}) ASSERT_EQ(objects_->CreateObject(kHostAnalysisSettingsType, id), S_OK);
        ASSERT_EQ(Typed(20)->SetTypes(kPT_Mechanical, kSIMULATION_TRANSIENT), S_OK);
        ASSERT_EQ(Typed(20)->JX_put_NumberOfSteps(3), S_OK);
        ASSERT_EQ(Typed(30)->SetTypes(kPT_Thermal, kSIMULATION_STATIC), S_OK);
        ASSERT_EQ(Typed(25)->SetTypes(kPT_Mechanical, kSIMULATION_MODAL), S_OK);
    }
    void TearDown() override {
        AddinServices::ReleaseInstance();
        (void)UnregisterComponentClass(CLSID_DorvixAnalysisSettings);
        ProxyTest::TearDown();
    }

    // The host's objects are settings objects of these ids.
    static void HostKnows(std::initializer_list<int> ids) {
        std::vector<HostSimObject> known;
        for (int id : ids) {
            known.emplace_back();
            known.back().id = id;
            known.back().type = kHostAnalysisSettingsType;
        }
        const auto model = std::make_shared<HostSimObjectModel>(known);
        ASSERT_EQ(AddinServices::GetInstance().SetApplet(CreateHostSimApplet(model).Get()), S_OK);
    }
    ComPtr<IUnknown> Held(int id) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf()), S_OK);
        return object;
    }
    ComPtr<IJXAnalysisSettingsAddIn> Typed(int id) { return Held(id).As<IJXAnalysisSettingsAddIn>(); }
    std::uint32_t StepsOf(int id) {
        std::uint32_t steps = 0;
        EXPECT_EQ(Typed(id)->JX_get_NumberOfSteps(&steps), S_OK);
        return steps;
    }
    // What the held object writes of itself.
    std::vector<std::uint8_t> RecordOf(int id) {
        ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream();
        EXPECT_EQ(Held(id).As<IDorvixAnalysisSettings>()->SaveDB(stream.Get()), S_OK);
        return stream->Bytes();
    }
    std::vector<std::uint8_t> Saved() {
        ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream();
        EXPECT_EQ(proxy_.As<ISolverDatabase>()->SaveDB(stream.Get()), S_OK);
        return stream->Bytes();
    }
    // The answer, and through `bytesRead` how far the resume read.
    HRESULT Resume(std::vector<std::uint8_t> bytes, std::uint64_t* bytesRead = nullptr) {
        const std::size_t size = bytes.size();
        ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream(std::move(bytes));
        const HRESULT hr = proxy_.As<ISolverDatabase>()->ResumeDB(stream.Get());
        JXStream* binary = nullptr;
        EXPECT_EQ(stream->GetJXStreamAsLONG(&binary), S_OK);
        if (bytesRead) *bytesRead = size - binary->BytesLeft();
        return hr;
    }
};

}  // namespace

TEST_F(ProxyDatabaseTest, CreatingAnIdTwiceKeepsOneObjectAndDeletingReleasesIt) {
    const ComPtr<IUnknown> first = Held(20);
    EXPECT_EQ(objects_->CreateObject(kHostAnalysisSettingsType, 20), S_OK);
    EXPECT_EQ(Held(20).Get(), first.Get());
    EXPECT_EQ(StepsOf(20), 3u);

    EXPECT_EQ(objects_->DeleteObject(kHostAnalysisSettingsType, 20), S_OK);
    ComPtr<IUnknown> gone;
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 20, gone.ReleaseAndGetAddressOf()), E_FAIL);
    EXPECT_EQ(objects_->ClearObjects(), S_OK);
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 30, gone.ReleaseAndGetAddressOf()), E_FAIL);
}

TEST_F(ProxyDatabaseTest, SaveWritesVersionCountAndTheObjectsTheHostStillKnowsInAscendingIdOrder) {
    std::vector<std::uint8_t> expected;
    Append(expected, LittleEndian(1));
    Append(expected, LittleEndian(2));  // 25 is gone from the host
    Append(expected, LittleEndian(20));
    Append(expected, RecordOf(20));
    Append(expected, LittleEndian(30));
    Append(expected, RecordOf(30));
    EXPECT_EQ(Saved(), expected);
}

TEST_F(ProxyDatabaseTest, ResumeReadsEveryRecordBackIntoItsObject) {
    const std::vector<std::uint8_t> saved = Saved();
    ASSERT_EQ(Typed(20)->JX_put_NumberOfSteps(1), S_OK);
    // The host keeps the object it was handed; the resume must reach that very object.
    const ComPtr<IUnknown> keptObject = Held(20);
    const ComPtr<IJXAnalysisSettingsAddIn> kept = keptObject.As<IJXAnalysisSettingsAddIn>();
    ASSERT_EQ(Resume(saved), S_OK);
    EXPECT_EQ(Held(20).Get(), keptObject.Get());
    std::uint32_t keptSteps = 0;
    EXPECT_EQ(kept->JX_get_NumberOfSteps(&keptSteps), S_OK);
    EXPECT_EQ(keptSteps, 3u);
    JXPhysicsType physics = kPT_Mechanical;
    EXPECT_EQ(Held(30).As<IDorvixAnalysisSettings>()->get_PhysicsType(&physics), S_OK);
    EXPECT_EQ(physics, kPT_Thermal);
}

TEST_F(ProxyDatabaseTest, AStreamThatCannotBeReadInFullLeavesTheObjectsAsTheyWere) {
    const std::vector<std::uint8_t> saved = Saved();
    // Version, count, id 20, its record and id 30.
    const std::size_t toSecondId = 12 + RecordOf(20).size() + 4;
    ASSERT_EQ(Typed(20)->JX_put_NumberOfSteps(1), S_OK);
    const ComPtr<IUnknown> before20 = Held(20);
    const ComPtr<IUnknown> before30 = Held(30);
    const std::string left = std::to_string(saved.size() - 8);
    struct Row {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> spoil;
        HRESULT answer;
        // The reason the resume leaves as error information.
        std::string reason;
        // A count the bytes cannot hold is refused before any record is read.
        std::uint64_t readAtMost = ~std::uint64_t{0};
    };
    const Row rows[] = {
        {"truncated in the count", [](auto& b) { b.resize(6); }, E_FAIL,
         "the project data ends before the count of its settings records"},
        {"truncated after the second id", [&](auto& b) { b.resize(toSecondId); }, E_FAIL,
         "the saved settings of host object 30 end before their version"},
        {"truncated in the last record", [](auto& b) { b.pop_back(); }, E_FAIL,
         "the saved settings of host object 30 end early"},
        {"an id the proxy does not hold", [](auto& b) { Patch(b, 8, 99); }, E_FAIL,
         "the project data holds settings of host object 99, for which the add-in holds no settings object"},
        {"a huge count", [](auto& b) { Patch(b, 4, 0x7fffffff); }, E_FAIL,
         "the project data counts 2147483647 settings records, more than its " + left +
             " bytes left can hold",
         8},
        {"a negative count", [](auto& b) { Patch(b, 4, 0xffffffff); }, E_FAIL,
         "the project data counts -1 settings records", 8},
        {"an unknown version", [](auto& b) { Patch(b, 0, 2); }, E_FAIL,
         "the project's settings records are of version 2; this add-in reads version 1"},
        {"an object record of another version", [](auto& b) { Patch(b, 12, 5); }, E_FAIL,
         "the saved settings of host object 20 are of version 5; this add-in reads version 1"},
        {"settings of another analysis", [](auto& b) { Patch(b, 24, kSIMULATION_MODAL); }, E_FAIL,
         "the saved settings of host object 20 cannot be read: they are of another analysis or layout"},
        {"no records", [](auto& b) { Patch(b, 4, 0); }, S_OK, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::uint8_t> bytes = saved;
        row.spoil(bytes);
        std::uint64_t bytesRead = 0;
        EXPECT_EQ(Resume(bytes, &bytesRead), row.answer);
        EXPECT_EQ(platform::WideToUtf8(TakeErrorDescription()), row.reason);
        EXPECT_LE(bytesRead, row.readAtMost);
        EXPECT_EQ(Held(20).Get(), before20.Get());
        EXPECT_EQ(Held(30).Get(), before30.Get());
        EXPECT_EQ(StepsOf(20), 1u);
    }
}

// Whatever the host made of an object (types of any analysis, types the settings refuse, or none
// at all), a saved project resumes it as it was saved.
TEST_F(ProxyDatabaseTest, ASavedProjectResumesEveryObjectTheProxyCanHold) {
    struct Kind {
        int id;
        bool typed;
        JXPhysicsType physics;
        JXSimulationType analysis;
        HRESULT typesAnswer;
    };
    const Kind kinds[] = {
        {40, false, kPT_Mechanical, kSIMULATION_STATIC, S_OK},
        {41, true, kPT_Thermal, kSIMULATION_BUCKLING, E_FAIL},
        {42, true, kPT_Mechanical, kSIMULATION_STATIC, S_OK},
        {43, true, kPT_Mechanical, kSIMULATION_MODAL, S_OK},
        {44, true, kPT_Mechanical, kSIMULATION_BUCKLING, S_OK},
        {45, true, kPT_Thermal, kSIMULATION_TRANSIENT, S_OK},
    };
    HostKnows({20, 30, 40, 41, 42, 43, 44, 45});
    std::vector<std::vector<std::uint8_t>> before;
    for (const Kind& h : kinds) {
        ASSERT_EQ(objects_->CreateObject(kHostAnalysisSettingsType, h.id), S_OK);
        if (h.typed) {
            ASSERT_EQ(Typed(h.id)->SetTypes(h.physics, h.analysis), h.typesAnswer);
        }
        before.push_back(RecordOf(h.id));
    }
    const std::vector<std::uint8_t> saved = Saved();
    const BstrHolder changed(L"/elsewhere");
    for (const Kind& h : kinds) {
        if (h.typesAnswer == S_OK && h.typed) {
            ASSERT_EQ(Typed(h.id)->JX_put_SolverFilesDirectory(changed.Get()), S_OK);
        }
    }
    ASSERT_NE(RecordOf(42), before[2]);

    EXPECT_EQ(Resume(saved), S_OK);
    EXPECT_EQ(platform::WideToUtf8(TakeErrorDescription()), "");
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        SCOPED_TRACE(kinds[i].id);
        EXPECT_EQ(RecordOf(kinds[i].id), before[i]);
        JXSimulationType analysis = kSIMULATION_STATIC;
        EXPECT_EQ(Held(kinds[i].id).As<IDorvixAnalysisSettings>()->get_AnalysisType(&analysis), S_OK);
        EXPECT_EQ(analysis, kinds[i].analysis);
    }
    std::uint32_t steps = 0;
    EXPECT_EQ(Typed(40)->JX_get_NumberOfSteps(&steps), E_POINTER);
    EXPECT_EQ(Typed(41)->JX_get_NumberOfSteps(&steps), E_POINTER);
    EXPECT_EQ(StepsOf(20), 3u);
}
