// XML blocks of the results output controls, the time-step options, one step and the step list.
#include <cmath>
#include <string>

#include "settings/settings_xml.h"
#include "settings/step_controls_list.h"
#include "settings/xml_values.h"

using namespace settings_xml;

namespace {

constexpr int kStepControlsVersion = 1;
constexpr int kTimeStepOptionsVersion = 3;
constexpr int kOutputControlsVersion = 1;

// Output codes with an element of their own in the results block.
struct NamedOutput {
    int code;
    const wchar_t* name;
    const char* xpath;
};
constexpr NamedOutput kNamedOutputs[] = {
    {kStressOutput, L"Stress", "./OutputControls/Stress"},
    {kStrainOutput, L"Strain", "./OutputControls/Strain"},
    {kContactOutput, L"Contact", "./OutputControls/Contact"},
    {kThermalFluxOutput, L"ThermalFlux", "./OutputControls/ThermalFlux"},
};

const wchar_t* const kNewtonNames[kNewtonControlCount] = {
    L"IterationMaximumNumber", L"IterationOptimumNumber",     L"ResidualNormConvergence",
    L"EnergyConvergence",      L"StiffnessMatrixConvergence", L"RelaxationConvergence",
};
const wchar_t* const kFrequencyNames[kOutputFrequencyCount] = {
    L"PrintingFrequencyNodalResults", L"PrintingFrequencyElementResults", L"PrintingFrequencyGeneralResults",
    L"StorageFrequencyNodalResults",  L"StorageFrequencyElementResults",  L"StorageFrequencySelectedResults",
};

// Integer Newton controls come first; the rest are convergence tolerances.
bool IsIntegerNewtonControl(int i) { return i < 2; }

void AppendTypedValue(XmlNode parent, const wchar_t* name, int type, const std::wstring& value) {
    XmlNode element = Append(parent, name);
    if (type == kProgramControlledType)
        Append(element, L"ProgramControlled");
    else
        AppendText(element, L"Manual", value);
}

// Reads one "ProgramControlled"/"Manual" child into type and, for Manual, its text into text.
HRESULT ReadTypedValue(XmlNode element, int& type, std::wstring& text) {
    int found = 0;
    XmlNode manual;
    if (FAILED(FirstMatch(element, {{"./ProgramControlled", 0}, {"./Manual", 1}}, found, &manual)))
        return E_FAIL;
    type = found;
    if (found == kManualType) text = XmlGetText(manual);
    return S_OK;
}

std::string Utf8(const wchar_t* name) { return std::string(name, name + std::wcslen(name)); }

void WriteDefinedBy(const DorvixTimeStepOptions& r, XmlNode autoElement, bool automatic) {
    XmlNode definedBy = Append(autoElement, L"DefinedBy");
    if (r.GetTimeStepDefineby() == kDefineByTime) {
        XmlNode time = Append(definedBy, L"Time");
        if (!automatic) {
            AppendDouble(time, L"TimeStep", r.GetTimeStep());
            return;
        }
        if (r.GetCarryOverTimeStep())
            AppendText(time, L"CarryOver", L"On");
        else
            AppendDouble(time, L"Initial", r.GetInitialTimeStep());
        AppendDouble(time, L"Minimum", r.GetMinimumTimeStep());
        AppendDouble(time, L"Maximum", r.GetMaximumTimeStep());
    } else if (r.GetTimeStepDefineby() == kDefineBySubSteps) {
        XmlNode subSteps = Append(definedBy, L"SubSteps");
        if (!automatic) {
            AppendInt(subSteps, L"NumberOfSubsteps", r.GetNumberOfSubSteps());
            return;
        }
        if (r.GetCarryOverTimeStep())
            AppendText(subSteps, L"CarryOver", L"On");
        else
            AppendInt(subSteps, L"Initial", r.GetInitialSteps());
        AppendInt(subSteps, L"Minimum", r.GetMinimumSteps());
        AppendInt(subSteps, L"Maximum", r.GetMaximumSteps());
    }
}

// Reads which of "Time" and "SubSteps" defines the stepping and finds that element.
HRESULT ReadDefinedBy(DorvixTimeStepOptions& r, XmlNode definedBy, XmlNode& node) {
    int defineBy = 0;
    if (FAILED(FirstMatch(definedBy, {{"./Time", kDefineByTime}, {"./SubSteps", kDefineBySubSteps}}, defineBy,
                          &node)))
        return E_FAIL;
    r.SetTimeStepDefineby(defineBy);
    return S_OK;
}

// Automatic time stepping: initial (unless carried over), minimum and maximum step.
HRESULT ReadAutomaticStepping(DorvixTimeStepOptions& r, XmlNode definedBy) {
    XmlNode node;
    if (FAILED(ReadDefinedBy(r, definedBy, node))) return E_FAIL;
    if (r.GetTimeStepDefineby() == kDefineByTime) {
        r.SetCarryOverTimeStep(Has(definedBy, "./Time[CarryOver=\"On\"]/CarryOver"));
        double initial = r.GetInitialTimeStep(), minimum = 0.0, maximum = 0.0;
        if (!r.GetCarryOverTimeStep() && FAILED(ReadDouble(node, "./Initial", initial))) return E_FAIL;
        if (FAILED(ReadDouble(node, "./Minimum", minimum)) || FAILED(ReadDouble(node, "./Maximum", maximum)))
            return E_FAIL;
        r.SetInitialTimeStep(initial);
        r.SetMinimumTimeStep(minimum);
        r.SetMaximumTimeStep(maximum);
        return S_OK;
    }
    r.SetCarryOverTimeStep(Has(definedBy, "./SubSteps[CarryOver=\"On\"]/CarryOver"));
    std::uint32_t initial = 0, minimum = 0, maximum = 0;
    if (!r.GetCarryOverTimeStep() && FAILED(ReadUInt(node, "./Initial", initial))) return E_FAIL;
    if (FAILED(ReadUInt(node, "./Minimum", minimum)) || FAILED(ReadUInt(node, "./Maximum", maximum)))
        return E_FAIL;
    // The setters turn counts into time steps with the span the record holds now.
    if (!r.GetCarryOverTimeStep()) r.SetInitialSteps(initial);
    r.SetMinimumSteps(minimum);
    r.SetMaximumSteps(maximum);
    return S_OK;
}

// Fixed time stepping: one time step, or a number of sub-steps.
HRESULT ReadFixedStepping(DorvixTimeStepOptions& r, XmlNode definedBy) {
    XmlNode node;
    if (FAILED(ReadDefinedBy(r, definedBy, node))) return E_FAIL;
    if (r.GetTimeStepDefineby() == kDefineByTime) {
        double step = 0.0;
        if (FAILED(ReadDouble(node, "./TimeStep", step))) return E_FAIL;
        r.SetTimeStep(step);
    } else {
        std::uint32_t count = 0;
        if (FAILED(ReadUInt(node, "./NumberOfSubsteps", count))) return E_FAIL;
        r.SetNumberOfSubSteps(count);
    }
    return S_OK;
}

HRESULT ReadNewtonControls(DorvixTimeStepOptions& r, XmlNode newton) {
    if (FAILED(CheckChildNames(newton, {kNewtonNames[0], kNewtonNames[1], kNewtonNames[2], kNewtonNames[3],
                                        kNewtonNames[4], kNewtonNames[5]})))
        return E_FAIL;
    for (int i = 0; i < kNewtonControlCount; ++i) {
        const XmlNode child = Find(newton, ("./" + Utf8(kNewtonNames[i])).c_str());
        if (!child) continue;  // absent controls keep their values
        int type = 0;
        std::wstring text;
        if (FAILED(ReadTypedValue(child, type, text))) return E_FAIL;
        const auto control = static_cast<NewtonControl>(i);
        if (type == kManualType) {
            if (IsIntegerNewtonControl(i)) {
                std::uint32_t value = 0;
                if (!ParseStrictUInt(text, value)) return E_FAIL;
                if (control == NewtonControl::IterationMaximumNumber)
                    r.SetNewtonIterationMaximumNumber(value);
                else
                    r.SetNewtonIterationOptimumNumber(value);
            } else {
                double value = 0.0;
                if (!ParseStrictDouble(text, value)) return E_FAIL;
                switch (control) {
                    case NewtonControl::ResidualNormConvergence:
                        r.SetNewtonResidualNormConvergence(value);
                        break;
                    case NewtonControl::EnergyConvergence:
                        r.SetNewtonEnergyConvergence(value);
                        break;
                    case NewtonControl::StiffnessMatrixConvergence:
                        r.SetNewtonStiffnessMatrixConvergence(value);
                        break;
                    default:
                        r.SetNewtonRelaxationConvergence(value);
                        break;
                }
            }
        }
        r.SetNewtonType(control, type);
    }
    return S_OK;
}

HRESULT ReadFrequencies(DorvixTimeStepOptions& r, XmlNode frequencies) {
    if (FAILED(CheckChildNames(frequencies, {kFrequencyNames[0], kFrequencyNames[1], kFrequencyNames[2],
                                             kFrequencyNames[3], kFrequencyNames[4], kFrequencyNames[5]})))
        return E_FAIL;
    for (int i = 0; i < kOutputFrequencyCount; ++i) {
        const XmlNode child = Find(frequencies, ("./" + Utf8(kFrequencyNames[i])).c_str());
        if (!child) continue;
        int type = 0;
        std::wstring text;
        if (FAILED(ReadTypedValue(child, type, text))) return E_FAIL;
        const auto frequency = static_cast<OutputFrequency>(i);
        if (type == kManualType) {
            std::uint32_t value = 0;
            if (!ParseStrictUInt(text, value)) return E_FAIL;
            r.SetFrequency(frequency, value);
        }
        r.SetFrequencyType(frequency, type);
    }
    return S_OK;
}

}  // namespace

