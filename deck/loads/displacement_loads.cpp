// Prescribed displacements (host types 19 and 42) on the nodes the per-node constraint table
// gave a prescribed value for the load's component. The table decides which variable of the load
// lands on which degree of freedom and with which sign.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "deck/constraints/node_constraint_table.h"
#include "deck/loads/load_writer_support.h"
#include "host/object_types.h"

using namespace loadwriter;

namespace {

constexpr int kDisplacementTypes[2] = {kLoadTypeDisplacement, kLoadTypeOtherDisplacement};
// The components first, then the magnitude (a displacement normal to the geometry).
constexpr int kVariableOrder[4] = {kLoadVariableComponentX, kLoadVariableComponentX + 1,
                                   kLoadVariableComponentX + 2, kLoadVariableMagnitude};

// The key under which the table records a variable: 1, 2, 3 for x, y, z, 4 for the magnitude.
std::int32_t TableKey(int variable) { return variable == kLoadVariableMagnitude ? 4 : variable - 1; }

// The nodes whose component `slot` takes the variable, ascending, with the sign it takes there.
[[nodiscard]] HRESULT SignedNodes(const NodeConstraintTable& table, int slot, int loadId, int variable,
                                  std::vector<std::pair<std::int32_t, double>>& out) {
    out.clear();
    for (std::uint8_t reversed = 0; reversed <= 1; ++reversed) {
        std::vector<std::int32_t> nodes;
        const HRESULT hr = table.CollectNodesWithPrescribedValue(slot, static_cast<std::uint32_t>(loadId),
                                                                 TableKey(variable), reversed, nodes);
        if (FAILED(hr)) return hr;
        for (std::int32_t node : nodes) out.emplace_back(node, reversed ? -1.0 : 1.0);
    }
    std::sort(out.begin(), out.end());
    return S_OK;
}

}  // namespace

int DorvixFeeder::WriteDisplacementLoads(int step) {
    const bool loadCases = UseLoadCases();
    std::vector<TypedLoad> loads = LoadsOfType(*this, kDisplacementTypes[0]);
    for (const TypedLoad& l : LoadsOfType(*this, kDisplacementTypes[1])) loads.push_back(l);
    if (loads.empty()) return kRC_Success;
    const NodeConstraintTable* table = nodeConstraintTable_.Get();
    return ForEachLoad(*this, step, loads, kRC_DataMismatch, [&](const TypedLoad& l) {
        const ObjectTypeRecord& record = *l.record;
        if (!deckFile_) return int{kRC_Success};
        if (!table)
            return Refuse(*this, record, kRC_DataMismatch,
                          L"the nodes of its degrees of freedom are not known");
        const ComPtr<IHostLoad> load = HostLoadOf(l.load);
        double endTime = 0.0;
        if (loadCases && GetStepEndTime(step, endTime) != kRC_Success)
            return Refuse(*this, record, kRC_DataMismatch, L"the step has no end time");
        // Every node list, value and function first: the functions stand before the block, and a
        // table that cannot answer leaves nothing behind.
        struct Prescribed {
            int function = 0;
            double value = 0.0;
            std::vector<std::pair<std::int32_t, double>> nodes[3];
        };
        std::vector<Prescribed> prescribed;
        bool anyNode = false;
        for (int variableIndex : kVariableOrder) {
            const ComPtr<IHostLoadVariable> variable = VariableOf(load.Get(), variableIndex);
            if (!variable || GetVariableDefinitionKind(variable.Get()) == kLoadDefinitionFree) continue;
            if (loadCases && GetComponentStepStatus(l.load, variableIndex, step) == kStepDeactivated)
                continue;
            // A variable that lands on no node (a component given as 0 is held by the supports) still
            // gets its function, so that the numbers of the functions after it do not depend on
            // where the table put it.
            Prescribed p;
            for (int slot = 0; slot < 3; ++slot) {
                if (FAILED(SignedNodes(*table, slot, l.id, variableIndex, p.nodes[slot])))
                    return Refuse(*this, record, kRC_DataMismatch,
                                  L"the nodes of its degrees of freedom are not known");
                anyNode = anyNode || !p.nodes[slot].empty();
            }
            if (loadCases) {
                if (variable->GetValueAt(endTime, kLoadQuantityDisplacement, deckUnitSystem_, p.value) !=
                        S_OK ||
                    !std::isfinite(p.value))
                    return Refuse(*this, record, kRC_DataMismatch,
                                  L"no finite displacement at the step's end");
            } else {
                StepFlags flags;
                if (GetLoadActiveSteps(l.load, flags) != S_OK ||
                    CreateLoadFunction(variable.Get(), l.id, 1.0, &flags, p.function) != S_OK)
                    return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
            }
            prescribed.push_back(std::move(p));
        }
        if (!anyNode) return int{kRC_Success};
        deckFile_->WriteLine(HeaderLine("DEP NOE", record));
        LoadLine line;
        for (const Prescribed& p : prescribed) {
            for (int slot = 0; slot < 3; ++slot) {
                for (const auto& [node, sign] : p.nodes[slot]) {
                    line.Start("  I").Int(node);
                    if (loadCases)
                        line.Text(" V")
                            .Value(sign * p.value)
                            .Text(" COMP")
                            .Int(slot + 1)
                            .Text(" NC")
                            .Int(step);
                    else
                        line.Text(" V")
                            .Short(sign)
                            .Text(" COMP")
                            .Int(slot + 1)
                            .Text(" NF")
                            .Int(p.function)
                            .Text(" TIME");
                    deckFile_->WriteLine(line.Get());
                }
            }
        }
        return int{kRC_Success};
    });
}
