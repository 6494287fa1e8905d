// The settings object's property getters and setters. Each property is described once (the
// record it lives in, the record's accessor pair and the rules its setter follows); a few
// templates read and write any description, so every get_ and put_ is one line.

#include <cstdint>
#include <new>
#include <string>
#include <type_traits>

#include "addin/dorvix_analysis_settings.h"
#include "runtime/addin_services.h"
#include "settings/modal_controls.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"
#include "settings/time_step_options.h"

namespace {

using Settings = CDorvixAnalysisSettings;

// Rules a setter follows beyond storing and notifying.
enum PropertyRule : unsigned {
    kPlain = 0,
    // S_FALSE, and no notification, when the value equals the stored one.
    kUnchangedIsFalse = 1u << 0,
    // A VARIANT_BOOL sets the flag only when it is VARIANT_TRUE; otherwise any non-zero does.
    kOnlyTrueSets = 1u << 1,
    // A negative value (or one that is no number) gives S_FALSE and changes nothing.
    kNegativeRefused = 1u << 2,
    // Getter of a text: an empty text gives S_FALSE and leaves the out value alone (else a
    // null string).
    kEmptyTextIsFalse = 1u << 3,
};

// A property stored in one field of a record the object caches: `Value` is the type the
// interface uses, `Stored` what the record's getter answers, `Arg` what its setter takes.
template <class Value, class Record, class Stored, class Arg>
struct Field {
    Record* Settings::*record;
    Stored (Record::*get)() const;
    void (Record::*set)(Arg);
    unsigned rules;
};

template <class Value, class Record, class Stored, class Arg>
constexpr Field<Value, Record, Stored, Arg> MakeField(Record* Settings::*record,
                                                      Stored (Record::*get)() const, void (Record::*set)(Arg),
                                                      unsigned rules = kPlain) {
    return {record, get, set, rules};
}

// A property with an algorithm of its own.
template <class Value>
struct CustomGetter {
    HRESULT (*read)(Settings& self, Value* out);
};

template <class Value, class Stored>
Value ToInterface(const Stored& stored) {
    if constexpr (std::is_same_v<Value, VARIANT_BOOL>)
        return stored ? VARIANT_TRUE : VARIANT_FALSE;
    else
        return static_cast<Value>(stored);
}

template <class Stored, class Value>
Stored ToRecord(Value value, unsigned rules) {
    if constexpr (std::is_same_v<Value, VARIANT_BOOL>) {
        const bool on = (rules & kOnlyTrueSets) ? value == VARIANT_TRUE : value != 0;
        return static_cast<Stored>(on);
    } else if constexpr (std::is_same_v<Value, BSTR>) {
        return Stored(BstrView(value));
    } else {
        return static_cast<Stored>(value);
    }
}

[[nodiscard]] HRESULT TextOut(const std::wstring& text, unsigned rules, BSTR* out) {
    if (text.empty()) {
        if (rules & kEmptyTextIsFalse) return S_FALSE;
        *out = nullptr;
        return S_OK;
    }
    return HandOutBstrCopy(text, out);
}

template <class Value, class Record, class Stored, class Arg>
HRESULT Read(Settings& self, const Field<Value, Record, Stored, Arg>& field, Value* out) try {
    if (!out) return E_POINTER;
    if constexpr (!std::is_same_v<Value, BSTR>) *out = Value{};
    const Record* record = self.*field.record;
    if (!record) return E_POINTER;
    if constexpr (std::is_same_v<Value, BSTR>) {
        return TextOut((record->*field.get)(), field.rules, out);
    } else {
        *out = ToInterface<Value>((record->*field.get)());
        return S_OK;
    }
} catch (...) {
    return AnswerCurrentFailure();
}

// Custom getters ask the host's tree and services, which allocate.
template <class Value>
HRESULT Read(Settings& self, const CustomGetter<Value>& custom, Value* out) try {
    if (!out) return E_POINTER;
    return custom.read(self, out);
} catch (...) {
    return AnswerCurrentFailure();
}

template <class Value, class Record, class Stored, class Arg>
HRESULT Write(Settings& self, const Field<Value, Record, Stored, Arg>& field, Value value) try {
    Record* record = self.*field.record;
    if (!record) return E_POINTER;
    if constexpr (std::is_arithmetic_v<Value>)
        if ((field.rules & kNegativeRefused) && !(value >= 0)) return S_FALSE;
    using Plain = std::remove_cvref_t<Arg>;
    Plain stored = ToRecord<Plain>(value, field.rules);
    if ((field.rules & kUnchangedIsFalse) && static_cast<Plain>((record->*field.get)()) == stored)
        return S_FALSE;
    (record->*field.set)(std::move(stored));
    self.NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

}  // namespace

// Record selectors, accessor pairs and rules of every property.
struct CDorvixAnalysisSettings::PropertyTable {
    using M = DorvixModalControls;
    using S = DorvixSolverControls;
    using F = DorvixSolverFileControls;
    using T = DorvixTimeStepOptions;
    using O = DorvixOutputControls;
    static constexpr auto modal = &Settings::modalControls_;
    static constexpr auto solver = &Settings::solverControls_;
    static constexpr auto files = &Settings::solverFileControls_;
    static constexpr auto step = &Settings::currentTimeStepOptions_;
    static constexpr auto out = &Settings::outputControls_;

