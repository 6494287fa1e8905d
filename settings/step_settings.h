// Common code of the four step-based settings classes (static and transient, structural and
// thermal): a list of load steps, a template that every new step copies, solver and
// solver-file controls and, for the transient structural class, damping controls.
#pragma once

#include <optional>
#include <set>

#include "settings/damping_controls.h"
#include "settings/output_controls.h"
#include "settings/solution_settings.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"
#include "settings/time_step_options.h"

// What distinguishes one step-based class from another.
struct DorvixStepSettingsTraits {
    int physicsType;
    int analysisType;
    int classTag;
    const wchar_t* rootName;
    std::set<int> templateStepCodes;
    std::set<int> supportedOutputs;
    std::set<int> requestedOutputs;
    std::set<int> presentSolverControls;
    // Damping controls exist (transient structural only) with these controls present.
    std::optional<std::set<int>> presentDampingControls;
    // Every step of a transient analysis integrates in time.
    bool stepsIntegrateInTime;
    // Stored steps whose time stepping is program controlled are switched to automatic.
    bool programControlledStepsBecomeAutomatic;
};

class DorvixStepSettings : public DorvixSolutionSettings {
  public:
    [[nodiscard]] HRESULT WriteXML(XmlNode element) const override;
    [[nodiscard]] HRESULT ReadXML(XmlNode element) override;
    [[nodiscard]] HRESULT SaveDB(JXStream& stream) const override;
    [[nodiscard]] HRESULT ResumeDB(JXStream& stream) override;
    DorvixSettingsRecord* GetStepControls(int step, int selector) override;
    DorvixSettingsRecord* GetControls(int tag) override;
    int GetNumberOfSteps() const override { return stepList_.GetCount(); }
    [[nodiscard]] int ApplyTemplateToStep(DorvixStepControls* step, int flag) override;
    bool CopyFrom(const DorvixSolutionSettings& other) override;
    bool IsEqual(const DorvixSolutionSettings& other) const override;
    using DorvixSolutionSettings::GetControls;
    using DorvixSolutionSettings::GetStepControls;

    DorvixStepSettings& operator=(const DorvixStepSettings& other) {
        DorvixSolutionSettings::operator=(other);
        return *this;
    }

    DorvixStepControlsList& GetStepList() { return stepList_; }
    const DorvixStepControlsList& GetStepList() const { return stepList_; }
    DorvixSolverControls& GetSolverControls() { return solverControls_; }
    const DorvixSolverControls& GetSolverControls() const { return solverControls_; }
    DorvixSolverFileControls& GetSolverFileControls() { return solverFileControls_; }
    const DorvixSolverFileControls& GetSolverFileControls() const { return solverFileControls_; }
    // Null for the classes without damping.
    DorvixDampingControls* GetDampingControls() { return damping_ ? &*damping_ : nullptr; }
    const DorvixDampingControls* GetDampingControls() const { return damping_ ? &*damping_ : nullptr; }

    const DorvixStepControls& GetTemplateStep() const { return templateStep_; }
    const DorvixTimeStepOptions& GetTemplateTimeStepOptions() const { return templateOptions_; }
    const DorvixOutputControls& GetTemplateOutputControls() const { return templateOutput_; }

  protected:
    explicit DorvixStepSettings(DorvixStepSettingsTraits traits);

    DorvixTimeStepOptions& TemplateTimeStepOptions() { return templateOptions_; }
    // The last step of construction, once the class has set up its template.
    void ApplyTemplateToFirstStep();

  private:
    DorvixStepSettingsTraits traits_;
    DorvixStepControlsList stepList_;
    DorvixStepControls templateStep_;
    DorvixTimeStepOptions templateOptions_;
    DorvixOutputControls templateOutput_;
    DorvixSolverControls solverControls_;
    DorvixSolverFileControls solverFileControls_;
    std::optional<DorvixDampingControls> damping_;
};
