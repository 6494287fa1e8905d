// The settings object in the host's property grid (visibility, editing, flags, ranges,
// validity, display texts and choices), its entries, its host XML and its copy operation,
// against the file-backed host.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "platform/com_object.h"
#include "runtime/addin_services.h"

namespace {

// Host unit system 1 runs the solver in its system 11 (metres, seconds, degrees Celsius).
constexpr const char* kPlainHost = R"({
  "units": {"current": 1, "solverSystems": {"1": 11}},
  "objects": [{"id": 10, "type": 429, "name": "Analysis Settings"}]
})";

class SettingsGridTest : public ::testing::Test {
  protected:
    void TearDown() override { Stop(); }
    void Stop() {
        settings_.Reset();
        AddinServices::ReleaseInstance();
        host_.reset();
    }
    // Starts the host from host.json text and a settings object of the types, whose host
    // object is object 10.
    void Start(JXPhysicsType physics, JXSimulationType analysis, const std::string& json = kPlainHost) {
        Stop();
        auto hostCase = std::make_shared<HostSimCase>();
        ReadHostJson(json, "host.json", *hostCase);
        host_ = std::make_unique<HostSim>(hostCase);
        ASSERT_EQ(AddinServices::GetInstance().SetApplet(host_->Applet().Get()), S_OK);
        settings_ = MakeComObject<CDorvixAnalysisSettings>();
        ASSERT_TRUE(settings_);
        ASSERT_EQ(settings_->put_AnalysisSettingsID(10), S_OK);
        ASSERT_EQ(settings_->SetTypes(physics, analysis), S_OK);
    }
    bool Visible(DISPID dispid) {
        VARIANT_BOOL visible = 7;
        EXPECT_EQ(settings_->IsPropertyVisible(dispid, &visible), S_OK);
        return visible == VARIANT_TRUE;
    }
    bool Editable(DISPID dispid) {
        VARIANT_BOOL editable = 7;
        EXPECT_EQ(settings_->IsPropertyEditable(dispid, &editable), S_OK);
        return editable == VARIANT_TRUE;
    }
    bool Valid(DISPID dispid) {
        VARIANT_BOOL valid = 7;
        EXPECT_EQ(settings_->IsPropertyValueValid(dispid, &valid), S_OK);
        return valid == VARIANT_TRUE;
    }
    DWORD Flags(DISPID dispid) {
        DWORD flags = 7;
        EXPECT_EQ(settings_->GetPropertyFlags(dispid, &flags), S_OK);
        return flags;
    }
    // The display text, or the failure code as text.
    std::wstring Display(DISPID dispid) {
        BstrHolder text;
        const HRESULT hr = settings_->GetDisplayString(dispid, text.ReleaseAndGetAddressOf());
        return SUCCEEDED(hr) ? text.Str() : L"hr " + std::to_wstring(static_cast<std::uint32_t>(hr));
    }

    std::unique_ptr<HostSim> host_;
    ComPtr<CDorvixAnalysisSettings> settings_;
};

std::wstring Failure(HRESULT hr) { return L"hr " + std::to_wstring(static_cast<std::uint32_t>(hr)); }

// ---- visibility ----

