// The int codes of the deck writer, the feeders and the job runner. The numbers reach the
// host through the return package, so each one keeps its number; where one number carries
// two meanings, both names exist as aliases.
//
// The codes are one table: each row gives the name, the number and what the code means. The
// enumeration and the list of names that programs show (kDorvixReturnCodeNames) are both made
// from it, so no code can be added without a name and a meaning.
#pragma once

#define DORVIX_RETURN_CODES(ROW)                                                                       \
    ROW(kRC_Success, 0, "success")                                                                     \
    ROW(kRC_Cancelled, 1, "cancelled: the progress callback asked to stop")                            \
    ROW(kRC_SolverWaitFailed, 2, "waiting for the solver process failed")                              \
    ROW(kRC_NoLoadStep, 2, "the settings hold no load step")                                           \
    ROW(kRC_PackageDefault, 2, "the return package holds no code of a run")                            \
    ROW(kRC_FileNotCreated, 3,                                                                         \
        "the deck or the driver file cannot be created or the deck copied where the host asked, the "  \
        "working folder is held by another run, or its file system ran full")                          \
    ROW(kRC_MaterialData, 5, "material data missing or inconsistent")                                  \
    ROW(kRC_SolverNotStarted, 6, "the solver process cannot be started")                               \
    ROW(kRC_ListingUnreadable, 6, "a solver listing cannot be read")                                   \
    ROW(kRC_SolverEndedAbnormally, 6, "the solver was ended by a signal without an error listed")      \
    ROW(kRC_SolutionIncomplete, 11, "the solution is incomplete: short of its end time, or no result") \
    ROW(kRC_LinearPyramidsRefused, 24, "linear pyramids in an analysis that refuses them")             \
    ROW(kRC_MissingData, 25, "a required object or datum is missing or unsupported")                   \
    ROW(kRC_CommandLineTooLong, 25, "the solver command exceeds 260 characters")                       \
    ROW(kRC_ContactTargetNotFace, 28, "a contact target is not a face")                                \
    ROW(kRC_BodyWithoutElements, 29, "a body has no usable elements")                                  \
    ROW(kRC_CouplingTooFewNodes, 30, "a coupling condition holds fewer than two nodes")                \
    ROW(kRC_InitialTemperatureSource, 35, "the earlier results for initial temperatures are unusable") \
    ROW(kRC_MissingStepValue, 36, "a step or settings value is missing")                               \
    ROW(kRC_PrestressCopyFailed, 37, "the prestress copy of the deck failed")                          \
    ROW(kRC_DataMismatch, 39, "imported or tabular data or a load history that does not fit")          \
    ROW(kRC_ConstraintTableCheck, 40, "the per-node constraint table check failed")                    \
    ROW(kRC_HostMeshRefused, 41, "the host mesh refused a query, or no node pair or spring nodes")     \
    ROW(kRC_ModelLoadFailed, 44, "model attributes are missing or the model cannot be loaded")         \
    ROW(kRC_Exception, 44, "a step failed unexpectedly")                                               \
    ROW(kRC_ThermalCouplingShared, 45, "thermal coupling conditions share nodes")                      \
    ROW(kRC_ImportedTimeNotStepEnd, 46, "an imported-load time point is no step's end time")           \
    ROW(kRC_SolverFolderUndefined, 100, "DVX_EXE is not defined")                                      \
    ROW(kRC_PeriodicAxisIncorrect, 101, "the periodic-symmetry axis is incorrect")                     \
    ROW(kRC_WeightingEquation, 102, "a weighting equation is incorrect")                               \
    ROW(kRC_ListingWarning, 103, "warnings in the solver listings")                                    \
    ROW(kRC_ListingError, 104, "errors in the solver listings")

enum DorvixReturnCode : int {
#define DORVIX_RETURN_CODE_ENUMERATOR(name, number, meaning) name = number,
    DORVIX_RETURN_CODES(DORVIX_RETURN_CODE_ENUMERATOR)
#undef DORVIX_RETURN_CODE_ENUMERATOR
};

struct DorvixReturnCodeName {
    int code;
    const char* name;
    const char* meaning;
};

// Every row of the table, in its order; a number with several meanings has several rows.
inline constexpr DorvixReturnCodeName kDorvixReturnCodeNames[] = {
#define DORVIX_RETURN_CODE_NAME(name, number, meaning) {number, #name, meaning},
    DORVIX_RETURN_CODES(DORVIX_RETURN_CODE_NAME)
#undef DORVIX_RETURN_CODE_NAME
};
