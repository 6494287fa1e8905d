// A load's magnitude over the load steps in the deck's two forms: the sampled history and the
// ".FCT" function of the function form, and the per-step component values of the load-case form.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/loads/load_writer_support.h"
#include "host/data_source.h"
#include "platform/text.h"

using namespace loadwriter;

namespace {

constexpr int kComponentVariables[6] = {kLoadVariableComponentX,     kLoadVariableComponentX + 1,
                                        kLoadVariableComponentX + 2, kLoadVariableRotationX,
                                        kLoadVariableRotationX + 1,  kLoadVariableRotationX + 2};

// In 2-D a node moves in the plane and turns about z: x, y and rz are imposed, and a moment
// (whose components 0 to 2 are about x, y, z) acts about z alone.
bool IsInPlane(int component, bool moments) {
    if (moments) return component == 2;
    return component == 0 || component == 1 || component == 5;
}

}  // namespace

HRESULT DorvixFeeder::GetLoadActiveSteps(IUnknown* load, StepFlags& flags) const {
    const ComPtr<IHostLoad> hostLoad = HostLoadOf(load);
    flags.assign(static_cast<std::size_t>(std::max(numberOfSteps_, 0)), 0);
    if (!hostLoad) return E_FAIL;
    HRESULT last = S_OK;
    for (int step = 1; step <= numberOfSteps_; ++step) {
        bool active = false;
        last = hostLoad->IsActiveInStep(step, active);
        if (FAILED(last)) return last;
        flags[step - 1] = active ? 1 : 0;
    }
    return last;
}

HRESULT DorvixFeeder::GetComponentActiveSteps(IUnknown* load, int componentId, StepFlags& flags) const {
    flags.assign(static_cast<std::size_t>(std::max(numberOfSteps_, 0)), 0);
    const ComPtr<IHostLoad> hostLoad = HostLoadOf(load);
    const ComPtr<IHostLoadVariable> variable = VariableOf(hostLoad.Get(), componentId);
    if (!variable) return E_FAIL;
    for (int step = 1; step <= numberOfSteps_; ++step) {
        bool active = false;
        const HRESULT hr = variable->IsActiveInStep(step, active);
        if (FAILED(hr)) return hr;
        flags[step - 1] = active ? 1 : 0;
    }
    return S_OK;
}

HRESULT DorvixFeeder::SampleLoadHistory(IUnknown* variableObject, int loadId, double scale,
                                        LoadHistory& history) {
    history.clear();
    const ComPtr<IHostLoadVariable> variable = HostVariableOf(variableObject);
    HostLoadDefinition definition;
    if (!variable || variable->GetDefinition(definition) != S_OK || definition.kind != kLoadDefinitionDefined)
        return E_FAIL;
    if (definition.independentQuantity == kLoadIndependentNone) return E_FAIL;
    if (definition.independentQuantity != kLoadIndependentTime) return E_NOTIMPL;
    ComPtr<IHostLoadEntry> entry;
    int entryKind = 0;
    double lastEnd = 0.0;
    if (variable->GetFirstEntry(entry.ReleaseAndGetAddressOf()) != S_OK || !entry ||
        entry->GetKind(entryKind) != S_OK || GetStepEndTime(numberOfSteps_, lastEnd) != kRC_Success)
        return E_FAIL;

    std::set<double> times;
    if (entryKind == kLoadEntryExpression) {
        const ObjectTypeRecord* record = objectTypeTable_ ? objectTypeTable_->FindById(loadId) : nullptr;
        const ComPtr<IHostLoad> load = HostLoadOf(record ? record->GetHostLoad() : nullptr);
        int count = 0;
        if (!load || load->GetSamplingCount(count) != S_OK || count <= 0) return E_FAIL;
        const double dt = (lastEnd - 0.0) / count;
        for (int i = 0; i < count; ++i) times.insert(i * dt + 0.0);
    } else {
        int rows = 0;
        if (variable->GetRowCount(rows) != S_OK || rows <= 0) return E_FAIL;
        times.insert(0.0);
        for (int row = 1; row <= rows; ++row) {
            double time = 0.0;
            if (variable->GetRowTime(row, deckUnitSystem_, time) != S_OK || !std::isfinite(time))
                return E_FAIL;
            if (time <= lastEnd) times.insert(time);
        }
    }
    for (int step = 1; step <= numberOfSteps_; ++step) {
        double end = 0.0;
        if (GetStepEndTime(step, end) != kRC_Success) return E_FAIL;
        times.insert(end);
    }
    int quantity = 0;
    if (entryKind != kLoadEntryExpression && entry->GetQuantity(quantity) != S_OK) return E_FAIL;
    for (double t : times) {
        double value = 0.0;
        const HRESULT hr = entryKind == kLoadEntryExpression
                               ? entry->Evaluate(t, deckUnitSystem_, value)
                               : variable->GetValueAt(t, quantity, deckUnitSystem_, value);
        if (hr != S_OK || !std::isfinite(value * scale)) return E_FAIL;
        history.push_back(t);
        history.push_back(value * scale);
    }
    return history.empty() ? E_FAIL : S_OK;
}

