// The settings object in the host's property grid (visibility, editing, flags, ranges,
// validity, display texts, choices, entries), its host XML and its copy, against the
// file-backed host.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/call_log.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "platform/com_object.h"
#include "runtime/addin_services.h"

namespace {

using Settings = CDorvixAnalysisSettings;

// Host unit system 1 runs the solver in its system 11.
constexpr const char* kPlainHost = R"({"units": {"current": 1, "solverSystems": {"1": 11}},
  "objects": [{"id": 10, "type": 429}]})";

ComPtr<Settings> NewSettings(JXPhysicsType physics, JXSimulationType analysis) {
    ComPtr<Settings> settings = MakeComObject<Settings>();
    EXPECT_EQ(settings->put_AnalysisSettingsID(10), S_OK);
    EXPECT_EQ(settings->SetTypes(physics, analysis), S_OK);
    return settings;
}

// A host element in a document of its own, and the host object that carries it.
struct HostElement {
    explicit HostElement(int which = 1, const char* text = "<AnalysisSettings/>")
        : document(std::make_shared<pugi::xml_document>()) {
        EXPECT_TRUE(document->load_string(text));
        element = document->document_element();
        source = CreateHostSimXmlElementSource(document, element, which);
    }
    std::string Text() const {
        std::ostringstream out;
        element.print(out, "", pugi::format_raw);
        return out.str();
    }
    std::shared_ptr<pugi::xml_document> document;
    pugi::xml_node element;
    ComPtr<IUnknown> source;
};

std::string WrittenBy(Settings* settings) {
    HostElement host;
    EXPECT_EQ(settings->WriteSettingsXml(host.source.Get()), S_OK);
    return host.Text();
}

// Lets the XML library allocate `allowed` more blocks and fail every one after, until the
// scope ends.
class XmlAllocationLimit {
  public:
    explicit XmlAllocationLimit(int allowed) {
        left_ = allowed;
        allocate_ = pugi::get_memory_allocation_function();
        deallocate_ = pugi::get_memory_deallocation_function();
        pugi::set_memory_management_functions(&Allocate, deallocate_);
    }
    ~XmlAllocationLimit() { pugi::set_memory_management_functions(allocate_, deallocate_); }
    XmlAllocationLimit(const XmlAllocationLimit&) = delete;
    XmlAllocationLimit& operator=(const XmlAllocationLimit&) = delete;

  private:
    static void* Allocate(std::size_t size) {
        if (left_ == 0) return nullptr;
        --left_;
        return allocate_(size);
    }
    static inline int left_ = 0;
    static inline pugi::allocation_function allocate_ = nullptr;
    static inline pugi::deallocation_function deallocate_ = nullptr;
};

std::wstring Failure(HRESULT hr) { return L"hr " + std::to_wstring(static_cast<std::uint32_t>(hr)); }

class SettingsGridTest : public ::testing::Test {
  protected:
    void TearDown() override { Stop(); }
    void Stop() {
        settings_.Reset();
        AddinServices::ReleaseInstance();
        host_.reset();
    }
    // The host from host.json text, and a settings object of the types whose host object is 10.
    void Start(JXPhysicsType physics, JXSimulationType analysis, const std::string& json = kPlainHost) {
        Stop();
        auto hostCase = std::make_shared<HostSimCase>();
        ReadHostJson(json, "host.json", *hostCase);
        host_ = std::make_unique<HostSim>(hostCase);
        ASSERT_EQ(AddinServices::GetInstance().SetApplet(host_->Applet().Get()), S_OK);
        settings_ = NewSettings(physics, analysis);
    }
    // A yes/no question of the grid.
    bool Ask(HRESULT (Settings::*question)(DISPID, VARIANT_BOOL*), DISPID dispid) {
        VARIANT_BOOL answer = 7;
        EXPECT_EQ((settings_.Get()->*question)(dispid, &answer), S_OK);
        return answer == VARIANT_TRUE;
    }
    bool Visible(DISPID dispid) { return Ask(&Settings::IsPropertyVisible, dispid); }
    std::wstring Display(DISPID dispid) {
        BstrHolder text;
        const HRESULT hr = settings_->GetDisplayString(dispid, text.ReleaseAndGetAddressOf());
        return SUCCEEDED(hr) ? text.Str() : Failure(hr);
    }
    // A text the grid shows for a property in an analysis of the type.
    struct DisplayRow {
        JXSimulationType analysis;
        DISPID dispid;
        std::wstring text;
    };
    // Each row's text, shown by the settings object `start` makes anew for the row's analysis.
    void ExpectDisplays(std::span<const DisplayRow> rows,
                        const std::function<void(JXSimulationType)>& start) {
        for (const DisplayRow& row : rows) {
            start(row.analysis);
            if (HasFatalFailure()) return;
            EXPECT_EQ(Display(row.dispid), row.text) << row.analysis << " " << row.dispid;
        }
    }

