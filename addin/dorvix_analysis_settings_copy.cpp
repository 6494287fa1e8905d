// Copying the settings of another settings object (the host duplicates an analysis): the
// other object's types, its modal options, each of its steps with the step's own time
// stepping, output and Newton controls, and its analysis-wide controls. Every value goes
// through this object's setter, so the setters' own rules apply.
#include <cstdint>
#include <new>
#include <optional>

#include "addin/dorvix_analysis_settings.h"
#include "settings/output_controls.h"
#include "settings/settings_types.h"

namespace {

using Other = IDorvixAnalysisSettings;
using Settings = CDorvixAnalysisSettings;

// A copy that runs out of memory part-way ends with E_OUTOFMEMORY instead of passing for whole;
// any other answer of a getter or setter follows the setters' own rules (a value refused or not
// to be had is left out).
void NoteAnswer(HRESULT hr) {
    if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
}

// Copies one value when the other object can give it.
template <class T>
void CopyValue(Other* other, HRESULT (Other::*get)(T*), Settings* self, HRESULT (Settings::*put)(T)) {
    T value{};
    const HRESULT read = (other->*get)(&value);
    NoteAnswer(read);
    if (SUCCEEDED(read)) NoteAnswer((self->*put)(value));
}

#define DORVIX_COPY(name) CopyValue(other, &Other::get_##name, self, &Settings::put_##name)

void CopyModalOptions(Other* other, Settings* self) {
    DORVIX_COPY(NumModesToFind);
    DORVIX_COPY(RangeSearch);
    DORVIX_COPY(MinFrequency);
    DORVIX_COPY(MaxFrequency);
    DORVIX_COPY(RefTemperature);
    DORVIX_COPY(HarmonicIndex);
}

// The options of the current step of each object.
void CopyStepOptions(Other* other, Settings* self) {
    DORVIX_COPY(UseAutoTimeStepping);
    DORVIX_COPY(TimeStepDefineby);
    DORVIX_COPY(CalculateResultsAtTimePoints);
    DORVIX_COPY(InitialTimeStep);
    DORVIX_COPY(MinimumTimeStep);
    DORVIX_COPY(MaximumTimeStep);
    DORVIX_COPY(CarryOverTimeStep);
    DORVIX_COPY(PrintingFrequencyNodalResultsType);
    DORVIX_COPY(PrintingFrequencyNodalResults);
    DORVIX_COPY(PrintingFrequencyElementResultsType);
    DORVIX_COPY(PrintingFrequencyElementResults);
    DORVIX_COPY(PrintingFrequencyGeneralResultsType);
    DORVIX_COPY(PrintingFrequencyGeneralResults);
    DORVIX_COPY(StorageFrequencyNodalResultsType);
    DORVIX_COPY(StorageFrequencyNodalResults);
    DORVIX_COPY(StorageFrequencyElementResultsType);
    DORVIX_COPY(StorageFrequencyElementResults);
    DORVIX_COPY(StorageFrequencySelectedResultsType);
    DORVIX_COPY(StorageFrequencySelectedResults);
    DORVIX_COPY(NewtonIterationMaximumNumberType);
    DORVIX_COPY(NewtonIterationMaximumNumber);
    DORVIX_COPY(NewtonIterationOptimumNumberType);
    DORVIX_COPY(NewtonIterationOptimumNumber);
    DORVIX_COPY(NewtonResidualNormConvergenceType);
    DORVIX_COPY(NewtonResidualNormConvergence);
    DORVIX_COPY(NewtonEnergyConvergenceType);
    DORVIX_COPY(NewtonEnergyConvergence);
    DORVIX_COPY(NewtonStiffnessMatrixConvergenceType);
    DORVIX_COPY(NewtonStiffnessMatrixConvergence);
    DORVIX_COPY(NewtonRelaxationConvergenceType);
    DORVIX_COPY(NewtonRelaxationConvergence);
}

// Result requests of an analysis without steps, through the setters.
void CopyOutputRequests(Other* other, Settings* self) {
    DORVIX_COPY(CalculateStress);
    DORVIX_COPY(CalculateStrain);
    DORVIX_COPY(CalculateContact);
    DORVIX_COPY(CalculateThermalFlux);
}

void CopyAnalysisControls(Other* other, Settings* self) {
    DORVIX_COPY(UseLargeDeformation);
    DORVIX_COPY(SolverType);
    DORVIX_COPY(ManualSolver);
    DORVIX_COPY(FutureIntent);
    DORVIX_COPY(CleanupOptionalDorvixFiles);
    DORVIX_COPY(InitialComputation);
    DORVIX_COPY(PrestressedStatic);
}

#undef DORVIX_COPY

// The result requests a step carries, by the getter that reads them from the current step.
struct StepOutput {
    HRESULT (Other::*get)(VARIANT_BOOL*);
    int code;
};
constexpr StepOutput kStepOutputs[] = {
    {&Other::get_CalculateStress, kStressOutput},
    {&Other::get_CalculateStrain, kStrainOutput},
    {&Other::get_CalculateContact, kContactOutput},
    {&Other::get_CalculateThermalFlux, kThermalFluxOutput},
};

}  // namespace