TEST_F(SettingsGridTest, LargeDeformationTurnsAStaticAnalysisIntoAStepped) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    // Settings that show only in a stepped analysis: a manual solver, automatic time stepping
    // by time, a manual nodal printing frequency.
    ASSERT_EQ(settings_->put_SolverType(kDorvixSolver_Manual), S_OK);
    ASSERT_EQ(settings_->put_UseAutoTimeStepping(kAutoTimeStepping_On), S_OK);
    ASSERT_GE(settings_->put_TimeStepDefineby(kTimeStepDefineBy_Time), S_OK);
    ASSERT_EQ(settings_->put_PrintingFrequencyNodalResultsType(VARIANT_TRUE), S_OK);
    struct Row {
        DISPID dispid;
        bool linear;
        bool nonlinear;
    };
    const Row rows[] = {
        {400, true, true},   {5000, true, true},   {5001, true, true},   {5003, false, false},
        {5006, false, true}, {5007, false, true},  {5008, true, false},  {5009, false, true},
        {5012, false, true}, {5013, false, true},  {5014, false, false}, {5018, false, true},
        {5019, false, true}, {5021, false, false}, {5022, false, false}, {5025, false, false},
        {5027, false, true}, {5028, false, true},  {5029, false, true},  {5030, false, false},
        {5054, false, false}, {5055, false, false}, {5057, false, false}, {0, false, false},
    };
    for (const Row& row : rows) EXPECT_EQ(Visible(row.dispid), row.linear) << row.dispid;
    ASSERT_EQ(settings_->put_UseLargeDeformation(VARIANT_TRUE), S_OK);
    for (const Row& row : rows) EXPECT_EQ(Visible(row.dispid), row.nonlinear) << row.dispid;
}

