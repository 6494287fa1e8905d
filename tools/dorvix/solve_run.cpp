#include "tools/dorvix/solve_run.h"

#include <filesystem>

#include "caerep/core/cae_rep.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/results/dorvix_result_reader.h"
#include "foundation/jx_list.h"
#include "host/data_source.h"
#include "platform/path_text.h"
#include "platform/text.h"
#include "runtime/addin_services.h"

namespace {

constexpr const char* kOutputModelName = "CAERepOutput.xml";
constexpr int kStructuralAnalysis = 1;
constexpr int kThermalAnalysis = 4;

// The messages the run posted to the output representation, in order.
std::vector<PostedMessage> PostedMessages(const DorvixFeeder& feeder) {
    std::vector<PostedMessage> messages;
    const NCAERep::CCAERep* root = feeder.GetOutputRoot();
    if (!root) return messages;
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

int SolveReport::RunCode() const {
    if (loadCode != 0) return loadCode;
    return feedCode != 0 ? feedCode : errorCode;
}

std::unique_ptr<DorvixFeeder> CreateFeederFor(int analysisKind) {
    if (analysisKind == kStructuralAnalysis) return std::make_unique<StructDorvixFeeder>();
    if (analysisKind == kThermalAnalysis) return std::make_unique<ThermalDorvixFeeder>();
    return nullptr;
}

SolveReport RunSolve(DorvixFeeder& feeder, TRVDataSourceItf& dataSource, const std::filesystem::path& modelPath,
                     const std::filesystem::path& workFolder) {
    SolveReport report;
    ReturnPackage package;
    package.Init(dataSource.GetPartCount());
    report.loadCode = feeder.LoadCAERepresentation(platform::WideFromPath(modelPath),
                                                   platform::WideFromPath(workFolder / kOutputModelName));
    if (report.loadCode == 0) report.feedCode = feeder.Feed(&dataSource, &package);
    (void)package.GetStatus(report.resultCode, report.statusBits, report.errorCode);
    report.messages = PostedMessages(feeder);
    std::vector<BstrHolder> texts;
    package.GetMessages(texts);
    for (const BstrHolder& text : texts) report.packageMessages.push_back(text.Str());
    report.deckPath = workFolder / "dorvix.dat";
    report.nodes = feeder.GetNodeCount();
    report.elements = feeder.GetElementCount();
    char name[512] = {};
    if (SUCCEEDED(package.GetResultFileName(name, sizeof name)) && name[0] != '\0') {
        report.resultFile = name;
        // Only a run that started the solver has a description to show.
        if (report.loadCode == 0 && feeder.GetCopyTargetPath().empty()) ReadSolvedSets(workFolder / name, report);
    }
    return report;
}