    // A frequency bound (its setter keeps the range whole).
    template <double (M::*Get)() const>
    [[nodiscard]] static HRESULT ReadFrequency(Settings& self, double* out) {
        *out = 0.0;
        if (!self.modalControls_) return E_POINTER;
        *out = (self.modalControls_->*Get)();
        return S_OK;
    }
    // The record keeps the temperature in the reference system; the host's conversion takes
    // it from there (kelvin) into the host's system.
    [[nodiscard]] static HRESULT ReadRefTemperature(Settings& self, double* out) {
        if (!self.modalControls_) return E_POINTER;
        double converted = 0.0;
        const HRESULT hr = AddinServices::GetInstance().ConvertToUnitSystem(
            self.modalControls_->GetRefTemperature(kReferenceUnitSystem), kTemperatureQuantity, converted);
        if (SUCCEEDED(hr)) *out = converted;
        return hr;
    }
    [[nodiscard]] static HRESULT ReadNumberOfSteps(Settings& self, std::uint32_t* out) {
        *out = 1;
        if (!self.stepList_) return E_POINTER;
        *out = static_cast<std::uint32_t>(self.stepList_->GetCount());
        return S_OK;
    }
    [[nodiscard]] static HRESULT ReadCurrentStepNumber(Settings& self, std::uint32_t* out) {
        *out = 0;
        if (!self.stepList_ || !self.currentStep_) return E_POINTER;
        const int index = self.stepList_->GetStepIndex(self.currentStep_);
        if (index < 1) return E_POINTER;
        *out = static_cast<std::uint32_t>(index);
        return S_OK;
    }
    [[nodiscard]] static HRESULT ReadEndTime(Settings& self, double* out) {
        *out = 0.0;
        if (!self.currentStep_) return E_POINTER;
        if (!self.stepList_ || self.stepList_->GetStepIndex(self.currentStep_) < 1) {
            self.SelectStep(nullptr);
            return E_POINTER;
        }
        *out = self.currentStep_->GetEndTime();
        return S_OK;
    }
    [[nodiscard]] static HRESULT ReadNonLinear(Settings& self, VARIANT_BOOL* out) {
        return self.AnswerNonLinear(out);
    }

