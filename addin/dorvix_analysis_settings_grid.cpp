// The settings object's answers to the host's property grid: which properties show and which
// the user may edit, their ranges, flags and validity, the texts their values show as and the
// choices the grid offers. Every answer is computed from the current settings on each question.
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "runtime/addin_services.h"
#include "settings/time_step_options.h"

namespace {

// A rule of one of the grid's tables and the dispids it applies to. Unused places hold 0,
// which is no property's dispid.
template <class Rule, std::size_t N>
struct DispidRule {
    Rule rule;
    DISPID dispids[N];
};

template <class Rule, std::size_t N, std::size_t M>
const Rule* FindRule(const DispidRule<Rule, N> (&table)[M], DISPID dispid) {
    if (dispid == 0) return nullptr;
    for (const DispidRule<Rule, N>& row : table)
        for (DISPID listed : row.dispids)
            if (listed == dispid) return &row.rule;
    return nullptr;
}

// ---- visibility ----

// "Stepped": the analysis advances through load steps (transient, or static and nonlinear).
// A is UseAutoTimeStepping (0 program controlled, 1 on, 2 off), D TimeStepDefineby (0 sub-steps,
// 1 time).
enum class Shown {
    Always,
    StaticOrTransient,
    WithRangeSearch,
    Stepped,
    ManualSolver,  // stepped and the solver type is Manual
    NotStepped,
    DefineBy,         // stepped and A is not 0
    InitialSubSteps,  // stepped, A = 1, D = 0, unless carried over from the step before
    SubStepRange,     // stepped, A = 1, D = 0
    SubSteps,         // stepped, A = 2, D = 0
    InitialTimeStep,  // stepped, A = 1, D = 1, unless carried over from the step before
    TimeStepRange,    // stepped, A = 1, D = 1
    CarryOver,        // stepped, A = 1, beyond the first step
    FixedTimeStep,    // stepped, A = 2, D = 1
    ActiveContact,
    ManualValue,     // stepped and the Type property before it is Manual
    RefTemperature,  // modal, with one environment that takes its conditions from an object
    HarmonicIndex,   // modal, with a cyclic region
};

constexpr DispidRule<Shown, 15> kVisibility[] = {
    {Shown::Always, {400, 5001, 5002, 5005, 5023, 5024, 5026, 5039, 5040, 5041, 5056}},
    {Shown::StaticOrTransient, {5000, 5010, 5011}},
    {Shown::WithRangeSearch, {5003, 5004}},
    {Shown::Stepped,
     {5006, 5009, 5012, 5027, 5029, 5031, 5033, 5035, 5037, 5042, 5044, 5046, 5048, 5050, 5052}},
    {Shown::ManualSolver, {5007}},
    {Shown::NotStepped, {5008}},
    {Shown::DefineBy, {5013}},
    {Shown::InitialSubSteps, {5014}},
    {Shown::SubStepRange, {5015, 5016}},
    {Shown::SubSteps, {5017}},
    {Shown::InitialTimeStep, {5018}},
    {Shown::TimeStepRange, {5019, 5020}},
    {Shown::CarryOver, {5021}},
    {Shown::FixedTimeStep, {5022}},
    {Shown::ActiveContact, {5025}},
    {Shown::ManualValue, {5028, 5030, 5032, 5034, 5036, 5038, 5043, 5045, 5047, 5049, 5051, 5053}},
    {Shown::RefTemperature, {5054}},
    {Shown::HarmonicIndex, {5055}},
};

constexpr DISPID kRangeSearch = 5002;
constexpr DISPID kSolverType = 5006;
constexpr DISPID kCurrentStepNumber = 5010;
constexpr DISPID kUseAutoTimeStepping = 5012;
constexpr DISPID kTimeStepDefineby = 5013;
constexpr DISPID kCarryOverTimeStep = 5021;

// Contact regions of these kinds make the contact output meaningful while they are active.
bool IsReportedContactKind(int kind) { return kind >= 2 && kind <= 5; }
// Cyclic regions of these kinds give a modal analysis its harmonic index.
bool IsHarmonicCyclicKind(int kind) { return kind == 3 || kind == 4; }

// ---- editing, ranges, flags, validity ----

enum class Editable { Always, UnlessBuckling };
struct DispidRange {
    DISPID first;
    DISPID last;
    Editable rule;
};
constexpr DispidRange kEditable[] = {
    {5000, 5038, Editable::Always},
    {5039, 5039, Editable::UnlessBuckling},
    {5040, 5040, Editable::Always},
    {5042, 5056, Editable::Always},
};

struct ValueRange {
    DISPID dispid;
    VARTYPE type;
    std::uint32_t minimum;
    std::uint32_t maximum;
};
constexpr ValueRange kRanges[] = {
    {5001, VT_I4, 1, 10000},
    {5055, VT_UINT, 0, 4294967295u},
};

struct Flags {
    DWORD bits;
    // The bits hold only while automatic time stepping is not program controlled; 0 otherwise.
    bool withAutoTimeStepping;
};
constexpr DWORD kDefaultFlags = 0x100000;
constexpr DispidRule<Flags, 27> kFlags[] = {
    {{0x100, false}, {5001, 5055}},
    {{0x200000, false}, {5002, 5005, 5006, 5008, 5009, 5012, 5013, 5021, 5023, 5024, 5025, 5026, 5027, 5029,
                         5031, 5033, 5035, 5037, 5039, 5040, 5042, 5044, 5046, 5048, 5050, 5052, 5056}},
    {{0x100080, false}, {5003, 5004, 5010, 5011, 5014, 5015, 5016, 5017, 5047, 5049, 5051, 5053, 5054}},
    {{0x100080, true}, {5018, 5019, 5020}},
    {{0x100000, false}, {5000, 5007, 5022, 5028, 5030, 5032, 5034, 5036, 5038, 5043, 5045}},
    {{0, false}, {400, 5041}},
};

// What makes a value invalid.
enum class Invalid {
    Zero,      // an unsigned count of 0
    ZeroTime,  // a time whose magnitude is at most 1e-15
    SubSteps,  // the time-step options' own tests
    SubStepRange,
    TimeStep,
    TimeStepRange,
};
constexpr DispidRule<Invalid, 4> kValidity[] = {
    {Invalid::Zero, {5000, 5010, 5016, 5017}},
    {Invalid::ZeroTime, {5011, 5020, 5022}},
    {Invalid::SubSteps, {5014}},
    {Invalid::SubStepRange, {5015}},
    {Invalid::TimeStep, {5018}},
    {Invalid::TimeStepRange, {5019}},
};
constexpr double kZeroTime = 1e-15;

// ---- display texts and choices ----

struct Choice {
    const wchar_t* key;
    std::uint32_t value;
};
struct ChoiceList {
    const Choice* choices;
    std::size_t count;
    // How many of the choices the grid offers (the display knows them all).
    std::size_t offered;
};
template <std::size_t N>
constexpr ChoiceList Choices(const Choice (&choices)[N], std::size_t offered = N) {
    return {choices, N, offered};
}

constexpr Choice kYesNo[] = {{L"ID_No", 0}, {L"ID_Yes", 1}};
constexpr Choice kOnOff[] = {{L"ID_Off", 0}, {L"ID_On", 1}};
constexpr Choice kManualType[] = {{L"ID_ProgramControlled", 0}, {L"ID_Manual", 1}};
constexpr Choice kSolverTypes[] = {{L"ID_ProgramControlled", 1}, {L"ID_DualMethod", 2},
                                   {L"ID_FrontalSolver", 3},     {L"ID_SparseSolver", 5},
                                   {L"ID_ParallelSolver", 6},    {L"ID_Manual", 7}};
constexpr Choice kAutoTimeStepping[] = {{L"ID_ProgramControlled", 0}, {L"ID_On", 1}, {L"ID_Off", 2}};
constexpr Choice kDefineBy[] = {{L"ID_Substeps", 0}, {L"ID_Time", 1}};
constexpr Choice kTimePoints[] = {
    {L"ID_AllTimePoints", 0}, {L"ID_LastTimePoint", 1}, {L"ID_EquallySpacedTimePoints", 2}};
constexpr Choice kFutureIntent[] = {
    {L"ID_None", 0}, {L"ID_SaveFilesForPrestressedModalAnalysis", 4}, {L"ID_SaveRestartFiles", 5}};

enum class Shows { Text, Integer, Choice, Number };
constexpr int kNoUnit = 0;
struct Display {
    Shows shows;
    ChoiceList choices;
    // The quantity whose unit label follows a number, or kNoUnit.
    int quantity;
    bool unitInModalOnly;
};
constexpr Display Showing(Shows shows) { return {shows, {}, kNoUnit, false}; }
constexpr Display Showing(ChoiceList choices) { return {Shows::Choice, choices, kNoUnit, false}; }
constexpr Display NumberWithUnit(int quantity, bool modalOnly = false) {
    return {Shows::Number, {}, quantity, modalOnly};
}
constexpr int kFrequencyQuantity = 20;
constexpr int kTemperatureQuantity = 49;
constexpr int kTimeQuantity = 50;

// The choices of 5026 leave out equally spaced time points, which only a stored value can hold.
constexpr DispidRule<Display, 17> kDisplay[] = {
    {Showing(Shows::Text), {400}},
    {Showing(Shows::Integer),
     {5000, 5001, 5007, 5010, 5014, 5015, 5016, 5017, 5028, 5030, 5032, 5034, 5036, 5038, 5043, 5045, 5055}},
    {Showing(Choices(kYesNo)), {5002, 5008, 5009, 5023, 5024, 5025, 5040, 5041, 5056}},
    {Showing(Choices(kOnOff)), {5005, 5021}},
    {Showing(Choices(kManualType)), {5027, 5029, 5031, 5033, 5035, 5037, 5042, 5044, 5046, 5048, 5050, 5052}},
    {Showing(Choices(kSolverTypes)), {5006}},
    {Showing(Choices(kAutoTimeStepping)), {5012}},
    {Showing(Choices(kDefineBy)), {5013}},
    {Showing(Choices(kTimePoints, 2)), {5026}},
    {Showing(Choices(kFutureIntent)), {5039}},
    {NumberWithUnit(kFrequencyQuantity, true), {5003, 5004}},
    {NumberWithUnit(kTimeQuantity), {5011, 5018, 5019, 5020, 5022}},
    {NumberWithUnit(kTemperatureQuantity), {5054}},
    {NumberWithUnit(kNoUnit), {5047, 5049, 5051, 5053}},
};

// The choice a value stands for: a boolean as 0 or 1, numbers as themselves.
const Choice* FindChoice(const ChoiceList& list, const VARIANT& value) {
    std::int64_t wanted = -1;
    if (value.vt == VT_BOOL)
        wanted = value.boolVal != VARIANT_FALSE ? 1 : 0;
    else if (value.vt == VT_I4)
        wanted = value.lVal;
    else if (value.vt == VT_UI4)
        wanted = value.ulVal;
    for (std::size_t i = 0; i < list.count; ++i)
        if (list.choices[i].value == wanted) return &list.choices[i];
    return nullptr;
}

}  // namespace

