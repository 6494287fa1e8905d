// host.json, the host simulator's description of a case, read as a case load reads it. A bad
// document must be refused with a HostCaseError; any other exception escapes and is reported.
#include <nlohmann/json.hpp>
#include <string>

#include "fuzz_support.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"

namespace {

// Generated mesh blocks may rightly ask for up to 50 million nodes, which takes gigabytes and
// minutes; such inputs say nothing about the reader and are skipped.
constexpr double kMostGeneratedNodes = 200000;

double GeneratedNodes(const nlohmann::json& document) {
    double nodes = 0;
    if (!document.is_object() || !document.contains("mesh") || !document["mesh"].is_object()) return 0;
    const nlohmann::json& blocks = document["mesh"].value("blocks", nlohmann::json());
    if (!blocks.is_array()) return 0;
    for (const nlohmann::json& block : blocks) {
        if (!block.is_object() || !block.contains("cells") || !block["cells"].is_array()) continue;
        double grid = 1;
        for (const nlohmann::json& cells : block["cells"])
            grid *= cells.is_number() ? cells.get<double>() + 1 : 1;
        nodes += grid;
    }
    return nodes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::AsText(data, size));
    const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
    if (GeneratedNodes(document) > kMostGeneratedNodes) return 0;
    HostSimCase hostCase;
    try {
        ReadHostJson(text, "host.json", hostCase);
    } catch (const HostCaseError&) {
    }
    return 0;
}
