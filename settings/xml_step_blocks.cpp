// XML blocks of the results output controls, the time-step options, one step and the step list.
#include <cmath>
#include <string>

#include "foundation/text.h"
#include "settings/settings_xml.h"
#include "settings/step_controls_list.h"
#include "settings/xml_read_log.h"
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
[[nodiscard]] HRESULT ReadTypedValue(XmlNode element, int& type, std::wstring& text) {
    int found = 0;
    XmlNode manual;
    if (FAILED(FirstMatch(element, {{"./ProgramControlled", 0}, {"./Manual", 1}}, found, &manual)))
        return XmlReadLog::Note(element, {}, L"holds neither ProgramControlled nor Manual");
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
[[nodiscard]] HRESULT ReadDefinedBy(DorvixTimeStepOptions& r, XmlNode definedBy, XmlNode& node) {
    int defineBy = 0;
    if (FAILED(FirstMatch(definedBy, {{"./Time", kDefineByTime}, {"./SubSteps", kDefineBySubSteps}}, defineBy,
                          &node)))
        return XmlReadLog::Note(definedBy, {}, L"holds neither Time nor SubSteps");
    r.SetTimeStepDefineby(defineBy);
    return S_OK;
}

// Automatic time stepping: initial (unless carried over), minimum and maximum step.
[[nodiscard]] HRESULT ReadAutomaticStepping(DorvixTimeStepOptions& r, XmlNode definedBy) {
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
[[nodiscard]] HRESULT ReadFixedStepping(DorvixTimeStepOptions& r, XmlNode definedBy) {
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

[[nodiscard]] HRESULT ReadNewtonControls(DorvixTimeStepOptions& r, XmlNode newton) {
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
                if (!ParseStrictUInt(text, value))
                    return XmlReadLog::Note(child, "./Manual", L"not a whole number of 0 or more");
                if (control == NewtonControl::IterationMaximumNumber)
                    r.SetNewtonIterationMaximumNumber(value);
                else
                    r.SetNewtonIterationOptimumNumber(value);
            } else {
                double value = 0.0;
                if (!ParseStrictDouble(text, value))
                    return XmlReadLog::Note(child, "./Manual", L"not a number");
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

[[nodiscard]] HRESULT ReadFrequencies(DorvixTimeStepOptions& r, XmlNode frequencies) {
    for (int i = 0; i < kOutputFrequencyCount; ++i) {
        const XmlNode child = Find(frequencies, ("./" + Utf8(kFrequencyNames[i])).c_str());
        if (!child) continue;
        int type = 0;
        std::wstring text;
        if (FAILED(ReadTypedValue(child, type, text))) return E_FAIL;
        const auto frequency = static_cast<OutputFrequency>(i);
        if (type == kManualType) {
            std::uint32_t value = 0;
            if (!ParseStrictUInt(text, value))
                return XmlReadLog::Note(child, "./Manual", L"not a whole number of 0 or more");
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
        // A piece that is no number counts as 0, which documents of other versions rely on;
        // no result time can be infinite or undefined.
        double value = ParseDouble(text.substr(first, last - first));
        if (!std::isfinite(value)) value = 0.0;
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
    if (!Has(context, "./OutputControls")) return XmlReadLog::Note(context, "./OutputControls", L"missing");
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
        // A choice this system does not know keeps the one the record has.
        int option = r.GetTimePointsOptions();
        if (FAILED(
                FirstMatch(context,
                           {{"./OutputControls[TimePointsOptions=\"All\"]", kTimePointsAll},
                            {"./OutputControls[TimePointsOptions=\"Last\"]", kTimePointsLast},
                            {"./OutputControls/TimePointsOptions/EquallySpaced", kTimePointsEquallySpaced}},
                           option)))
            (void)XmlReadLog::Note(context, "./OutputControls/TimePointsOptions",
                                   L"no known choice, kept as it was");
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
        return XmlReadLog::Note(
            context, "./OutputControls/ResultSetsType",
            Has(context, "./OutputControls/ResultSetsType") ? L"neither Auto nor Manual" : L"missing");
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
            (void)XmlSetElementText(autoType, L"ProgramControlled");  // see settings/xml_values.h, writing
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
    if (!Has(stepElement, "./TimeStepOptions"))
        return XmlReadLog::Note(stepElement, "./TimeStepOptions", L"missing");
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
        return XmlReadLog::Note(stepElement, "./TimeStepOptions/AutoTimeSteppingType",
                                Has(stepElement, "./TimeStepOptions/AutoTimeSteppingType")
                                    ? L"neither ProgramControlled nor Off or On holding DefinedBy"
                                    : L"missing");
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
    if (FAILED(WriteTimeStepOptionsXml(r.GetTimeStepOptions(), block)) ||
        FAILED(WriteOutputControlsXml(r.GetOutputControls(), block)))
        return E_FAIL;
    for (int code : r.GetStepCodes()) {
        if (code == kTimeIntegrationStepCode) AppendBool(block, L"TimeIntegration", r.GetTimeIntegration());
        if (code == kInertialReliefStepCode) AppendBool(block, L"InertialRelief", r.GetInertialRelief());
    }
    return S_OK;
}

// Reads an optional flag of the step. A flag that cannot be read keeps the value and the code
// the step has.
void ReadStepFlag(DorvixStepControls& r, XmlNode stepElement, const char* xpath, int code,
                  void (DorvixStepControls::*set)(bool)) {
    bool value = false;
    if (!Has(stepElement, xpath) || FAILED(ReadBool(stepElement, xpath, value))) return;
    r.AddStepCode(code);
    (r.*set)(value);
}

HRESULT ReadStepControlsXml(DorvixStepControls& record, XmlNode stepElement) {
    double endTime = 0.0;
    if (FAILED(ReadDouble(stepElement, "./EndTime", endTime))) return E_FAIL;
    // The work copy stays out of the list; the span is taken from the record in its place.
    const double previousEnd = record.GetPreviousEndTime();
    DorvixStepControls r = record;
    r.StoreEndTime(endTime);
    r.GetTimeStepOptions().SetStepSpan(endTime - previousEnd);
    // A block of the step that cannot be read (one written by another version, say) leaves
    // the step with the template's block; the step itself is still read. The log keeps why.
    (void)ReadTimeStepOptionsXml(r.GetTimeStepOptions(), stepElement);
    (void)ReadOutputControlsXml(r.GetOutputControls(), stepElement);
    ReadStepFlag(r, stepElement, "./TimeIntegration", kTimeIntegrationStepCode,
                 &DorvixStepControls::SetTimeIntegration);
    ReadStepFlag(r, stepElement, "./InertialRelief", kInertialReliefStepCode,
                 &DorvixStepControls::SetInertialRelief);
    record = r;
    return S_OK;
}

HRESULT WriteStepListXml(const DorvixStepControlsList& r, XmlNode root) {
    for (int i = 1; i <= r.GetCount(); ++i)
        if (FAILED(WriteStepControlsXml(*r.GetStep(i), root))) return E_FAIL;
    return S_OK;
}

HRESULT ReadStepListXml(DorvixStepControlsList& record, XmlNode root) {
    XmlQuery query("./StepControls");
    if (!XmlSelectNodes(root, query)) return S_OK;
    DorvixStepControlsList steps(record.GetOwner());
    steps.DeleteAllSteps();
    const XmlNodeList& elements = query.GetNodes();
    if (elements.GetLength() > kMaxStepCount)
        return XmlReadLog::Note(elements.Item(kMaxStepCount), "",
                                L"more than " + std::to_wstring(kMaxStepCount) + L" steps");
    for (XmlNode element : elements)
        if (FAILED(ReadStepControlsXml(steps.AppendTemplateStep(), element))) return E_FAIL;
    if (const int step = steps.FirstStepOutOfOrder(); step != 0)
        return XmlReadLog::Note(elements.Item(step - 1), "./EndTime",
                                step == 1 ? L"not above 0" : L"not after the end time of the step before");
    record.TakeStepsFrom(steps);
    return S_OK;
}
