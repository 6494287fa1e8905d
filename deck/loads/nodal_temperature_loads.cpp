// Temperatures imposed on nodes (host type 53 in a structural deck, 3 in a thermal one) as
// ".CLT TFX NOEUD" blocks. The history is written value by value rather than as a function; a
// structural deck names the nodes once as a group, a thermal deck lists them.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/loads/load_writer_support.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/analysis_kind.h"
#include "host/object_types.h"

using namespace loadwriter;

namespace {

// History values smaller than this carry no temperature load in a structural deck.
constexpr double kNoLoad = 1e-15;

}  // namespace

int DorvixFeeder::WriteNodalTemperatureLoads(int step, bool structural) {
    const bool loadCases = UseLoadCases();
    const int type = structural ? kLoadTypeStructuralTemperature : kLoadTypeTemperature;
    return ForEachLoad(*this, step, LoadsOfType(*this, type), kRC_DataMismatch, [&](const TypedLoad& l) {
        const ObjectTypeRecord& record = *l.record;
        if (!deckFile_) return int{kRC_Success};
        const ComPtr<IHostLoad> load = HostLoadOf(l.load);
        const ComPtr<IHostLoadVariable> magnitude = VariableOf(load.Get(), kLoadVariableMagnitude);
        if (!magnitude) return Refuse(*this, record, kRC_MissingData, L"it has no magnitude");
        const int independent = IndependentOf(magnitude.Get());
        std::set<int> nodes;
        if (GetObjectNodeSet(record, nodes) != kRC_Success || nodes.empty())
            return Refuse(*this, record, kRC_DataMismatch, L"its nodes cannot be had");
        double endTime = 0.0;
        if (loadCases && GetStepEndTime(step, endTime) != kRC_Success)
            return Refuse(*this, record, kRC_DataMismatch, L"the step has no end time");
        const std::string group = "SELGROUP_LOADID" + std::to_string(l.id);
        const std::string header = ".CLT TFX NOEUD NOM \"" + record.GetName() + "\"";
        LoadLine line;

        if (independent == kLoadIndependentTime) {
            double value = 0.0;
            LoadHistory history;
            if (loadCases &&
                (magnitude->GetValueAt(endTime, kLoadQuantityTemperature, deckUnitSystem_, value) != S_OK ||
                 !std::isfinite(value)))
                return Refuse(*this, record, kRC_DataMismatch, L"no finite temperature at the step's end");
            if (!loadCases && SampleLoadHistory(magnitude.Get(), l.id, 1.0, history) != S_OK)
                return Refuse(*this, record, kRC_DataMismatch, L"its history cannot be made");
            if (structural &&
                deckFile_->WriteSelectionGroup(group, nodes, true, NextSelectionGroupNumber()) != kRC_Success)
                return Refuse(*this, record, kRC_DataMismatch, L"its node group cannot be written");
            deckFile_->WriteLine(header);
            const auto writeValue = [&](double v, const double* time) {
                const auto finish = [&] {
                    line.Text(" V").Value(v);
                    if (time) line.Text(" TIME").Value(*time);
                    deckFile_->WriteLine(line.Get());
                };
                if (structural) {
                    line.Start("  GROUP \"").Text(group).Text("\"");
                    finish();
                    return;
                }
                for (int node : nodes) {
                    line.Start("  I").Int(node);
                    finish();
                }
            };
            if (loadCases) {
                writeValue(value, nullptr);
                return int{kRC_Success};
            }
            for (std::size_t j = 0; j + 1 < history.size(); j += 2)
                if (!structural || std::fabs(history[j + 1]) > kNoLoad)
                    writeValue(history[j + 1], &history[j]);
            return int{kRC_Success};
        }
        if (independent < kLoadIndependentX || independent > kLoadIndependentZ)
            return Refuse(*this, record, kRC_MissingData,
                          L"its magnitude is a function of neither time nor position");

        // Over an axis: the magnitude at every node in one host call, times the time factor.
        const ComPtr<IHostLoadVariable> spatial = VariableOf(load.Get(), kLoadVariableSpatial);
        if (!spatial) return Refuse(*this, record, kRC_MissingData, L"it has no time factor");
        int frameId = 0;
        (void)load->GetCoordinateSystemId(frameId);
        CoordSystemSafe frame;
        if (meshWrapper_) {
            const auto& frames = meshWrapper_->GetCoordinateSystems();
            if (auto it = frames.find(frameId); it != frames.end()) frame = it->second;
        }
        std::vector<double> positions, values;
        if (!meshWrapper_ ||
            FAILED(meshWrapper_->GetTabularThermalNodeValues(independent - kLoadIndependentX, nodes, frame,
                                                             positions)) ||
            positions.size() != nodes.size() ||
            magnitude->EvaluateAtPositions(positions, kLoadQuantityTemperature, deckUnitSystem_, values) !=
                S_OK ||
            values.size() != positions.size() || !AllFinite(values))
            return Refuse(*this, record, kRC_DataMismatch, L"no finite temperature at its nodes");
        const bool eigen = analysisKind_ == kAnalysisEigen;
        if (eigen || loadCases) {
            double factor = 1.0;
            if (loadCases && !eigen &&
                (spatial->GetValueAt(endTime, kLoadQuantityTimeFactor, deckUnitSystem_, factor) != S_OK ||
                 !FiniteProducts(values, factor)))
                return Refuse(*this, record, kRC_DataMismatch, L"no finite time factor at the step's end");
            deckFile_->WriteLine(header);
            std::size_t k = 0;
            for (int node : nodes)
                deckFile_->WriteLine(
                    line.Start("  I").Int(node).Text(" V").Value(values[k++] * factor).Get());
            return int{kRC_Success};
        }
        LoadHistory history;
        if (SampleLoadHistory(spatial.Get(), l.id, 1.0, history) != S_OK ||
            !FiniteProducts(values, LargestValue(history)))
            return Refuse(*this, record, kRC_DataMismatch, L"the history of its time factor cannot be made");
        deckFile_->WriteLine(header);
        std::size_t k = 0;
        for (int node : nodes) {
            for (std::size_t j = 0; j + 1 < history.size(); j += 2) {
                if (structural && std::fabs(history[j + 1]) <= kNoLoad) continue;
                line.Start("  I")
                    .Int(node)
                    .Text(" V")
                    .Value(values[k] * history[j + 1])
                    .Text(" TIME")
                    .Value(history[j]);
                deckFile_->WriteLine(line.Get());
            }
            ++k;
        }
        return int{kRC_Success};
    });
}
