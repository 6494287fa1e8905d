// What the load writers ask of an object and of the host's load objects: where a load sits,
// whether its type fits the object, how its activity changes from step to step, its direction,
// the kind and value of its variables and the nodes it covers.
#include <functional>
#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_scoping.h"
#include "host/data_source.h"
#include "host/load_model.h"
#include "host/object_types.h"

namespace {

ComPtr<IHostLoad> LoadOf(IUnknown* object) {
    ComPtr<IHostLoad> load;
    if (object) (void)object->QueryInterface(IHostLoad::iid(), load.ReleaseAndGetVoidAddress());
    return load;
}

ComPtr<IHostLoadVariable> VariableOf(IHostLoad& load, int index) {
    ComPtr<IHostLoadVariable> variable;
    if (load.GetVariable(index, variable.ReleaseAndGetAddressOf()) != S_OK) variable.Reset();
    return variable;
}

// The status at `step` of something whose activity per step `isActive` answers.
int StatusAtStep(const std::function<bool(int)>& isActive, int step) {
    const bool active = isActive(step);
    if (step == 1) return active ? DorvixFeeder::kStepActivated : DorvixFeeder::kStepUnchanged;
    if (active == isActive(step - 1)) return DorvixFeeder::kStepUnchanged;
    if (!active) return DorvixFeeder::kStepDeactivated;
    for (int earlier = 1; earlier < step - 1; ++earlier)
        if (isActive(earlier)) return DorvixFeeder::kStepReactivated;
    return DorvixFeeder::kStepActivated;
}

template <class T>
bool ActiveIn(T& object, int step) {
    bool active = false;
    return object.IsActiveInStep(step, active) == S_OK && active;
}

// "Load 12" for a load that tells its id, else "A load".
std::wstring LoadName(IHostLoad* load) {
    int id = 0;
    if (load && load->GetId(id) == S_OK) return L"Load " + std::to_wstring(id);
    return L"A load";
}

}  // namespace

int DorvixFeeder::GetObjectGeometryKind(int objectId) const {
    const ObjectTypeRecord* record = objectTypeTable_ ? objectTypeTable_->FindById(objectId) : nullptr;
    return record ? record->GetReferenceKind() : 0;
}

bool DorvixFeeder::IsLoadTypeApplicable(const int& loadType, int objectId) const {
    switch (loadType) {
        case kLoadTypePressure:
        case kLoadTypeHeatFlux:
        case kLoadTypeAppliesAnywhere:
            return true;
        case kLoadTypeHeatFlowOnEntities: {
            const int kind = GetObjectGeometryKind(objectId);
            return kind == kGeometryFaces ||
                   (kind == kGeometryEdges && dataSource_ && dataSource_->Is2DAnalysis());
        }
        default:
            return false;
    }
}

int DorvixFeeder::GetLoadStepStatus(IUnknown* load, const int& step) const {
    const ComPtr<IHostLoad> hostLoad = LoadOf(load);
    if (!hostLoad) return kStepUnchanged;
    return StatusAtStep([&](int s) { return ActiveIn(*hostLoad, s); }, step);
}

int DorvixFeeder::GetComponentStepStatus(IUnknown* load, int variable, const int& step) const {
    const ComPtr<IHostLoad> hostLoad = LoadOf(load);
    if (!hostLoad) return kStepUnchanged;
    ComPtr<IHostLoadVariable> asked = VariableOf(*hostLoad, variable);
    HostLoadDefinition definition;
    if (asked && asked->GetDefinition(definition) == S_OK && definition.kind == kLoadDefinitionDefined &&
        definition.independentQuantity != kLoadIndependentTime)
        asked = VariableOf(*hostLoad, kLoadVariableSpatial);
    // Without the variable nothing is ever active, so nothing changes.
    if (!asked) return kStepUnchanged;
    return StatusAtStep([&](int s) { return ActiveIn(*asked, s); }, step);
}

int DorvixFeeder::GetLoadDirection(IUnknown* load, double direction[3]) {
    const ComPtr<IHostLoad> hostLoad = LoadOf(load);
    double read[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < 3; ++i) {
        if (!hostLoad ||
            hostLoad->GetProperty(kLoadPropertyDirectionX + i, deckUnitSystem_, read[i]) != S_OK) {
            PostHostMessage(LoadName(hostLoad.Get()) + L": its direction cannot be read", L"Error");
            return kRC_DataMismatch;
        }
    }
    for (int i = 0; i < 3; ++i) direction[i] = read[i];
    return kRC_Success;
}

int DorvixFeeder::GetLoadVariableValue(IUnknown* load, const int& id, const std::int16_t& flag,
                                       double& value) {
    const ComPtr<IHostLoad> hostLoad = LoadOf(load);
    ComPtr<IHostLoadVariable> variable;
    ComPtr<IHostLoadEntry> entry;
    double read = 0.0;
    // An entry that cannot be evaluated fails too: a made-up value would reach the deck.
    if (hostLoad && hostLoad->GetVariableById(id, flag, variable.ReleaseAndGetAddressOf()) == S_OK &&
        variable && variable->GetFirstEntry(entry.ReleaseAndGetAddressOf()) == S_OK && entry &&
        entry->Evaluate(0.0, deckUnitSystem_, read) == S_OK) {
        value = read;
        return kRC_Success;
    }
    PostHostMessage(LoadName(hostLoad.Get()) + L": no value for variable " + std::to_wstring(id) +
                        L" (flag " + std::to_wstring(flag) + L")",
                    L"Error");
    return kRC_DataMismatch;
}

int DorvixFeeder::GetObjectNodeSet(const ObjectTypeRecord& record, std::set<int>& nodes) const {
    JXReferenceList references;
    record.AppendReferencesTo(references);
    nodes.clear();
    for (const JXReference& reference : references) {
        std::vector<int> ids;
        if (FAILED(GetScopingNodeIds(hostMesh_.Get(), reference, ids))) return kRC_HostMeshRefused;
        nodes.insert(ids.begin(), ids.end());
    }
    return kRC_Success;
}

int DorvixFeeder::GetVariableDefinitionKind(IUnknown* variable) {
    ComPtr<IHostLoadVariable> hostVariable;
    if (!variable ||
        FAILED(variable->QueryInterface(IHostLoadVariable::iid(), hostVariable.ReleaseAndGetVoidAddress())))
        return kLoadDefinitionNone;
    HostLoadDefinition definition;
    return hostVariable->GetDefinition(definition) == S_OK ? definition.kind : kLoadDefinitionNone;
}

int DorvixFeeder::GetLoadVariableDefinitionKind(IUnknown* load, int variable, int& kind) {
    kind = kLoadDefinitionNone;
    const ComPtr<IHostLoad> hostLoad = LoadOf(load);
    const ComPtr<IHostLoadVariable> hostVariable = hostLoad ? VariableOf(*hostLoad, variable) : nullptr;
    if (!hostVariable) {
        PostHostMessage(LoadName(hostLoad.Get()) + L" has no variable " + std::to_wstring(variable),
                        L"Error");
        return kRC_MissingData;
    }
    kind = GetVariableDefinitionKind(hostVariable.Get());
    return kRC_Success;
}
