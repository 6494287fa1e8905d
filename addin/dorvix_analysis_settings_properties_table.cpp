// The settings object's entries in the host's property grid: one row per property, in the
// order the grid lists them, with the analyses the property exists in. The same rows give the
// grid's questions the value of a property by its dispid.
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <variant>

#include "addin/dorvix_analysis_settings.h"
#include "addin/xen_property_coll.h"
#include "addin/xen_property_entry.h"
#include "platform/member_invoker.h"
#include "runtime/addin_services.h"

namespace {

using Settings = CDorvixAnalysisSettings;

// A property's getter and setter (null for a read-only property).
template <class T>
struct Accessors {
    using Value = T;
    HRESULT (Settings::*get)(T*);
    HRESULT (Settings::*put)(T);
};
using AnyAccessors =
    std::variant<Accessors<VARIANT_BOOL>, Accessors<std::uint32_t>, Accessors<double>, Accessors<int>,
                 Accessors<JXAutoTimeSteppingType>, Accessors<JXTimeStepDefineByType>,
                 Accessors<DorvixSolverType>, Accessors<JXTimePointsOptions>, Accessors<JXFutureIntentType>,
                 Accessors<BSTR>>;

template <class T>
constexpr AnyAccessors ReadWrite(HRESULT (Settings::*get)(T*), HRESULT (Settings::*put)(T)) {
    return Accessors<T>{get, put};
}
template <class T>
constexpr AnyAccessors ReadOnly(HRESULT (Settings::*get)(T*)) {
    return Accessors<T>{get, nullptr};
}

// The entry class that carries a value of type T.
template <class T>
struct CallbackFor {
    static_assert(std::is_enum_v<T>, "no property entry for this value type");
    using type = XenPropertyCallbackEnum<T, Settings>;
};
template <>
struct CallbackFor<VARIANT_BOOL> {
    using type = XenPropertyCallbackVariantBool<Settings>;
};
template <>
struct CallbackFor<std::uint32_t> {
    using type = XenPropertyCallbackUInt<Settings>;
};
template <>
struct CallbackFor<double> {
    using type = XenPropertyCallbackDouble<Settings>;
};
template <>
struct CallbackFor<int> {
    using type = XenPropertyCallbackInt<Settings>;
};
template <>
struct CallbackFor<BSTR> {
    using type = XenPropertyCallbackBSTR<Settings>;
};

// The analyses a property exists in.
enum class ListedFor {
    Always,
    StaticOrTransient,
    ModalOrBuckling,
    StaticOrTransientMechanical,
    Mechanical,
    Thermal,
};

struct PropertyRow {
    DISPID dispid;
    const wchar_t* name;
    const wchar_t* captionKey;
    const wchar_t* groupKey;
    AnyAccessors accessors;
    ListedFor listedFor;
};

constexpr const wchar_t* kStepControls = L"ID_StepControlsGroup";
constexpr const wchar_t* kNewtonControls = L"ID_NewtonControlsGroup";
constexpr const wchar_t* kOptions = L"ID_OptionsGroup";
constexpr const wchar_t* kSolverControls = L"ID_SolverControlsGroup";
constexpr const wchar_t* kOutputControls = L"ID_OutputControls";
constexpr const wchar_t* kDataManagement = L"ID_AnalysisDataManagement";

#define DORVIX_ROW(dispid, name, caption, group, listed)                                                   \
    PropertyRow {                                                                                          \
        dispid, L## #name, caption, group, ReadWrite(&Settings::get_##name, &Settings::put_##name), listed \
    }
#define DORVIX_READ_ONLY_ROW(dispid, name, caption, group, listed) \
    PropertyRow { dispid, L## #name, caption, group, ReadOnly(&Settings::get_##name), listed }

using enum ListedFor;
const PropertyRow kProperties[] = {
    DORVIX_ROW(5009, InitialComputation, L"ID_InitialComputation", kStepControls, StaticOrTransient),
    DORVIX_ROW(5000, NumberOfSteps, L"ID_SolutionStepNumberOfSteps", kStepControls, StaticOrTransient),
    DORVIX_ROW(5010, CurrentStepNumber, L"ID_StepNumber", kStepControls, StaticOrTransient),
    DORVIX_ROW(5011, EndTime, L"ID_StepEndTime", kStepControls, StaticOrTransient),
    DORVIX_ROW(5012, UseAutoTimeStepping, L"ID_SolutionStepAutoTimeStepping", kStepControls,
               StaticOrTransient),
    DORVIX_ROW(5013, TimeStepDefineby, L"ID_DefineBy", kStepControls, StaticOrTransient),
    DORVIX_ROW(5021, CarryOverTimeStep, L"ID_SolutionStepCarryOverTimeStep", kStepControls,
               StaticOrTransient),
    DORVIX_ROW(5014, InitialSteps, L"ID_SolutionStepInitialSubSteps", kStepControls, StaticOrTransient),
    DORVIX_ROW(5015, MinimumSteps, L"ID_SolutionStepMinimumSubSteps", kStepControls, StaticOrTransient),
    DORVIX_ROW(5016, MaximumSteps, L"ID_SolutionStepMaximumSubSteps", kStepControls, StaticOrTransient),
    DORVIX_ROW(5017, NumberOfSubSteps, L"ID_SolutionStepNumberOfSubSteps", kStepControls, StaticOrTransient),
    DORVIX_ROW(5018, InitialTimeStep, L"ID_SolutionStepInitialTimeStep", kStepControls, StaticOrTransient),
    DORVIX_ROW(5019, MinimumTimeStep, L"ID_SolutionStepMinimumTimeStep", kStepControls, StaticOrTransient),
    DORVIX_ROW(5020, MaximumTimeStep, L"ID_SolutionStepMaximumTimeStep", kStepControls, StaticOrTransient),
    DORVIX_ROW(5022, TimeStep, L"ID_SolutionStepTimeStep", kStepControls, StaticOrTransient),
    DORVIX_ROW(5042, NewtonIterationMaximumNumberType, L"ID_NewtonIterationMaximumNumberType",
               kNewtonControls, StaticOrTransient),
    DORVIX_ROW(5043, NewtonIterationMaximumNumber, L"ID_NewtonIterationMaximumNumber", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5044, NewtonIterationOptimumNumberType, L"ID_NewtonIterationOptimumNumberType",
               kNewtonControls, StaticOrTransient),
    DORVIX_ROW(5045, NewtonIterationOptimumNumber, L"ID_NewtonIterationOptimumNumber", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5046, NewtonResidualNormConvergenceType, L"ID_NewtonResidualNormConvergenceType",
               kNewtonControls, StaticOrTransient),
    DORVIX_ROW(5047, NewtonResidualNormConvergence, L"ID_NewtonResidualNormConvergence", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5048, NewtonEnergyConvergenceType, L"ID_NewtonEnergyConvergenceType", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5049, NewtonEnergyConvergence, L"ID_NewtonEnergyConvergence", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5050, NewtonStiffnessMatrixConvergenceType, L"ID_NewtonStiffnessMatrixConvergenceType",
               kNewtonControls, StaticOrTransient),
    DORVIX_ROW(5051, NewtonStiffnessMatrixConvergence, L"ID_NewtonStiffnessMatrixConvergence",
               kNewtonControls, StaticOrTransient),
    DORVIX_ROW(5052, NewtonRelaxationConvergenceType, L"ID_NewtonRelaxationConvergenceType", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5053, NewtonRelaxationConvergence, L"ID_NewtonRelaxationConvergence", kNewtonControls,
               StaticOrTransient),
    DORVIX_ROW(5001, NumModesToFind, L"ID_FrequencyGroupNumberRequested", kOptions, ModalOrBuckling),
    DORVIX_ROW(5002, RangeSearch, L"ID_FrequencyGroupRangeLimitOn", kOptions, ModalOrBuckling),
    DORVIX_ROW(5003, MinFrequency, L"ID_FrequencyGroupMinFrequency", kOptions, ModalOrBuckling),
    DORVIX_ROW(5004, MaxFrequency, L"ID_FrequencyGroupMaxFrequency", kOptions, ModalOrBuckling),
    DORVIX_ROW(5054, RefTemperature, L"ID_FrequencyGroupRefTemperature", kOptions, ModalOrBuckling),
    DORVIX_ROW(5055, HarmonicIndex, L"ID_HarmonicIndex", kOptions, ModalOrBuckling),
    DORVIX_ROW(5006, SolverType, L"ID_SolverType", kSolverControls, StaticOrTransient),
    DORVIX_ROW(5007, ManualSolver, L"ID_ManualSolver", kSolverControls, StaticOrTransient),
    DORVIX_ROW(5005, UseLargeDeformation, L"ID_UseLargeDeformation", kSolverControls,
               StaticOrTransientMechanical),
    DORVIX_ROW(5008, PrestressedStatic, L"ID_PrestressedStatic", kSolverControls,
               StaticOrTransientMechanical),
    DORVIX_ROW(5023, CalculateStress, L"ID_CalculateStress", kOutputControls, Mechanical),
    DORVIX_ROW(5024, CalculateStrain, L"ID_CalculateStrain", kOutputControls, Mechanical),
    DORVIX_ROW(5056, CalculateThermalFlux, L"ID_CalculateThermalFlux", kOutputControls, Thermal),
    DORVIX_ROW(5025, CalculateContact, L"ID_CalculateContact", kOutputControls, StaticOrTransientMechanical),
    DORVIX_ROW(5026, CalculateResultsAtTimePoints, L"ID_CalculateResultsAt", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5027, PrintingFrequencyNodalResultsType, L"ID_PrintingFrequencyNodalResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5028, PrintingFrequencyNodalResults, L"ID_PrintingFrequencyNodalResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5029, PrintingFrequencyElementResultsType, L"ID_PrintingFrequencyElementResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5030, PrintingFrequencyElementResults, L"ID_PrintingFrequencyElementResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5031, PrintingFrequencyGeneralResultsType, L"ID_PrintingFrequencyGeneralResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5032, PrintingFrequencyGeneralResults, L"ID_PrintingFrequencyGeneralResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5033, StorageFrequencyNodalResultsType, L"ID_StorageFrequencyNodalResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5034, StorageFrequencyNodalResults, L"ID_StorageFrequencyNodalResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5035, StorageFrequencyElementResultsType, L"ID_StorageFrequencyElementResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5036, StorageFrequencyElementResults, L"ID_StorageFrequencyElementResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5037, StorageFrequencySelectedResultsType, L"ID_StorageFrequencySelectedResultsType",
               kOutputControls, StaticOrTransient),
    DORVIX_ROW(5038, StorageFrequencySelectedResults, L"ID_StorageFrequencySelectedResults", kOutputControls,
               StaticOrTransient),
    DORVIX_ROW(5039, FutureIntent, L"ID_FutureAnalysis", kDataManagement, Mechanical),
    DORVIX_ROW(5040, CleanupOptionalDorvixFiles, L"ID_DeleteUnneededFiles", kDataManagement, Always),
    DORVIX_READ_ONLY_ROW(5041, NonLinear, L"ID_NonlinearSolution", kDataManagement, StaticOrTransient),
    DORVIX_ROW(400, SolverFilesDirectory, L"ID_SolverFilesDirectory", kDataManagement, Always),
};

#undef DORVIX_ROW
#undef DORVIX_READ_ONLY_ROW

bool IsListed(ListedFor listedFor, int physics, int analysis) {
    const bool staticOrTransient = IsStepAnalysisType(analysis);
    const bool mechanical = physics == kPT_Mechanical;
    switch (listedFor) {
        case Always:
            return true;
        case StaticOrTransient:
            return staticOrTransient;
        case ModalOrBuckling:
            return IsEigenAnalysisType(analysis);
        case StaticOrTransientMechanical:
            return staticOrTransient && mechanical;
        case Mechanical:
            return mechanical;
        case Thermal:
            return physics == kPT_Thermal;
    }
    return false;
}

const PropertyRow* FindProperty(DISPID dispid) {
    for (const PropertyRow& row : kProperties)
        if (row.dispid == dispid) return &row;
    return nullptr;
}

// The VARIANT form of a value read from a getter, as late-bound callers receive it (a
// 16-bit value is a yes/no one).
template <class T>
void StoreValue(T value, VARIANT* out) {
    platform_detail::OutArg<T>::Store(value, VT_BOOL, out);
}

}  // namespace

HRESULT CDorvixAnalysisSettings::BuildProperties(IXenPropertyColl** properties) try {
    if (!properties) return E_POINTER;
    *properties = nullptr;
    ComPtr<IXenPropertyColl> collection;
    HRESULT hr = CreateXenPropertyColl(collection.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    for (const PropertyRow& row : kProperties) {
        if (!IsListed(row.listedFor, physicsType_, analysisType_)) continue;
        hr = std::visit(
            [&](const auto& accessors) {
                using Callback =
                    typename CallbackFor<typename std::decay_t<decltype(accessors)>::Value>::type;
                auto info = std::make_unique<XenPropInfo<Callback>>(row.name, row.captionKey, row.groupKey,
                                                                    row.dispid, accessors.get, accessors.put);
                return AddXenProperty<Callback>(collection.Get(), this, info.release());
            },
            row.accessors);
        if (FAILED(hr)) return hr;
    }
    return collection->QueryInterface(IID_IXenPropertyColl, reinterpret_cast<void**>(properties));
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::GetGridValue(DISPID dispid, VARIANT* value) {
    if (!value) return E_POINTER;
    const PropertyRow* row = FindProperty(dispid);
    if (!row) return DISP_E_MEMBERNOTFOUND;
    (void)VariantClear(value);
    return std::visit(
        [&](const auto& accessors) {
            typename std::decay_t<decltype(accessors)>::Value read{};
            const HRESULT hr = (this->*accessors.get)(&read);
            if (SUCCEEDED(hr)) StoreValue(read, value);
            return hr;
        },
        row->accessors);
}

HRESULT CDorvixAnalysisSettings::get_ObjectTypeName(BSTR* name) {
    return HandOutBstrCopy(L"DorvixAnalysisSettings", name);
}

HRESULT CDorvixAnalysisSettings::GetLocalizedString(const OLECHAR* key, BSTR* text) try {
    if (!text) return E_POINTER;
    if (!key) return E_INVALIDARG;
    *text = AddinServices::GetInstance().GetString(key);
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}
