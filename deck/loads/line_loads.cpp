// Forces per length on edges: along a direction with one magnitude (host type 18), or by
// components (type 61). Every node of the load's edges takes its share of the edge lengths.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "deck/mesh/mesh_wrapper.h"
#include "host/data_source.h"
#include "host/object_types.h"

using namespace loadwriter;

namespace {

// Length weights of the nodes of every edge of the load: 0, or 39 (the load named).
[[nodiscard]] int EdgeNodeWeights(DorvixFeeder& feeder, const ObjectTypeRecord& record,
                                  std::map<int, double>& weights) {
    JXReferenceList references;
    record.AppendReferencesTo(references);
    if (!feeder.GetMeshWrapper() ||
        FAILED(feeder.GetMeshWrapper()->GetEdgeNodeWeightsByReference(references, weights)))
        return Refuse(feeder, record, kRC_DataMismatch, L"the node weights of its edges cannot be had");
    for (const auto& [node, weight] : weights)
        if (!std::isfinite(weight))
            return Refuse(feeder, record, kRC_DataMismatch, L"its edges have no finite length");
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::WriteDirectedLineLoads(int step) {
    const bool loadCases = UseLoadCases();
    const int components = dataSource_ && dataSource_->Is2DAnalysis() ? 2 : 3;
    return ForEachLoad(
        *this, step, LoadsOfType(*this, kLoadTypeDirectedLineLoad), kRC_DataMismatch,
        [&](const TypedLoad& l) {
            const ObjectTypeRecord& record = *l.record;
            if (!deckFile_) return int{kRC_Success};
            double direction[3] = {0.0, 0.0, 0.0};
            if (const int code = GetLoadDirection(l.load, direction); code) return code;
            const double length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                            direction[2] * direction[2]);
            if (length > 0.0)
                for (double& d : direction) d /= length;
            std::map<int, double> weights;
            if (const int code = EdgeNodeWeights(*this, record, weights); code) return code;
            const ComPtr<IHostLoadVariable> magnitude =
                VariableOf(HostLoadOf(l.load).Get(), kLoadVariableMagnitude);
            if (!magnitude) return Refuse(*this, record, kRC_MissingData, L"it has no magnitude");
            double m = 1.0;
            int function = 0;
            if (loadCases) {
                double endTime = 0.0;
                if (GetStepEndTime(step, endTime) != kRC_Success ||
                    magnitude->GetValueAt(endTime, kLoadQuantityForcePerLength, deckUnitSystem_, m) != S_OK ||
                    !std::isfinite(m))
                    return Refuse(*this, record, kRC_DataMismatch, L"no finite magnitude at the step's end");
            } else {
                StepFlags flags;
                if (GetLoadActiveSteps(l.load, flags) != S_OK ||
                    CreateLoadFunction(magnitude.Get(), l.id, 1.0, &flags, function) != S_OK)
                    return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
            }
            deckFile_->WriteLine(HeaderLine("CHA NOE", record));
            LoadLine line;
            for (const auto& [node, weight] : weights) {
                for (int c = 0; c < components; ++c) {
                    line.Start("  I")
                        .Int(node)
                        .Text(" V")
                        .Value(weight * direction[c] * m)
                        .Text(" COMP")
                        .Int(c + 1);
                    if (loadCases)
                        line.Text(" NC").Int(step);
                    else
                        line.Text(" NF").Int(function).Text(" TIME");
                    deckFile_->WriteLine(line.Get());
                }
            }
            return int{kRC_Success};
        });
}

int DorvixFeeder::WriteLineLoads(int step) {
    const bool loadCases = UseLoadCases();
    const std::vector<TypedLoad> loads = LoadsOfType(*this, kLoadTypeLineLoad);
    return ForEachLoad(*this, step, loads, kRC_DataMismatch, [&](const TypedLoad& l) {
        const ObjectTypeRecord& record = *l.record;
        if (!deckFile_) return int{kRC_Success};
        std::map<int, double> weights;
        if (const int code = EdgeNodeWeights(*this, record, weights); code) return code;
        std::vector<double> values;
        std::vector<int> functions;
        if (const int code = ComponentValuesOrFunctions(*this, step, l, 1.0, false, false, values, functions);
            code)
            return code;
        deckFile_->WriteLine(HeaderLine("CHA NOE", record));
        LoadLine line;
        for (const auto& [node, weight] : weights) {
            if (loadCases) {
                // Always three values: in a two-dimensional model z is not imposed and reads 0.
                double list[3];
                for (int c = 0; c < 3; ++c) list[c] = ListValue(values[c], weight);
                deckFile_->WriteFields("  I", node, "V", DeckDoubles{list, 3}, "NC",
                                       static_cast<double>(step));
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                if (functions[c] < 0) continue;
                line.Start("  I").Int(node).Text(" V").Short(weight).Text(" COMP").Int(c + 1);
                deckFile_->WriteLine(line.Text(" NF").Int(functions[c]).Text(" TIME").Get());
            }
        }
        return int{kRC_Success};
    });
}
