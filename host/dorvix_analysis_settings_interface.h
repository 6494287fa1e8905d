// The analysis-settings object's own dual interface: project persistence, the id of the host
// object it belongs to, its types, and one getter per setting (the object's setters are its
// own; the property grid and late-bound callers reach them through the object). The host takes
// it, with the object's class id, from the add-in module's type information.
#pragma once

#include <cstdint>

#include "host/analysis_settings_addin.h"
#include "host/multiplatform_stream.h"
#include "platform/com.h"
#include "platform/dispatch.h"

inline constexpr CLSID CLSID_DorvixAnalysisSettings = MakeGuid("92ee5997-cbfc-4627-850b-332c9fe2afd9");
inline constexpr const wchar_t* kDorvixAnalysisSettingsProgId = L"DorvixSolver.DorvixAnalysisSettings.120";
inline constexpr IID IID_IDorvixAnalysisSettings = MakeGuid("cb4a28b8-c9d5-497e-8342-92873763f98b");

// The solver the Dorvix run uses.
enum DorvixSolverType : std::int32_t {
    kDorvixSolver_ProgramControlled = 1,
    kDorvixSolver_Dual = 2,
    kDorvixSolver_Frontal = 3,
    kDorvixSolver_Sparse = 5,
    kDorvixSolver_Parallel = 6,
    kDorvixSolver_Manual = 7,
};

// Every setting the object exposes, in the order of its interface: X(name, value type).
#define DORVIX_ANALYSIS_SETTINGS_PROPERTIES(X)            \
    X(NumModesToFind, int)                                \
    X(RangeSearch, VARIANT_BOOL)                          \
    X(MinFrequency, double)                               \
    X(MaxFrequency, double)                               \
    X(UseLargeDeformation, VARIANT_BOOL)                  \
    X(SolverType, DorvixSolverType)                       \
    X(ManualSolver, int)                                  \
    X(PrestressedStatic, VARIANT_BOOL)                    \
    X(InitialComputation, VARIANT_BOOL)                   \
    X(NumberOfSteps, std::uint32_t)                       \
    X(CurrentStepNumber, std::uint32_t)                   \
    X(EndTime, double)                                    \
    X(UseAutoTimeStepping, JXAutoTimeSteppingType)        \
    X(TimeStepDefineby, JXTimeStepDefineByType)           \
    X(InitialSteps, std::uint32_t)                        \
    X(MinimumSteps, std::uint32_t)                        \
    X(MaximumSteps, std::uint32_t)                        \
    X(NumberOfSubSteps, std::uint32_t)                    \
    X(InitialTimeStep, double)                            \
    X(MinimumTimeStep, double)                            \
    X(MaximumTimeStep, double)                            \
    X(CarryOverTimeStep, VARIANT_BOOL)                    \
    X(TimeStep, double)                                   \
    X(CalculateStress, VARIANT_BOOL)                      \
    X(CalculateStrain, VARIANT_BOOL)                      \
    X(CalculateThermalFlux, VARIANT_BOOL)                 \
    X(CalculateContact, VARIANT_BOOL)                     \
    X(CalculateResultsAtTimePoints, JXTimePointsOptions)  \
    X(FutureIntent, JXFutureIntentType)                   \
    X(SolverFilesDirectory, BSTR)                         \
    X(SolverFilesRelativeDirectory, BSTR)                 \
    X(ResultFileName, BSTR)                               \
    X(CleanupOptionalDorvixFiles, VARIANT_BOOL)           \
    X(NonLinear, VARIANT_BOOL)                            \
    X(NewtonIterationMaximumNumberType, VARIANT_BOOL)     \
    X(NewtonIterationMaximumNumber, std::uint32_t)        \
    X(NewtonIterationOptimumNumberType, VARIANT_BOOL)     \
    X(NewtonIterationOptimumNumber, std::uint32_t)        \
    X(NewtonResidualNormConvergenceType, VARIANT_BOOL)    \
    X(NewtonResidualNormConvergence, double)              \
    X(NewtonEnergyConvergenceType, VARIANT_BOOL)          \
    X(NewtonEnergyConvergence, double)                    \
    X(NewtonStiffnessMatrixConvergenceType, VARIANT_BOOL) \
    X(NewtonStiffnessMatrixConvergence, double)           \
    X(NewtonRelaxationConvergenceType, VARIANT_BOOL)      \
    X(NewtonRelaxationConvergence, double)                \
    X(PrintingFrequencyNodalResultsType, VARIANT_BOOL)    \
    X(PrintingFrequencyNodalResults, std::uint32_t)       \
    X(PrintingFrequencyElementResultsType, VARIANT_BOOL)  \
    X(PrintingFrequencyElementResults, std::uint32_t)     \
    X(PrintingFrequencyGeneralResultsType, VARIANT_BOOL)  \
    X(PrintingFrequencyGeneralResults, std::uint32_t)     \
    X(StorageFrequencyNodalResultsType, VARIANT_BOOL)     \
    X(StorageFrequencyNodalResults, std::uint32_t)        \
    X(StorageFrequencyElementResultsType, VARIANT_BOOL)   \
    X(StorageFrequencyElementResults, std::uint32_t)      \
    X(StorageFrequencySelectedResultsType, VARIANT_BOOL)  \
    X(StorageFrequencySelectedResults, std::uint32_t)     \
    X(RefTemperature, double)                             \
    X(HarmonicIndex, std::uint32_t)

struct IDorvixAnalysisSettings : IDispatch {
    using BaseInterface = IDispatch;
    static constexpr const IID& iid() { return IID_IDorvixAnalysisSettings; }
    [[nodiscard]] virtual HRESULT SaveDB(IXenMultiplatformStream* stream) = 0;
    [[nodiscard]] virtual HRESULT ResumeDB(IXenMultiplatformStream* stream) = 0;
    [[nodiscard]] virtual HRESULT put_AnalysisSettingsID(int id) = 0;
    [[nodiscard]] virtual HRESULT get_PhysicsType(JXPhysicsType* type) = 0;
    [[nodiscard]] virtual HRESULT get_AnalysisType(JXSimulationType* type) = 0;
#define DORVIX_DECLARE_SETTINGS_GETTER(name, type) [[nodiscard]] virtual HRESULT get_##name(type* value) = 0;
    DORVIX_ANALYSIS_SETTINGS_PROPERTIES(DORVIX_DECLARE_SETTINGS_GETTER)
#undef DORVIX_DECLARE_SETTINGS_GETTER
    [[nodiscard]] virtual HRESULT get_IgnoreNotify(VARIANT_BOOL* ignore) = 0;
    [[nodiscard]] virtual HRESULT put_IgnoreNotify(VARIANT_BOOL ignore) = 0;

  protected:
    ~IDorvixAnalysisSettings() = default;
};