    [[nodiscard]] static HRESULT WriteFrequencyRange(Settings& self, double minFrequency,
                                                     double maxFrequency) {
        self.modalControls_->SetFrequencyRange(minFrequency, maxFrequency);
        self.NotifyChange();
        return S_OK;
    }
    template <int Code>
    [[nodiscard]] static HRESULT ReadOutput(Settings& self, VARIANT_BOOL* out) {
        *out = VARIANT_FALSE;
        if (!self.outputControls_) return E_POINTER;
        *out = self.outputControls_->IsOutputRequested(Code) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    // Modal and buckling controls.
    static constexpr auto NumModesToFind =
        MakeField<int>(modal, &M::GetNumModesToFind, &M::SetNumModesToFind);
    static constexpr auto RangeSearch = MakeField<VARIANT_BOOL>(modal, &M::GetRangeSearch, &M::SetRangeSearch,
                                                                kOnlyTrueSets | kUnchangedIsFalse);
    static constexpr CustomGetter<double> MinFrequency{&ReadFrequency<&M::GetMinFrequency>};
    static constexpr CustomGetter<double> MaxFrequency{&ReadFrequency<&M::GetMaxFrequency>};
    static constexpr CustomGetter<double> RefTemperature{&ReadRefTemperature};
    static constexpr auto HarmonicIndex =
        MakeField<std::uint32_t>(modal, &M::GetHarmonicIndex, &M::SetHarmonicIndex);

    // Solver controls.
    static constexpr auto UseLargeDeformation = MakeField<VARIANT_BOOL>(
        solver, &S::GetUseLargeDeformation, &S::SetUseLargeDeformation, kOnlyTrueSets);
    static constexpr auto SolverType =
        MakeField<DorvixSolverType>(solver, &S::GetSolverType, &S::SetSolverType);
    static constexpr auto ManualSolver = MakeField<int>(solver, &S::GetManualSolver, &S::SetManualSolver);
    static constexpr auto PrestressedStatic = MakeField<VARIANT_BOOL>(
        solver, &S::GetDoPrestressedStatic, &S::SetDoPrestressedStatic, kOnlyTrueSets);
    static constexpr auto InitialComputation = MakeField<VARIANT_BOOL>(
        solver, &S::GetDoInitialComputation, &S::SetDoInitialComputation, kOnlyTrueSets);

    // The step list and the current step.
    static constexpr CustomGetter<std::uint32_t> NumberOfSteps{&ReadNumberOfSteps};
    static constexpr CustomGetter<std::uint32_t> CurrentStepNumber{&ReadCurrentStepNumber};
    static constexpr CustomGetter<double> EndTime{&ReadEndTime};

    // The current step's time stepping.
    static constexpr auto UseAutoTimeStepping = MakeField<JXAutoTimeSteppingType>(
        step, &T::GetUseAutoTimeStepping, &T::SetUseAutoTimeStepping, kUnchangedIsFalse);
    static constexpr auto TimeStepDefineby = MakeField<JXTimeStepDefineByType>(
        step, &T::GetTimeStepDefineby, &T::SetTimeStepDefineby, kUnchangedIsFalse);
    static constexpr auto InitialSteps =
        MakeField<std::uint32_t>(step, &T::GetInitialSteps, &T::SetInitialSteps);
    static constexpr auto MinimumSteps =
        MakeField<std::uint32_t>(step, &T::GetMinimumSteps, &T::SetMinimumSteps);
    static constexpr auto MaximumSteps =
        MakeField<std::uint32_t>(step, &T::GetMaximumSteps, &T::SetMaximumSteps);
    static constexpr auto NumberOfSubSteps =
        MakeField<std::uint32_t>(step, &T::GetNumberOfSubSteps, &T::SetNumberOfSubSteps);
    static constexpr auto InitialTimeStep =
        MakeField<double>(step, &T::GetInitialTimeStep, &T::SetInitialTimeStep, kNegativeRefused);
    static constexpr auto MinimumTimeStep =
        MakeField<double>(step, &T::GetMinimumTimeStep, &T::SetMinimumTimeStep, kNegativeRefused);
    static constexpr auto MaximumTimeStep =
        MakeField<double>(step, &T::GetMaximumTimeStep, &T::SetMaximumTimeStep, kNegativeRefused);
    static constexpr auto CarryOverTimeStep =
        MakeField<VARIANT_BOOL>(step, &T::GetCarryOverTimeStep, &T::SetCarryOverTimeStep, kUnchangedIsFalse);
    static constexpr auto TimeStep = MakeField<double>(step, &T::GetTimeStep, &T::SetTimeStep);

    // Output requests.
    static constexpr CustomGetter<VARIANT_BOOL> CalculateStress{&ReadOutput<kStressOutput>};
    static constexpr CustomGetter<VARIANT_BOOL> CalculateStrain{&ReadOutput<kStrainOutput>};
    static constexpr CustomGetter<VARIANT_BOOL> CalculateThermalFlux{&ReadOutput<kThermalFluxOutput>};
    static constexpr CustomGetter<VARIANT_BOOL> CalculateContact{&ReadOutput<kContactOutput>};
    static constexpr auto CalculateResultsAtTimePoints =
        MakeField<JXTimePointsOptions>(out, &O::GetTimePointsOptions, &O::SetTimePointsOptions);

    // Solver files.
    static constexpr auto FutureIntent =
        MakeField<JXFutureIntentType>(files, &F::GetFutureAnalysisType, &F::SetFutureAnalysisType);
    static constexpr auto SolverFilesDirectory =
        MakeField<BSTR>(files, &F::GetSolverFilesDirectory, &F::SetSolverFilesDirectory);
    static constexpr auto SolverFilesRelativeDirectory =
        MakeField<BSTR>(files, &F::GetSolverFilesRelativeDirectory, &F::SetSolverFilesRelativeDirectory);
    static constexpr auto ResultFileName =
        MakeField<BSTR>(files, &F::GetResultFile, &F::SetResultFile, kEmptyTextIsFalse);
    static constexpr auto CleanupOptionalDorvixFiles =
        MakeField<VARIANT_BOOL>(files, &F::GetDeleteUnusedFiles, &F::SetDeleteUnusedFiles);

    static constexpr CustomGetter<VARIANT_BOOL> NonLinear{&ReadNonLinear};

    // Newton controls of the current step.
    static constexpr auto NewtonIterationMaximumNumberType =
        MakeField<VARIANT_BOOL>(step, &T::GetNewtonIterationMaximumNumberType,
                                &T::SetNewtonIterationMaximumNumberType, kOnlyTrueSets);
    static constexpr auto NewtonIterationMaximumNumber = MakeField<std::uint32_t>(
        step, &T::GetNewtonIterationMaximumNumber, &T::SetNewtonIterationMaximumNumber);
    static constexpr auto NewtonIterationOptimumNumberType =
        MakeField<VARIANT_BOOL>(step, &T::GetNewtonIterationOptimumNumberType,
                                &T::SetNewtonIterationOptimumNumberType, kOnlyTrueSets);
    static constexpr auto NewtonIterationOptimumNumber = MakeField<std::uint32_t>(
        step, &T::GetNewtonIterationOptimumNumber, &T::SetNewtonIterationOptimumNumber);
    static constexpr auto NewtonResidualNormConvergenceType =
        MakeField<VARIANT_BOOL>(step, &T::GetNewtonResidualNormConvergenceType,
                                &T::SetNewtonResidualNormConvergenceType, kOnlyTrueSets);
    static constexpr auto NewtonResidualNormConvergence =
        MakeField<double>(step, &T::GetNewtonResidualNormConvergence, &T::SetNewtonResidualNormConvergence);
    static constexpr auto NewtonEnergyConvergenceType = MakeField<VARIANT_BOOL>(
        step, &T::GetNewtonEnergyConvergenceType, &T::SetNewtonEnergyConvergenceType, kOnlyTrueSets);
    static constexpr auto NewtonEnergyConvergence =
        MakeField<double>(step, &T::GetNewtonEnergyConvergence, &T::SetNewtonEnergyConvergence);
    static constexpr auto NewtonStiffnessMatrixConvergenceType =
        MakeField<VARIANT_BOOL>(step, &T::GetNewtonStiffnessMatrixConvergenceType,
                                &T::SetNewtonStiffnessMatrixConvergenceType, kOnlyTrueSets);
    static constexpr auto NewtonStiffnessMatrixConvergence = MakeField<double>(
        step, &T::GetNewtonStiffnessMatrixConvergence, &T::SetNewtonStiffnessMatrixConvergence);
    static constexpr auto NewtonRelaxationConvergenceType = MakeField<VARIANT_BOOL>(
        step, &T::GetNewtonRelaxationConvergenceType, &T::SetNewtonRelaxationConvergenceType, kOnlyTrueSets);
    static constexpr auto NewtonRelaxationConvergence =
        MakeField<double>(step, &T::GetNewtonRelaxationConvergence, &T::SetNewtonRelaxationConvergence);

    // Printing and storage frequencies of the current step.
    static constexpr auto PrintingFrequencyNodalResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetPrintingFrequencyNodalResultsType,
                                &T::SetPrintingFrequencyNodalResultsType, kOnlyTrueSets);
    static constexpr auto PrintingFrequencyNodalResults = MakeField<std::uint32_t>(
        step, &T::GetPrintingFrequencyNodalResults, &T::SetPrintingFrequencyNodalResults);
    static constexpr auto PrintingFrequencyElementResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetPrintingFrequencyElementResultsType,
                                &T::SetPrintingFrequencyElementResultsType, kOnlyTrueSets);
    static constexpr auto PrintingFrequencyElementResults = MakeField<std::uint32_t>(
        step, &T::GetPrintingFrequencyElementResults, &T::SetPrintingFrequencyElementResults);
    static constexpr auto PrintingFrequencyGeneralResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetPrintingFrequencyGeneralResultsType,
                                &T::SetPrintingFrequencyGeneralResultsType, kOnlyTrueSets);
    static constexpr auto PrintingFrequencyGeneralResults = MakeField<std::uint32_t>(
        step, &T::GetPrintingFrequencyGeneralResults, &T::SetPrintingFrequencyGeneralResults);
    static constexpr auto StorageFrequencyNodalResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetStorageFrequencyNodalResultsType,
                                &T::SetStorageFrequencyNodalResultsType, kOnlyTrueSets);
    static constexpr auto StorageFrequencyNodalResults = MakeField<std::uint32_t>(
        step, &T::GetStorageFrequencyNodalResults, &T::SetStorageFrequencyNodalResults);
    static constexpr auto StorageFrequencyElementResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetStorageFrequencyElementResultsType,
                                &T::SetStorageFrequencyElementResultsType, kOnlyTrueSets);
    static constexpr auto StorageFrequencyElementResults = MakeField<std::uint32_t>(
        step, &T::GetStorageFrequencyElementResults, &T::SetStorageFrequencyElementResults);
    static constexpr auto StorageFrequencySelectedResultsType =
        MakeField<VARIANT_BOOL>(step, &T::GetStorageFrequencySelectedResultsType,
                                &T::SetStorageFrequencySelectedResultsType, kOnlyTrueSets);
    static constexpr auto StorageFrequencySelectedResults = MakeField<std::uint32_t>(
        step, &T::GetStorageFrequencySelectedResults, &T::SetStorageFrequencySelectedResults);
};

