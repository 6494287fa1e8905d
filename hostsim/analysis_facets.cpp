// Facet answers from an object's entry: steps changed only at the end, time tables, regions, loads, lookup.
#include "hostsim/analysis_facets.h"

#include <algorithm>
#include <cmath>

#include "hostsim/object_model.h"
#include "platform/com_object.h"

bool HostSimObjectRef::Entry(HostSimObject& out) const { return model && model->Get(id, out); }

void HostSimObjectRef::Record(std::string line) const {
    if (model) model->Calls()->Record(std::move(line));
}

namespace {

std::string ObjectText(int id) { return "object " + std::to_string(id); }

// Records the call, marked when the host refused it.
[[nodiscard]] HRESULT Logged(const HostSimObjectRef& ref, HRESULT hr, const std::string& line) {
    ref.Record(FAILED(hr) ? line + " refused" : line);
    return hr;
}

// Steps are added after the last one and removed from the end, one at a time, as the analysis
// grows and shrinks; anything else would leave the object's steps out of line with the analysis.
[[nodiscard]] HRESULT ChangeSteps(const HostSimObjectRef& ref, std::uint32_t step, bool add) {
    return ref.model->Change(ref.id, [&](HostSimObject& o) -> HRESULT {
        if (!o.steps) return E_FAIL;
        const std::uint32_t count = *o.steps;
        if (add) {
            if (step == 0 || step != count + 1 || (o.stepLimit && step > *o.stepLimit)) return E_INVALIDARG;
            o.steps = step;
        } else {
            if (step == 0 || step != count) return E_INVALIDARG;
            o.steps = count - 1;
        }
        return S_OK;
    });
}

// The value object of a time table: the entries of its owner.
class HostSimTimeTable : public ComObject<HostSimTimeTable, IHostTimeTable> {
  public:
    explicit HostSimTimeTable(HostSimObjectRef owner) : owner_(std::move(owner)) {}

    [[nodiscard]] HRESULT GetEntryCount(int& count) override {
        count = 0;
        HostSimObject o;
        if (!owner_.Entry(o) || !o.timeTable) return E_FAIL;
        count = static_cast<int>(o.timeTable->size());
        return S_OK;
    }
    [[nodiscard]] HRESULT GetEntryKind(int entry, int& kind) override {
        kind = 0;
        HostSimObject o;
        if (!owner_.Entry(o) || !o.timeTable) return E_FAIL;
        if (entry < 1 || static_cast<std::size_t>(entry) > o.timeTable->size()) return E_INVALIDARG;
        kind = (*o.timeTable)[static_cast<std::size_t>(entry) - 1].kind;
        return S_OK;
    }
    [[nodiscard]] HRESULT SetEntryTime(int entry, int position, VARIANT selector, int value,
                                       double time) override {
        const HRESULT hr = owner_.model->Change(owner_.id, [&](HostSimObject& o) -> HRESULT {
            if (!o.timeTable) return E_FAIL;
            if (selector.vt != VT_I4 || !std::isfinite(time)) return E_INVALIDARG;
            if (entry < 1 || static_cast<std::size_t>(entry) > o.timeTable->size()) return E_INVALIDARG;
            std::vector<double>& times = (*o.timeTable)[static_cast<std::size_t>(entry) - 1].times;
            if (position < 1 || static_cast<std::size_t>(position) > times.size()) return E_INVALIDARG;
            times[static_cast<std::size_t>(position) - 1] = time;
            return S_OK;
        });
        return Logged(owner_, hr,
                      "time of entry " + std::to_string(entry) + " position " + std::to_string(position) +
                          " of " + ObjectText(owner_.id) + ": " + FormatCallLogNumber(time));
    }

  private:
    HostSimObjectRef owner_;
};

}  // namespace

namespace hostsim_facets {

HRESULT StepCarrier::AddStep(std::uint32_t step) {
    return Logged(ref_, ChangeSteps(ref_, step, true),
                  "add step " + std::to_string(step) + " to " + ObjectText(ref_.id));
}

HRESULT StepCarrier::RemoveStep(std::uint32_t step) {
    return Logged(ref_, ChangeSteps(ref_, step, false),
                  "remove step " + std::to_string(step) + " from " + ObjectText(ref_.id));
}

HRESULT StepRows::InsertStepRow(std::uint32_t step) {
    return Logged(ref_, ChangeSteps(ref_, step, true),
                  "insert step row " + std::to_string(step) + " into " + ObjectText(ref_.id));
}

HRESULT StepRows::DeleteStepRow(std::uint32_t step) {
    return Logged(ref_, ChangeSteps(ref_, step, false),
                  "delete step row " + std::to_string(step) + " from " + ObjectText(ref_.id));
}

HRESULT StepCount::SetStepCount(std::uint32_t count) {
    const HRESULT hr = ref_.model->Change(ref_.id, [&](HostSimObject& o) -> HRESULT {
        if (!o.stepCount) return E_FAIL;
        if (count == 0 || (o.stepLimit && count > *o.stepLimit)) return E_INVALIDARG;
        o.stepCount = count;
        return S_OK;
    });
    return Logged(ref_, hr, "step count " + std::to_string(count) + " on " + ObjectText(ref_.id));
}

HRESULT TimeTableOwner::GetValueObject(IUnknown** table) {
    if (!table) return E_POINTER;
    *table = nullptr;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.timeTable) return E_FAIL;
    ComPtr<HostSimTimeTable> value = MakeComObject<HostSimTimeTable>(ref_);
    if (!value) return E_OUTOFMEMORY;
    return value->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(table));
}