    std::unique_ptr<HostSim> host_;
    ComPtr<Settings> settings_;
};

// ---- visibility ----

TEST_F(SettingsGridTest, LargeDeformationTurnsAStaticAnalysisIntoAStepped) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    // Shown only in a stepped analysis: a manual solver, automatic time stepping by time, a
    // manual nodal printing frequency.
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
        {400, true, true},    {5000, true, true},   {5001, true, true},   {5003, false, false},
        {5006, false, true},  {5007, false, true},  {5008, true, false},  {5009, false, true},
        {5012, false, true},  {5013, false, true},  {5014, false, false}, {5018, false, true},
        {5019, false, true},  {5021, false, false}, {5022, false, false}, {5025, false, false},
        {5027, false, true},  {5028, false, true},  {5029, false, true},  {5030, false, false},
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

TEST_F(SettingsGridTest, HostRegionsEnvironmentsAndRangeSearch) {
    struct Row {
        JXSimulationType analysis;
        DISPID dispid;
        const char* objects;  // beside the settings' host object 10 and its symmetry object 60
        bool visible;
    };
    const Row rows[] = {
        {kSIMULATION_STATIC, 5025, R"({"id": 40, "contactRegion": {"kind": 2}})", true},
        {kSIMULATION_STATIC, 5025, R"({"id": 40, "contactRegion": {"kind": 5}})", true},
        {kSIMULATION_STATIC, 5025, R"({"id": 40, "contactRegion": {"kind": 1}})", false},
        {kSIMULATION_STATIC, 5025, R"({"id": 40, "contactRegion": {"kind": 3, "suppressed": true}})", false},
        {kSIMULATION_MODAL, 5054, R"({"id": 50, "linkedObjectId": 9}, {"id": 9})", true},
        {kSIMULATION_BUCKLING, 5054, R"({"id": 50, "linkedObjectId": 9}, {"id": 9})", false},
        {kSIMULATION_MODAL, 5054, R"({"id": 50, "linkedObjectId": 77})", false},
        {kSIMULATION_MODAL, 5054, R"({"id": 50, "linkedObjectId": 0})", false},
        {kSIMULATION_MODAL, 5054,
         R"({"id": 50, "linkedObjectId": 9}, {"id": 51, "linkedObjectId": 9}, {"id": 9})", false},
        {kSIMULATION_MODAL, 5055, R"({"id": 61, "cyclicRegion": {"kind": 4}})", true},
        {kSIMULATION_MODAL, 5055, R"({"id": 61, "cyclicRegion": {"kind": 2}})", false},
        {kSIMULATION_MODAL, 5055, R"({"id": 61, "cyclicRegion": {"kind": 3, "suppressed": true}})", false},
        {kSIMULATION_BUCKLING, 5055, R"({"id": 61, "cyclicRegion": {"kind": 3}})", false},
    };
    for (const Row& row : rows) {
        const std::string objects = row.objects;
        const char* environments = objects.find("\"id\": 51") != std::string::npos ? "[50, 51]" : "[50]";
        Start(kPT_Mechanical, row.analysis,
              std::string(
                  R"({"objects": [{"id": 10, "properties": {"419": 60}, "idLists": {"575": [40], "422": )") +
                  environments + R"(}}, {"id": 60, "idLists": {"585": [61]}}, )" + objects + "]}");
        EXPECT_EQ(Visible(row.dispid), row.visible) << row.dispid << " " << row.objects;
    }
    Start(kPT_Mechanical, kSIMULATION_MODAL);
    EXPECT_FALSE(Visible(5003));
    ASSERT_EQ(settings_->put_RangeSearch(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(Visible(5003));
}

// ---- editing, flags, ranges, validity ----

TEST_F(SettingsGridTest, EditingFlagsAndRangesByDispid) {
    Start(kPT_Mechanical, kSIMULATION_BUCKLING);
    struct Row {
        DISPID dispid;
        bool editable;
        DWORD flags;
        VARTYPE rangeType;  // VT_EMPTY: no range
        std::uint32_t maximum;
    };
    const Row rows[] = {
        {400, false, 0, VT_EMPTY, 0},
        {4999, false, 0x100000, VT_EMPTY, 0},
        {5000, true, 0x100000, VT_EMPTY, 0},
        {5001, true, 0x100, VT_I4, 10000},
        {5002, true, 0x200000, VT_EMPTY, 0},
        {5003, true, 0x100080, VT_EMPTY, 0},
        {5018, true, 0, VT_EMPTY, 0},
        {5038, true, 0x100000, VT_EMPTY, 0},
        {5039, false, 0x200000, VT_EMPTY, 0},
        {5040, true, 0x200000, VT_EMPTY, 0},
        {5041, false, 0, VT_EMPTY, 0},
        {5042, true, 0x200000, VT_EMPTY, 0},
        {5055, true, 0x100, VT_UINT, 4294967295u},
        {5056, true, 0x200000, VT_EMPTY, 0},
        {5057, false, 0x100000, VT_EMPTY, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Ask(&Settings::IsPropertyEditable, row.dispid), row.editable) << row.dispid;
        DWORD flags = 7;
        EXPECT_EQ(settings_->GetPropertyFlags(row.dispid, &flags), S_OK);
        EXPECT_EQ(flags, row.flags) << row.dispid;
        QHPropertyRange range;
        EXPECT_EQ(settings_->GetPropertyRange(row.dispid, &range), row.rangeType ? S_OK : E_FAIL)
            << row.dispid;
        EXPECT_EQ(range.minimum.vt, row.rangeType);
        EXPECT_EQ(range.maximum.vt, row.rangeType);
        EXPECT_EQ(range.minimum.ulVal, row.dispid == 5001 ? 1u : 0u);
        EXPECT_EQ(range.maximum.ulVal, row.maximum);
    }
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    EXPECT_TRUE(Ask(&Settings::IsPropertyEditable, 5039));
    DWORD flags = 7;
    ASSERT_EQ(settings_->GetPropertyFlags(5019, &flags), S_OK);
    EXPECT_EQ(flags, 0u);
    ASSERT_EQ(settings_->put_UseAutoTimeStepping(kAutoTimeStepping_Off), S_OK);
    ASSERT_EQ(settings_->GetPropertyFlags(5019, &flags), S_OK);
    EXPECT_EQ(flags, 0x100080u);
}

TEST_F(SettingsGridTest, ZeroTimeStepsAreInvalid) {
    Start(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(settings_->put_TimeStep(0.1), S_OK);
    const DISPID checked[] = {5000, 5010, 5011, 5014, 5015, 5016, 5017, 5018, 5019, 5020, 5022, 5003};
    for (DISPID dispid : checked) EXPECT_TRUE(Ask(&Settings::IsPropertyValueValid, dispid)) << dispid;
    ASSERT_EQ(settings_->put_TimeStep(0.0), S_OK);
    for (DISPID dispid : checked) {
        const bool stepsOrCounts = dispid >= 5014 && dispid != 5003;
        EXPECT_EQ(Ask(&Settings::IsPropertyValueValid, dispid), !stepsOrCounts) << dispid;
    }
}

// ---- display texts and choices ----

TEST_F(SettingsGridTest, DisplayTextsOfAStepAnalysis) {
    Start(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(settings_->put_SolverType(kDorvixSolver_Manual), S_OK);
    ASSERT_EQ(settings_->put_ManualSolver(-3), S_OK);
    ASSERT_GE(settings_->put_TimeStepDefineby(kTimeStepDefineBy_SubSteps), S_OK);
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
        {5021, L"ID_Off"},
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
    const DisplayRow rows[] = {
        {kSIMULATION_MODAL, 5001, L"6"},         {kSIMULATION_MODAL, 5055, L"3000000000"},
        {kSIMULATION_MODAL, 5004, L"250 (1/s)"}, {kSIMULATION_BUCKLING, 5004, L"250"},
        {kSIMULATION_MODAL, 5054, L"22 (K)"},
    };
    ExpectDisplays(rows, [this](JXSimulationType analysis) {
        Start(kPT_Mechanical, analysis);
        ASSERT_GE(settings_->put_MaxFrequency(250.0), S_OK);
        ASSERT_GE(settings_->put_RefTemperature(22.0), S_OK);
        ASSERT_EQ(settings_->put_HarmonicIndex(3000000000u), S_OK);
    });
}

TEST_F(SettingsGridTest, ANumberWithAUnitKeepsItsBlankWithoutAUnitSystem) {
    const DisplayRow rows[] = {
        {kSIMULATION_STATIC, 5011, L"1 "},       {kSIMULATION_TRANSIENT, 5018, L"0 "},
        {kSIMULATION_MODAL, 5004, L"1e+008 "},   {kSIMULATION_BUCKLING, 5004, L"1e+008"},
        {kSIMULATION_TRANSIENT, 5047, L"0.001"},
    };
    ExpectDisplays(rows, [this](JXSimulationType analysis) {
        Start(kPT_Mechanical, analysis, R"({"objects": [{"id": 10, "type": 429}]})");
    });
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
         {L"ID_ProgramControlled", L"ID_DualMethod", L"ID_FrontalSolver", L"ID_SparseSolver",
          L"ID_ParallelSolver", L"ID_Manual"},
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

// ---- entries ----

TEST_F(SettingsGridTest, EntriesListedPerAnalysis) {
    struct Row {
        JXPhysicsType physics;
        JXSimulationType analysis;
        std::size_t count;
    };
    const Row rows[] = {
        {kPT_Mechanical, kSIMULATION_STATIC, 51}, {kPT_Mechanical, kSIMULATION_TRANSIENT, 51},
        {kPT_Thermal, kSIMULATION_STATIC, 46},    {kPT_Thermal, kSIMULATION_TRANSIENT, 46},
        {kPT_Mechanical, kSIMULATION_MODAL, 11},  {kPT_Mechanical, kSIMULATION_BUCKLING, 11},
    };
    for (const Row& row : rows) {
        Start(row.physics, row.analysis);
        ComPtr<IXenPropertyColl> entries;
        ASSERT_EQ(settings_->BuildProperties(entries.ReleaseAndGetAddressOf()), S_OK);
        std::uint32_t count = 0;
        ASSERT_EQ(entries->get_Count(&count), S_OK);
        std::vector<std::wstring> names;
        for (std::uint32_t i = 1; i <= count; ++i) {
            ComPtr<IXenProperty> entry;
            BstrHolder name;
            ASSERT_EQ(entries->get_Item(i, entry.ReleaseAndGetAddressOf()), S_OK);
            ASSERT_EQ(entry->get_Name(name.ReleaseAndGetAddressOf()), S_OK);
            names.push_back(name.Str());
        }
        EXPECT_EQ(names.size(), row.count) << row.physics << " " << row.analysis;
        auto listed = [&](const wchar_t* name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        const bool mechanical = row.physics == kPT_Mechanical;
        EXPECT_EQ(listed(L"CalculateStress"), mechanical);
        EXPECT_EQ(listed(L"FutureIntent"), mechanical);
        EXPECT_EQ(listed(L"CalculateThermalFlux"), !mechanical);
        EXPECT_EQ(listed(L"UseLargeDeformation"), mechanical && row.count == 51);
        if (row.analysis == kSIMULATION_MODAL) {
            EXPECT_EQ(names, (std::vector<std::wstring>{
                                 L"NumModesToFind", L"RangeSearch", L"MinFrequency", L"MaxFrequency",
                                 L"RefTemperature", L"HarmonicIndex", L"CalculateStress", L"CalculateStrain",
                                 L"FutureIntent", L"CleanupOptionalDorvixFiles", L"SolverFilesDirectory"}));
        }
    }
}

TEST_F(SettingsGridTest, EntriesCarryTheirKeysTypesAndSetters) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    ComPtr<IXenPropertyColl> entries;
    ASSERT_EQ(settings_->BuildProperties(entries.ReleaseAndGetAddressOf()), S_OK);
    struct Row {
        DISPID dispid;
        const wchar_t* caption;
        const wchar_t* group;
        VARTYPE type;
        VariantHolder value;  // put through the entry, then read back as the same text
        HRESULT putResult;
    };
    const Row rows[] = {
        {5000, L"ID_SolutionStepNumberOfSteps", L"ID_StepControlsGroup", VT_UINT, VariantHolder(3), S_OK},
        {5007, L"ID_ManualSolver", L"ID_SolverControlsGroup", VT_INT, VariantHolder(-2), S_OK},
        {5006, L"ID_SolverType", L"ID_SolverControlsGroup", VT_INT, VariantHolder(5), S_OK},
        {5047, L"ID_NewtonResidualNormConvergence", L"ID_NewtonControlsGroup", VT_R8, VariantHolder(0.25),
         S_OK},
        {5041, L"ID_NonlinearSolution", L"ID_AnalysisDataManagement", VT_BOOL, VariantHolder(true),
         E_NOTIMPL},
        {400, L"ID_SolverFilesDirectory", L"ID_AnalysisDataManagement", VT_BSTR,
         VariantHolder(std::wstring_view(L"/r")), S_OK},
    };
    for (const Row& row : rows) {
        ComPtr<IXenProperty> entry;
        ASSERT_EQ(entries->get_ItemById(row.dispid, entry.ReleaseAndGetAddressOf()), S_OK) << row.dispid;
        BstrHolder caption, group;
        VARTYPE type = VT_EMPTY;
        EXPECT_EQ(entry->get_Caption(caption.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(entry->get_Group(group.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(entry->get_Type(&type), S_OK);
        EXPECT_EQ(caption.View(), row.caption);
        EXPECT_EQ(group.View(), row.group);
        EXPECT_EQ(type, row.type) << row.dispid;
        EXPECT_EQ(entry->put_Value(*row.value.Get()), row.putResult) << row.dispid;
        VariantHolder read, readText, putText;
        ASSERT_EQ(entry->get_Value(read.ReleaseAndGet()), S_OK);
        ASSERT_EQ(VariantChangeType(readText.ReleaseAndGet(), read.Get(), 0, VT_BSTR), S_OK);
        ASSERT_EQ(VariantChangeType(putText.ReleaseAndGet(), row.value.Get(), 0, VT_BSTR), S_OK);
        EXPECT_EQ(BstrView(readText->bstrVal) == BstrView(putText->bstrVal), row.putResult == S_OK)
            << row.dispid;
    }
}

// ---- host XML ----

TEST_F(SettingsGridTest, XmlRoundTripOfEveryAnalysisKind) {
    struct Row {
        JXPhysicsType physics;
        JXSimulationType analysis;
    };
    const Row rows[] = {
        {kPT_Mechanical, kSIMULATION_STATIC}, {kPT_Mechanical, kSIMULATION_TRANSIENT},
        {kPT_Thermal, kSIMULATION_STATIC},    {kPT_Thermal, kSIMULATION_TRANSIENT},
        {kPT_Mechanical, kSIMULATION_MODAL},  {kPT_Mechanical, kSIMULATION_BUCKLING},
    };
    for (const Row& row : rows) {
        Start(row.physics, row.analysis);
        const std::string defaults = WrittenBy(settings_.Get());
        BstrHolder directory(L"/runs/copy");
        ASSERT_EQ(settings_->put_SolverFilesDirectory(directory.Get()), S_OK);
        ASSERT_EQ(settings_->put_CleanupOptionalDorvixFiles(VARIANT_FALSE), S_OK);
        if (row.analysis == kSIMULATION_MODAL || row.analysis == kSIMULATION_BUCKLING) {
            ASSERT_EQ(settings_->put_NumModesToFind(12), S_OK);
        } else {
            ASSERT_EQ(settings_->put_NumberOfSteps(3), S_OK);
            ASSERT_EQ(settings_->SetStepEndTime(3, 5.5), S_OK);
            ASSERT_GE(settings_->put_UseAutoTimeStepping(kAutoTimeStepping_Off), S_OK);
        }
        HostElement host;
        ASSERT_EQ(settings_->WriteSettingsXml(host.source.Get()), S_OK);
        EXPECT_NE(host.Text(), defaults) << row.physics << " " << row.analysis;
        EXPECT_STREQ(host.element.attribute("version").as_string(), "1");
        EXPECT_STREQ(host.element.select_node("*/SolverFileControls/SolverUnits").node().child_value(), "11");

        ComPtr<Settings> read = NewSettings(row.physics, row.analysis);
        ASSERT_EQ(read->ReadSettingsXml(host.source.Get()), S_OK);
        EXPECT_EQ(WrittenBy(read.Get()), host.Text()) << row.physics << " " << row.analysis;
    }
}

TEST_F(SettingsGridTest, RewritingReplacesTheSettingsThroughEachElementSource) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    for (int which = 1; which <= 3; ++which) {
        HostElement host(which, "<AnalysisSettings><Host/></AnalysisSettings>");
        ASSERT_EQ(settings_->WriteSettingsXml(host.source.Get()), S_OK) << which;
        ASSERT_EQ(settings_->put_NumberOfSteps(2), S_OK);
        ASSERT_EQ(settings_->WriteSettingsXml(host.source.Get()), S_OK) << which;
        std::vector<std::string> names;
        for (pugi::xml_node child : host.element.children()) names.emplace_back(child.name());
        EXPECT_EQ(names, (std::vector<std::string>{"Host", "DorvixStaticMechanicalSettings", "Parameters"}));
        EXPECT_EQ(host.element.select_nodes("DorvixStaticMechanicalSettings/StepControls").size(), 2u);
        ASSERT_EQ(settings_->put_NumberOfSteps(1), S_OK);
    }
    // An object that carries no element.
    EXPECT_EQ(settings_->WriteSettingsXml(settings_->ControllingUnknown()), E_NOINTERFACE);
    EXPECT_EQ(settings_->ReadSettingsXml(settings_->ControllingUnknown()), E_NOINTERFACE);
}

// A rewrite that runs out of memory at any point leaves what the element held before.
TEST_F(SettingsGridTest, ARewriteThatRunsOutOfMemoryLeavesTheElement) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    HostElement host;
    ASSERT_EQ(settings_->WriteSettingsXml(host.source.Get()), S_OK);
    const std::string before = host.Text();
    // Steps enough that the new settings need more memory than the old ones leave behind.
    ASSERT_EQ(settings_->put_NumberOfSteps(40), S_OK);
    HRESULT hr = E_OUTOFMEMORY;
    for (int allowed = 0; FAILED(hr); ++allowed) {
        {
            XmlAllocationLimit limit(allowed);
            hr = settings_->WriteSettingsXml(host.source.Get());
        }
        if (FAILED(hr)) {
            EXPECT_EQ(host.Text(), before) << allowed;
        }
    }
    EXPECT_EQ(host.Text(), WrittenBy(settings_.Get()));
    EXPECT_NE(host.Text(), before);
}

TEST_F(SettingsGridTest, ParametersFollowTheSettings) {
    Stop();
    host_ = std::make_unique<HostSim>(std::filesystem::path(DORVIX_TEST_DATA) / "cases" / "parameters");
    settings_ = NewSettings(kPT_Mechanical, kSIMULATION_STATIC);
    HostElement host;
    ASSERT_EQ(settings_->WriteSettingsXml(host.source.Get()), S_OK);
    std::vector<std::string> parameters;
    for (pugi::xml_node parameter : host.element.child("Parameters").children())
        parameters.push_back(std::string(parameter.name()) + " " + parameter.child_value("Name") + " = " +
                             parameter.child_value("Value"));
    EXPECT_EQ(parameters, (std::vector<std::string>{"p1 Plate thickness = 2.5", "p2 Applied force = 250.",
                                                    "p3 Young modulus by temperature = 205000."}));
}

TEST_F(SettingsGridTest, AnElementThatCannotBeReadLeavesTheSettings) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    ASSERT_EQ(settings_->put_NumberOfSteps(2), S_OK);
    ASSERT_EQ(settings_->put_CurrentStepNumber(2), S_OK);
    const std::string before = WrittenBy(settings_.Get());
    const char* elements[] = {
        "<AnalysisSettings/>",
        "<AnalysisSettings><DorvixModalSettings version='1'/></AnalysisSettings>",
        ("<AnalysisSettings><DorvixStaticMechanicalSettings version='1'><StepControls version='1'>"
         "<EndTime>not a time</EndTime></StepControls></DorvixStaticMechanicalSettings></AnalysisSettings>"),
    };
    for (const char* text : elements) {
        HostElement host(1, text);
        EXPECT_EQ(settings_->ReadSettingsXml(host.source.Get()), E_FAIL) << text;
        EXPECT_EQ(WrittenBy(settings_.Get()), before) << text;
        std::uint32_t step = 0;
        EXPECT_EQ(settings_->get_CurrentStepNumber(&step), S_OK);
        EXPECT_EQ(step, 2u);
    }
}

// ---- copy ----

TEST_F(SettingsGridTest, CopyKeepsEachStepsOwnSettings) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    // A transient source of three steps whose end times, result requests (set through its
    // XML, since the request setters set every step) and time stepping differ.
    struct Step {
        const char* endTime;
        const char* stress;
        const char* strain;
        const char* contact;
        JXAutoTimeSteppingType automatic;
    };
    const Step steps[] = {
        {"0.5", "true", "false", "true", kAutoTimeStepping_On},
        {"1.5", "false", "true", "false", kAutoTimeStepping_Off},
        {"4", "false", "false", "true", kAutoTimeStepping_ProgramControlled},
    };
    ComPtr<Settings> source = NewSettings(kPT_Mechanical, kSIMULATION_TRANSIENT);
    ASSERT_EQ(source->put_NumberOfSteps(3), S_OK);
    HostElement written;
    ASSERT_EQ(source->WriteSettingsXml(written.source.Get()), S_OK);
    pugi::xpath_node_set stepElements = written.element.select_nodes("*/StepControls");
    ASSERT_EQ(stepElements.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        pugi::xml_node step = stepElements[i].node();
        step.child("EndTime").text() = steps[i].endTime;
        step.child("OutputControls").child("Stress").text() = steps[i].stress;
        step.child("OutputControls").child("Strain").text() = steps[i].strain;
        step.child("OutputControls").child("Contact").text() = steps[i].contact;
    }
    ASSERT_EQ(source->ReadSettingsXml(written.source.Get()), S_OK);
    for (std::uint32_t i = 1; i <= 3; ++i) {
        ASSERT_GE(source->put_CurrentStepNumber(i), S_OK);
        ASSERT_GE(source->put_UseAutoTimeStepping(steps[i - 1].automatic), S_OK);
    }
    ASSERT_EQ(source->put_CurrentStepNumber(2), S_OK);
    ComPtr<IUnknown> callback = CreateHostSimSettingsCallback(host_->Calls());
    ASSERT_EQ(settings_->SetHostCallback(callback.Get()), S_OK);

    ASSERT_EQ(settings_->CopyFrom(source->ControllingUnknown()), S_OK);
    EXPECT_EQ(host_->Calls()->Lines(), std::vector<std::string>{"settings changed (11)"});

    JXSimulationType analysis = kSIMULATION_STATIC;
    std::uint32_t count = 0;
    ASSERT_EQ(settings_->get_AnalysisType(&analysis), S_OK);
    ASSERT_EQ(settings_->get_NumberOfSteps(&count), S_OK);
    EXPECT_EQ(analysis, kSIMULATION_TRANSIENT);
    ASSERT_EQ(count, 3u);
    auto text = [](VARIANT_BOOL value) { return value == VARIANT_TRUE ? "true" : "false"; };
    for (std::uint32_t i = 1; i <= 3; ++i) {
        ASSERT_GE(settings_->put_CurrentStepNumber(i), S_OK);
        double end = 0;
        VARIANT_BOOL stress = 0, strain = 0, contact = 0;
        JXAutoTimeSteppingType automatic = kAutoTimeStepping_ProgramControlled;
        ASSERT_EQ(settings_->get_EndTime(&end) | settings_->get_CalculateStress(&stress) |
                      settings_->get_CalculateStrain(&strain) | settings_->get_CalculateContact(&contact) |
                      settings_->get_UseAutoTimeStepping(&automatic),
                  S_OK);
        const Step& expected = steps[i - 1];
        EXPECT_EQ(FormatCallLogNumber(end), expected.endTime) << i;
        EXPECT_STREQ(text(stress), expected.stress) << i;
        EXPECT_STREQ(text(strain), expected.strain) << i;
        EXPECT_STREQ(text(contact), expected.contact) << i;
        EXPECT_EQ(automatic, expected.automatic) << i;
    }
    // The source keeps its current step and its notifications.
    std::uint32_t sourceStep = 0;
    VARIANT_BOOL sourceIgnores = VARIANT_TRUE;
    ASSERT_EQ(source->get_CurrentStepNumber(&sourceStep) | source->get_IgnoreNotify(&sourceIgnores), S_OK);
    EXPECT_EQ(sourceStep, 2u);
    EXPECT_EQ(sourceIgnores, VARIANT_FALSE);
    // A copy of itself changes nothing.
    const std::string before = WrittenBy(settings_.Get());
    EXPECT_EQ(settings_->CopyFrom(settings_->ControllingUnknown()), S_OK);
    EXPECT_EQ(WrittenBy(settings_.Get()), before);
}

TEST_F(SettingsGridTest, CopyLeavesAnObjectThatIgnoresNotificationsQuiet) {
    Start(kPT_Mechanical, kSIMULATION_STATIC);
    ComPtr<Settings> source = NewSettings(kPT_Mechanical, kSIMULATION_MODAL);
    ASSERT_EQ(settings_->SetHostCallback(CreateHostSimSettingsCallback(host_->Calls()).Get()), S_OK);
    ASSERT_EQ(settings_->put_IgnoreNotify(VARIANT_TRUE), S_OK);
    ASSERT_EQ(settings_->CopyFrom(source->ControllingUnknown()), S_OK);
    VARIANT_BOOL ignores = VARIANT_FALSE;
    ASSERT_EQ(settings_->get_IgnoreNotify(&ignores), S_OK);
    EXPECT_EQ(ignores, VARIANT_TRUE);
    ASSERT_EQ(settings_->put_NumModesToFind(9), S_OK);
    EXPECT_EQ(host_->Calls()->Lines(), std::vector<std::string>{});
}

}  // namespace
