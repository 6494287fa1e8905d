// One solve as the host runs it: model files handed over, the return package read, messages and result sets.
#include "tools/dorvix/solve_run.h"

#include <cstring>
#include <memory>
#include <pugixml.hpp>

#include "host/result_reader.h"
#include "host/return_package.h"
#include "host/solver_interfaces.h"
#include "hostsim/components.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

bool IsObjectOfType(pugi::xml_node node, const char* type) {
    return std::strcmp(node.attribute("CAEType").value(), "object") == 0 &&
           std::strcmp(node.attribute("Type").value(), type) == 0;
}

// A string property of a representation object: the child element of that name (or with that
// "Name" attribute, which wins over the tag), its text as written.
std::wstring StringProperty(pugi::xml_node object, const char* name) {
    for (pugi::xml_node child : object.children()) {
        if (std::strcmp(child.attribute("CAEType").value(), "property") != 0) continue;
        const pugi::xml_attribute named = child.attribute("Name");
        if (std::strcmp(named ? named.value() : child.name(), name) == 0)
            return platform::Utf8ToWide(child.text().get());
    }
    return L"";
}

// The messages of the output representation the solve saved, in order; none when it saved none
// or the file does not read as XML. The messages are the root object's "Message" objects.
std::vector<PostedMessage> PostedMessages(const std::filesystem::path& outputModel) {
    std::vector<PostedMessage> messages;
    std::string text;
    if (!platform::FileExists(outputModel) || !platform::ReadWholeFile(outputModel, text)) return messages;
    pugi::xml_document document;
    // A blank message keeps its blanks, as the representation writes them.
    if (!document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata,
                              pugi::encoding_utf8))
        return messages;
    for (pugi::xml_node child : document.document_element().children()) {
        if (IsObjectOfType(child, "Message"))
            messages.push_back({StringProperty(child, "Type"), StringProperty(child, "Text")});
    }
    return messages;
}

// The result sets as the host's own result reader reads them from the run's description.
void ReadSolvedSets(const std::filesystem::path& description, SolveReport& report) {
    ComPtr<IHostResultReader> reader = CreateHostSimResultReader();
    std::vector<double> times;
    std::vector<int> setNumbers;
    std::vector<int> stepCodes;
    HRESULT answer = reader ? reader->SetResultFile(platform::WideFromPath(description)) : E_OUTOFMEMORY;
    if (SUCCEEDED(answer)) answer = reader->GetResultSets(times, setNumbers, stepCodes);
    if (answer == S_FALSE) {
        report.setsProblem = "the solver wrote no result description";
        return;
    }
    if (FAILED(answer)) {
        std::wstring problem;
        if (reader) (void)reader->GetProblem(problem);
        report.setsProblem = problem.empty()
                                 ? "the result description cannot be read (" + HexCodeText(answer) + ")"
                                 : platform::WideToUtf8(problem);
        return;
    }
    for (std::size_t i = 0; i < times.size(); ++i)
        report.sets.push_back(
            {times[i], i < setNumbers.size() ? setNumbers[i] : 0, i < stepCodes.size() ? stepCodes[i] : 0});
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
    TRVReturnPackageItf* raw = nullptr;
    if (FAILED(solver->Solve(&dataSource, &raw)) || !raw) {
        report.failure = "the solver object's solve failed";
        return report;
    }
    // The host owns the package from here on.
    const std::unique_ptr<TRVReturnPackageItf> package(raw);
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
