// The traits and default time stepping of the static and transient, structural and thermal settings classes.
#include "settings/step_settings_classes.h"

namespace {

// Static analyses step by sub-steps: one sub-step to begin with, between one and ten.
void UseStaticStepping(DorvixTimeStepOptions& options) {
    options.SetTimeStepDefineby(kDefineBySubSteps);
    options.StoreStepSpan(1.0);
    options.SetInitialSteps(1);
    options.SetMaximumSteps(10);
    options.SetMinimumSteps(1);
}

}  // namespace

DorvixStaticMechanicalSettings::DorvixStaticMechanicalSettings()
    : DorvixStepSettings({.physicsType = kMechanicalPhysics,
                          .analysisType = kStaticAnalysis,
                          .classTag = kStaticMechanicalClassTag,
                          .rootName = L"DorvixStaticMechanicalSettings",
                          .templateStepCodes = {2, 3, 4},
                          .supportedOutputs = {1, 2, 3, 4, 6},
                          .requestedOutputs = {1, 2, 3, 4},
                          .presentSolverControls = {1, 3, 2, 5, 6},
                          .presentDampingControls = std::nullopt,
                          .stepsIntegrateInTime = false,
                          .programControlledStepsBecomeAutomatic = false}) {
    UseStaticStepping(TemplateTimeStepOptions());
    ApplyTemplateToFirstStep();
}

DorvixTransientMechanicalSettings::DorvixTransientMechanicalSettings()
    : DorvixStepSettings({.physicsType = kMechanicalPhysics,
                          .analysisType = kTransientAnalysis,
                          .classTag = kTransientMechanicalClassTag,
                          .rootName = L"DorvixTransientMechanicalSettings",
                          .templateStepCodes = {1, 3, 4},
                          .supportedOutputs = {1, 2, 3, 4, 6},
                          .requestedOutputs = {1, 2, 3, 4},
                          .presentSolverControls = {1, 3, 2, 5},
                          .presentDampingControls = std::set<int>{2, 3},
                          .stepsIntegrateInTime = true,
                          .programControlledStepsBecomeAutomatic = true}) {
    TemplateTimeStepOptions().SetUseAutoTimeStepping(kOn);
    TemplateTimeStepOptions().StoreStepSpan(1.0);
    GetSolverControls().SetUseLargeDeformation(true);
    ApplyTemplateToFirstStep();
}

DorvixStaticThermalSettings::DorvixStaticThermalSettings()
    : DorvixStepSettings({.physicsType = kThermalPhysics,
                          .analysisType = kStaticAnalysis,
                          .classTag = kStaticThermalClassTag,
                          .rootName = L"DorvixStaticThermalSettings",
                          .templateStepCodes = {3, 4},
                          .supportedOutputs = {4, 5, 6},
                          .requestedOutputs = {4, 5},
                          .presentSolverControls = {1},
                          .presentDampingControls = std::nullopt,
                          .stepsIntegrateInTime = false,
                          .programControlledStepsBecomeAutomatic = false}) {
    UseStaticStepping(TemplateTimeStepOptions());
    ApplyTemplateToFirstStep();
}

DorvixTransientThermalSettings::DorvixTransientThermalSettings()
    : DorvixStepSettings({.physicsType = kThermalPhysics,
                          .analysisType = kTransientAnalysis,
                          .classTag = kTransientThermalClassTag,
                          .rootName = L"DorvixTransientThermalSettings",
                          .templateStepCodes = {1, 3, 4},
                          .supportedOutputs = {4, 5, 6},
                          .requestedOutputs = {4, 5},
                          .presentSolverControls = {1, 4},
                          .presentDampingControls = std::nullopt,
                          .stepsIntegrateInTime = true,
                          .programControlledStepsBecomeAutomatic = false}) {
    DorvixTimeStepOptions& options = TemplateTimeStepOptions();
    options.StoreStepSpan(1.0);
    options.SetInitialSteps(100);
    options.SetMaximumSteps(1000);
    options.SetMinimumSteps(10);
    ApplyTemplateToFirstStep();
}
