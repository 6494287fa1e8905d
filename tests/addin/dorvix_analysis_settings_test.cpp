// The analysis-settings object as the host drives it: created by class id, given its types, edited
// through its setters (early and late bound), saved and resumed in the project stream, and walking
// the file-backed host's tree when steps and times change.

#include "addin/dorvix_analysis_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/unit_systems.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/host_sim.h"
#include "hostsim/project_stream.h"
#include "platform/creation_registry.h"
#include "platform/error_info.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "settings/step_controls_list.h"
#include "tests/addin/allocation_limit.h"
#include "tests/deck/deck_test_support.h"

#define TEST_WIDE(text) L##text

namespace {

using Settings = CDorvixAnalysisSettings;

ComPtr<Settings> NewSettings() {
    ComPtr<IDorvixAnalysisSettings> created;
    EXPECT_EQ(RegisterDorvixAnalysisSettingsClass(), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_DorvixAnalysisSettings, created), S_OK);
    return ComPtr<Settings>(static_cast<Settings*>(created.Get()));
}

ComPtr<Settings> NewSettings(JXPhysicsType physics, JXSimulationType analysis) {
    ComPtr<Settings> s = NewSettings();
    EXPECT_EQ(s->SetTypes(physics, analysis), S_OK);
    return s;
}

// Late-bound access by name, as a scripting host has it.
DISPID DispidOf(Settings* s, const wchar_t* name) {
    DISPID dispid = DISPID_UNKNOWN;
    const OLECHAR* names[] = {name};
    EXPECT_EQ(s->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid), S_OK) << platform::WideToUtf8(name);
    return dispid;
}