HRESULT AnalysisTime::SetCurrentTime(double time) {
    const HRESULT hr = ref_.model->Change(ref_.id, [&](HostSimObject& o) -> HRESULT {
        if (!std::isfinite(time)) return E_INVALIDARG;
        o.currentTime = time;
        return S_OK;
    });
    return Logged(ref_, hr, "current time of " + ObjectText(ref_.id) + ": " + FormatCallLogNumber(time));
}

HRESULT ContactRegion::GetKind(int& kind) {
    kind = 0;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.contactRegion) return E_FAIL;
    kind = o.contactRegion->kind;
    return S_OK;
}

HRESULT ContactRegion::IsSuppressed(bool& suppressed) {
    suppressed = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.contactRegion) return E_FAIL;
    suppressed = o.contactRegion->suppressed;
    return S_OK;
}

HRESULT CyclicRegion::IsSuppressed(bool& suppressed) {
    suppressed = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.cyclicRegion) return E_FAIL;
    suppressed = o.cyclicRegion->suppressed;
    return S_OK;
}

HRESULT CyclicRegion::GetKind(int& kind) {
    kind = 0;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.cyclicRegion) return E_FAIL;
    kind = o.cyclicRegion->kind;
    return S_OK;
}

HRESULT LoadObject::GetHostType(int& type) {
    type = 0;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.loadObject) return E_FAIL;
    type = o.loadObject->hostType;
    return S_OK;
}

HRESULT LoadObject::IsSuppressed(bool& suppressed) {
    suppressed = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.loadObject) return E_FAIL;
    suppressed = o.loadObject->suppressed;
    return S_OK;
}

HRESULT LoadObject::GetValueRowCount(int& rows) {
    rows = 0;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.loadObject) return E_FAIL;
    rows = o.loadObject->rows;
    return S_OK;
}

HRESULT LoadObject::IsScopedToBody(bool& scoped) {
    scoped = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.loadObject) return E_FAIL;
    scoped = o.loadObject->scopedToBody;
    return S_OK;
}

HRESULT LoadFinder::FindLoadOfKind(int kind, IUnknown** load) {
    if (!load) return E_POINTER;
    *load = nullptr;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.loadsByKind) return E_FAIL;
    const auto it = o.loadsByKind->find(kind);
    if (it == o.loadsByKind->end()) return S_FALSE;
    ComPtr<IUnknown> found = CreateHostSimObject(ref_.model, it->second);
    if (!found) return E_FAIL;
    *load = found.Detach();
    return S_OK;
}

HRESULT EnvironmentLink::GetLinkedObjectId(int& id) {
    id = 0;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.linkedObjectId) return E_FAIL;
    id = *o.linkedObjectId;
    return S_OK;
}

HRESULT BodyState::IsSuppressed(bool& suppressed) {
    suppressed = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.body) return E_FAIL;
    suppressed = o.body->suppressed;
    return S_OK;
}

HRESULT BodyState::IsFlexible(bool& flexible) {
    flexible = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.body) return E_FAIL;
    flexible = o.body->flexible;
    return S_OK;
}

HRESULT MaterialBehaviour::IsNonlinear(int analysisKind, bool& nonlinear) {
    nonlinear = false;
    HostSimObject o;
    if (!ref_.Entry(o) || !o.materialNonlinearKinds) return E_FAIL;
    const std::vector<int>& kinds = *o.materialNonlinearKinds;
    nonlinear = std::find(kinds.begin(), kinds.end(), analysisKind) != kinds.end();
    return S_OK;
}

}  // namespace hostsim_facets

HostSimAnalysisFacets::HostSimAnalysisFacets(const HostSimObjectRef& ref)
    : StepCarrier(ref),
      StepRows(ref),
      StepCount(ref),
      TimeTableOwner(ref),
      AnalysisTime(ref),
      ContactRegion(ref),
      CyclicRegion(ref),
      LoadObject(ref),
      LoadFinder(ref),
      EnvironmentLink(ref),
      BodyState(ref),
      MaterialBehaviour(ref),
      ref_(ref) {}

void* HostSimAnalysisFacets::FindAnalysisFacet(REFIID iid) {
    if (iid == IID_IHostAnalysisTime) return static_cast<IHostAnalysisTime*>(this);
    HostSimObject o;
    if (!ref_.Entry(o)) return nullptr;
    const bool stepRows = o.type == kHostStepHistoryType;
    if (iid == IID_IHostStepCarrier && o.steps && !stepRows) return static_cast<IHostStepCarrier*>(this);
    if (iid == IID_IHostStepRows && o.steps && stepRows) return static_cast<IHostStepRows*>(this);
    if (iid == IID_IHostStepCount && o.stepCount) return static_cast<IHostStepCount*>(this);
    if (iid == IID_IHostTimeTableOwner && o.timeTable) return static_cast<IHostTimeTableOwner*>(this);
    if (iid == IID_IHostContactRegion && o.contactRegion) return static_cast<IHostContactRegion*>(this);
    if (iid == IID_IHostCyclicRegion && o.cyclicRegion) return static_cast<IHostCyclicRegion*>(this);
    if (iid == IID_IHostLoadObject && o.loadObject) return static_cast<IHostLoadObject*>(this);
    if (iid == IID_IHostLoadFinder && o.loadsByKind) return static_cast<IHostLoadFinder*>(this);
    if (iid == IID_IHostEnvironmentLink && o.linkedObjectId) return static_cast<IHostEnvironmentLink*>(this);
    if (iid == IID_IHostBodyState && o.body) return static_cast<IHostBodyState*>(this);
    if (iid == IID_IHostMaterialBehaviour && o.materialNonlinearKinds)
        return static_cast<IHostMaterialBehaviour*>(this);
    return nullptr;
}
