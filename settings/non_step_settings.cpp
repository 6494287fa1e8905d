// The shared output, solver and solver-file records: setup, commit, lookup by tag, save and load of sections.
#include "settings/non_step_settings.h"

#include "settings/record_stream.h"

DorvixNonStepSettings::DorvixNonStepSettings(int physicsType, int analysisType,
                                             std::set<int> presentSolverControls)
    : DorvixSolutionSettings(physicsType, analysisType),
      output_({kStressOutput, kStrainOutput}),
      solver_(std::move(presentSolverControls)) {
    files_.SetTypes(static_cast<std::uint32_t>(analysisType), static_cast<std::uint32_t>(physicsType));
}

void DorvixNonStepSettings::CommitSharedRecords(SharedRecords records) {
    output_ = std::move(records.output);
    solver_ = std::move(records.solver);
    files_ = std::move(records.files);
}

DorvixSettingsRecord* DorvixNonStepSettings::GetSharedControls(int tag) {
    switch (tag) {
        case kOutputControlsTag:
            return &output_;
        case kSolverControlsTag:
            return &solver_;
        case kSolverFileControlsTag:
            return &files_;
        default:
            return nullptr;
    }
}

RecordLoad DorvixNonStepSettings::LoadSharedSection(JXStream& stream, int tag, SharedRecords& records) {
    switch (tag) {
        case kOutputControlsTag:
            return LoadRecord(stream, records.output);
        case kSolverControlsTag:
            return LoadRecord(stream, records.solver);
        case kSolverFileControlsTag:
            return LoadRecord(stream, records.files);
        default:
            stream.Fail();  // a section this class does not hold cannot be skipped
            return RecordLoad::Failed;
    }
}

void DorvixNonStepSettings::SaveSharedSections(JXStream& stream) const {
    stream.WriteInt32(kOutputControlsTag);
    SaveRecord(stream, output_);
    stream.WriteInt32(kSolverControlsTag);
    SaveRecord(stream, solver_);
    stream.WriteInt32(kSolverFileControlsTag);
    SaveRecord(stream, files_);
}