struct CDorvixAnalysisSettings::GridView {
    CDorvixAnalysisSettings& settings;

    bool IsStaticOrTransient() const { return IsStepAnalysisType(settings.analysisType_); }
    bool IsModal() const { return settings.analysisType_ == kSIMULATION_MODAL; }
    bool IsStepped() const {
        if (settings.analysisType_ == kSIMULATION_TRANSIENT) return true;
        if (settings.analysisType_ != kSIMULATION_STATIC) return false;
        VARIANT_BOOL nonlinear = VARIANT_FALSE;
        return SUCCEEDED(settings.get_NonLinear(&nonlinear)) && nonlinear != VARIANT_FALSE;
    }
    // A yes/no property; false when it cannot be read.
    bool Flag(DISPID dispid) const {
        VariantHolder value;
        return SUCCEEDED(settings.GetGridValue(dispid, value.ReleaseAndGet())) && value.Type() == VT_BOOL &&
               value->boolVal != VARIANT_FALSE;
    }
    // An integer or enumerated property; -1 when it cannot be read.
    std::int64_t Number(DISPID dispid) const {
        VariantHolder value;
        if (FAILED(settings.GetGridValue(dispid, value.ReleaseAndGet()))) return -1;
        if (value.Type() == VT_I4) return value->lVal;
        if (value.Type() == VT_UI4) return value->ulVal;
        return -1;
    }
    bool TimeStepping(int autoTimeStepping, int defineBy) const {
        return IsStepped() && Number(kUseAutoTimeStepping) == autoTimeStepping &&
               Number(kTimeStepDefineby) == defineBy;
    }
    // The step takes its first time step from the step before it.
    bool IsCarriedOver() const { return Flag(kCarryOverTimeStep) && Number(kCurrentStepNumber) > 1; }