HRESULT GetByName(Settings* s, const wchar_t* name, VariantHolder& value) {
    DISPPARAMS none{};
    return s->Invoke(DispidOf(s, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value.ReleaseAndGet(),
                     nullptr, nullptr);
}

HRESULT PutByName(Settings* s, const wchar_t* name, const VariantHolder& value) {
    VARIANT arg = *value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return s->Invoke(DispidOf(s, name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                     nullptr);
}

VariantHolder I(std::int32_t v) { return VariantHolder(v); }
VariantHolder R(double v) { return VariantHolder(v); }
VariantHolder B(bool v) { return VariantHolder(v); }
VariantHolder S(const wchar_t* text) { return VariantHolder(std::wstring_view(text)); }
VariantHolder U(std::uint32_t v) {
    VariantHolder h(static_cast<std::int32_t>(v));
    h.Get()->vt = VT_UI4;
    return h;
}

// The value of a VARIANT as text, so that expectations of every type compare alike.
std::string Text(const VARIANT& v) {
    switch (v.vt) {
        case VT_I4:
            return "i" + std::to_string(v.lVal);
        case VT_UI4:
            return "u" + std::to_string(v.ulVal);
        case VT_R8:
            return "r" + std::to_string(v.dblVal);
        case VT_BOOL:
            return v.boolVal == VARIANT_TRUE ? "true" : v.boolVal == VARIANT_FALSE ? "false" : "bad bool";
        case VT_BSTR:
            return "s" + platform::WideToUtf8(BstrView(v.bstrVal));
        default:
            return "vt" + std::to_string(v.vt);
    }
}

std::string ReadText(Settings* s, const wchar_t* name) {
    VariantHolder value;
    const HRESULT hr = GetByName(s, name, value);
    return SUCCEEDED(hr) ? Text(*value) : "hr" + std::to_string(hr);
}

// Properties with setters and values that differ from the defaults.
struct PropertyValue {
    std::wstring name;
    VariantHolder value;
};

std::vector<PropertyValue> StepAnalysisValues() {
    std::vector<PropertyValue> values{{L"InitialComputation", B(true)},
                                      {L"SolverType", I(kDorvixSolver_Manual)},
                                      {L"ManualSolver", I(3)},
                                      {L"PrestressedStatic", B(true)},
                                      {L"UseAutoTimeStepping", I(kAutoTimeStepping_On)},
                                      {L"TimeStepDefineby", I(kTimeStepDefineBy_SubSteps)},
                                      {L"CarryOverTimeStep", B(true)},
                                      {L"MinimumTimeStep", R(0.05)},
                                      {L"MaximumTimeStep", R(0.5)},
                                      {L"InitialTimeStep", R(0.1)},
                                      {L"CalculateResultsAtTimePoints", I(kTimePoints_Last)},
                                      {L"FutureIntent", I(kFutureIntent_Restart)},
                                      {L"SolverFilesDirectory", S(L"/runs/a")},
                                      {L"SolverFilesRelativeDirectory", S(L"runs/a")},
                                      {L"ResultFileName", S(L"out.rst")},
                                      {L"CleanupOptionalDorvixFiles", B(false)},
                                      {L"NewtonIterationMaximumNumber", U(31)},
                                      {L"NewtonIterationOptimumNumber", U(17)},
                                      {L"NewtonResidualNormConvergence", R(0.25)},
                                      {L"NewtonEnergyConvergence", R(0.125)},
                                      {L"NewtonStiffnessMatrixConvergence", R(2e-9)},
                                      {L"NewtonRelaxationConvergence", R(3e-8)},
                                      {L"PrintingFrequencyNodalResults", U(2)},
                                      {L"PrintingFrequencyElementResults", U(3)},
                                      {L"PrintingFrequencyGeneralResults", U(4)},
                                      {L"StorageFrequencyNodalResults", U(5)},
                                      {L"StorageFrequencyElementResults", U(6)},
                                      {L"StorageFrequencySelectedResults", U(7)}};
    // Each of these values has a Type flag of the same name: Manual.
    const std::size_t valueCount = values.size();
    for (std::size_t i = valueCount - 12; i < valueCount; ++i)
        values.push_back({values[i].name + L"Type", B(true)});
    return values;
}

std::vector<PropertyValue> EigenAnalysisValues() {
    return {{L"NumModesToFind", I(12)},
            {L"MaxFrequency", R(5000.0)},
            {L"MinFrequency", R(10.0)},
            {L"HarmonicIndex", U(3000000000u)},
            {L"FutureIntent", I(kFutureIntent_PrestressedModal)},
            {L"CleanupOptionalDorvixFiles", B(false)}};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Without a host: the object alone.

TEST(DorvixAnalysisSettings, NewObjectAnswersOnlyItsTypesAndFlags) {
    ComPtr<Settings> s = NewSettings();
    EXPECT_EQ(ReadText(s.Get(), L"PhysicsType"), "i1");
    EXPECT_EQ(ReadText(s.Get(), L"AnalysisType"), "i0");
    EXPECT_EQ(ReadText(s.Get(), L"IgnoreNotify"), "false");
    EXPECT_EQ(ReadText(s.Get(), L"NonLinear"), "false");
#define DORVIX_EXPECT_NO_RECORD(name, type)                                   \
    if (std::wstring(TEST_WIDE(#name)) != L"NonLinear") {                     \
        type value{};                                                         \
        EXPECT_EQ(s->get_##name(&value), E_POINTER) << #name;                 \
        EXPECT_EQ(s->get_##name(nullptr), E_POINTER) << #name << " null out"; \
    }
    DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_EXPECT_NO_RECORD)
#undef DORVIX_EXPECT_NO_RECORD
    for (const PropertyValue& p : StepAnalysisValues())
        EXPECT_EQ(PutByName(s.Get(), p.name.c_str(), p.value), E_POINTER) << platform::WideToUtf8(p.name);
    EXPECT_EQ(s->put_CalculateThermalFlux(VARIANT_TRUE), E_POINTER);
    EXPECT_EQ(s->put_NumberOfSteps(2), E_POINTER);
    EXPECT_EQ(s->put_EndTime(2.0), E_FAIL);
    EXPECT_EQ(s->ResumeDB(CreateHostSimProjectStream().Get()), E_FAIL);
    EXPECT_EQ(s->SetHostCallback(CreateHostSimProjectStream().Get()), S_OK);
}

TEST(DorvixAnalysisSettings, SetTypesBuildsTheSettingsOfSupportedAnalysesOnly) {
    struct Row {
        JXPhysicsType physics;
        JXSimulationType analysis;
        HRESULT expected;
        std::string steps;  // NumberOfSteps as read
        std::string modes;  // NumModesToFind as read
    };
    const std::string noRecord = "hr" + std::to_string(E_POINTER);
    const Row rows[] = {
        {kPT_Mechanical, kSIMULATION_STATIC, S_OK, "u1", noRecord},
        {kPT_Mechanical, kSIMULATION_TRANSIENT, S_OK, "u1", noRecord},
        {kPT_Mechanical, kSIMULATION_MODAL, S_OK, noRecord, "i6"},
        {kPT_Mechanical, kSIMULATION_BUCKLING, S_OK, noRecord, "i6"},
        {kPT_Thermal, kSIMULATION_STATIC, S_OK, "u1", noRecord},
        {kPT_Thermal, kSIMULATION_TRANSIENT, S_OK, "u1", noRecord},
        {kPT_Thermal, kSIMULATION_BUCKLING, E_FAIL, noRecord, noRecord},
        {kPT_Mechanical, kSIMULATION_HARMONIC, E_FAIL, noRecord, noRecord},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.physics) + "/" + std::to_string(r.analysis));
        ComPtr<Settings> s = NewSettings(kPT_Mechanical, kSIMULATION_STATIC);
        EXPECT_EQ(s->SetTypes(r.physics, r.analysis), r.expected);
        EXPECT_EQ(ReadText(s.Get(), L"NumberOfSteps"), r.steps);
        EXPECT_EQ(ReadText(s.Get(), L"NumModesToFind"), r.modes);
        std::uint32_t steps = 0;
        if (r.steps == noRecord) {
            EXPECT_EQ(s->get_NumberOfSteps(&steps), E_POINTER);
            EXPECT_EQ(steps, 1u);
        }
        EXPECT_EQ(ReadText(s.Get(), L"AnalysisType"), "i" + std::to_string(r.analysis));
    }
}

// Every value put late-bound reads back late-bound; a setter wired to another property's field
// shows as a wrong value of one of them.
TEST(DorvixAnalysisSettings, EveryPropertyReadsBackWhatWasPutLateBound) {
    struct Kind {
        JXPhysicsType physics;
        JXSimulationType analysis;
        std::vector<PropertyValue> values;
    };
    const Kind kinds[] = {{kPT_Mechanical, kSIMULATION_STATIC, StepAnalysisValues()},
                          {kPT_Mechanical, kSIMULATION_MODAL, EigenAnalysisValues()}};
    for (const Kind& k : kinds) {
        ComPtr<Settings> s = NewSettings(k.physics, k.analysis);
        // A value may be some class's default already (S_FALSE where the setter says so).
        for (const PropertyValue& p : k.values)
            EXPECT_TRUE(SUCCEEDED(PutByName(s.Get(), p.name.c_str(), p.value)))
                << platform::WideToUtf8(p.name);
        for (const PropertyValue& p : k.values)
            EXPECT_EQ(ReadText(s.Get(), p.name.c_str()), Text(*p.value)) << platform::WideToUtf8(p.name);
    }
    ComPtr<Settings> s = NewSettings();
    EXPECT_EQ(DispidOf(s.Get(), L"SolverFilesDirectory"), 400);
    EXPECT_EQ(DispidOf(s.Get(), L"calculatethermalflux"), 5056);
    EXPECT_EQ(PutByName(s.Get(), L"IgnoreNotify", B(true)), S_OK);
    EXPECT_EQ(ReadText(s.Get(), L"IgnoreNotify"), "true");
    EXPECT_EQ(PutByName(s.Get(), L"NonLinear", B(true)), DISP_E_MEMBERNOTFOUND);
}

// The step counts and time steps derive from each other through the step's span (1.0).
TEST(DorvixAnalysisSettings, SubStepCountsAndTimeStepsFollowEachOther) {
    struct Row {
        const wchar_t* put;
        VariantHolder value;
        const wchar_t* read;
        std::string expected;
    };
    const Row rows[] = {
        {L"TimeStep", R(0.25), L"MinimumTimeStep", "r0.250000"},
        {L"InitialSteps", U(8), L"InitialTimeStep", "r0.125000"},
        {L"MinimumSteps", U(2), L"MaximumTimeStep", "r0.500000"},
        {L"MaximumSteps", U(20), L"MinimumTimeStep", "r0.050000"},
        {L"NumberOfSubSteps", U(5), L"TimeStep", "r0.200000"},
        {L"MaximumTimeStep", R(0.25), L"MinimumSteps", "u4"},
        {L"MinimumTimeStep", R(0.01), L"MaximumSteps", "u100"},
    };
    ComPtr<Settings> s = NewSettings(kPT_Mechanical, kSIMULATION_TRANSIENT);
    for (const Row& r : rows) {
        EXPECT_EQ(PutByName(s.Get(), r.put, r.value), S_OK) << platform::WideToUtf8(r.put);
        EXPECT_EQ(ReadText(s.Get(), r.read), r.expected) << platform::WideToUtf8(r.put);
    }
}

TEST(DorvixAnalysisSettings, TextsAnswerTheirEmptyFormsAsTheHostExpects) {
    ComPtr<Settings> s = NewSettings(kPT_Thermal, kSIMULATION_STATIC);
    BSTR untouched = reinterpret_cast<BSTR>(0x1);
    BSTR out = untouched;
    EXPECT_EQ(s->get_ResultFileName(&out), S_FALSE);
    EXPECT_EQ(s->JX_get_SolverFilesDirectory(&out), S_OK);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(s->get_SolverFilesDirectory(&out), S_OK);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(s->JX_put_SolverFilesRelativeDirectory(BstrHolder(L"/scratch").Get()), S_OK);
    EXPECT_EQ(ReadText(s.Get(), L"SolverFilesRelativeDirectory"), "s/scratch");
}

TEST(DorvixAnalysisSettings, ModeControlsFollowTheirRules) {
    struct Row {
        const char* what;
        std::function<HRESULT(Settings*)> put;
        HRESULT expected;
        const wchar_t* read;
        std::string value;
    };
    const Row rows[] = {
        {"no modes falls back to six", [](Settings* s) { return s->put_NumModesToFind(0); }, S_OK,
         L"NumModesToFind", "i6"},
        {"stored range search", [](Settings* s) { return s->put_RangeSearch(VARIANT_FALSE); }, S_FALSE,
         L"RangeSearch", "false"},
        {"range search takes -1 only",
         [](Settings* s) { return s->put_RangeSearch(VARIANT_TRUE) | s->put_RangeSearch(1); }, S_OK,
         L"RangeSearch", "false"},
    };
    for (JXSimulationType analysis : {kSIMULATION_MODAL, kSIMULATION_BUCKLING}) {
        for (const Row& r : rows) {
            ComPtr<Settings> s = NewSettings(kPT_Mechanical, analysis);
            EXPECT_EQ(r.put(s.Get()), r.expected) << r.what;
            EXPECT_EQ(ReadText(s.Get(), r.read), r.value) << r.what;
        }
    }
}

TEST(DorvixAnalysisSettings, StepEndTimesRefuseStepsThatDoNotExist) {
    struct Row {
        const char* what;
        JXSimulationType analysis;
        std::uint32_t step;
        double time;
        HRESULT expected;
    };
    const Row rows[] = {
        {"step 0", kSIMULATION_STATIC, 0, 1.5, E_FAIL},
        {"above the count", kSIMULATION_STATIC, 3, 4.0, E_FAIL},
        {"no step found (-1)", kSIMULATION_STATIC, 0xFFFFFFFFu, 4.0, E_FAIL},
        {"no step list", kSIMULATION_MODAL, 1, 4.0, E_FAIL},
        {"same within 1e-10", kSIMULATION_STATIC, 2, 2.0 * (1 + 5e-11), S_FALSE},
        {"before the step before", kSIMULATION_STATIC, 2, 0.5, E_FAIL},
        {"between its neighbours", kSIMULATION_STATIC, 2, 2.5, S_OK},
    };
    for (const Row& r : rows) {
        ComPtr<Settings> s = NewSettings(kPT_Mechanical, r.analysis);
        if (r.analysis == kSIMULATION_STATIC) {
            ASSERT_EQ(s->put_NumberOfSteps(2), S_OK);
        }
        EXPECT_EQ(s->SetStepEndTime(r.step, r.time), r.expected) << r.what;
        double end = 0.0;
        if (r.analysis == kSIMULATION_STATIC) {
            EXPECT_EQ(s->GetStepEndTime(2, &end), S_OK);
            EXPECT_EQ(end, r.expected == S_OK ? r.time : 2.0) << r.what;
        }
    }
}

TEST(DorvixAnalysisSettings, ATimeOutsideEveryStepForgetsTheStepAndItsRecords) {
    ComPtr<Settings> s = NewSettings(kPT_Mechanical, kSIMULATION_STATIC);
    ASSERT_EQ(s->put_NumberOfSteps(2), S_OK);
    EXPECT_EQ(s->put_CurrentTime(1.5), S_OK);
    EXPECT_EQ(ReadText(s.Get(), L"CurrentStepNumber"), "u2");
    EXPECT_EQ(s->put_CurrentTime(7.0), E_FAIL);
    for (const wchar_t* name : {L"EndTime", L"CurrentStepNumber", L"InitialTimeStep", L"CalculateStress"})
        EXPECT_EQ(ReadText(s.Get(), name), "hr" + std::to_string(E_POINTER)) << platform::WideToUtf8(name);
    EXPECT_EQ(s->put_CurrentStepNumber(1), S_OK);
    EXPECT_EQ(ReadText(s.Get(), L"EndTime"), "r1.000000");
}

TEST(DorvixAnalysisSettings, OutputRequestsReachEveryStepWhereTheAnalysisKeepsThem) {
    ComPtr<Settings> s = NewSettings(kPT_Mechanical, kSIMULATION_STATIC);
    ASSERT_EQ(s->put_NumberOfSteps(3), S_OK);
    ASSERT_EQ(s->put_CurrentStepNumber(1), S_OK);
    EXPECT_EQ(s->put_CalculateStress(VARIANT_FALSE), S_OK);
    EXPECT_EQ(s->put_CalculateContact(VARIANT_TRUE), S_OK);
    EXPECT_EQ(ReadText(s.Get(), L"CurrentStepNumber"), "u3");
    for (std::uint32_t step : {1u, 2u, 3u}) {
        ASSERT_EQ(s->put_CurrentStepNumber(step), S_OK);
        EXPECT_EQ(ReadText(s.Get(), L"CalculateStress"), "false") << step;
        EXPECT_EQ(ReadText(s.Get(), L"CalculateContact"), "true") << step;
    }
    ComPtr<Settings> modal = NewSettings(kPT_Mechanical, kSIMULATION_MODAL);
    EXPECT_EQ(modal->put_CalculateStrain(VARIANT_TRUE), S_OK);
    EXPECT_EQ(ReadText(modal.Get(), L"CalculateStrain"), "true");
}

// ---------------------------------------------------------------------------------------
// With the file-backed host of the settings-tree case: the settings' host object is 10, its
// analysis 9 with step objects 21 to 24 and time table 25.

namespace {

// The case with a host working in the given solver unit system.
std::shared_ptr<HostSimCase> TreeCase(int unitSystem = kUnitsSolverMks | kUnitFlagCelsius) {
    std::shared_ptr<HostSimCase> hostCase = LoadHostCase(decktest::CaseFolder("settings-tree"));
    hostCase->units.currentSystem = 0;
    hostCase->units.solverSystems = {{0, unitSystem}};
    return hostCase;
}

HostSimObject& ObjectOf(HostSimCase& hostCase, int id) {
    for (HostSimObject& o : hostCase.objects)
        if (o.id == id) return o;
    throw std::runtime_error("no object " + std::to_string(id));
}

// A host for one test, with the settings object of a two-step analysis attached to it.
class HostedSettings {
  public:
    explicit HostedSettings(std::shared_ptr<HostSimCase> hostCase = TreeCase(),
                            JXPhysicsType physics = kPT_Mechanical,
                            JXSimulationType analysis = kSIMULATION_STATIC)
        : host_(std::move(hostCase)) {
        AddinServices::ReleaseInstance();
        (void)AddinServices::GetInstance().SetApplet(host_.Applet().Get());
        settings = NewSettings(physics, analysis);
        // Two steps before the object knows its host, like the host's tree.
        if (analysis == kSIMULATION_STATIC || analysis == kSIMULATION_TRANSIENT) {
            EXPECT_EQ(settings->put_NumberOfSteps(2), S_OK);
        }
        EXPECT_EQ(settings->put_AnalysisSettingsID(10), S_OK);
        EXPECT_EQ(settings->SetHostCallback(CreateHostSimSettingsCallback(host_.Calls()).Get()), S_OK);
        host_.Calls()->Clear();
    }
    ~HostedSettings() { AddinServices::ReleaseInstance(); }

    std::vector<std::string> TakeCalls() {
        std::vector<std::string> lines = host_.Calls()->Lines();
        host_.Calls()->Clear();
        return lines;
    }
    int TakeNotifications() {
        int n = 0;
        for (const std::string& line : TakeCalls()) n += line == "settings changed (11)";
        return n;
    }

    ComPtr<Settings> settings;

  private:
    HostSim host_;
};

using Lines = std::vector<std::string>;

// Every property as read late-bound, for comparing whole objects.
std::vector<std::string> Snapshot(Settings* s) {
    std::vector<std::string> values;
#define DORVIX_READ_PROPERTY(name, type) values.push_back(#name "=" + ReadText(s, TEST_WIDE(#name)));
    DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_READ_PROPERTY)
#undef DORVIX_READ_PROPERTY
    for (std::uint32_t step = 1; step <= 3; ++step) {
        double end = -1.0;
        values.push_back("end" + std::to_string(step) + "=" + std::to_string(s->GetStepEndTime(step, &end)) +
                         "/" + std::to_string(end));
    }
    return values;
}

// The snapshot of every step in turn.
std::vector<std::string> SnapshotSteps(Settings* s) {
    std::uint32_t count = 0;
    if (FAILED(s->get_NumberOfSteps(&count))) return Snapshot(s);
    std::vector<std::string> values;
    for (std::uint32_t step = 1; step <= count; ++step) {
        EXPECT_EQ(s->put_CurrentStepNumber(step), S_OK);
        for (std::string& v : Snapshot(s)) values.push_back(std::move(v));
    }
    return values;
}

std::vector<std::uint8_t> Saved(Settings* s) {
    ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream();
    EXPECT_EQ(s->SaveDB(stream.Get()), S_OK);
    return stream->Bytes();
}

}  // namespace

TEST(DorvixAnalysisSettingsHost, SettersNotifyTheHostOnlyOfChangesAndNeverWhenIgnored) {
    struct Row {
        const char* what;
        std::function<HRESULT(Settings*)> put;
        HRESULT expected;
        int notifications;
        const wchar_t* read;
        std::string value;
    };
    const Row rows[] = {
        {"stored value",
         [](Settings* s) { return s->put_UseAutoTimeStepping(kAutoTimeStepping_ProgramControlled); }, S_FALSE,
         0, L"UseAutoTimeStepping", "i0"},
        {"new value", [](Settings* s) { return s->put_UseAutoTimeStepping(kAutoTimeStepping_Off); }, S_OK, 1,
         L"UseAutoTimeStepping", "i2"},
        {"negative time step", [](Settings* s) { return s->put_InitialTimeStep(-0.5); }, S_FALSE, 0,
         L"InitialTimeStep", "r1.000000"},
        {"time step no number", [](Settings* s) { return s->put_MinimumTimeStep(std::nan("")); }, S_FALSE, 0,
         L"MaximumSteps", "u10"},
        {"large deformation clears prestress",
         [](Settings* s) {
             (void)s->put_PrestressedStatic(VARIANT_TRUE);
             return s->put_UseLargeDeformation(VARIANT_TRUE);
         },
         S_OK, 3, L"PrestressedStatic", "false"},
        {"host's directory put",
         [](Settings* s) { return s->JX_put_SolverFilesDirectory(BstrHolder(L"/d").Get()); }, S_OK, 0,
         L"SolverFilesDirectory", "s/d"},
        {"current time", [](Settings* s) { return s->put_CurrentTime(2.0); }, S_OK, 0, L"CurrentStepNumber",
         "u2"},
        {"step above the count", [](Settings* s) { return s->put_CurrentStepNumber(5); }, S_OK, 1,
         L"CurrentStepNumber", "u1"},
        {"step 0", [](Settings* s) { return s->put_CurrentStepNumber(0); }, E_FAIL, 0, L"CurrentStepNumber",
         "u1"},
        {"carry-over takes any non-zero", [](Settings* s) { return s->put_CarryOverTimeStep(1); }, S_OK, 1,
         L"CarryOverTimeStep", "true"},
        {"prestress takes -1 only", [](Settings* s) { return s->put_PrestressedStatic(1); }, S_OK, 1,
         L"PrestressedStatic", "false"},
        {"end time beyond the next step's", [](Settings* s) { return s->put_EndTime(3.0); }, E_FAIL, 1,
         L"EndTime", "r1.000000"},
        {"callback object without the notification interface",
         [](Settings* s) {
             const HRESULT kept = s->SetHostCallback(CreateHostSimProjectStream().Get());
             return kept == S_OK ? s->put_UseAutoTimeStepping(kAutoTimeStepping_Off) : kept;
         },
         S_OK, 0, L"UseAutoTimeStepping", "i2"},
    };
    for (bool ignore : {false, true}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.what) + (ignore ? " (ignored)" : ""));
            HostedSettings hosted;
            ASSERT_EQ(hosted.settings->put_IgnoreNotify(ignore ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
            EXPECT_EQ(r.put(hosted.settings.Get()), r.expected);
            EXPECT_EQ(hosted.TakeNotifications(), ignore ? 0 : r.notifications);
            EXPECT_EQ(ReadText(hosted.settings.Get(), r.read), r.value);
        }
    }
}

TEST(DorvixAnalysisSettingsHost, StepCountsReachEveryPerStepObjectOfTheAnalysis) {
    HostedSettings hosted;
    Settings* s = hosted.settings.Get();
    EXPECT_EQ(s->put_NumberOfSteps(2), S_OK);
    EXPECT_EQ(hosted.TakeCalls(), Lines{});
    EXPECT_EQ(s->put_NumberOfSteps(4), S_OK);
    EXPECT_EQ(hosted.TakeCalls(),
              (Lines{"add step 3 to object 21", "add step 4 to object 21", "add step 3 to object 22",
                     "add step 4 to object 22", "insert step row 3 into object 23",
                     "insert step row 4 into object 23", "step count 4 on object 28",
                     "current time of object 9: 1", "settings changed (11)"}));
    EXPECT_EQ(s->put_CurrentStepNumber(3), S_OK);
    EXPECT_EQ(hosted.TakeCalls(), (Lines{"current time of object 9: 3", "settings changed (11)"}));
    EXPECT_EQ(s->put_NumberOfSteps(1), S_OK);
    EXPECT_EQ(
        hosted.TakeCalls(),
        (Lines{"remove step 4 from object 21", "remove step 3 from object 21", "remove step 2 from object 21",
               "remove step 4 from object 22", "remove step 3 from object 22", "remove step 2 from object 22",
               "delete step row 4 from object 23", "delete step row 3 from object 23",
               "delete step row 2 from object 23", "step count 1 on object 28", "current time of object 9: 1",
               "settings changed (11)"}));
}

// A count above the bound is refused before any step is made or the host is asked anything.
TEST(DorvixAnalysisSettingsHost, AStepCountAboveTheBoundChangesNothing) {
    HostedSettings hosted;
    Settings* s = hosted.settings.Get();
    ASSERT_EQ(s->put_NumberOfSteps(2), S_OK);
    (void)hosted.TakeCalls();
    (void)hosted.TakeNotifications();
    for (const std::uint32_t count : {std::uint32_t{kMaxStepCount} + 1, std::uint32_t{705894383}}) {
        EXPECT_EQ(s->put_NumberOfSteps(count), E_INVALIDARG) << count;
        EXPECT_EQ(hosted.TakeCalls(), Lines{}) << count;
        EXPECT_EQ(hosted.TakeNotifications(), 0) << count;
        EXPECT_EQ(ReadText(s, L"NumberOfSteps"), "u2") << count;
    }
}

TEST(DorvixAnalysisSettingsHost, AStepCountTheHostRefusesEndsTheCall) {
    std::shared_ptr<HostSimCase> hostCase = TreeCase();
    ObjectOf(*hostCase, 28).stepLimit = 3;
    HostedSettings hosted(hostCase);
    EXPECT_TRUE(FAILED(hosted.settings->put_NumberOfSteps(4)));
    const Lines calls = hosted.TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "step count 4 on object 28 refused");
}

TEST(DorvixAnalysisSettingsHost, TheFirstStepsEndTimeMovesTheTimeTables) {
    HostedSettings hosted;
    EXPECT_EQ(hosted.settings->SetStepEndTime(1, 0.5), S_OK);
    EXPECT_EQ(
        hosted.TakeCalls(),
        (Lines{"time of entry 1 position 1 of object 25: 0.5", "time of entry 2 position 1 of object 25: 0.5",
               "time of entry 3 position 2 of object 25: 0.5", "current time of object 9: 0.5"}));
    EXPECT_EQ(hosted.settings->put_CurrentStepNumber(2), S_OK);
    (void)hosted.TakeCalls();
    EXPECT_EQ(hosted.settings->put_EndTime(3.0), S_OK);
    EXPECT_EQ(hosted.TakeCalls(), (Lines{"current time of object 9: 3", "settings changed (11)"}));
}

TEST(DorvixAnalysisSettingsHost, NonLinearFollowsContactsLoadsMaterialsAndLargeDeformation) {
    using Change = std::function<void(HostSimCase&)>;
    // Thermal rows take the material's nonlinearity away first, so that only their load counts.
    auto load = [](int id, HostSimObject::LoadState state) -> Change {
        return [=](HostSimCase& c) { ObjectOf(c, id).loadObject = state; };
    };
    const std::tuple<const char*, JXPhysicsType, Change, std::string> rows[] = {
        {"structural as given", kPT_Mechanical, [](HostSimCase&) {}, "false"},
        {"contact of kind 3", kPT_Mechanical, [](HostSimCase& c) { ObjectOf(c, 40).contactRegion->kind = 3; },
         "true"},
        {"suppressed contact of kind 4", kPT_Mechanical,
         [](HostSimCase& c) {
             ObjectOf(c, 40).contactRegion = HostSimObject::RegionState{4, true};
         },
         "false"},
        {"thermal material", kPT_Thermal, nullptr, "true"},
        {"rigid body", kPT_Thermal, [](HostSimCase& c) { ObjectOf(c, 31).body->flexible = false; }, "false"},
        {"thermal, linear material", kPT_Thermal, [](HostSimCase&) {}, "false"},
        {"varying body load of kind 10", kPT_Thermal,
         [](HostSimCase& c) {
             (*ObjectOf(c, 26).loadsByKind)[10] = 21;
             ObjectOf(c, 21).loadObject->scopedToBody = true;
         },
         "true"},
        {"tabular load of type 554", kPT_Thermal, load(22, {554, false, 2, false}), "true"},
        {"suppressed load of type 565", kPT_Thermal, load(22, {565, true, 1, false}), "false"},
        {"load of type 566", kPT_Thermal, load(22, {566, false, 1, false}), "true"},
    };
    for (const auto& [what, physics, change, expected] : rows) {
        std::shared_ptr<HostSimCase> hostCase = TreeCase();
        if (change && physics == kPT_Thermal)
            ObjectOf(*hostCase, 32).materialNonlinearKinds = std::vector<int>{};
        if (change) change(*hostCase);
        HostedSettings hosted(hostCase, physics);
        EXPECT_EQ(ReadText(hosted.settings.Get(), L"NonLinear"), expected) << what;
        ASSERT_EQ(hosted.settings->put_UseLargeDeformation(VARIANT_TRUE), S_OK);
        EXPECT_EQ(ReadText(hosted.settings.Get(), L"NonLinear"), "true") << what << ", large deformation";
    }
}

// The record keeps the temperature in degrees Celsius whatever the host shows: a value put in one
// host's units reads back converted in another's.
TEST(DorvixAnalysisSettingsHost, ReferenceTemperatureIsShownAndTakenInTheHostsUnits) {
    std::vector<std::uint8_t> saved;
    {
        HostedSettings fahrenheit(TreeCase(kUnitsBftStandard), kPT_Mechanical, kSIMULATION_MODAL);
        EXPECT_EQ(ReadText(fahrenheit.settings.Get(), L"RefTemperature"), "r32.000000");
        EXPECT_EQ(fahrenheit.settings->put_RefTemperature(212.0), S_OK);
        EXPECT_EQ(fahrenheit.TakeNotifications(), 1);
        saved = Saved(fahrenheit.settings.Get());
    }
    HostedSettings kelvin(TreeCase(kUnitsSolverMks), kPT_Mechanical, kSIMULATION_MODAL);
    EXPECT_EQ(kelvin.settings->ResumeDB(CreateHostSimProjectStream(saved).Get()), S_OK);
    EXPECT_EQ(ReadText(kelvin.settings.Get(), L"RefTemperature"), "r373.150000");

    // Without a unit system nothing converts: the value is refused and the host not told.
    std::shared_ptr<HostSimCase> noUnits = TreeCase();
    noUnits->units.solverSystems.clear();
    HostedSettings unitless(noUnits, kPT_Mechanical, kSIMULATION_BUCKLING);
    EXPECT_TRUE(FAILED(unitless.settings->put_RefTemperature(50.0)));
    EXPECT_EQ(unitless.TakeNotifications(), 0);
}

TEST(DorvixAnalysisSettingsHost, SaveAndResumeKeepEverySettingOfEveryAnalysis) {
    struct Kind {
        JXPhysicsType physics;
        JXSimulationType analysis;
    };
    const Kind kinds[] = {{kPT_Mechanical, kSIMULATION_STATIC}, {kPT_Mechanical, kSIMULATION_TRANSIENT},
                          {kPT_Thermal, kSIMULATION_STATIC},    {kPT_Thermal, kSIMULATION_TRANSIENT},
                          {kPT_Mechanical, kSIMULATION_MODAL},  {kPT_Mechanical, kSIMULATION_BUCKLING}};
    for (const Kind& k : kinds) {
        SCOPED_TRACE(std::to_string(k.physics) + "/" + std::to_string(k.analysis));
        HostedSettings source(TreeCase(), k.physics, k.analysis);
        Settings* s = source.settings.Get();
        const bool eigen = k.analysis == kSIMULATION_MODAL || k.analysis == kSIMULATION_BUCKLING;
        for (const PropertyValue& p : eigen ? EigenAnalysisValues() : StepAnalysisValues())
            ASSERT_TRUE(SUCCEEDED(PutByName(s, p.name.c_str(), p.value))) << platform::WideToUtf8(p.name);
        if (!eigen) {
            ASSERT_EQ(s->SetStepEndTime(2, 3.5), S_OK);
            ASSERT_EQ(s->put_CalculateThermalFlux(VARIANT_FALSE), S_OK);
        } else {
            ASSERT_EQ(s->put_RefTemperature(41.0), S_OK);
        }
        const std::vector<std::string> before = SnapshotSteps(s);
        ComPtr<Settings> resumed = NewSettings(k.physics, k.analysis);
        ASSERT_EQ(resumed->put_AnalysisSettingsID(10), S_OK);
        EXPECT_EQ(resumed->ResumeDB(CreateHostSimProjectStream(Saved(s)).Get()), S_OK);
        EXPECT_EQ(SnapshotSteps(resumed.Get()), before);
    }
}

TEST(DorvixAnalysisSettingsHost, ATruncatedStreamLeavesTheObjectAsItWas) {
    HostedSettings hosted;
    Settings* s = hosted.settings.Get();
    std::vector<std::uint8_t> bytes = Saved(s);
    ASSERT_EQ(PutByName(s, L"InitialTimeStep", R(0.2)), S_OK);
    ASSERT_EQ(s->put_NumberOfSteps(3), S_OK);
    const std::vector<std::string> before = Snapshot(s);
    for (std::size_t keep : {std::size_t{0}, std::size_t{4}, bytes.size() / 2, bytes.size() - 1}) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
        EXPECT_TRUE(FAILED(s->ResumeDB(CreateHostSimProjectStream(cut).Get()))) << keep;
        EXPECT_EQ(Snapshot(s), before) << keep;
    }
}

