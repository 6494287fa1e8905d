// Loading a case folder: host.json's values and sections in turn, then MatML.xml; errors keep their place.
#include "hostsim/host_case.h"

#include <utility>

#include "foundation/analysis_kind.h"
#include "hostsim/json_reader.h"
#include "hostsim/matml_library.h"
#include "hostsim/matml_reader.h"
#include "hostsim/mesh_json.h"
#include "platform/files.h"

namespace {

std::string ReadCaseFile(const std::filesystem::path& path) {
    std::string text, error;
    if (!platform::ReadWholeFile(path, text, &error))
        throw HostCaseError(path.string(), "", "cannot be read: " + error);
    return text;
}

// The two loaders below put the place in front of their reason ("/mesh/nodes/3: reason",
// "folder/MatML.xml:12: reason"); the case error keeps the place and the reason apart.
std::pair<std::string, std::string> SplitPlace(const std::string& text, const std::string& prefix) {
    if (text.rfind(prefix, 0) != 0) return {"", text};
    const std::size_t colon = text.find(": ", prefix.size());
    if (colon == std::string::npos) return {"", text};
    return {text.substr(0, colon), text.substr(colon + 2)};
}

void ReadMeshSection(const JsonAt& root, HostSimCase& hostCase, const std::string& file) {
    if (!root.Has("mesh")) return;
    try {
        hostCase.mesh = ReadCaseMeshSection(root.Member("mesh").Value(), "/mesh");
    } catch (const HostSimMeshError& e) {
        const auto [place, reason] = SplitPlace(e.what(), "/mesh");
        throw HostCaseError(file, place.empty() ? "/mesh" : place, reason);
    }
}

void ReadMaterialLibrary(HostSimCase& hostCase) {
    const std::filesystem::path path = hostCase.folder / "MatML.xml";
    if (!std::filesystem::exists(path)) return;
    const std::string file = path.string();
    try {
        hostCase.materialLibrary = LoadMaterialLibrary(path);
    } catch (const MatmlError& e) {
        const auto [place, reason] = SplitPlace(e.what(), file);
        const std::string line = place.size() > file.size() + 1 ? place.substr(file.size() + 1) : "";
        throw HostCaseError(file, line.empty() ? "" : "line " + line, reason);
    }
    if (!hostCase.materialLibrary) throw HostCaseError(file, "", "the material library cannot be read");
}

void ReadSections(const JsonAt& root, const std::string& file, HostSimCase& hostCase) {
    hostCase.analysisKind = root.IntOr("analysisKind", kAnalysisStructural);
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
    ReadLoadsSection(root, hostCase);
    ReadObjectModelSection(root, hostCase);
    ReadAddinHostSection(root, hostCase);
    ReadMeshSection(root, hostCase, file);
    ReadGeometrySection(root, hostCase);
    ReadSelectionsSection(root, hostCase);
    ReadParametersSection(root, hostCase);
}

}  // namespace

void ReadHostJson(const std::string& text, const std::string& file, HostSimCase& hostCase) {
    const nlohmann::json document = ParseJsonDocument(text, file);
    const JsonAt root(file, document, "");
    if (!document.is_object()) root.Fail("expected an object at the top level");
    // The readers check every type before they take a value; should one still ask the library
    // for something it cannot give, the case is refused all the same, not left to its exception.
    try {
        ReadSections(root, file, hostCase);
    } catch (const nlohmann::json::exception& e) {
        throw HostCaseError(file, "", "a value cannot be read: " + std::string(e.what()));
    }
}

std::unique_ptr<HostSimCase> LoadHostCase(const std::filesystem::path& folder) {
    auto hostCase = std::make_unique<HostSimCase>();
    hostCase->folder = folder;
    hostCase->caeRepPath = folder / "CAERep.xml";
    hostCase->hostJsonPath = folder / "host.json";
    if (!std::filesystem::is_regular_file(hostCase->caeRepPath))
        throw HostCaseError(hostCase->caeRepPath.string(), "", "the case has no model representation");
    const std::string file = hostCase->hostJsonPath.string();
    ReadHostJson(ReadCaseFile(hostCase->hostJsonPath), file, *hostCase);
    ReadMaterialLibrary(*hostCase);
    return hostCase;
}