TEST_F(SettingsGridTest, TimeSteppingPropertiesFollowTheirMode) {
    Start(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(settings_->put_NumberOfSteps(2), S_OK);
    struct Row {
        JXAutoTimeSteppingType automatic;
        JXTimeStepDefineByType defineBy;
        std::uint32_t step;
        bool carryOver;
        std::vector<DISPID> shown;  // among 5013 to 5022
    };
    const Row rows[] = {
        {kAutoTimeStepping_ProgramControlled, kTimeStepDefineBy_Time, 1, false, {}},
        {kAutoTimeStepping_On, kTimeStepDefineBy_SubSteps, 1, false, {5013, 5014, 5015, 5016}},
        {kAutoTimeStepping_On, kTimeStepDefineBy_Time, 1, false, {5013, 5018, 5019, 5020}},
        {kAutoTimeStepping_Off, kTimeStepDefineBy_SubSteps, 1, false, {5013, 5017}},
        {kAutoTimeStepping_Off, kTimeStepDefineBy_Time, 1, false, {5013, 5022}},
        {kAutoTimeStepping_On, kTimeStepDefineBy_Time, 2, false, {5013, 5018, 5019, 5020, 5021}},
        {kAutoTimeStepping_On, kTimeStepDefineBy_Time, 2, true, {5013, 5019, 5020, 5021}},
        {kAutoTimeStepping_On, kTimeStepDefineBy_SubSteps, 2, true, {5013, 5015, 5016, 5021}},
    };
    for (const Row& row : rows) {
        ASSERT_GE(settings_->put_CurrentStepNumber(row.step), S_OK);
        ASSERT_GE(settings_->put_UseAutoTimeStepping(row.automatic), S_OK);
        ASSERT_GE(settings_->put_TimeStepDefineby(row.defineBy), S_OK);
        ASSERT_GE(settings_->put_CarryOverTimeStep(row.carryOver ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
        std::vector<DISPID> shown;
        for (DISPID dispid = 5013; dispid <= 5022; ++dispid)
            if (Visible(dispid)) shown.push_back(dispid);
        EXPECT_EQ(shown, row.shown) << row.automatic << " " << row.defineBy << " step " << row.step;
    }
}

TEST_F(SettingsGridTest, FrequencyRangeShowsWithRangeSearch) {
    Start(kPT_Mechanical, kSIMULATION_MODAL);
    EXPECT_FALSE(Visible(5003));
    ASSERT_EQ(settings_->put_RangeSearch(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(Visible(5003));
    EXPECT_TRUE(Visible(5004));
    EXPECT_TRUE(Visible(5008));  // not stepped
    EXPECT_FALSE(Visible(5000));
}

// ---- editing, flags, ranges, validity ----

TEST_F(SettingsGridTest, EditingAndFlagsByDispid) {
    Start(kPT_Mechanical, kSIMULATION_BUCKLING);
    struct Row {
        DISPID dispid;
        bool editable;
        DWORD flags;
    };
    const Row rows[] = {
        {400, false, 0},          {4999, false, 0x100000},   {5000, true, 0x100000}, {5001, true, 0x100},
        {5002, true, 0x200000},   {5003, true, 0x100080},    {5018, true, 0},        {5038, true, 0x100000},
        {5039, false, 0x200000},  {5040, true, 0x200000},    {5041, false, 0},       {5042, true, 0x200000},
        {5055, true, 0x100},      {5056, true, 0x200000},    {5057, false, 0x100000},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Editable(row.dispid), row.editable) << row.dispid;
        EXPECT_EQ(Flags(row.dispid), row.flags) << row.dispid;
    }
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    EXPECT_TRUE(Editable(5039));
    EXPECT_EQ(Flags(5019), 0u);
    ASSERT_EQ(settings_->put_UseAutoTimeStepping(kAutoTimeStepping_Off), S_OK);
    EXPECT_EQ(Flags(5019), 0x100080u);
}

TEST_F(SettingsGridTest, RangesOfModeCountAndHarmonicIndex) {
    Start(kPT_Mechanical, kSIMULATION_MODAL);
    struct Row {
        DISPID dispid;
        HRESULT result;
        VARTYPE type;
        std::uint32_t minimum;
        std::uint32_t maximum;
    };
    const Row rows[] = {
        {5001, S_OK, VT_I4, 1, 10000},
        {5055, S_OK, VT_UINT, 0, 4294967295u},
        {5000, E_FAIL, VT_EMPTY, 0, 0},
    };
    for (const Row& row : rows) {
        QHPropertyRange range;
        EXPECT_EQ(settings_->GetPropertyRange(row.dispid, &range), row.result) << row.dispid;
        EXPECT_EQ(range.minimum.vt, row.type);
        EXPECT_EQ(range.maximum.vt, row.type);
        EXPECT_EQ(range.minimum.ulVal, row.minimum);
        EXPECT_EQ(range.maximum.ulVal, row.maximum);
    }
}

TEST_F(SettingsGridTest, ZeroTimeStepsAreInvalid) {
    Start(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(settings_->put_TimeStep(0.1), S_OK);
    const DISPID checked[] = {5000, 5010, 5011, 5014, 5015, 5016, 5017, 5018, 5019, 5020, 5022, 5003};
    for (DISPID dispid : checked) EXPECT_TRUE(Valid(dispid)) << dispid;
    ASSERT_EQ(settings_->put_TimeStep(0.0), S_OK);
    for (DISPID dispid : checked) {
        const bool stepsOrCounts = dispid >= 5014 && dispid != 5003;
        EXPECT_EQ(Valid(dispid), !stepsOrCounts) << dispid;
    }
}

// ---- display texts and choices ----

TEST_F(SettingsGridTest, DisplayTextsOfAStepAnalysis) {
    Start(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(settings_->put_SolverType(kDorvixSolver_Manual), S_OK);
    ASSERT_EQ(settings_->put_ManualSolver(-3), S_OK);
    ASSERT_GE(settings_->put_UseAutoTimeStepping(kAutoTimeStepping_On), S_OK);
    ASSERT_GE(settings_->put_TimeStepDefineby(kTimeStepDefineBy_SubSteps), S_OK);
    ASSERT_EQ(settings_->put_CarryOverTimeStep(VARIANT_TRUE), S_OK);
    ASSERT_EQ(settings_->put_PrintingFrequencyNodalResultsType(VARIANT_TRUE), S_OK);
    ASSERT_EQ(settings_->put_CalculateResultsAtTimePoints(kTimePoints_EquallySpaced), S_OK);
    ASSERT_EQ(settings_->put_FutureIntent(kFutureIntent_Restart), S_OK);
    BstrHolder directory(L"/runs/a");
    ASSERT_EQ(settings_->put_SolverFilesDirectory(directory.Get()), S_OK);
    struct Row {
        DISPID dispid;
        std::wstring text;
    };
    const Row rows[] = {
        {400, L"/runs/a"},
        {5000, L"1"},
        {5007, L"-3"},
        {5006, L"ID_Manual"},
        {5012, L"ID_On"},
        {5013, L"ID_Substeps"},
        {5021, L"ID_On"},
        {5005, L"ID_On"},
        {5027, L"ID_Manual"},
        {5029, L"ID_ProgramControlled"},
        {5026, L"ID_EquallySpacedTimePoints"},
        {5039, L"ID_SaveRestartFiles"},
        {5040, L"ID_Yes"},
        {5011, L"1 (s)"},
        {5047, L"0.001"},
        {5001, Failure(E_POINTER)},  // no modal options in a step analysis
        {5057, Failure(E_NOTIMPL)},
    };
    for (const Row& row : rows) EXPECT_EQ(Display(row.dispid), row.text) << row.dispid;
    ASSERT_EQ(settings_->put_SolverType(static_cast<DorvixSolverType>(4)), S_OK);
    EXPECT_EQ(Display(5006), Failure(E_FAIL));
}

TEST_F(SettingsGridTest, DisplayTextsOfEigenAnalyses) {
    struct Row {
        JXSimulationType analysis;
        DISPID dispid;
        std::wstring text;
    };
    const Row rows[] = {
        {kSIMULATION_MODAL, 5001, L"6"},
        {kSIMULATION_MODAL, 5055, L"3000000000"},
        {kSIMULATION_MODAL, 5004, L"250 (1/s)"},
        {kSIMULATION_BUCKLING, 5004, L"250"},
        {kSIMULATION_MODAL, 5054, L"22 (K)"},
    };
    for (const Row& row : rows) {
        Start(kPT_Mechanical, row.analysis);
        ASSERT_GE(settings_->put_MaxFrequency(250.0), S_OK);
        ASSERT_GE(settings_->put_RefTemperature(22.0), S_OK);
        if (row.analysis == kSIMULATION_MODAL) {
            ASSERT_EQ(settings_->put_HarmonicIndex(3000000000u), S_OK);
        }
        EXPECT_EQ(Display(row.dispid), row.text) << row.analysis << " " << row.dispid;
    }
}

TEST_F(SettingsGridTest, ChoicesCarryTheirValuesAsCookies) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    struct Row {
        DISPID dispid;
        std::vector<std::wstring> texts;
        std::vector<std::uint32_t> cookies;
    };
    const Row rows[] = {
        {5039, {L"ID_None", L"ID_SaveFilesForPrestressedModalAnalysis", L"ID_SaveRestartFiles"}, {0, 4, 5}},
        {5026, {L"ID_AllTimePoints", L"ID_LastTimePoint"}, {0, 1}},
        {5006,
         {L"ID_ProgramControlled", L"ID_DualMethod", L"ID_FrontalSolver", L"ID_SparseSolver", L"ID_ParallelSolver",
          L"ID_Manual"},
         {1, 2, 3, 5, 6, 7}},
        {5021, {L"ID_Off", L"ID_On"}, {0, 1}},
        {5041, {L"ID_No", L"ID_Yes"}, {0, 1}},
        {5052, {L"ID_ProgramControlled", L"ID_Manual"}, {0, 1}},
    };
    for (const Row& row : rows) {
        CALPOLESTR strings;
        CADWORD cookies;
        ASSERT_EQ(settings_->GetPredefinedStrings(row.dispid, &strings, &cookies), S_OK) << row.dispid;
        std::vector<std::wstring> texts;
        for (std::uint32_t i = 0; i < strings.cElems; ++i) {
            texts.emplace_back(strings.pElems[i]);
            CoTaskMemFree(strings.pElems[i]);
        }
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(std::vector<std::uint32_t>(cookies.pElems, cookies.pElems + cookies.cElems), row.cookies);
        CoTaskMemFree(strings.pElems);
        CoTaskMemFree(cookies.pElems);
    }
    CALPOLESTR strings{7, nullptr};
    CADWORD cookies{7, nullptr};
    EXPECT_EQ(settings_->GetPredefinedStrings(5000, &strings, &cookies), E_NOTIMPL);
    EXPECT_EQ(strings.cElems + cookies.cElems, 0u);
}

}  // namespace