HRESULT ParseNumberList(std::wstring_view text, std::set<double>& values) {
    constexpr std::wstring_view kSeparators = L", \n\t";
    std::set<double> parsed;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t first = text.find_first_not_of(kSeparators, position);
        if (first == std::wstring_view::npos) break;
        std::size_t last = text.find_first_of(kSeparators, first);
        if (last == std::wstring_view::npos) last = text.size();
        double value = 0.0;
        if (!ParseStrictDouble(text.substr(first, last - first), value)) return E_FAIL;
        parsed.insert(value);
        position = last;
    }
    values = std::move(parsed);
    return S_OK;
}

HRESULT WriteOutputControlsXml(const DorvixOutputControls& r, XmlNode parent) {
    XmlNode block = AppendBlock(parent, L"OutputControls", kOutputControlsVersion);
    for (int code : r.GetSupportedOutputs()) {
        for (const NamedOutput& output : kNamedOutputs)
            if (output.code == code) AppendBool(block, output.name, r.IsOutputRequested(code));
        if (code != kTimePointsOutput) continue;
        switch (r.GetTimePointsOptions()) {
            case kTimePointsAll:
                AppendText(block, L"TimePointsOptions", L"All");
                break;
            case kTimePointsLast:
                AppendText(block, L"TimePointsOptions", L"Last");
                break;
            case kTimePointsEquallySpaced:
                AppendInt(Append(block, L"TimePointsOptions"), L"EquallySpaced", r.GetEquallySpaced());
                break;
            default:
                break;
        }
    }
    if (r.GetResultSetsType() == kResultSetsAuto) AppendText(block, L"ResultSetsType", L"Auto");
    if (r.GetResultSetsType() == kResultSetsManual) AppendText(block, L"ResultSetsType", L"Manual");
    std::wstring sets;
    for (double value : r.GetResultSets()) sets += DoubleText(value) + L' ';
    AppendText(block, L"ResultSets", sets);
    return S_OK;
}