HRESULT CDorvixAnalysisSettings::CopyFrom(IUnknown* otherObject) try {
    if (!otherObject) return E_POINTER;
    ComPtr<IUnknown> identity;
    if (SUCCEEDED(otherObject->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddress())) &&
        identity.Get() == ControllingUnknown())
        return S_OK;  // a copy of itself: rebuilding first would lose what there is to copy
    ComPtr<IDorvixAnalysisSettings> other;
    HRESULT hr = otherObject->QueryInterface(IID_IDorvixAnalysisSettings, other.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    ComPtr<IJXAnalysisSettingsAddIn> otherSteps;
    hr = otherObject->QueryInterface(IID_IJXAnalysisSettingsAddIn, otherSteps.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;

    std::optional<std::uint32_t> otherStep;
    if (std::uint32_t step = 0; SUCCEEDED(other->get_CurrentStepNumber(&step))) otherStep = step;

    // Both objects keep quiet while the copy goes on, then return to what they did before, and
    // the source to its current step, also when the copy ends early.
    const bool ignored = ignoreNotify_;
    ignoreNotify_ = true;
    VARIANT_BOOL otherIgnored = VARIANT_FALSE;
    (void)other->get_IgnoreNotify(&otherIgnored);
    (void)other->put_IgnoreNotify(VARIANT_TRUE);
    CopyRestored restored{*this, ignored, other.Get(), otherIgnored, otherSteps.Get(), otherStep};

    JXPhysicsType physics = kPT_Mechanical;
    JXSimulationType analysis = kSIMULATION_STATIC;
    hr = other->get_PhysicsType(&physics);
    if (SUCCEEDED(hr)) hr = other->get_AnalysisType(&analysis);
    if (SUCCEEDED(hr)) hr = SetTypes(physics, analysis);
    if (FAILED(hr)) return hr;

    CopyModalOptions(other.Get(), this);

    // Each step keeps its own options and result requests: the request setters would give
    // every step the value of the one copied last.
    std::uint32_t count = 0;
    const bool stepped = SUCCEEDED(other->get_NumberOfSteps(&count)) && count >= 1;
    for (std::uint32_t step = 1; stepped && step <= count; ++step) {
        NoteAnswer(put_NumberOfSteps(step));
        if (double end = 0.0; otherSteps->GetStepEndTime(step, &end) == S_OK)
            NoteAnswer(SetStepEndTime(step, end));
        (void)otherSteps->JX_put_CurrentStepNumber(step);
        NoteAnswer(JX_put_CurrentStepNumber(step));
        CopyStepOptions(other.Get(), this);
        for (const StepOutput& output : kStepOutputs) {
            VARIANT_BOOL requested = VARIANT_FALSE;
            if (outputControls_ && SUCCEEDED((other.Get()->*output.get)(&requested)))
                outputControls_->SetOutputRequested(output.code, requested == VARIANT_TRUE);
        }
    }
    if (!stepped) CopyOutputRequests(other.Get(), this);
    CopyAnalysisControls(other.Get(), this);

    (void)JX_put_CurrentStepNumber(1);
    restored.Restore();
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

void CDorvixAnalysisSettings::CopyRestored::Restore() {
    if (done) return;
    done = true;
    if (otherStep) (void)otherSteps->JX_put_CurrentStepNumber(*otherStep);
    (void)other->put_IgnoreNotify(otherIgnored);
    self.ignoreNotify_ = ignored;
}
