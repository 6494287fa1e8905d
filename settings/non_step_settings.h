// Common part of the harmonic, modal and buckling settings classes: one set of output,
// solver and solver-file controls for the whole analysis and no load steps.
#pragma once

#include <set>

#include "settings/output_controls.h"
#include "settings/solution_settings.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"

class DorvixNonStepSettings : public DorvixSolutionSettings {
  public:
    // The step is ignored: the selector is taken as a record tag.
    DorvixSettingsRecord* GetStepControls(int step, int selector) override { return GetControls(selector); }
    int ApplyTemplateToStep(DorvixStepControls* step, int flag) override { return kSettingsDone; }
    using DorvixSolutionSettings::GetControls;
    using DorvixSolutionSettings::GetStepControls;

    DorvixOutputControls& GetOutputControls() { return output_; }
    const DorvixOutputControls& GetOutputControls() const { return output_; }
    DorvixSolverControls& GetSolverControls() { return solver_; }
    const DorvixSolverControls& GetSolverControls() const { return solver_; }
    DorvixSolverFileControls& GetSolverFileControls() { return files_; }
    const DorvixSolverFileControls& GetSolverFileControls() const { return files_; }

  protected:
    DorvixNonStepSettings(int physicsType, int analysisType, std::set<int> presentSolverControls);

    // The shared records in one piece, so that a class can read into a copy and commit it.
    struct SharedRecords {
        DorvixOutputControls output;
        DorvixSolverControls solver;
        DorvixSolverFileControls files;
        bool operator==(const SharedRecords&) const = default;
    };
    SharedRecords CopySharedRecords() const { return {output_, solver_, files_}; }
    void CommitSharedRecords(SharedRecords records);
    // The record of one of the shared tags, or null.
    DorvixSettingsRecord* GetSharedControls(int tag);
    // Loads the section of a shared tag into records; false for another tag or a failed load.
    static bool LoadSharedSection(JXStream& stream, int tag, SharedRecords& records);

  private:
    DorvixOutputControls output_;
    DorvixSolverControls solver_;
    DorvixSolverFileControls files_;
};
