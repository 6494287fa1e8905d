#include "hostsim/host_case.h"

#include <fstream>
#include <sstream>

#include "hostsim/json_reader.h"

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostCaseError(path.string(), "", "cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

void ReadHostJson(const std::string& text, const std::string& file, HostSimCase& hostCase) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw HostCaseError(file, "byte " + std::to_string(e.byte),
                            "not valid JSON: " + std::string(e.what()));
    }
    const JsonAt root(file, document, "");
    if (!document.is_object()) root.Fail("expected an object at the top level");
    hostCase.analysisKind = root.IntOr("analysisKind", 1);
    hostCase.is2D = root.BoolOr("is2D", false);
    hostCase.partCount = root.IntOr("partCount", 1);
    hostCase.resultSetCount = root.IntOr("resultSetCount", 1);
    hostCase.deckUnitSystem = root.IntOr("deckUnitSystem", 11);
    hostCase.modelUnitSystem = root.IntOr("modelUnitSystem", 11);
    hostCase.modelValue = root.IntOr("modelValue", 0);
    if (hostCase.partCount < 0) root.Member("partCount").Fail("must not be negative");
    if (hostCase.resultSetCount < 0) root.Member("resultSetCount").Fail("must not be negative");
    ReadSolveSection(root, hostCase);
    ReadModelRecordSections(root, hostCase);
    ReadObjectTableSection(root, hostCase);
    ReadObjectModelSection(root, hostCase);
}

std::unique_ptr<HostSimCase> LoadHostCase(const std::filesystem::path& folder) {
    auto hostCase = std::make_unique<HostSimCase>();
    hostCase->folder = folder;
    hostCase->caeRepPath = folder / "CAERep.xml";
    hostCase->hostJsonPath = folder / "host.json";
    if (!std::filesystem::is_regular_file(hostCase->caeRepPath))
        throw HostCaseError(hostCase->caeRepPath.string(), "", "the case has no model representation");
    const std::string file = hostCase->hostJsonPath.string();
    ReadHostJson(ReadWholeFile(hostCase->hostJsonPath), file, *hostCase);
    return hostCase;
}
