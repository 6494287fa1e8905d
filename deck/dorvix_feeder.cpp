#include "deck/dorvix_feeder.h"

#include <utility>

#include "caerep/core/cae_rep.h"
#include "host/data_source.h"
#include "platform/path_text.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"

// The roots are taken once the two databases (declared after them) exist.
DorvixFeeder::DorvixFeeder() {
    inputRoot_ = inputDatabase_.getRoot();
    outputRoot_ = outputDatabase_.getRoot();
}

DorvixFeeder::~DorvixFeeder() {
    // A solve that ended by an exception never reached its close step.
    ReleaseSolveObjects();
    sheetAndWireBodyIds_.clear();
    nodeConstraintTable_.Reset();
    cyclicSymmetryNodes_.clear();
    hostMesh_.Reset();
}

void DorvixFeeder::ReleaseSolveObjects() {
    deckFile_.reset();
    meshWrapper_.Reset();
    bodyWrapper_.Reset();
    if (nodeConstraintHolder_) nodeConstraintHolder_->ReleaseTable();
    nodeConstraintHolder_.reset();
    if (messagePosted_ && !outputSaved_ && outputRoot_ && !outputPath_.empty()) {
        outputSaved_ = true;
        try {
            outputRoot_->saveToFile(platform::PathFromWide(outputPath_));
        } catch (...) {
            // The close step does not report a failed save either; the earlier file stays.
        }
    }
    // Only a deck that was opened switched the thread locale.
    if (savedLocale_ != 0) platform::SetThreadLocale(std::exchange(savedLocale_, 0));
    selectionResolver_.Reset();
    settings_.reset();
}

bool DorvixFeeder::IsTransientAnalysis() const {
    return settings_ && settings_->GetAnalysisType() == kTransientAnalysis;
}

bool DorvixFeeder::IsPrestressedModalIntent() const {
    if (!settings_) return false;
    const auto* files = settings_->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag);
    return files && files->GetFutureAnalysisType() == kSaveFilesForPrestressedModalAnalysis;
}

bool DorvixFeeder::UsesLargeDeformation() const {
    if (!settings_) return false;
    const auto* solver = settings_->GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    return solver && solver->GetUseLargeDeformation();
}

bool DorvixFeeder::UseLoadCases() const {
    if (analysisKind_ == 4) return false;
    if (nonLinearFlag_ == 1 || IsTransientAnalysis()) return false;
    if (numberOfSteps_ == 1) return true;
    return IsPrestressedModalIntent();
}

int DorvixFeeder::GetStepEndTime(int step, double& endTime) const {
    if (!settings_) return kRC_MissingStepValue;
    const auto* controls = settings_->GetStepControlsAs<DorvixStepControls>(step, kStepSelector);
    if (!controls) return kRC_MissingStepValue;
    endTime = controls->GetEndTime();
    return 0;
}

int DorvixFeeder::GetNamedOption(const std::string& name, std::string& text) const {
    text.clear();
    if (!dataSource_) return 0;
    const int found = dataSource_->GetNamedOption(name, text);
    if (found != 1) text.clear();
    return found;
}

void DorvixFeeder::PostHostMessage(const std::wstring& text, const std::wstring& type) {
    if (!outputRoot_) return;
    outputRoot_->addMessage(text, type);
    messagePosted_ = true;
}

void DorvixFeeder::WriteDeckLine(std::string_view text) {
    if (deckFile_) deckFile_->WriteLine(text);
}
