// The type information of IDorvixAnalysisSettings: the interface's own operations and property
// getters, and a property put for every setter of the settings object, so that a late-bound
// caller reads and writes every setting by name. The properties the property grid shows keep
// the grid's dispids.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "addin/dorvix_analysis_settings.h"
#include "platform/member_invoker.h"

namespace {

using Settings = CDorvixAnalysisSettings;

struct NamedDispid {
    std::wstring_view name;
    DISPID dispid;
};

// The grid's dispids, and free ones for the members the grid does not show.
constexpr NamedDispid kDispids[] = {
    {L"SolverFilesDirectory", 400},
    {L"NumberOfSteps", 5000},
    {L"NumModesToFind", 5001},
    {L"RangeSearch", 5002},
    {L"MinFrequency", 5003},
    {L"MaxFrequency", 5004},
    {L"UseLargeDeformation", 5005},
    {L"SolverType", 5006},
    {L"ManualSolver", 5007},
    {L"PrestressedStatic", 5008},
    {L"InitialComputation", 5009},
    {L"CurrentStepNumber", 5010},
    {L"EndTime", 5011},
    {L"UseAutoTimeStepping", 5012},
    {L"TimeStepDefineby", 5013},
    {L"InitialSteps", 5014},
    {L"MinimumSteps", 5015},
    {L"MaximumSteps", 5016},
    {L"NumberOfSubSteps", 5017},
    {L"InitialTimeStep", 5018},
    {L"MinimumTimeStep", 5019},
    {L"MaximumTimeStep", 5020},
    {L"CarryOverTimeStep", 5021},
    {L"TimeStep", 5022},
    {L"CalculateStress", 5023},
    {L"CalculateStrain", 5024},
    {L"CalculateContact", 5025},
    {L"CalculateResultsAtTimePoints", 5026},
    {L"PrintingFrequencyNodalResultsType", 5027},
    {L"PrintingFrequencyNodalResults", 5028},
    {L"PrintingFrequencyElementResultsType", 5029},
    {L"PrintingFrequencyElementResults", 5030},
    {L"PrintingFrequencyGeneralResultsType", 5031},
    {L"PrintingFrequencyGeneralResults", 5032},
    {L"StorageFrequencyNodalResultsType", 5033},
    {L"StorageFrequencyNodalResults", 5034},
    {L"StorageFrequencyElementResultsType", 5035},
    {L"StorageFrequencyElementResults", 5036},
    {L"StorageFrequencySelectedResultsType", 5037},
    {L"StorageFrequencySelectedResults", 5038},
    {L"FutureIntent", 5039},
    {L"CleanupOptionalDorvixFiles", 5040},
    {L"NonLinear", 5041},
    {L"NewtonIterationMaximumNumberType", 5042},
    {L"NewtonIterationMaximumNumber", 5043},
    {L"NewtonIterationOptimumNumberType", 5044},
    {L"NewtonIterationOptimumNumber", 5045},
    {L"NewtonResidualNormConvergenceType", 5046},
    {L"NewtonResidualNormConvergence", 5047},
    {L"NewtonEnergyConvergenceType", 5048},
    {L"NewtonEnergyConvergence", 5049},
    {L"NewtonStiffnessMatrixConvergenceType", 5050},
    {L"NewtonStiffnessMatrixConvergence", 5051},
    {L"NewtonRelaxationConvergenceType", 5052},
    {L"NewtonRelaxationConvergence", 5053},
    {L"RefTemperature", 5054},
    {L"HarmonicIndex", 5055},
    {L"CalculateThermalFlux", 5056},
    {L"SaveDB", 6001},
    {L"ResumeDB", 6002},
    {L"AnalysisSettingsID", 6003},
    {L"PhysicsType", 6004},
    {L"AnalysisType", 6005},
    {L"SolverFilesRelativeDirectory", 6006},
    {L"ResultFileName", 6007},
    {L"IgnoreNotify", 6008},
};

DISPID DispidOf(std::wstring_view name) {
    for (const NamedDispid& entry : kDispids)
        if (entry.name == name) return entry.dispid;
    return DISPID_UNKNOWN;  // refused when the type information is built
}

template <class T>
constexpr VARTYPE VarTypeOf() {
    if constexpr (std::is_same_v<T, VARIANT_BOOL>)
        return VT_BOOL;
    else if constexpr (std::is_same_v<T, double>)
        return VT_R8;
    else if constexpr (std::is_same_v<T, std::uint32_t>)
        return VT_UI4;
    else if constexpr (std::is_same_v<T, BSTR>)
        return VT_BSTR;
    else
        return VT_I4;  // int and the 32-bit enumerations
}

// The object's own setters are no members of the described interface: the call reaches the
// object through the interface pointer the type information hands over, which only the
// settings object answers.
template <class Arg>
MemberInvoker SetterInvoker(HRESULT (Settings::*setter)(Arg)) {
    MemberInvoker invoker;
    invoker.fits = [](const std::vector<VARTYPE>& params, VARTYPE result) {
        return result == VT_EMPTY && params.size() == 1 && platform_detail::InArg<Arg>::Fits(params[0]);
    };
    invoker.call = [setter](void* instance, const VARIANT* args, VARTYPE, VARIANT*) {
        auto* self = static_cast<Settings*>(static_cast<IDorvixAnalysisSettings*>(instance));
        return (self->*setter)(platform_detail::InArg<Arg>::From(args[0]));
    };
    return invoker;
}

// SaveDB and ResumeDB take the host's stream as any interface of it.
MemberInvoker StreamInvoker(HRESULT (IDorvixAnalysisSettings::*operation)(IXenMultiplatformStream*)) {
    MemberInvoker invoker;
    invoker.fits = [](const std::vector<VARTYPE>& params, VARTYPE result) {
        return result == VT_EMPTY && params.size() == 1 && params[0] == VT_UNKNOWN;
    };
    invoker.call = [operation](void* instance, const VARIANT* args, VARTYPE, VARIANT*) {
        auto* self = static_cast<IDorvixAnalysisSettings*>(instance);
        IUnknown* given = args[0].punkVal;
        if (!given) return (self->*operation)(nullptr);
        ComPtr<IXenMultiplatformStream> stream;
        if (FAILED(given->QueryInterface(IID_IXenMultiplatformStream, stream.ReleaseAndGetVoidAddress())) ||
            !stream)
            return E_NOINTERFACE;
        return (self->*operation)(stream.Get());
    };
    return invoker;
}

template <class Value>
void AddGetter(std::vector<MemberDescription>& members, const wchar_t* name,
               HRESULT (IDorvixAnalysisSettings::*getter)(Value*)) {
    members.push_back({name,
                       DispidOf(name),
                       MemberKind::PropertyGet,
                       {},
                       VarTypeOf<Value>(),
                       InvokerWithResult<IDorvixAnalysisSettings>(getter)});
}

template <class Value>
void AddSetter(std::vector<MemberDescription>& members, const wchar_t* name,
               HRESULT (Settings::*setter)(Value)) {
    members.push_back({name,
                       DispidOf(name),
                       MemberKind::PropertyPut,
                       {{L"value", VarTypeOf<Value>()}},
                       VT_EMPTY,
                       SetterInvoker(setter)});
}
// A property without a setter.
void AddSetter(std::vector<MemberDescription>&, const wchar_t*, const std::nullptr_t*) {}

// Looks the setters up by name: every property has one but NonLinear, which this name stands
// in for, so that the property list can name the setter of each property alike.
struct SetterLookup : Settings {
    static constexpr std::nullptr_t put_NonLinear = nullptr;
};

[[nodiscard]] HRESULT LoadDorvixAnalysisSettingsTypeInfo(ITypeInfo** out) {
    using I = IDorvixAnalysisSettings;
    std::vector<MemberDescription> members;
    members.push_back({L"SaveDB",
                       DispidOf(L"SaveDB"),
                       MemberKind::Method,
                       {{L"stream", VT_UNKNOWN}},
                       VT_EMPTY,
                       StreamInvoker(&I::SaveDB)});
    members.push_back({L"ResumeDB",
                       DispidOf(L"ResumeDB"),
                       MemberKind::Method,
                       {{L"stream", VT_UNKNOWN}},
                       VT_EMPTY,
                       StreamInvoker(&I::ResumeDB)});
    members.push_back({L"AnalysisSettingsID",
                       DispidOf(L"AnalysisSettingsID"),
                       MemberKind::PropertyPut,
                       {{L"id", VT_I4}},
                       VT_EMPTY,
                       Invoker<I>(&I::put_AnalysisSettingsID)});
    AddGetter(members, L"PhysicsType", &I::get_PhysicsType);
    AddGetter(members, L"AnalysisType", &I::get_AnalysisType);
#define DORVIX_WIDE_TEXT(text) L##text
#define DORVIX_DESCRIBE_SETTINGS_PROPERTY(name, type)                  \
    AddGetter<type>(members, DORVIX_WIDE_TEXT(#name), &I::get_##name); \
    AddSetter(members, DORVIX_WIDE_TEXT(#name), &SetterLookup::put_##name);
    DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_DESCRIBE_SETTINGS_PROPERTY)
#undef DORVIX_DESCRIBE_SETTINGS_PROPERTY
#undef DORVIX_WIDE_TEXT
    AddGetter(members, L"IgnoreNotify", &I::get_IgnoreNotify);
    members.push_back({L"IgnoreNotify",
                       DispidOf(L"IgnoreNotify"),
                       MemberKind::PropertyPut,
                       {{L"value", VT_BOOL}},
                       VT_EMPTY,
                       Invoker<I>(&I::put_IgnoreNotify)});
    return CreateTypeInfo(IID_IDorvixAnalysisSettings, std::move(members), out);
}

}  // namespace

XenComTypeInfoHolder& DorvixAnalysisSettingsTypeInfo() {
    static XenComTypeInfoHolder holder(IID_IDorvixAnalysisSettings, LoadDorvixAnalysisSettingsTypeInfo);
    return holder;
}