HRESULT DorvixFeeder::WriteFunction(const LoadHistory& history, const StepFlags* flags, int functionId) {
    std::vector<double> ends;
    if (flags) {
        // Every end time before the first line, so a missing one leaves no half-written block.
        for (int step = 1; step <= numberOfSteps_; ++step) {
            double end = 0.0;
            if (GetStepEndTime(step, end) != kRC_Success) return E_FAIL;
            ends.push_back(end);
        }
    }
    if (!deckFile_) return E_FAIL;
    deckFile_->WriteLine(".FCT");
    deckFile_->WriteFields("  CREE FONCTION I", functionId);
    deckFile_->WriteLine("  CREE VALEUR Y U");
    const std::size_t pairs = history.size() / 2;
    LoadLine line;
    if (!flags) {
        if (pairs == 0) return S_OK;
        deckFile_->WriteLine("  COUPLES");
        for (std::size_t j = 0; j < pairs; ++j) {
            line.Start(" ").Value(history[2 * j]).Value(history[2 * j + 1]);
            deckFile_->WriteLine(line.Get());
        }
        return S_OK;
    }
    std::size_t k = 0;
    for (std::size_t j = 1; j < pairs; ++j) {
        const double from = history[2 * (j - 1)], to = history[2 * j];
        if (k + 1 < ends.size() && ends[k] < to) ++k;
        if (k >= flags->size() || (*flags)[k] == 0) continue;
        line.Start("  BORNES")
            .Value(from)
            .Value(to)
            .Text(" LIN")
            .Value(history[2 * j - 1])
            .Value(history[2 * j + 1]);
        deckFile_->WriteLine(line.Get());
    }
    return S_OK;
}

HRESULT DorvixFeeder::CreateLoadFunction(IUnknown* variable, int loadId, double scale, const StepFlags* flags,
                                         int& functionId) {
    if (flags) {
        bool anyActive = false;
        for (int step = 0; step < numberOfSteps_ && step < static_cast<int>(flags->size()); ++step)
            anyActive = anyActive || (*flags)[step] != 0;
        if (!anyActive) return E_FAIL;
    }
    LoadHistory history;
    if (const HRESULT hr = SampleLoadHistory(variable, loadId, scale, history); hr != S_OK) return hr;
    functionId = NextFunctionNumber();
    return WriteFunction(history, flags, functionId) == S_OK ? S_OK : E_FAIL;
}

HRESULT DorvixFeeder::CreateComponentFunctions(IUnknown* load, int loadId, double scale, bool withRotations,
                                               std::vector<int>& functionIds, bool moments) {
    const int count = withRotations ? 6 : 3;
    functionIds.assign(count, -1);
    const ComPtr<IHostLoad> hostLoad = HostLoadOf(load);
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    for (int i = 0; i < count; ++i) {
        if (twoDimensional && !IsInPlane(i, moments)) continue;
        const ComPtr<IHostLoadVariable> variable = VariableOf(hostLoad.Get(), kComponentVariables[i]);
        if (!variable || GetVariableDefinitionKind(variable.Get()) == kLoadDefinitionFree) continue;
        std::wstring name;
        if (variable->GetName(name) != S_OK || name.empty()) name = L"FUNCTION";
        if (deckFile_)
            deckFile_->WriteLine("!~~~~~~~~~ function for " + platform::WideToUtf8(name) + " (" +
                                 "xyz"[i % 3] + ") ~~~~~~~~~");
        StepFlags flags;
        if (GetComponentActiveSteps(load, kComponentVariables[i], flags) != S_OK ||
            CreateLoadFunction(variable.Get(), loadId, scale, &flags, functionIds[i]) != S_OK)
            return E_FAIL;
    }
    return S_OK;
}

HRESULT DorvixFeeder::CreateVariableFunction(IUnknown* load, int variableIndex, int loadId, double scale,
                                             int& functionId) {
    const ComPtr<IHostLoadVariable> variable = VariableOf(HostLoadOf(load).Get(), variableIndex);
    if (!variable) return E_FAIL;
    return CreateLoadFunction(variable.Get(), loadId, scale, nullptr, functionId);
}

int DorvixFeeder::GetLoadComponentValuesAtStep(int step, IUnknown* load, std::vector<double>& values,
                                               bool withRotations, bool moments) {
    const ComPtr<IHostLoad> hostLoad = HostLoadOf(load);
    int loadId = 0;
    if (hostLoad) (void)hostLoad->GetId(loadId);
    double time = 0.0;
    if (GetStepEndTime(step, time) != kRC_Success)
        return Refuse(*this, loadId, kRC_DataMismatch,
                      L"the end time of step " + std::to_wstring(step) + L" is missing");
    const int count = withRotations ? 6 : 3;
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    std::vector<double> read(count, kFreeComponent);
    for (int i = 0; i < count; ++i) {
        if (twoDimensional && !IsInPlane(i, moments)) continue;
        const ComPtr<IHostLoadVariable> variable = VariableOf(hostLoad.Get(), kComponentVariables[i]);
        if (variable && GetVariableDefinitionKind(variable.Get()) == kLoadDefinitionFree) continue;
        const int quantity = i < 3 ? kLoadQuantityComponent : kLoadQuantityRotation;
        if (!variable || variable->GetValueAt(time, quantity, deckUnitSystem_, read[i]) != S_OK ||
            !std::isfinite(read[i]))
            return Refuse(*this, loadId, kRC_DataMismatch,
                          L"no finite value of component " + std::to_wstring(i + 1) + L" at step " +
                              std::to_wstring(step));
    }
    values = std::move(read);
    return kRC_Success;
}