    bool HasActiveContact() const {
        return HasActiveRegion<IHostContactRegion>(settings.analysisSettingsId_, kHostContactRegionList,
                                                   &IsReportedContactKind);
    }
    bool HasCyclicRegion() const {
        const int symmetry = AddinServices::GetInstance().GetObjectProperty(settings.analysisSettingsId_,
                                                                            kHostSymmetryProperty);
        return HasActiveRegion<IHostCyclicRegion>(symmetry, kHostCyclicRegionList, &IsHarmonicCyclicKind);
    }
    // The analysis has exactly one environment, and it names an object of the model.
    bool HasReferenceEnvironment() const {
        AddinServices& services = AddinServices::GetInstance();
        const JXIdList environments =
            services.GetObjectIdList(settings.analysisSettingsId_, kHostEnvironmentList);
        if (environments.GetCount() != 1) return false;
        ComPtr<IUnknown> object = services.GetObjectById(environments.GetAt(0));
        ComPtr<IHostEnvironmentLink> link = object ? object.As<IHostEnvironmentLink>() : nullptr;
        int linked = 0;
        return link && SUCCEEDED(link->GetLinkedObjectId(linked)) && linked != 0 &&
               services.GetObjectById(linked);
    }

    bool IsShown(Shown rule, DISPID dispid) const {
        switch (rule) {
            case Shown::Always:
                return true;
            case Shown::StaticOrTransient:
                return IsStaticOrTransient();
            case Shown::WithRangeSearch:
                return Flag(kRangeSearch);
            case Shown::Stepped:
                return IsStepped();
            case Shown::ManualSolver:
                return IsStepped() && Number(kSolverType) == kDorvixSolver_Manual;
            case Shown::NotStepped:
                return !IsStepped();
            case Shown::DefineBy:
                return IsStepped() && Number(kUseAutoTimeStepping) != kAutoTimeStepping_ProgramControlled;
            case Shown::InitialSubSteps:
                return TimeStepping(kAutoTimeStepping_On, kTimeStepDefineBy_SubSteps) && !IsCarriedOver();
            case Shown::SubStepRange:
                return TimeStepping(kAutoTimeStepping_On, kTimeStepDefineBy_SubSteps);
            case Shown::SubSteps:
                return TimeStepping(kAutoTimeStepping_Off, kTimeStepDefineBy_SubSteps);
            case Shown::InitialTimeStep:
                return TimeStepping(kAutoTimeStepping_On, kTimeStepDefineBy_Time) && !IsCarriedOver();
            case Shown::TimeStepRange:
                return TimeStepping(kAutoTimeStepping_On, kTimeStepDefineBy_Time);
            case Shown::CarryOver:
                return IsStepped() && Number(kUseAutoTimeStepping) == kAutoTimeStepping_On &&
                       Number(kCurrentStepNumber) > 1;
            case Shown::FixedTimeStep:
                return TimeStepping(kAutoTimeStepping_Off, kTimeStepDefineBy_Time);
            case Shown::ActiveContact:
                return HasActiveContact();
            case Shown::ManualValue:
                return IsStepped() && Flag(dispid - 1);
            case Shown::RefTemperature:
                return IsModal() && HasReferenceEnvironment();
            case Shown::HarmonicIndex:
                return IsModal() && HasCyclicRegion();
        }
        return false;
    }
};

