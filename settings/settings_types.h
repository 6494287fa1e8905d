// Codes shared by the analysis-settings records, the settings classes and their persistence.
#pragma once

// Analysis types.
inline constexpr int kStaticAnalysis = 0;
inline constexpr int kHarmonicAnalysis = 1;
inline constexpr int kTransientAnalysis = 2;
inline constexpr int kSpectrumAnalysis = 3;
inline constexpr int kBucklingAnalysis = 4;
inline constexpr int kModalAnalysis = 5;
inline constexpr int kInitialContactAnalysis = 6;
inline constexpr int kMbdAnalysis = 7;
inline constexpr int kShapeAnalysis = 8;

// The most load steps a step list holds. Each step carries its own controls, so the count bounds
// the memory of the settings and the length of every deck written from them.
inline constexpr int kMaxStepCount = 10000;

// Physics types (there is no physics type 4).
inline constexpr int kMechanicalPhysics = 1;
inline constexpr int kThermalPhysics = 2;
inline constexpr int kElectromagneticPhysics = 3;
inline constexpr int kElectricCondPhysics = 5;

// Record tags answered by `GetControls` and used as section tags in the binary records.
inline constexpr int kDampingControlsTag = 1;
inline constexpr int kOutputControlsTag = 2;
inline constexpr int kSolverControlsTag = 3;
inline constexpr int kStepListTag = 5;
inline constexpr int kSolverFileControlsTag = 7;
inline constexpr int kHarmonicControlsTag = 15;
inline constexpr int kModalControlsTag = 16;
inline constexpr int kBucklingControlsTag = 17;

// Class tags: `GetControls` answers the settings object itself for its own class tag.
inline constexpr int kTransientThermalClassTag = 8;
inline constexpr int kTransientMechanicalClassTag = 9;
inline constexpr int kStaticMechanicalClassTag = 10;
inline constexpr int kHarmonicMechanicalClassTag = 11;
inline constexpr int kModalMechanicalClassTag = 12;
inline constexpr int kBucklingMechanicalClassTag = 13;
inline constexpr int kStaticThermalClassTag = 14;

// Selectors of `GetStepControls` and `DorvixStepControls::GetControls`.
inline constexpr int kTimeStepOptionsSelector = 0;
inline constexpr int kStepOutputControlsSelector = 2;
inline constexpr int kStepSelector = 4;

// Step codes: which optional flags a step carries in its XML form.
inline constexpr int kTimeIntegrationStepCode = 1;
inline constexpr int kInertialReliefStepCode = 2;

// Output codes of `DorvixOutputControls`. Code 4 is an output without an XML element of its own.
inline constexpr int kStressOutput = 1;
inline constexpr int kStrainOutput = 2;
inline constexpr int kContactOutput = 3;
inline constexpr int kUnnamedOutput = 4;
inline constexpr int kThermalFluxOutput = 5;
inline constexpr int kTimePointsOutput = 6;

// Present-control codes of `DorvixSolverControls`.
inline constexpr int kSolverTypeControl = 1;
inline constexpr int kLargeDeformationControl = 2;
inline constexpr int kWeakSpringsControl = 3;
inline constexpr int kNonlinearFormulationControl = 4;
inline constexpr int kInitialComputationControl = 5;
inline constexpr int kPrestressedStaticControl = 6;

// Present-control codes of `DorvixDampingControls`.
inline constexpr int kConstantDampingControl = 1;
inline constexpr int kBetaDampingControl = 2;
inline constexpr int kNumericalDampingControl = 3;

// UseAutoTimeStepping, WeakSprings.
inline constexpr int kProgramControlled = 0;
inline constexpr int kOn = 1;
inline constexpr int kOff = 2;

// TimeStepDefineby.
inline constexpr int kDefineBySubSteps = 0;
inline constexpr int kDefineByTime = 1;

// Type bytes of the Newton controls and output frequencies.
inline constexpr int kProgramControlledType = 0;
inline constexpr int kManualType = 1;

// SolverType and ManualSolver.
inline constexpr unsigned kSolverProgramControlled = 1;
inline constexpr unsigned kSolverDual = 2;
inline constexpr unsigned kSolverFrontal = 3;
inline constexpr unsigned kSolverSparse = 5;
inline constexpr unsigned kSolverParallel = 6;
inline constexpr unsigned kSolverManual = 7;

// SpringsStiffness kind.
inline constexpr unsigned kStiffnessProgramControlled = 0;
inline constexpr unsigned kStiffnessFactor = 1;
inline constexpr unsigned kStiffnessManual = 2;

// NonlinearFormulationType.
inline constexpr unsigned kFormulationProgramControlled = 0;
inline constexpr unsigned kFormulationFull = 1;
inline constexpr unsigned kFormulationQuasi = 2;

// ResultSetsType.
inline constexpr unsigned kResultSetsAuto = 0;
inline constexpr unsigned kResultSetsManual = 1;

// TimePointsOptions.
inline constexpr int kTimePointsAll = 0;
inline constexpr int kTimePointsLast = 1;
inline constexpr int kTimePointsEquallySpaced = 2;

// BetaDamping definition.
inline constexpr unsigned kBetaByValue = 0;
inline constexpr unsigned kBetaByFrequency = 1;

// HarmonicMethod, ModalFrequencyRange.
inline constexpr int kModeSuperposition = 0;
inline constexpr int kFullMethod = 1;
inline constexpr int kModalRangeProgramControlled = 0;
inline constexpr int kModalRangeManual = 1;

// FutureAnalysisType.
inline constexpr unsigned kNoFutureAnalysis = 0;
inline constexpr unsigned kSaveFilesForPsd = 1;
inline constexpr unsigned kSaveFilesForHarmonicAnalysis = 2;
inline constexpr unsigned kSaveFilesForTransientAnalysis = 3;
inline constexpr unsigned kSaveFilesForPrestressedModalAnalysis = 4;
inline constexpr unsigned kSaveRestartFiles = 5;

// Failure answers of the settings model's own operations.
inline constexpr int kSettingsDone = 0;
inline constexpr int kSettingsRejected = -1;