HRESULT ReadOutputControlsXml(DorvixOutputControls& record, XmlNode context) {
    const XmlNode block = Find(context, "./OutputControls");
    if (!block || FAILED(CheckChildNames(block, {L"Stress", L"Strain", L"Contact", L"ThermalFlux",
                                                 L"TimePointsOptions", L"ResultSetsType", L"ResultSets"})))
        return E_FAIL;
    DorvixOutputControls r = record;
    // Codes with an element of their own are supported exactly when the element is present;
    // codes without one cannot be told from the document and stay as the record has them.
    std::set<int> supported = r.GetSupportedOutputs();
    for (const NamedOutput& output : kNamedOutputs) supported.erase(output.code);
    supported.erase(kTimePointsOutput);
    r.SetSupportedOutputs(std::move(supported));
    r.SetResultSets({});
    for (const NamedOutput& output : kNamedOutputs) {
        if (!Has(context, output.xpath)) continue;
        bool requested = false;
        if (FAILED(ReadBool(context, output.xpath, requested))) return E_FAIL;
        r.AddSupportedOutput(output.code);
        r.SetOutputRequested(output.code, requested);
    }
    if (Has(context, "./OutputControls/TimePointsOptions")) {
        r.AddSupportedOutput(kTimePointsOutput);
        int option = 0;
        if (FAILED(
                FirstMatch(context,
                           {{"./OutputControls[TimePointsOptions=\"All\"]", kTimePointsAll},
                            {"./OutputControls[TimePointsOptions=\"Last\"]", kTimePointsLast},
                            {"./OutputControls/TimePointsOptions/EquallySpaced", kTimePointsEquallySpaced}},
                           option)))
            return E_FAIL;
        r.SetTimePointsOptions(option);
        if (option == kTimePointsEquallySpaced) {
            std::int32_t count = 0;
            if (FAILED(ReadInt(context, "./OutputControls/TimePointsOptions/EquallySpaced", count)))
                return E_FAIL;
            r.SetEquallySpaced(count);
        }
    }
    int setsType = 0;
    if (FAILED(FirstMatch(context,
                          {{"./OutputControls[ResultSetsType=\"Auto\"]/ResultSetsType", kResultSetsAuto},
                           {"./OutputControls[ResultSetsType=\"Manual\"]/ResultSetsType", kResultSetsManual}},
                          setsType)))
        return E_FAIL;
    r.SetResultSetsType(static_cast<std::uint32_t>(setsType));
    if (setsType == kResultSetsManual) {
        std::wstring text;
        std::set<double> sets;
        if (FAILED(ReadText(context, "./OutputControls[ResultSetsType=\"Manual\"]/ResultSets", text)) ||
            FAILED(ParseNumberList(text, sets)))
            return E_FAIL;
        r.SetResultSets(std::move(sets));
    }
    record = std::move(r);
    return S_OK;
}