// Getters: one per property, each reading its description.
#define DORVIX_DEFINE_SETTINGS_GETTER(name, type)              \
    HRESULT CDorvixAnalysisSettings::get_##name(type* value) { \
        return Read(*this, PropertyTable::name, value);        \
    }
DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_DEFINE_SETTINGS_GETTER)
#undef DORVIX_DEFINE_SETTINGS_GETTER

// Setters that follow their description.
HRESULT Settings::put_NumModesToFind(int v) { return Write(*this, PropertyTable::NumModesToFind, v); }
HRESULT Settings::put_RangeSearch(VARIANT_BOOL v) { return Write(*this, PropertyTable::RangeSearch, v); }
HRESULT Settings::put_HarmonicIndex(std::uint32_t v) { return Write(*this, PropertyTable::HarmonicIndex, v); }
HRESULT Settings::put_SolverType(DorvixSolverType v) { return Write(*this, PropertyTable::SolverType, v); }
HRESULT Settings::put_ManualSolver(int v) { return Write(*this, PropertyTable::ManualSolver, v); }
HRESULT Settings::put_PrestressedStatic(VARIANT_BOOL v) {
    return Write(*this, PropertyTable::PrestressedStatic, v);
}
HRESULT Settings::put_InitialComputation(VARIANT_BOOL v) {
    return Write(*this, PropertyTable::InitialComputation, v);
}
HRESULT Settings::put_UseAutoTimeStepping(JXAutoTimeSteppingType v) {
    return Write(*this, PropertyTable::UseAutoTimeStepping, v);
}
HRESULT Settings::put_TimeStepDefineby(JXTimeStepDefineByType v) {
    return Write(*this, PropertyTable::TimeStepDefineby, v);
}
HRESULT Settings::put_InitialSteps(std::uint32_t v) { return Write(*this, PropertyTable::InitialSteps, v); }
HRESULT Settings::put_MinimumSteps(std::uint32_t v) { return Write(*this, PropertyTable::MinimumSteps, v); }
HRESULT Settings::put_MaximumSteps(std::uint32_t v) { return Write(*this, PropertyTable::MaximumSteps, v); }
HRESULT Settings::put_NumberOfSubSteps(std::uint32_t v) {
    return Write(*this, PropertyTable::NumberOfSubSteps, v);
}
HRESULT Settings::put_InitialTimeStep(double v) { return Write(*this, PropertyTable::InitialTimeStep, v); }
HRESULT Settings::put_MinimumTimeStep(double v) { return Write(*this, PropertyTable::MinimumTimeStep, v); }
HRESULT Settings::put_MaximumTimeStep(double v) { return Write(*this, PropertyTable::MaximumTimeStep, v); }
HRESULT Settings::put_CarryOverTimeStep(VARIANT_BOOL v) {
    return Write(*this, PropertyTable::CarryOverTimeStep, v);
}
HRESULT Settings::put_TimeStep(double v) { return Write(*this, PropertyTable::TimeStep, v); }
HRESULT Settings::put_CalculateResultsAtTimePoints(JXTimePointsOptions v) {
    return Write(*this, PropertyTable::CalculateResultsAtTimePoints, v);
}
HRESULT Settings::put_FutureIntent(JXFutureIntentType v) {
    return Write(*this, PropertyTable::FutureIntent, v);
}
HRESULT Settings::put_SolverFilesDirectory(BSTR v) {
    return Write(*this, PropertyTable::SolverFilesDirectory, v);
}
HRESULT Settings::put_SolverFilesRelativeDirectory(BSTR v) {
    return Write(*this, PropertyTable::SolverFilesRelativeDirectory, v);
}
HRESULT Settings::put_ResultFileName(BSTR v) { return Write(*this, PropertyTable::ResultFileName, v); }
HRESULT Settings::put_CleanupOptionalDorvixFiles(VARIANT_BOOL v) {
    return Write(*this, PropertyTable::CleanupOptionalDorvixFiles, v);
}
#define DORVIX_DEFINE_STEP_SETTER(name, type) \
    HRESULT Settings::put_##name(type v) { return Write(*this, PropertyTable::name, v); }
