// The feeder's per-solve objects, its messages saved or handed on, failure answers, step and option queries.
#include "deck/dorvix_feeder.h"

#include <exception>
#include <utility>

#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/deck_counters.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/analysis_kind.h"
#include "host/data_source.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/return_package.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls.h"

namespace {

// The end time of the one step of a modal or buckling run: a step's default end time.
constexpr double kEigenStepEndTime = 1.0;

// The C library's atoi(text) == 1: leading white space, an optional sign, then the digits up
// to the first other character.
bool ReadsAsIntegerOne(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return false;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1) return false;
    }
    return !negative && value == 1;
}

}  // namespace

// The roots are taken once the two databases (declared after them) exist.
DorvixFeeder::DorvixFeeder(int analysisKind) : analysisKind_(analysisKind) {
    inputRoot_ = inputDatabase_.getRoot();
    outputRoot_ = outputDatabase_.getRoot();
    nodeConstraintTable_ = LateOwned<NodeConstraintTable>::Make();
}

DorvixFeeder::~DorvixFeeder() {
    // A solve that ended early never reached its close step.
    ReleaseSolveObjects();
    hostMesh_.Reset();
}

void DorvixFeeder::CreateSolveObjects() {
    deckFile_ = std::make_unique<DorvixDeckFile>(this);
    // Function ids and group numbers start again with every deck.
    ResetDeckCounters();
    meshWrapper_ = LateOwned<CMeshWrapper>::Make();
    bodyWrapper_ = LateOwned<CBodyAttributeWrapper>::Make();
}

void DorvixFeeder::ReleaseSolveObjects() {
    deckFile_.reset();
    meshWrapper_.Reset();
    bodyWrapper_.Reset();
    if (nodeConstraintHolder_) nodeConstraintHolder_->ReleaseTable();
    nodeConstraintHolder_.reset();
    SavePostedMessages(nullptr);
    // Only a deck that was opened switched the thread locale.
    if (savedLocale_ != 0) platform::SetThreadLocale(std::exchange(savedLocale_, 0));
    selectionResolver_.Reset();
    settings_.reset();
}

void DorvixFeeder::SavePostedMessages(ReturnPackage* package) noexcept {
    if (!messagePosted_ || outputSaved_ || !outputRoot_ || outputPath_.empty()) return;
    outputSaved_ = true;
    std::wstring reason = L"an unexpected failure";
    try {
        outputRoot_->saveToFile(platform::PathFromWide(outputPath_));
        return;
    } catch (const NCAERep::CCAEException& e) {
        reason = e.getMessage();
    } catch (...) {
    }
    // The earlier file stays. The messages still reach the host when it is there to take them
    // (a full disk must not hide why the run failed).
    if (!package) return;
    try {
        package->AddMessage(L"Error: the messages of the solve are not saved: " + reason);
        for (const NCAERep::CCAERepBase* message : outputRoot_->getChildrenByType(L"Message")) {
            std::wstring type, text;
            message->getProperty(L"Type").getValue(type);
            message->getProperty(L"Text").getValue(text);
            package->AddMessage(type + L": " + text);
        }
    } catch (...) {
        // Not even the package could take them: the code alone tells the host.
    }
}

int DorvixFeeder::AnswerException(int code, std::wstring_view step) noexcept {
    try {
        std::wstring reason = L"an unexpected failure";
        try {
            throw;
        } catch (const NCAERep::CCAEException& e) {
            reason = platform::Utf8ToWide(e.what());
        } catch (const std::exception& e) {
            reason = platform::Utf8ToWide(e.what());
        } catch (...) {
        }
        PostHostMessage(std::wstring(step) + L" failed: " + reason, L"Error");
    } catch (...) {
        // Not even the message could be made: the code alone tells the host.
    }
    return code;
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
    if (analysisKind_ == kAnalysisThermal) return false;
    if (nonLinearFlag_ == 1 || IsTransientAnalysis()) return false;
    if (numberOfSteps_ == 1) return true;
    return IsPrestressedModalIntent();
}

int DorvixFeeder::GetStepEndTime(int step, double& endTime) const {
    if (!settings_) return kRC_MissingStepValue;
    // Modal and buckling settings keep no steps; their one step ends at a step's default end
    // time, so that the writers an eigen deck shares with the others find it.
    const int analysis = settings_->GetAnalysisType();
    if (analysis == kModalAnalysis || analysis == kBucklingAnalysis) {
        if (step != 1) return kRC_MissingStepValue;
        endTime = kEigenStepEndTime;
        return kRC_Success;
    }
    const auto* controls = settings_->GetStepControlsAs<DorvixStepControls>(step, kStepSelector);
    if (!controls) return kRC_MissingStepValue;
    endTime = controls->GetEndTime();
    return kRC_Success;
}

int DorvixFeeder::GetNamedOption(const std::string& name, std::string& text) const {
    text.clear();
    if (!dataSource_) return 0;
    try {
        const int found = dataSource_->GetNamedOption(name, text);
        if (found == 1) return 1;
    } catch (...) {
        // A host that cannot answer defines no option: the writers keep their defaults.
    }
    text.clear();
    return 0;
}

bool DorvixFeeder::NamedOptionIsOne(const std::string& name) const {
    std::string text;
    return GetNamedOption(name, text) == 1 && ReadsAsIntegerOne(text);
}

void DorvixFeeder::PostHostMessage(const std::wstring& text, const std::wstring& type) {
    if (!outputRoot_) return;
    outputRoot_->addMessage(text, type);
    messagePosted_ = true;
}

void DorvixFeeder::WriteDeckLine(std::string_view text) {
    if (deckFile_) deckFile_->WriteLine(text);
}