HRESULT WriteTimeStepOptionsXml(const DorvixTimeStepOptions& r, XmlNode stepElement) {
    XmlNode block = AppendBlock(stepElement, L"TimeStepOptions", kTimeStepOptionsVersion);
    XmlNode autoType = Append(block, L"AutoTimeSteppingType");
    switch (r.GetUseAutoTimeStepping()) {
        case kProgramControlled:
            XmlSetElementText(autoType, L"ProgramControlled");
            break;
        case kOff:
            WriteDefinedBy(r, Append(autoType, L"Off"), false);
            break;
        case kOn:
            WriteDefinedBy(r, Append(autoType, L"On"), true);
            break;
        default:
            break;
    }
    XmlNode newton = Append(block, L"NewtonControls");
    const std::wstring newtonValues[kNewtonControlCount] = {
        std::to_wstring(r.GetNewtonIterationMaximumNumber()),
        std::to_wstring(r.GetNewtonIterationOptimumNumber()),
        DoubleText(r.GetNewtonResidualNormConvergence()),
        DoubleText(r.GetNewtonEnergyConvergence()),
        DoubleText(r.GetNewtonStiffnessMatrixConvergence()),
        DoubleText(r.GetNewtonRelaxationConvergence()),
    };
    for (int i = 0; i < kNewtonControlCount; ++i)
        AppendTypedValue(newton, kNewtonNames[i], r.GetNewtonType(static_cast<NewtonControl>(i)),
                         newtonValues[i]);
    XmlNode frequencies = Append(block, L"OutputControls");
    for (int i = 0; i < kOutputFrequencyCount; ++i) {
        const auto f = static_cast<OutputFrequency>(i);
        AppendTypedValue(frequencies, kFrequencyNames[i], r.GetFrequencyType(f),
                         std::to_wstring(r.GetFrequency(f)));
    }
    return S_OK;
}

