#include "tools/dorvix/model_deck_feeder.h"

#include "deck/deck_counters.h"
#include "deck/solver_files.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/progress.h"

namespace {
constexpr const char* kDeckName = "dorvix.dat";
constexpr const char* kOutputModelName = "CAERepOutput.xml";
}  // namespace

ModelDeckFeeder::ModelDeckFeeder(int analysisKind, std::filesystem::path modelPath,
                                 std::filesystem::path workFolder)
    : DorvixFeeder(analysisKind), modelPath_(std::move(modelPath)), workFolder_(std::move(workFolder)) {}

bool ModelDeckFeeder::ReadNamedOption(const std::string& name, std::string& text) {
    // The deck file takes its working folder from this option; the command line's folder
    // wins over one the case may name, so the summary points where the files really are.
    if (name == "XENRADir") {
        text = platform::Utf8FromPath(workFolder_);
        return true;
    }
    return DorvixFeeder::ReadNamedOption(name, text);
}

void ModelDeckFeeder::PostHostMessage(const std::wstring& text, const std::wstring& type) {
    summary_.messages.emplace_back(type, text);
    DorvixFeeder::PostHostMessage(text, type);
}

int ModelDeckFeeder::Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) try {
    SetSolveArguments(dataSource, returnPackage);
    summary_ = ModelDeckSummary{};
    summary_.stage = "model load";
    int code = dataSource ? LoadCAERepresentation(platform::WideFromPath(modelPath_),
                                                  platform::WideFromPath(workFolder_ / kOutputModelName))
                          : kRC_MissingData;
    if (code == kRC_Success) code = WriteDeck();
    if (code == kRC_Success) code = CloseAndRunSolver();
    // Closes an unfinished deck and saves the output model when a message was posted.
    ReleaseSolveObjects();
    return code;
} catch (...) {
    const int code = AnswerException(kRC_Exception, L"The run");
    ReleaseSolveObjects();
    return code;
}

int ModelDeckFeeder::WriteDeck() {
    summary_.stage = "deck";
    int code = Open();
    if (GetDeckFile()) summary_.deckPath = GetDeckFile()->GetWorkingFolder() / kDeckName;
    if (code != kRC_Success) {
        if (GetDeckFile()) summary_.failure = GetDeckFile()->GetOpenFailure();
        return code;
    }
    summary_.stage = "model";
    code = SendModel();
    TakeCounts(code == kRC_Success);
    if (code != kRC_Success) return code;
    summary_.stage = "begin commands";
    if (code = WriteBeginCommands(); code != kRC_Success) return code;
    summary_.stage = "time definitions";
    if (code = WriteTimeDefinitions(); code != kRC_Success) return code;
    return WriteReturn();
}

void ModelDeckFeeder::TakeCounts(bool modelWritten) {
    summary_.nodes = GetNodeCount();
    summary_.elements = GetElementCount();
    summary_.groups = GetGroupCounterCarry();
    // A material takes its number before it is written: only a finished section counts them.
    summary_.materials = modelWritten ? GetDeckCounters().material : 0;
}

int ModelDeckFeeder::CloseAndRunSolver() {
    summary_.stage = "solver run";
    // The deck is written: the last report of the deck stage, and the last chance to stop
    // before the solver starts.
    if (ReportProgress(100, kProgressDeckWriting) == 0) return kRC_Cancelled;
    DorvixDeckFile& deck = *GetDeckFile();
    if (!deck.CloseDeck()) {
        summary_.failure = deck.GetOpenFailure();
        return kRC_FileNotCreated;
    }
    const int code = deck.CloseAndRun(0);
    summary_.failure = deck.GetOpenFailure();
    if (code != kRC_Success || deck.IsInputOnly() || deck.IsWriteNothing()) return code;
    // A solver that died without an error marker leaves clean listings: only the missing
    // result description tells that the run produced nothing. The analysis feeders' end-time
    // check takes this over.
    const std::string description = SolverModuleFile(deck.GetModuleName(), ".des");
    if (!deck.GetModuleName().empty() && platform::FileExists(deck.GetWorkingFolder() / description))
        return code;
    PostHostMessage(L"The solver wrote no result description (" + platform::Utf8ToWide(description) + L")",
                    L"Error");
    return kRC_SolutionIncomplete;
}
