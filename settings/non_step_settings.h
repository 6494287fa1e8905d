// Common part of the harmonic, modal and buckling settings classes: one set of output,
// solver and solver-file controls for the whole analysis and no load steps.
#pragma once

#include <cstdint>
#include <optional>
#include <set>

#include "settings/output_controls.h"
#include "settings/record_stream.h"
#include "settings/solution_settings.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"

class DorvixNonStepSettings : public DorvixSolutionSettings {
  public:
    // The step is ignored: the selector is taken as a record tag.
    DorvixSettingsRecord* GetStepControls(int step, int selector) override { return GetControls(selector); }
    [[nodiscard]] int ApplyTemplateToStep(DorvixStepControls* step, int flag) override {
        return kSettingsDone;
    }
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
    // Loads the section of a shared tag into records; Failed for another tag.
    static RecordLoad LoadSharedSection(JXStream& stream, int tag, SharedRecords& records);
    // Writes the tagged output, solver and solver-file sections, in that order.
    void SaveSharedSections(JXStream& stream) const;
    // Reads the base record and the tagged sections after it. loadOwn(tag) loads the section of
    // one of the class's own tags and answers how that went, or answers nullopt for a tag that
    // is not its own, which then goes to `shared`. False at the first failure; true when every
    // section was read, or when a record saved by another version ended the read early (the
    // sections before it are read, that one and those after it keep their values).
    template <class LoadOwn>
    bool ResumeSections(JXStream& stream, SharedRecords& shared, LoadOwn&& loadOwn) const {
        std::uint32_t sections = 0;
        if (!ResumeBaseRecord(stream, sections)) return false;
        for (std::uint32_t i = 0; i < sections; ++i) {
            std::int32_t tag = 0;
            if (!stream.ReadInt32(&tag)) return false;
            const std::optional<RecordLoad> own = loadOwn(tag);
            const RecordLoad loaded = own ? *own : LoadSharedSection(stream, tag, shared);
            if (loaded == RecordLoad::Failed) return false;
            if (loaded == RecordLoad::OtherVersion) break;
        }
        return true;
    }

  private:
    DorvixOutputControls output_;
    DorvixSolverControls solver_;
    DorvixSolverFileControls files_;
};