HRESULT ReadTimeStepOptionsXml(DorvixTimeStepOptions& record, XmlNode stepElement) {
    const XmlNode block = Find(stepElement, "./TimeStepOptions");
    if (!block ||
        FAILED(CheckChildNames(block, {L"AutoTimeSteppingType", L"NewtonControls", L"OutputControls"})))
        return E_FAIL;
    DorvixTimeStepOptions r = record;
    int mode = 0;
    XmlNode definedBy;
    if (FAILED(
            FirstMatch(stepElement,
                       {{"./TimeStepOptions[AutoTimeSteppingType=\"ProgramControlled\"]/AutoTimeSteppingType",
                         kProgramControlled},
                        {"./TimeStepOptions/AutoTimeSteppingType/Off/DefinedBy", kOff},
                        {"./TimeStepOptions/AutoTimeSteppingType/On/DefinedBy", kOn}},
                       mode, &definedBy)))
        return E_FAIL;
    r.SetUseAutoTimeStepping(mode);
    if (mode == kOn && FAILED(ReadAutomaticStepping(r, definedBy))) return E_FAIL;
    if (mode == kOff && FAILED(ReadFixedStepping(r, definedBy))) return E_FAIL;
    if (const XmlNode newton = Find(stepElement, "./TimeStepOptions/NewtonControls"))
        if (FAILED(ReadNewtonControls(r, newton))) return E_FAIL;
    if (const XmlNode frequencies = Find(stepElement, "./TimeStepOptions/OutputControls"))
        if (FAILED(ReadFrequencies(r, frequencies))) return E_FAIL;
    record = std::move(r);
    return S_OK;
}

HRESULT WriteStepControlsXml(const DorvixStepControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"StepControls", kStepControlsVersion);
    AppendDouble(block, L"EndTime", r.GetEndTime());
    WriteTimeStepOptionsXml(r.GetTimeStepOptions(), block);
    WriteOutputControlsXml(r.GetOutputControls(), block);
    for (int code : r.GetStepCodes()) {
        if (code == kTimeIntegrationStepCode) AppendBool(block, L"TimeIntegration", r.GetTimeIntegration());
        if (code == kInertialReliefStepCode) AppendBool(block, L"InertialRelief", r.GetInertialRelief());
    }
    return S_OK;
}

HRESULT ReadStepControlsXml(DorvixStepControls& record, XmlNode stepElement) {
    if (FAILED(CheckChildNames(stepElement, {L"EndTime", L"TimeStepOptions", L"OutputControls",
                                             L"TimeIntegration", L"InertialRelief"})))
        return E_FAIL;
    double endTime = 0.0;
    if (FAILED(ReadDouble(stepElement, "./EndTime", endTime))) return E_FAIL;
    // The work copy stays out of the list; the span is taken from the record in its place.
    const double previousEnd = record.GetPreviousEndTime();
    DorvixStepControls r = record;
    r.StoreEndTime(endTime);
    r.GetTimeStepOptions().SetStepSpan(endTime - previousEnd);
    if (FAILED(ReadTimeStepOptionsXml(r.GetTimeStepOptions(), stepElement))) return E_FAIL;
    if (FAILED(ReadOutputControlsXml(r.GetOutputControls(), stepElement))) return E_FAIL;
    if (Has(stepElement, "./TimeIntegration")) {
        bool value = false;
        if (FAILED(ReadBool(stepElement, "./TimeIntegration", value))) return E_FAIL;
        r.AddStepCode(kTimeIntegrationStepCode);
        r.SetTimeIntegration(value);
    }
    if (Has(stepElement, "./InertialRelief")) {
        bool value = false;
        if (FAILED(ReadBool(stepElement, "./InertialRelief", value))) return E_FAIL;
        r.AddStepCode(kInertialReliefStepCode);
        r.SetInertialRelief(value);
    }
    record = r;
    return S_OK;
}

HRESULT WriteStepListXml(const DorvixStepControlsList& r, XmlNode root) {
    for (int i = 1; i <= r.GetCount(); ++i) WriteStepControlsXml(*r.GetStep(i), root);
    return S_OK;
}

HRESULT ReadStepListXml(DorvixStepControlsList& record, XmlNode root) {
    XmlQuery query("./StepControls");
    if (!XmlSelectNodes(root, query)) return S_OK;
    DorvixStepControlsList steps(record.GetOwner());
    steps.DeleteAllSteps();
    for (XmlNode element : query.GetNodes())
        if (FAILED(ReadStepControlsXml(steps.AppendTemplateStep(), element))) return E_FAIL;
    if (!steps.HasOrderedEndTimes()) return E_FAIL;
    record.TakeStepsFrom(steps);
    return S_OK;
}
