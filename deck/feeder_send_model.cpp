// The model section every analysis shares: where the geometry came from and the deck's units,
// nodes and elements, the element groups of each part, the imported thickness, the user
// frames, the materials with their snippets, the contacts, the named-selection and
// load/support components, with an optional log of how long each part took.
#include <algorithm>
#include <cstdio>
#include <string>

#include "deck/deck_counters.h"
#include "deck/deck_output.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "platform/clock.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/progress.h"

namespace {

constexpr const char* kTimingLogName = "dorvixWrite.log";

const char* UnitsComment(int deckUnitSystem) {
    switch (deckUnitSystem) {
        case kUnitsSolverCgs:
            return "! Data in consistent CGS units.";
        case kUnitsSolverNmm:
            return "! Data in consistent NMM units.";
        case kUnitsSolverBft:
            return "! Data in consistent BFT units.";
        case kUnitsSolverBin:
            return "! Data in consistent BIN units.";
        case kUnitsSolverUmks:
            return "! Data in consistent uMKS units.";
        case kUnitsSolverMks:
            return "! Data in consistent MKS units.";
        default:
            return "! Data in unknown units.";
    }
}

void WriteModelComments(DorvixDeckFile& deck, const SolveJobRecord* job, int deckUnitSystem) {
    deck.WriteLine("! File used for geometry attach: ");
    deck.WriteLine("! " + (job ? platform::WideToUtf8(job->geometryAttachFile) : std::string()));
    deck.WriteLine(UnitsComment(deckUnitSystem));
}

// The C library's ctime text with its newline: "Wed Jun  5 09:04:03 2024\n".

}  // namespace

int DorvixFeeder::SendModel() try {
    if (!deckFile_ || !meshWrapper_ || !bodyWrapper_ || !dataSource_) return kRC_MissingData;
    if (::ReportProgress(5, kProgressDeckWriting) == 0) return kRC_Cancelled;
    WriteModelComments(*deckFile_, dataSource_->GetSolveJob(), deckUnitSystem_);
    ClockMarks marks{};
    if (const int code = SendMeshSections(marks); code != kRC_Success) return code;
    return SendModelAttributes(marks);
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the model");
}

int DorvixFeeder::SendMeshSections(ClockMarks& marks) {
    marks[0] = platform::MonotonicMs();
    if (const int code = meshWrapper_->WriteNodes(deckFile_.get()); code != kRC_Success) return code;
    if (::ReportProgress(25, kProgressDeckWriting) == 0) return kRC_Cancelled;
    marks[1] = platform::MonotonicMs();
    if (const int code = meshWrapper_->WriteElements(deckFile_.get()); code != kRC_Success) return code;
    if (::ReportProgress(70, kProgressDeckWriting) == 0) return kRC_Cancelled;
    marks[2] = platform::MonotonicMs();

    elementCount_ = 0;
    nodeCount_ = 0;
    for (int part = 0; part < partCount_; ++part) {
        if (const int code = SendPartMesh(part); code != kRC_Success) return code;
        nodeCount_ += meshWrapper_->GetPartNodeCount(part);
        elementCount_ += meshWrapper_->GetPartElementCount(part);
        if (::ReportProgress(25 + 45 * (part + 1) / partCount_, kProgressDeckWriting) == 0)
            return kRC_Cancelled;
    }
    marks[3] = platform::MonotonicMs();
    return kRC_Success;
}

int DorvixFeeder::SendModelAttributes(ClockMarks& marks) {
    if (const int code = WriteImportedThickness(); code != kRC_Success) return code;
    WriteUserCoordinateSystems();
    if (const int code = bodyWrapper_->WriteMaterials(*deckFile_); code != kRC_Success) return code;
    marks[4] = platform::MonotonicMs();
    AdvanceSelectionGroups();
    WriteObjectSnippets(kSnippetMaterial);
    if (const int code = WriteContacts(); code != kRC_Success) return code;
    if (const int code = WriteNamedSelections(); code != kRC_Success) return code;
    if (const int code = WriteNamedSelectionMaterials(); code != kRC_Success) return code;
    marks[5] = platform::MonotonicMs();

    if (NamedOptionIsOne("create components")) WriteLoadSupportComponents();
    if (NamedOptionIsOne("track times")) WriteTimingLog(marks);
    return kRC_Success;
}

void DorvixFeeder::AdvanceSelectionGroups() {
    // Selection groups written after the model (all elements, named selections) take their
    // numbers from the deck counter: one number is set aside per body, and never fewer than
    // the element groups took (a two-order solid takes two, a rigid body one of its own).
    DeckCounters& counters = GetDeckCounters();
    counters.selectionGroup =
        std::max(counters.selectionGroup + bodyWrapper_->GetBodyCount(), groupCounterCarry_);
}

void DorvixFeeder::WriteTimingLog(const ClockMarks& marks) {
    // A pass that writes nothing leaves no log either.
    if (!deckFile_->IsOpen()) return;
    const auto span = [&marks](int from) { return std::to_string(marks[from + 1] - marks[from]); };
    std::string text = "The current time is " + platform::CTimeText(platform::LocalNow()) + "\n";
    text += "Send Nodes      = " + span(0) + "\n";
    text += "Send Elements   = " + span(1) + "\n";
    text += "Send Attributes = " + span(2) + "\n";
    text += "Send Materials  = " + span(3) + "\n";
    text += "Send Components = " + span(4) + "\n\n";

    const std::filesystem::path path = deckFile_->GetWorkingFolder() / kTimingLogName;
    DeckOutput log;
    if (log.Open(path)) {
        log.Append(text);
        if (log.Close()) return;
    }
    // The deck does not depend on the log: the user is told, the solve goes on.
    PostHostMessage(L"The timing log " + platform::WideFromPath(path) + L" cannot be written", L"Warning");
}
