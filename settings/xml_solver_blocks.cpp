// XML blocks of the solver controls and the damping controls. Each writes only the controls
// its record marks present; a reader marks present what it finds.
#include "settings/damping_controls.h"
#include "settings/settings_xml.h"
#include "settings/solver_controls.h"
#include "settings/xml_read_log.h"
#include "settings/xml_values.h"

using namespace settings_xml;

namespace {

constexpr int kSolverControlsVersion = 3;
constexpr int kDampingControlsVersion = 1;

void WriteSolverType(const DorvixSolverControls& r, XmlNode block) {
    XmlNode element = Append(block, L"SolverType");
    switch (r.GetSolverType()) {
        case kSolverProgramControlled:
            Append(element, L"ProgramControlled");
            break;
        case kSolverDual:
            Append(element, L"Dual");
            break;
        case kSolverFrontal:
            Append(element, L"Frontal");
            break;
        case kSolverSparse:
            Append(element, L"Sparse");
            break;
        case kSolverParallel:
            Append(element, L"Parallel");
            break;
        case kSolverManual:
            AppendInt(Append(element, L"Manual"), L"Value", r.GetManualSolver());
            break;
        default:
            break;
    }
}

void WriteWeakSprings(const DorvixSolverControls& r, XmlNode block) {
    XmlNode element = Append(block, L"WeakSprings");
    switch (r.GetWeakSprings()) {
        case kProgramControlled:
            Append(element, L"ProgramControlled");
            break;
        case kOff:
            Append(element, L"Off");
            break;
        case kOn: {
            XmlNode stiffness = Append(Append(element, L"On"), L"SpringsStiffness");
            switch (r.GetSpringsStiffnessType()) {
                case kStiffnessProgramControlled:
                    Append(stiffness, L"ProgramControlled");
                    break;
                case kStiffnessFactor:
                    AppendDouble(stiffness, L"Factor", r.GetSpringsStiffnessFactor());
                    break;
                case kStiffnessManual:
                    AppendDouble(stiffness, L"Manual", r.GetSpringsStiffnessValue());
                    break;
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
}

void WriteNonlinearFormulation(const DorvixSolverControls& r, XmlNode block) {
    XmlNode element = Append(block, L"NonlinearFormulationType");
    switch (r.GetNonlinearFormulationType()) {
        case kFormulationProgramControlled:
            Append(element, L"ProgramControlled");
            break;
        case kFormulationFull:
            Append(element, L"Full");
            break;
        case kFormulationQuasi:
            AppendDouble(Append(element, L"Quasi"), L"ReformulationTolerance", r.GetReformulationTolerance());
            break;
        default:
            break;
    }
}

// A solver this system does not know, and a manual solver number that cannot be read, keep
// what the record has: neither fails the block.
void ReadSolverType(DorvixSolverControls& r, XmlNode element) {
    int type = 0;
    XmlNode chosen;
    if (FAILED(FirstMatch(element,
                          {{"./ProgramControlled", kSolverProgramControlled},
                           {"./Dual", kSolverDual},
                           {"./Frontal", kSolverFrontal},
                           {"./Sparse", kSolverSparse},
                           {"./Parallel", kSolverParallel},
                           {"./Manual", kSolverManual}},
                          type, &chosen))) {
        (void)XmlReadLog::Note(element, {}, L"no known solver, kept as it was");
        return;
    }
    r.SetSolverType(static_cast<std::uint32_t>(type));
    std::uint32_t manual = 0;
    if (type == static_cast<int>(kSolverManual) && SUCCEEDED(ReadUInt(chosen, "./Value", manual)))
        r.SetManualSolver(manual);
}

// A value under the selector that chose it; one that cannot be read keeps the record's.
void ReadSelectedValue(XmlNode context, const char* xpath, DorvixSolverControls& r,
                       void (DorvixSolverControls::*set)(double)) {
    double value = 0.0;
    if (SUCCEEDED(ReadDouble(context, xpath, value))) (r.*set)(value);
}

[[nodiscard]] HRESULT ReadWeakSprings(DorvixSolverControls& r, XmlNode element) {
    int springs = 0;
    if (FAILED(FirstMatch(
            element, {{"./ProgramControlled", kProgramControlled}, {"./Off", kOff}, {"./On", kOn}}, springs)))
        return XmlReadLog::Note(element, {}, L"holds none of ProgramControlled, Off and On");
    r.SetWeakSprings(static_cast<std::uint32_t>(springs));
    if (springs != kOn) return S_OK;
    int kind = 0;
    if (FAILED(FirstMatch(element,
                          {{"./On/SpringsStiffness/ProgramControlled", kStiffnessProgramControlled},
                           {"./On/SpringsStiffness/Factor", kStiffnessFactor},
                           {"./On/SpringsStiffness/Manual", kStiffnessManual}},
                          kind)))
        return XmlReadLog::Note(element, "./On/SpringsStiffness",
                                L"holds none of ProgramControlled, Factor and Manual");
    r.SetSpringsStiffnessType(static_cast<std::uint32_t>(kind));
    if (kind == static_cast<int>(kStiffnessFactor))
        ReadSelectedValue(element, "./On/SpringsStiffness/Factor", r,
                          &DorvixSolverControls::SetSpringsStiffnessFactor);
    else if (kind == static_cast<int>(kStiffnessManual))
        ReadSelectedValue(element, "./On/SpringsStiffness/Manual", r,
                          &DorvixSolverControls::SetSpringsStiffnessValue);
    return S_OK;
}

[[nodiscard]] HRESULT ReadNonlinearFormulation(DorvixSolverControls& r, XmlNode element) {
    int type = 0;
    XmlNode chosen;
    if (FAILED(FirstMatch(element,
                          {{"./ProgramControlled", kFormulationProgramControlled},
                           {"./Full", kFormulationFull},
                           {"./Quasi", kFormulationQuasi}},
                          type, &chosen)))
        return XmlReadLog::Note(element, {}, L"holds none of ProgramControlled, Full and Quasi");
    r.SetNonlinearFormulationType(static_cast<std::uint32_t>(type));
    if (type == static_cast<int>(kFormulationQuasi))
        ReadSelectedValue(chosen, "./ReformulationTolerance", r,
                          &DorvixSolverControls::SetReformulationTolerance);
    return S_OK;
}

// Reads an optional boolean control; present marks the control present.
[[nodiscard]] HRESULT ReadFlagControl(XmlNode root, const char* xpath, int code, DorvixSolverControls& r,
                                      void (DorvixSolverControls::*set)(bool)) {
    if (!Has(root, xpath)) return S_OK;
    bool value = false;
    if (FAILED(ReadBool(root, xpath, value))) return E_FAIL;
    r.AddPresentControl(code);
    (r.*set)(value);
    return S_OK;
}

}  // namespace

HRESULT WriteSolverControlsXml(const DorvixSolverControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"SolverControls", kSolverControlsVersion);
    for (int code : r.GetPresentControls()) {
        switch (code) {
            case kSolverTypeControl:
                WriteSolverType(r, block);
                break;
            case kLargeDeformationControl:
                AppendBool(block, L"UseLargeDeformation", r.GetUseLargeDeformation());
                break;
            case kWeakSpringsControl:
                WriteWeakSprings(r, block);
                break;
            case kNonlinearFormulationControl:
                WriteNonlinearFormulation(r, block);
                break;
            case kInitialComputationControl:
                AppendBool(block, L"DoInitialComputation", r.GetDoInitialComputation());
                break;
            case kPrestressedStaticControl:
                AppendBool(block, L"DoPrestressedStatic", r.GetDoPrestressedStatic());
                break;
            default:
                break;
        }
    }
    return S_OK;
}

HRESULT ReadSolverControlsXml(DorvixSolverControls& record, XmlNode root) {
    // A root without the block reads nothing: every control in it is optional.
    const XmlNode block = Find(root, "./SolverControls");
    if (!block) return S_OK;
    DorvixSolverControls r = record;
    if (const XmlNode element = Find(block, "./SolverType")) {
        r.AddPresentControl(kSolverTypeControl);
        ReadSolverType(r, element);
    }
    if (FAILED(ReadFlagControl(root, "./SolverControls/UseLargeDeformation", kLargeDeformationControl, r,
                               &DorvixSolverControls::SetUseLargeDeformation)))
        return E_FAIL;
    if (const XmlNode element = Find(block, "./WeakSprings")) {
        r.AddPresentControl(kWeakSpringsControl);
        if (FAILED(ReadWeakSprings(r, element))) return E_FAIL;
    }
    if (const XmlNode element = Find(block, "./NonlinearFormulationType")) {
        r.AddPresentControl(kNonlinearFormulationControl);
        if (FAILED(ReadNonlinearFormulation(r, element))) return E_FAIL;
    }
    if (FAILED(ReadFlagControl(root, "./SolverControls/DoInitialComputation", kInitialComputationControl, r,
                               &DorvixSolverControls::SetDoInitialComputation)) ||
        FAILED(ReadFlagControl(root, "./SolverControls/DoPrestressedStatic", kPrestressedStaticControl, r,
                               &DorvixSolverControls::SetDoPrestressedStatic)))
        return E_FAIL;
    record = std::move(r);
    return S_OK;
}

HRESULT WriteDampingControlsXml(const DorvixDampingControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"DampingControls", kDampingControlsVersion);
    for (int code : r.GetPresentControls()) {
        if (code == kConstantDampingControl) AppendDouble(block, L"ConstantValue", r.GetConstantValue());
        if (code == kNumericalDampingControl) AppendDouble(block, L"NumericalValue", r.GetNumericalValue());
        if (code != kBetaDampingControl) continue;
        if (r.GetBetaDampingDefinition() == kBetaByValue) {
            AppendDouble(block, L"BetaDamping", r.GetBetaDamping());
        } else {
            XmlNode beta = Append(block, L"BetaDamping");
            if (r.GetBetaDampingDefinition() == kBetaByFrequency) {
                XmlNode byFrequency = Append(beta, L"BetaVsFrequency");
                AppendDouble(byFrequency, L"Frequency", r.GetFrequency());
                AppendDouble(byFrequency, L"Measure", r.GetMeasure());
            }
        }
    }
    return S_OK;
}

HRESULT ReadDampingControlsXml(DorvixDampingControls& record, XmlNode root) {
    DorvixDampingControls r = record;
    // A root without the block leaves no damping control present.
    r.SetPresentControls({});
    double value = 0.0;
    if (Has(root, "./DampingControls/ConstantValue")) {
        if (FAILED(ReadDouble(root, "./DampingControls/ConstantValue", value))) return E_FAIL;
        r.AddPresentControl(kConstantDampingControl);
        r.SetConstantValue(value);
    }
    if (Has(root, "./DampingControls/BetaDamping")) {
        r.AddPresentControl(kBetaDampingControl);
        int definition = 0;
        // The text is tried first: an element with both reads as a value.
        if (FAILED(FirstMatch(root,
                              {{"./DampingControls/BetaDamping/text()", kBetaByValue},
                               {"./DampingControls/BetaDamping/BetaVsFrequency", kBetaByFrequency}},
                              definition)))
            return XmlReadLog::Note(root, "./DampingControls/BetaDamping",
                                    L"holds neither a value nor BetaVsFrequency");
        r.SetBetaDampingDefinition(static_cast<std::uint32_t>(definition));
        if (definition == static_cast<int>(kBetaByValue)) {
            if (FAILED(ReadDouble(root, "./DampingControls/BetaDamping/text()", value))) return E_FAIL;
            r.SetBetaDamping(value);
        } else {
            double frequency = 0.0, measure = 0.0;
            if (FAILED(
                    ReadDouble(root, "./DampingControls/BetaDamping/BetaVsFrequency/Frequency", frequency)) ||
                FAILED(ReadDouble(root, "./DampingControls/BetaDamping/BetaVsFrequency/Measure", measure)))
                return E_FAIL;
            r.SetFrequency(frequency);
            r.SetMeasure(measure);
        }
    }
    if (Has(root, "./DampingControls/NumericalValue")) {
        if (FAILED(ReadDouble(root, "./DampingControls/NumericalValue", value))) return E_FAIL;
        r.AddPresentControl(kNumericalDampingControl);
        r.SetNumericalValue(value);
    }
    record = std::move(r);
    return S_OK;
}