TEST(DorvixAnalysisSettingsHost, ARecordOfAnotherVersionIsRefused) {
    HostedSettings hosted;
    Settings* s = hosted.settings.Get();
    ComPtr<HostSimProjectStream> header = CreateHostSimProjectStream();
    ASSERT_EQ(header->writeUINT(2), S_OK);
    std::vector<std::uint8_t> bytes = Saved(s);
    std::copy(header->Bytes().begin(), header->Bytes().end(), bytes.begin());
    ASSERT_EQ(s->put_NumberOfSteps(3), S_OK);
    const std::vector<std::string> before = Snapshot(s);
    EXPECT_EQ(s->ResumeDB(CreateHostSimProjectStream(bytes).Get()), E_FAIL);
    EXPECT_EQ(Snapshot(s), before);
    EXPECT_EQ(NewSettings()->ResumeDB(CreateHostSimProjectStream(header->Bytes()).Get()), E_FAIL);
}

// An object without settings (never typed, or given types it does not support) saves a record
// without settings and resumes from it, leaving what follows to the next reader; a record is
// taken only by an object that holds what the record holds.
TEST(DorvixAnalysisSettings, AnObjectWithoutSettingsResumesWhatItSaved) {
    for (bool typed : {false, true}) {
        SCOPED_TRACE(typed ? "unsupported types" : "never typed");
        ComPtr<Settings> saved = NewSettings();
        if (typed) {
            ASSERT_EQ(saved->SetTypes(kPT_Thermal, kSIMULATION_BUCKLING), E_FAIL);
        }
        ComPtr<HostSimProjectStream> written = CreateHostSimProjectStream();
        ASSERT_EQ(saved->SaveDB(written.Get()), S_OK);
        ASSERT_EQ(written->writeUINT(77), S_OK);

        ComPtr<HostSimProjectStream> reading = CreateHostSimProjectStream(written->Bytes());
        EXPECT_EQ(NewSettings()->ResumeDB(reading.Get()), S_OK);
        std::uint32_t next = 0;
        EXPECT_EQ(reading->readUINT(&next), S_OK);
        EXPECT_EQ(next, 77u);

        ComPtr<Settings> withSettings = NewSettings(kPT_Mechanical, kSIMULATION_STATIC);
        ASSERT_EQ(withSettings->put_AnalysisSettingsID(12), S_OK);
        const std::vector<std::string> before = Snapshot(withSettings.Get());
        EXPECT_EQ(withSettings->ResumeDB(CreateHostSimProjectStream(written->Bytes()).Get()), E_FAIL);
        EXPECT_EQ(platform::WideToUtf8(TakeErrorDescription()),
                  "the saved settings of host object 12 are missing: the object saved had no settings");
        EXPECT_EQ(Snapshot(withSettings.Get()), before);

        EXPECT_EQ(saved->ResumeDB(CreateHostSimProjectStream(Saved(withSettings.Get())).Get()), E_FAIL);
        EXPECT_EQ(platform::WideToUtf8(TakeErrorDescription()),
                  "the saved settings cannot be taken: the object has no analysis types it supports");
    }
}