HRESULT CDorvixAnalysisSettings::IsPropertyVisible(DISPID dispid, VARIANT_BOOL* visible) try {
    if (!visible) return E_POINTER;
    const Shown* rule = FindRule(kVisibility, dispid);
    *visible = rule && GridView{*this}.IsShown(*rule, dispid) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::IsPropertyEditable(DISPID dispid, VARIANT_BOOL* editable) {
    if (!editable) return E_POINTER;
    *editable = VARIANT_FALSE;
    for (const DispidRange& range : kEditable) {
        if (dispid < range.first || dispid > range.last) continue;
        if (range.rule == Editable::Always || analysisType_ != kSIMULATION_BUCKLING) *editable = VARIANT_TRUE;
        break;
    }
    return S_OK;
}

HRESULT CDorvixAnalysisSettings::GetPropertyRange(DISPID dispid, QHPropertyRange* range) {
    if (!range) return E_POINTER;
    for (const ValueRange& row : kRanges) {
        if (row.dispid != dispid) continue;
        (void)VariantClear(&range->minimum);
        (void)VariantClear(&range->maximum);
        range->minimum.vt = range->maximum.vt = row.type;
        range->minimum.ulVal = row.minimum;
        range->maximum.ulVal = row.maximum;
        return S_OK;
    }
    return E_FAIL;
}

HRESULT CDorvixAnalysisSettings::GetPropertyFlags(DISPID dispid, DWORD* flags) try {
    if (!flags) return E_POINTER;
    const Flags* rule = FindRule(kFlags, dispid);
    if (!rule) {
        *flags = kDefaultFlags;
    } else if (rule->withAutoTimeStepping) {
        const bool automatic =
            GridView{*this}.Number(kUseAutoTimeStepping) > kAutoTimeStepping_ProgramControlled;
        *flags = automatic ? rule->bits : 0;
    } else {
        *flags = rule->bits;
    }
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::IsPropertyValueValid(DISPID dispid, VARIANT_BOOL* valid) try {
    if (!valid) return E_POINTER;
    *valid = VARIANT_TRUE;
    const Invalid* rule = FindRule(kValidity, dispid);
    if (!rule) return S_OK;
    const DorvixTimeStepOptions* options = currentTimeStepOptions_;
    bool ok = true;
    switch (*rule) {
        case Invalid::Zero:
            ok = GridView{*this}.Number(dispid) != 0;
            break;
        case Invalid::ZeroTime: {
            VariantHolder value;
            ok = FAILED(GetGridValue(dispid, value.ReleaseAndGet())) || value.Type() != VT_R8 ||
                 std::fabs(value->dblVal) > kZeroTime;
            break;
        }
        case Invalid::SubSteps:
            ok = !options || options->IsSubStepsValid();
            break;
        case Invalid::SubStepRange:
            ok = !options || options->IsSubStepRangeValid();
            break;
        case Invalid::TimeStep:
            ok = !options || options->IsTimeStepValid();
            break;
        case Invalid::TimeStepRange:
            ok = !options || options->IsTimeStepRangeValid();
            break;
    }
    *valid = ok ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::GetDisplayString(DISPID dispid, BSTR* text) try {
    if (!text) return E_POINTER;
    *text = nullptr;
    const Display* rule = FindRule(kDisplay, dispid);
    if (!rule) return E_NOTIMPL;
    VariantHolder value;
    HRESULT hr = GetGridValue(dispid, value.ReleaseAndGet());
    if (FAILED(hr)) return hr;
    AddinServices& services = AddinServices::GetInstance();
    switch (rule->shows) {
        case Shows::Text:
            return HandOutBstrCopy(BstrView(value->vt == VT_BSTR ? value->bstrVal : nullptr), text);
        case Shows::Integer:
            // Unsigned properties show as unsigned: a harmonic index above 2^31 - 1 is itself.
            if (value.Type() == VT_UI4) return HandOutBstrCopy(std::to_wstring(value->ulVal), text);
            if (value.Type() == VT_I4) return HandOutBstrCopy(std::to_wstring(value->lVal), text);
            return E_FAIL;
        case Shows::Choice: {
            const Choice* choice = FindChoice(rule->choices, *value);
            if (!choice) return E_FAIL;
            *text = services.GetString(choice->key);
            return *text ? S_OK : E_OUTOFMEMORY;
        }
        case Shows::Number: {
            if (value.Type() != VT_R8) return E_FAIL;
            BstrHolder number;
            hr = services.FormatValue(value->dblVal, number.ReleaseAndGetAddressOf());
            if (FAILED(hr)) return hr;
            std::wstring shown = number.Str();
            // The blank goes with the unit, even when no unit system gives the unit a label.
            if (rule->quantity != kNoUnit && (!rule->unitInModalOnly || analysisType_ == kSIMULATION_MODAL)) {
                BstrHolder unit;
                (void)services.GetUnitLabel(rule->quantity, unit.ReleaseAndGetAddressOf());
                shown += L' ';
                shown += unit.View();
            }
            return HandOutBstrCopy(shown, text);
        }
    }
    return E_NOTIMPL;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::GetPredefinedStrings(DISPID dispid, CALPOLESTR* strings,
                                                      CADWORD* cookies) try {
    if (!strings || !cookies) return E_POINTER;
    *strings = CALPOLESTR{};
    *cookies = CADWORD{};
    const Display* rule = FindRule(kDisplay, dispid);
    if (!rule || rule->shows != Shows::Choice) return E_NOTIMPL;
    const ChoiceList& list = rule->choices;
    AddinServices& services = AddinServices::GetInstance();
    std::vector<BstrHolder> texts;
    std::vector<const OLECHAR*> values;
    std::vector<std::uint32_t> cookieValues;
    for (std::size_t i = 0; i < list.offered; ++i) {
        texts.push_back(BstrHolder::Attach(services.GetString(list.choices[i].key)));
        if (texts.back().IsNull()) return E_OUTOFMEMORY;
        values.push_back(texts.back().Get());
        cookieValues.push_back(list.choices[i].value);
    }
    return AddinServices::FillPredefinedArrays(static_cast<int>(values.size()), values.data(), strings,
                                               cookies, cookieValues.data());
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::MapPropertyToPage(DISPID, CLSID* page) {
    if (!page) return E_POINTER;
    *page = CLSID{};
    return E_INVALIDARG;
}

HRESULT CDorvixAnalysisSettings::GetPredefinedValue(DISPID, DWORD, VARIANT* value) {
    if (!value) return E_POINTER;
    return E_NOTIMPL;
}
