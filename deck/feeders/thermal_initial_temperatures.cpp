// The initial temperatures of a thermal run: one uniform value for every node, or the node
// temperatures of an earlier thermal solve, read body by body from its result description.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/results/dorvix_result_reader.h"
#include "foundation/number_format.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

constexpr int kUniformTemperature = 0;
constexpr int kEarlierSolveTemperatures = 1;
constexpr const char* kSolvedRule = "! --------------------------------------------------------";

const InitialConditionEntry* InitialCondition(const TRVDataSourceItf* source) {
    const SolveJobRecord* solution = source ? source->GetSolveJob() : nullptr;
    return solution ? solution->GetInitialCondition() : nullptr;
}

}  // namespace

int ThermalDorvixFeeder::WriteInitialTemperatures() try {
    const InitialConditionEntry* entry = InitialCondition(GetDataSource());
    if (!entry) return kRC_MissingStepValue;
    if (entry->kind == kEarlierSolveTemperatures) return WriteSolvedInitialTemperatures();
    if (entry->kind != kUniformTemperature) return kRC_Success;
    DorvixDeckFile* deck = GetDeckFile();
    if (!deck) return kRC_MissingData;
    deck->WriteLine("!---------------------------------------");
    deck->WriteLine("! Initial Temperatures");
    deck->WriteLine("!---------------------------------------");
    // The host gives the temperature in degrees Celsius.
    const double value = GetUnitSystemTable().Convert(kUnitsSolverMks | kUnitFlagCelsius, GetDeckUnitSystem(),
                                                      kQuantityTemperature, entry->uniformTemperature);
    std::string line = ".CLT GROUP \"ALL_NODES\" TT0 V  ";
    AppendGeneral15(line, value);
    deck->WriteLine(line);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the initial temperatures");
}

int ThermalDorvixFeeder::WriteSolvedInitialTemperatures() try {
    const InitialConditionEntry* entry = InitialCondition(GetDataSource());
    const InitialConditionSource* source = entry ? entry->GetSource() : nullptr;
    if (!source) return kRC_MissingStepValue;
    if (source->GetFileName().empty()) {
        PostHostMessage(L"The earlier solve for the initial temperatures names no result file", L"Error");
        return kRC_InitialTemperatureSource;
    }
    const std::filesystem::path path = source->GetResultPath();
    if (!platform::FileExists(path)) {
        PostHostMessage(
            L"The result file of the earlier solve does not exist: " + platform::WideFromPath(path),
            L"Error");
        return kRC_InitialTemperatureSource;
    }
    DorvixDeckFile* deck = GetDeckFile();
    CBodyAttributeWrapper* bodies = GetBodyWrapper();
    IHostMesh* hostMesh = GetHostMesh();
    if (!deck || !bodies || !hostMesh) return kRC_MissingData;
    ComPtr<IHostMeshData> mesh = ComPtr<IHostMesh>(hostMesh).As<IHostMeshData>();
    if (!mesh) return kRC_MissingData;

    // The earlier run wrote its temperatures in its own deck's unit system: they go in
    // converted into this deck's.
    DorvixResultReader reader;
    reader.SetResultFile(path);
    reader.SetMesh(mesh.Get());
    reader.SetResultUnitSystem(source->GetUnitSystem());
    reader.SetUnitSystem(GetDeckUnitSystem());
    if (FAILED(reader.Open())) {
        PostHostMessage(L"The result file of the earlier solve cannot be read: " + reader.GetProblem(),
                        L"Error");
        return kRC_InitialTemperatureSource;
    }
    ResultDefinition temperatures;
    temperatures.SetResultType(DorvixResultReader::kTemperatureResult);
    temperatures.SetTime(entry->earlierSolutionTime);

    // Every body is read before the first line, so a refused body leaves no half block.
    std::vector<std::string> lines;
    for (int index = 0; index < bodies->GetBodyCount(); ++index) {
        reader.SetBody(bodies->GetBodyMeshId(index), bodies->GetBodyPartId(index));
        ResultObject body;
        // A node without a value would start at a temperature nobody gave it: refused.
        if (FAILED(reader.ReadResult(temperatures, body)) || !reader.IsComplete()) {
            const std::wstring reason = reader.IsComplete() ? reader.GetProblem() : L"not every node has one";
            PostHostMessage(L"The earlier solve gives no initial temperatures for body \"" +
                                platform::Utf8ToWide(bodies->GetBodyNameAt(index)) + L"\": " + reason,
                            L"Error");
            return kRC_InitialTemperatureSource;
        }
        for (std::size_t i = 0; i < body.ids.size(); ++i) {
            if (lines.empty()) lines.emplace_back(".CLT TT0 NOEUD ");
            std::string line = "  I " + std::to_string(body.ids[i]) + " V  ";
            AppendGeneral15(line,
                            body.values[i * static_cast<std::size_t>(std::max(1, body.componentCount))]);
            lines.push_back(std::move(line));
        }
    }
    deck->WriteLine(kSolvedRule);
    deck->WriteLine("! ----------- Send Solved Initial Temperatures -----------");
    deck->WriteLine(kSolvedRule);
    for (const std::string& line : lines) deck->WriteLine(line);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the solved initial temperatures");
}
