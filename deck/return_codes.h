// The int codes of the deck writer, the feeders and the job runner. The numbers reach the
// host through the return package, so each one keeps its number; where one number carries
// two meanings, both names exist as aliases.
#pragma once

enum DorvixReturnCode : int {
    kRC_Success = 0,
    kRC_Cancelled = 1,                  // the progress callback asked to stop
    kRC_SolverWaitFailed = 2,           // waiting for the solver process failed
    kRC_NoLoadStep = 2,                 // the settings hold no load step
    kRC_PackageDefault = 2,             // what a return package reports when nobody set a code
    kRC_FileNotCreated = 3,             // the deck or the driver file cannot be created, the working
                                        // folder is held by another run or its file system ran full
    kRC_MaterialData = 5,               // material data missing or inconsistent
    kRC_SolverNotStarted = 6,           // the solver process cannot be started
    kRC_ListingUnreadable = 6,          // a solver listing cannot be read
    kRC_SolverEndedAbnormally = 6,      // the solver was killed by a signal, no error listed
    kRC_SolutionIncomplete = 11,        // last solved time short of the end time, or no result set
    kRC_LinearPyramidsRefused = 24,     // linear pyramids in an analysis that refuses them
    kRC_MissingData = 25,               // a required object or datum is missing or unsupported
    kRC_CommandLineTooLong = 25,        // the solver command text exceeds 260 characters
    kRC_ContactTargetNotFace = 28,      // a contact target entity is not face-like
    kRC_BodyWithoutElements = 29,       // a body has no usable elements
    kRC_CouplingTooFewNodes = 30,       // a coupling condition resolves to fewer than two nodes
    kRC_InitialTemperatureSource = 35,  // earlier result file for initial temperatures unusable
    kRC_MissingStepValue = 36,          // a step or settings value is missing
    kRC_PrestressCopyFailed = 37,       // the prestress copy of the deck failed
    kRC_DataMismatch = 39,              // imported/tabular data or a load history that does not fit
    kRC_ConstraintTableCheck = 40,      // the per-node constraint table check failed
    kRC_HostMeshRefused = 41,           // the host mesh refused a query, or no node pair / spring nodes
    kRC_ModelLoadFailed = 44,           // model attributes missing or the model cannot be loaded
    kRC_Exception = 44,                 // an exception left the load or the feeder
    kRC_ThermalCouplingShared = 45,     // thermal coupling conditions share nodes
    kRC_ImportedTimeNotStepEnd = 46,    // an imported-load time point that is no step's end time
    kRC_SolverFolderUndefined = 100,    // DVX_EXE is not defined
    kRC_PeriodicAxisIncorrect = 101,    // periodic-symmetry axis incorrect
    kRC_WeightingEquation = 102,        // weighting equation incorrect
    kRC_ListingWarning = 103,           // warning marker found in a solver listing
    kRC_ListingError = 104,             // error marker found in a solver listing
};