DORVIX_DEFINE_STEP_SETTER(NewtonIterationMaximumNumberType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonIterationMaximumNumber, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(NewtonIterationOptimumNumberType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonIterationOptimumNumber, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(NewtonResidualNormConvergenceType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonResidualNormConvergence, double)
DORVIX_DEFINE_STEP_SETTER(NewtonEnergyConvergenceType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonEnergyConvergence, double)
DORVIX_DEFINE_STEP_SETTER(NewtonStiffnessMatrixConvergenceType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonStiffnessMatrixConvergence, double)
DORVIX_DEFINE_STEP_SETTER(NewtonRelaxationConvergenceType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(NewtonRelaxationConvergence, double)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyNodalResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyNodalResults, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyElementResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyElementResults, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyGeneralResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(PrintingFrequencyGeneralResults, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencyNodalResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencyNodalResults, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencyElementResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencyElementResults, std::uint32_t)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencySelectedResultsType, VARIANT_BOOL)
DORVIX_DEFINE_STEP_SETTER(StorageFrequencySelectedResults, std::uint32_t)
#undef DORVIX_DEFINE_STEP_SETTER

// Setters with rules of their own.

HRESULT Settings::put_MinFrequency(double v) {
    if (!modalControls_) return E_POINTER;
    return PropertyTable::WriteFrequencyRange(*this, v, modalControls_->GetMaxFrequency());
}

HRESULT Settings::put_MaxFrequency(double v) {
    if (!modalControls_) return E_POINTER;
    return PropertyTable::WriteFrequencyRange(*this, modalControls_->GetMinFrequency(), v);
}

// The host's value is in its own system; the conversion brings it into the reference system
// (kelvin), which the record takes. A failed conversion stores nothing.
HRESULT Settings::put_RefTemperature(double v) try {
    if (!modalControls_) return E_POINTER;
    double reference = 0.0;
    const HRESULT hr = AddinServices::GetInstance().ConvertFromUnitSystem(v, kTemperatureQuantity, reference);
    if (FAILED(hr)) return hr;
    modalControls_->SetRefTemperature(reference, kReferenceUnitSystem);
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

// Large deformation and a prestressed static run exclude each other.
HRESULT Settings::put_UseLargeDeformation(VARIANT_BOOL v) {
    if (!solverControls_) return E_POINTER;
    if (v == VARIANT_TRUE) (void)put_PrestressedStatic(VARIANT_FALSE);
    return Write(*this, PropertyTable::UseLargeDeformation, v);
}
