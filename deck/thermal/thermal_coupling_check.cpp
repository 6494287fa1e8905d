// Thermal coupling conditions tie node temperatures together; a node held by two of them, or by
// one of them and by a load that holds temperatures, would be tied twice, which the solver
// cannot honour. Nothing is written: the check only refuses the model.
#include <set>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/bc_reps.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/signed_memory.h"
#include "host/object_types.h"

namespace {

// The nodes of the object as the object table resolves them; false when they cannot be had.
bool ReferencedNodes(const ObjectTypeTable& table, int objectId, IHostMeshData* mesh,
                     std::vector<int>& nodes) {
    int* block = nullptr;
    int count = 0;
    const HRESULT hr = ResolveReferencedObject(table, objectId, mesh, block, count);
    nodes.clear();
    if (SUCCEEDED(hr) && block && count > 0) nodes.assign(block, block + count);
    (void)SignedMemFree(block);
    return SUCCEEDED(hr);
}

}  // namespace

int ThermalDorvixFeeder::CheckCouplingConditions() try {
    if (!GetInputRoot()) return kRC_Success;
    std::vector<NCAERep::CIdentity> conditions;
    GetInputRoot()->getIdentitiesByType(NCAERep::CCouplingConditionRep::kTypeName, conditions);
    if (conditions.empty()) return kRC_Success;
    const ObjectTypeTable* table = GetObjectTypeTable();
    std::vector<int> loadIds;
    std::vector<const ObjectTypeRecord*> loads;
    if (!table || FindEntriesById(*table, kLoadTypeTemperature, loadIds, loads) != S_OK) return kRC_Success;
    IHostMeshData* mesh = GetMeshWrapper() ? GetMeshWrapper()->GetMeshData() : nullptr;

    const auto refuse = [this](const std::wstring& what, int node) {
        PostHostMessage(what + L" share node " + std::to_wstring(node) +
                            L": a node can be tied by one thermal coupling condition only",
                        L"Error");
        return int{kRC_ThermalCouplingShared};
    };
    std::set<int> coupled;
    std::vector<int> nodes;
    for (const NCAERep::CIdentity& condition : conditions) {
        // A condition whose nodes cannot be had was refused when it was written.
        if (!ReferencedNodes(*table, condition.getId(), mesh, nodes)) continue;
        for (int node : nodes)
            if (!coupled.insert(node).second) return refuse(L"Two thermal coupling conditions", node);
    }
    for (int id : loadIds) {
        if (!ReferencedNodes(*table, id, mesh, nodes)) continue;
        for (int node : nodes)
            if (coupled.count(node))
                return refuse(L"A thermal coupling condition and the temperature " + std::to_wstring(id),
                              node);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Checking the thermal coupling conditions");
}