// The stream reaches SaveDB late-bound as any interface of it; a stream that can no longer be
// written makes the save fail instead of passing for done.
TEST(DorvixAnalysisSettingsHost, SaveAnswersTheStreamsFailureLateBoundToo) {
    ComPtr<Settings> s = NewSettings(kPT_Mechanical, kSIMULATION_BUCKLING);
    auto save = [&](IUnknown* stream) {
        VariantHolder arg(stream);
        VARIANT args[] = {*arg};
        DISPPARAMS params{args, nullptr, 1, 0};
        return s->Invoke(DispidOf(s.Get(), L"SaveDB"), IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
    };
    ComPtr<HostSimProjectStream> good = CreateHostSimProjectStream();
    EXPECT_EQ(save(good.Get()), S_OK);
    EXPECT_FALSE(good->Bytes().empty());
    ComPtr<HostSimProjectStream> broken = CreateHostSimProjectStream();
    JXStream* binary = nullptr;
    ASSERT_EQ(broken->GetJXStreamAsLONG(&binary), S_OK);
    binary->Fail();
    EXPECT_TRUE(FAILED(save(broken.Get())));
    EXPECT_EQ(save(s->InnerUnknown()), E_NOINTERFACE);
}

namespace {

// Runs `attempt` with 0, 1, 2 ... allocations allowed until one run meets no refused
// allocation. Each run prepares afresh (outside the limit) and hands the operation to call
// under it; no exception may leave the operation, and `refusedAnswer` sees the answer of every
// run that met a refused allocation.
void UnderEveryAllocationFailure(const std::function<std::function<HRESULT()>()>& prepare,
                                 const std::function<void(HRESULT)>& refusedAnswer) {
    for (std::size_t allowed = 0; allowed < 20000; ++allowed) {
        const std::function<HRESULT()> operation = prepare();
        HRESULT hr = S_OK;
        bool threw = false;
        bool refused = false;
        {
            AllocationLimit limit(allowed);
            try {
                hr = operation();
            } catch (...) {
                threw = true;
            }
            refused = limit.Refused();
        }
        EXPECT_FALSE(threw) << "with " << allowed << " allocations allowed";
        if (!refused) return;
        refusedAnswer(hr);
    }
    ADD_FAILURE() << "the operation never ran through";
}

}  // namespace

// The host's operations answer a code when memory runs out at any point; none lets an exception
// out. A copy that runs out of memory says so and leaves both objects' notifications as they were,
// and the source on its own current step.
TEST(DorvixAnalysisSettingsHost, RunningOutOfMemoryAnywhereIsAnsweredWithACode) {
    std::unique_ptr<HostedSettings> hosted;
    ComPtr<Settings> source;
    UnderEveryAllocationFailure(
        [&] {
            hosted = std::make_unique<HostedSettings>();
            source = NewSettings(kPT_Mechanical, kSIMULATION_TRANSIENT);
            EXPECT_EQ(source->put_NumberOfSteps(3), S_OK);
            EXPECT_EQ(source->put_CurrentStepNumber(2), S_OK);
            return [&] { return hosted->settings->CopyFrom(source->InnerUnknown()); };
        },
        [&](HRESULT hr) {
            EXPECT_EQ(hr, E_OUTOFMEMORY);
            EXPECT_EQ(ReadText(hosted->settings.Get(), L"IgnoreNotify"), "false");
            EXPECT_EQ(ReadText(source.Get(), L"IgnoreNotify"), "false");
            EXPECT_EQ(ReadText(source.Get(), L"CurrentStepNumber"), "u2");
        });

    // Each operation may read the object's own saved record.
    using Operation = std::function<HRESULT(Settings*, HostSimProjectStream*)>;
    const Operation operations[] = {
        [](Settings* s, HostSimProjectStream*) { return s->put_NumberOfSteps(4); },
        [](Settings* s, HostSimProjectStream*) { return s->SetStepEndTime(1, 0.5); },
        [](Settings* s, HostSimProjectStream*) { return s->put_CurrentStepNumber(2); },
        [](Settings* s, HostSimProjectStream*) { return s->put_CalculateThermalFlux(VARIANT_FALSE); },
        [](Settings* s, HostSimProjectStream*) { return s->put_CalculateStress(VARIANT_FALSE); },
        [](Settings* s, HostSimProjectStream*) {
            VARIANT_BOOL value = VARIANT_FALSE;
            return s->get_NonLinear(&value);
        },
        [](Settings* s, HostSimProjectStream*) {
            VARIANT_BOOL visible = VARIANT_FALSE;
            return s->IsPropertyVisible(5025, &visible);
        },
        [](Settings* s, HostSimProjectStream*) {
            BstrHolder text;
            return s->GetLocalizedString(L"ID_StepEndTime", text.ReleaseAndGetAddressOf());
        },
        [](Settings* s, HostSimProjectStream*) {
            BstrHolder text;
            return s->GetDisplayString(5011, text.ReleaseAndGetAddressOf());
        },
        [](Settings* s, HostSimProjectStream*) { return s->SetTypes(kPT_Thermal, kSIMULATION_TRANSIENT); },
        [](Settings* s, HostSimProjectStream* saved) { return s->ResumeDB(saved); },
    };
    ComPtr<HostSimProjectStream> saved;
    for (std::size_t i = 0; i < std::size(operations); ++i) {
        SCOPED_TRACE("operation " + std::to_string(i));
        UnderEveryAllocationFailure(
            [&] {
                hosted = std::make_unique<HostedSettings>();
                saved = CreateHostSimProjectStream(Saved(hosted->settings.Get()));
                return [&] { return operations[i](hosted->settings.Get(), saved.Get()); };
            },
            [](HRESULT) {});
    }

    // A grid entry converts the text it is given before its setter sees it.
    ComPtr<IXenProperty> entry;
    UnderEveryAllocationFailure(
        [&] {
            hosted = std::make_unique<HostedSettings>();
            ComPtr<IXenPropertyColl> properties;
            EXPECT_EQ(hosted->settings->BuildProperties(properties.ReleaseAndGetAddressOf()), S_OK);
            EXPECT_EQ(properties->get_ItemById(5011, entry.ReleaseAndGetAddressOf()), S_OK);
            return [&] { return entry->put_Value(*S(L"1.5")); };
        },
        [](HRESULT) {});
    entry = nullptr;
    hosted.reset();
}
