#include "tools/dorvix/solve_run.h"

#include <memory>

#include "addin/solver_interfaces.h"
#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "deck/results/dorvix_result_reader.h"
#include "foundation/jx_list.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

// The messages of the output representation the solve saved; none when it saved none.
std::vector<PostedMessage> PostedMessages(const std::filesystem::path& outputModel) {
    std::vector<PostedMessage> messages;
    if (!platform::FileExists(outputModel)) return messages;
    NCAERep::CCAEDatabase database;
    NCAERep::CCAERep* root = database.getRoot();
    if (!root || root->resumeFromFile(outputModel) < 0) return messages;
    for (const NCAERep::CCAERepBase* child : root->getChildrenByType(L"Message")) {
        PostedMessage message;
        child->getProperty(L"Type").getValue(message.type);
        child->getProperty(L"Text").getValue(message.text);
        messages.push_back(std::move(message));
    }
    return messages;
}

void ReadSolvedSets(const std::filesystem::path& description, SolveReport& report) {
    DorvixResultReader reader;
    reader.SetResultFile(description);
    JXList<double> times;
    JXList<int> setNumbers;
    JXList<int> stepCodes;
    const HRESULT answer = reader.GetResultSets(times, setNumbers, stepCodes);
    if (answer == S_FALSE) {
        report.setsProblem = "the solver wrote no result description";
        return;
    }
    if (FAILED(answer)) {
        report.setsProblem = platform::WideToUtf8(reader.GetProblem());
        return;
    }
    for (int i = 0; i < times.GetCount(); ++i)
        report.sets.push_back({times[i], i < setNumbers.GetCount() ? setNumbers[i] : 0,
                               i < stepCodes.GetCount() ? stepCodes[i] : 0});
}

}  // namespace

SolveReport RunSolve(ITRVSolver* solver, TRVDataSourceItf& dataSource, const std::filesystem::path& modelPath,
                     const std::filesystem::path& workFolder) {
    SolveReport report;
    report.deckPath = workFolder / "dorvix.dat";
    const std::filesystem::path outputModel = workFolder / kOutputModelName;
    // The solve writes the output representation only when it posts a message: an earlier
    // run's file must not speak for this one.
    (void)platform::RemoveFile(outputModel);

    if (!solver) {
        report.failure = "the solver object cannot be created";
        return report;
    }
    ComPtr<ICAESolver> files = ComPtr<ITRVSolver>(solver).As<ICAESolver>();
    const BstrHolder input(platform::WideFromPath(modelPath));
    const BstrHolder output(platform::WideFromPath(outputModel));
    if (!files || FAILED(files->SetCAEFiles(input.Get(), output.Get()))) {
        report.failure = "the solver object refuses the model files";
        return report;
    }
    ReturnPackage* raw = nullptr;
    if (FAILED(solver->Solve(&dataSource, &raw)) || !raw) {
        report.failure = "the solver object's solve failed";
        return report;
    }
    const std::unique_ptr<ReturnPackage> package(raw);
    (void)package->GetStatus(report.resultCode, report.statusBits, report.errorCode);
    std::vector<BstrHolder> texts;
    package->GetMessages(texts);
    for (const BstrHolder& text : texts) report.packageMessages.push_back(text.Str());
    package->GetValueList(report.values);
    report.messages = PostedMessages(outputModel);
    char name[512] = {};
    if (SUCCEEDED(package->GetResultFileName(name, sizeof name)) && name[0] != '\0') {
        report.resultFile = name;
        ReadSolvedSets(workFolder / name, report);
    }
    return report;
}
