// The settings object's load steps and times, the output requests it keeps per step, and the
// questions it asks the host's tree: the per-step objects under the analysis, the time tables
// of its loads, the time display and what makes the analysis nonlinear.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>

#include "addin/dorvix_analysis_settings.h"
#include "foundation/analysis_kind.h"
#include "foundation/numeric.h"
#include "host/object_model.h"
#include "host/object_types.h"
#include "runtime/addin_services.h"
#include "settings/output_controls.h"
#include "settings/settings_types.h"
#include "settings/solver_controls.h"
#include "settings/step_controls.h"
#include "settings/step_controls_list.h"

namespace {

using Settings = CDorvixAnalysisSettings;

// The host's codes behind the nonlinear test: contact-region kinds that make an analysis
// nonlinear, the load kinds asked of the load finder (in this order), the host type of a
// tabular load and the host types of loads that are nonlinear by themselves.
constexpr int kNonlinearContactKinds[] = {3, 4};
constexpr int kVaryingThermalLoadKinds[] = {11, 10};
constexpr int kNonlinearThermalLoadTypes[] = {565, 566};
// Time-table entries that start at step 1's end time, and the kind among them that keeps that
// time in its second position.
constexpr int kTimedEntryKinds[] = {0, 3, 4};
constexpr int kSecondPositionEntryKind = 4;

template <std::size_t N>
bool IsOneOf(int value, const int (&codes)[N]) {
    return std::find(std::begin(codes), std::end(codes), value) != std::end(codes);
}

// A step's end time and a new one within this relative distance are the same.
constexpr double kSameEndTime = 1e-10;

// The step with a 1-based index, null for 0 or an index beyond the list.
DorvixStepControls* StepAt(const DorvixStepControlsList& list, std::uint32_t index) {
    if (index == 0 || index > static_cast<std::uint32_t>(list.GetCount())) return nullptr;
    return list.GetStep(static_cast<int>(index));
}

ComPtr<IUnknown> HostObject(int id) { return AddinServices::GetInstance().GetObjectById(id); }

int HostTypeOf(IUnknown* object) {
    int type = 0;
    ComPtr<IHostObject> host = ComPtr<IUnknown>(object).As<IHostObject>();
    if (!host || FAILED(host->GetType(type))) return 0;
    return type;
}

}  // namespace

// ---- times ----

HRESULT Settings::get_CurrentTime(double* time) {
    if (!time) return E_POINTER;
    *time = currentTime_;
    return S_OK;
}

HRESULT Settings::put_CurrentTime(double time) {
    DorvixStepControls* step = stepList_ ? stepList_->GetStepAtTime(time) : nullptr;
    SelectStep(step);
    if (!step) return E_FAIL;
    currentTime_ = time;
    return S_OK;
}

HRESULT Settings::GetStepEndTime(std::uint32_t step, double* time) {
    if (!time) return E_POINTER;
    if (!stepList_) return E_POINTER;
    const DorvixStepControls* found = StepAt(*stepList_, step);
    if (!found) return S_FALSE;
    *time = found->GetEndTime();
    return S_OK;
}

HRESULT Settings::SetStepEndTime(std::uint32_t step, double time) try {
    if (!stepList_) return E_FAIL;
    DorvixStepControls* found = StepAt(*stepList_, step);
    if (!found) return E_FAIL;
    if (AreEqualRelative(found->GetEndTime(), time, kSameEndTime)) return S_FALSE;
    if (found->SetEndTime(time) != kSettingsDone) return E_FAIL;
    if (step == 1) SetHostTableTimes(time);
    MakeCurrent(found);
    RefreshHostTime();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

void Settings::SetHostTableTimes(double time) {
    const int analysisId = GetOwnerAnalysisId();
    if (analysisId == 0) return;
    for (int childId : AddinServices::GetInstance().GetObjectChildIds(analysisId)) {
        ComPtr<IHostTimeTableOwner> owner = HostObject(childId).As<IHostTimeTableOwner>();
        if (!owner) continue;
        ComPtr<IUnknown> value;
        if (FAILED(owner->GetValueObject(value.ReleaseAndGetAddressOf())) || !value) continue;
        ComPtr<IHostTimeTable> table = value.As<IHostTimeTable>();
        int count = 0;
        if (!table || FAILED(table->GetEntryCount(count))) continue;
        for (int entry = 1; entry <= count; ++entry) {
            int kind = -1;
            if (FAILED(table->GetEntryKind(entry, kind))) continue;
            if (!IsOneOf(kind, kTimedEntryKinds)) continue;
            VARIANT column{};
            column.vt = VT_I4;
            column.lVal = 0;
            (void)table->SetEntryTime(entry, kind == kSecondPositionEntryKind ? 2 : 1, column, 0, time);
        }
    }
}

HRESULT Settings::put_EndTime(double time) {
    if (!stepList_ || !currentStep_) return E_FAIL;
    // -1 (a step the list does not hold) reaches SetStepEndTime as an index beyond every step.
    const int index = stepList_->GetStepIndex(currentStep_);
    const HRESULT hr = SetStepEndTime(static_cast<std::uint32_t>(index), time);
    NotifyChange();
    return hr;
}

// ---- steps ----

HRESULT Settings::put_CurrentStepNumber(std::uint32_t number) try {
    if (number == 0) return E_FAIL;
    if (!stepList_) return E_POINTER;
    // A number beyond the steps leaves the current step as it is.
    DorvixStepControls* step = StepAt(*stepList_, number);
    if (step && step != currentStep_) {
        MakeCurrent(step);
        RefreshHostTime();
    }
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT Settings::put_NumberOfSteps(std::uint32_t count) try {
    if (count == 0) return E_FAIL;
    if (!stepList_) return E_POINTER;
    const auto oldCount = static_cast<std::uint32_t>(stepList_->GetCount());
    if (count == oldCount) return S_OK;
    // Every step carries controls of its own: the count is bounded, so that a mistyped number
    // cannot take the memory and time of millions of steps.
    if (count > static_cast<std::uint32_t>(kMaxStepCount)) return E_INVALIDARG;
    const int remembered = currentStep_ ? stepList_->GetStepIndex(currentStep_) : 1;
    const bool done = stepList_->SetNumberOfSteps(static_cast<int>(count)) == kSettingsDone;
    // A removed current step gives way to the last step the list holds now (a failed change
    // may have kept part of itself).
    DorvixStepControls* step =
        stepList_->GetStep(std::clamp(remembered, 1, std::max(stepList_->GetCount(), 1)));
    SelectStep(step);
    if (!done) return E_FAIL;
    const HRESULT hr = ResizeHostSteps(oldCount, count);
    if (FAILED(hr)) return hr;
    MakeCurrent(step);
    RefreshHostTime();
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT Settings::ResizeHostSteps(std::uint32_t oldCount, std::uint32_t count) {
    AddinServices& services = AddinServices::GetInstance();
    const int analysisId = GetOwnerAnalysisId();
    if (analysisId == 0) return S_OK;
    for (int childId : services.GetObjectChildIds(analysisId)) {
        ComPtr<IUnknown> child = HostObject(childId);
        if (!child) continue;
        const int type = HostTypeOf(child.Get());
        if (type == kHostStepLoadType || type == kHostStepSupportType) {
            ComPtr<IHostStepCarrier> carrier = child.As<IHostStepCarrier>();
            if (!carrier) continue;
            for (std::uint32_t s = oldCount; s > count; --s) (void)carrier->RemoveStep(s);
            for (std::uint32_t s = oldCount + 1; s <= count; ++s) (void)carrier->AddStep(s);
        } else if (type == kHostStepHistoryType) {
            ComPtr<IHostStepRows> rows = child.As<IHostStepRows>();
            if (!rows) continue;
            for (std::uint32_t s = oldCount; s > count; --s) (void)rows->DeleteStepRow(s);
            for (std::uint32_t s = oldCount + 1; s <= count; ++s) (void)rows->InsertStepRow(s);
        } else if (type == kHostStepCountParentType) {
            for (int grandChildId : services.GetObjectChildIds(childId)) {
                ComPtr<IHostStepCount> stepCount = HostObject(grandChildId).As<IHostStepCount>();
                if (!stepCount) continue;
                const HRESULT hr = stepCount->SetStepCount(count);
                if (FAILED(hr)) return hr;
            }
        }
    }
    return S_OK;
}

// ---- output requests ----

HRESULT Settings::RequestOutput(int code, VARIANT_BOOL value, bool everyStepWithList) try {
    if (!settings_) return E_POINTER;
    const bool on = value == VARIANT_TRUE;
    if (IsStepAnalysisType(analysisType_) || (everyStepWithList && stepList_)) {
        if (!stepList_) return E_POINTER;
        const int count = stepList_->GetCount();
        for (int i = 1; i <= count; ++i) {
            DorvixStepControls* step = stepList_->GetStep(i);
            MakeCurrent(step);
            step->GetOutputControls().SetOutputRequested(code, on);
        }
    } else if (IsEigenAnalysisType(analysisType_)) {
        if (!outputControls_) return E_POINTER;
        outputControls_->SetOutputRequested(code, on);
    }
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT Settings::put_CalculateStress(VARIANT_BOOL value) {
    return RequestOutput(kStressOutput, value, false);
}
HRESULT Settings::put_CalculateStrain(VARIANT_BOOL value) {
    return RequestOutput(kStrainOutput, value, false);
}
HRESULT Settings::put_CalculateContact(VARIANT_BOOL value) {
    return RequestOutput(kContactOutput, value, true);
}

// Thermal flux is asked of the current output controls alone.
HRESULT Settings::put_CalculateThermalFlux(VARIANT_BOOL value) try {
    if (!outputControls_) return E_POINTER;
    outputControls_->SetOutputRequested(kThermalFluxOutput, value == VARIANT_TRUE);
    NotifyChange();
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

// ---- the nonlinear test ----

HRESULT Settings::AnswerNonLinear(VARIANT_BOOL* nonLinear) {
    *nonLinear = VARIANT_FALSE;
    if (IsNonLinearByHost() || (solverControls_ && solverControls_->GetUseLargeDeformation()))
        *nonLinear = VARIANT_TRUE;
    return S_OK;
}

namespace {

bool IsNonlinearContactKind(int kind) { return IsOneOf(kind, kNonlinearContactKinds); }

// A load whose value varies along its table and which is applied to a body.
bool IsVaryingBodyLoad(IHostLoadObject* load) {
    int rows = 0;
    bool scoped = false;
    return SUCCEEDED(load->GetValueRowCount(rows)) && rows > 1 && SUCCEEDED(load->IsScopedToBody(scoped)) &&
           scoped;
}

// The thermal loads that make a thermal analysis nonlinear.
bool HasNonlinearThermalLoad(int analysisId) {
    AddinServices& services = AddinServices::GetInstance();
    const int loadGroupId = services.GetObjectProperty(analysisId, kHostParentProperty);
    if (ComPtr<IHostLoadFinder> finder = HostObject(loadGroupId).As<IHostLoadFinder>()) {
        for (int kind : kVaryingThermalLoadKinds) {
            ComPtr<IUnknown> found;
            if (FAILED(finder->FindLoadOfKind(kind, found.ReleaseAndGetAddressOf())) || !found) continue;
            ComPtr<IHostLoadObject> load = found.As<IHostLoadObject>();
            if (load && IsVaryingBodyLoad(load.Get())) return true;
        }
    }
    for (int id : services.GetObjectIdList(analysisId, kHostAnalysisLoadList)) {
        ComPtr<IHostLoadObject> load = HostObject(id).As<IHostLoadObject>();
        int type = 0;
        bool suppressed = true;
        int rows = 0;
        if (!load || FAILED(load->GetHostType(type)) || FAILED(load->IsSuppressed(suppressed)) || suppressed)
            continue;
        if (IsOneOf(type, kNonlinearThermalLoadTypes)) return true;
        if (type == kHostTabularThermalLoadType && SUCCEEDED(load->GetValueRowCount(rows)) && rows > 1)
            return true;
    }
    return false;
}

// A flexible, active body whose material behaves nonlinearly in the analysis kind.
bool HasNonlinearMaterial(int settingsId, int analysisKind) {
    AddinServices& services = AddinServices::GetInstance();
    const int modelId = services.GetObjectProperty(settingsId, kHostModelProperty);
    for (int bodyId : services.GetObjectIdList(modelId, kHostBodyList)) {
        ComPtr<IHostBodyState> body = HostObject(bodyId).As<IHostBodyState>();
        bool suppressed = true;
        bool flexible = false;
        if (!body || FAILED(body->IsSuppressed(suppressed)) || FAILED(body->IsFlexible(flexible))) continue;
        if (suppressed || !flexible) continue;
        const int materialId = services.GetObjectProperty(bodyId, kHostBodyMaterialProperty);
        ComPtr<IHostMaterialBehaviour> material = HostObject(materialId).As<IHostMaterialBehaviour>();
        bool nonlinear = false;
        if (material && SUCCEEDED(material->IsNonlinear(analysisKind, nonlinear)) && nonlinear) return true;
    }
    return false;
}

}  // namespace

template <class Region>
bool Settings::HasActiveRegion(int ownerId, int listCode, bool (*wanted)(int)) {
    for (int id : AddinServices::GetInstance().GetObjectIdList(ownerId, listCode)) {
        ComPtr<Region> region = HostObject(id).As<Region>();
        int kind = 0;
        bool suppressed = true;
        if (region && SUCCEEDED(region->GetKind(kind)) && SUCCEEDED(region->IsSuppressed(suppressed)) &&
            !suppressed && wanted(kind))
            return true;
    }
    return false;
}
template bool Settings::HasActiveRegion<IHostContactRegion>(int, int, bool (*)(int));
template bool Settings::HasActiveRegion<IHostCyclicRegion>(int, int, bool (*)(int));

bool Settings::IsNonLinearByHost() const {
    if (HasActiveRegion<IHostContactRegion>(analysisSettingsId_, kHostContactRegionList,
                                            &IsNonlinearContactKind))
        return true;
    if (physicsType_ == kPT_Thermal && HasNonlinearThermalLoad(GetOwnerAnalysisId())) return true;
    return HasNonlinearMaterial(analysisSettingsId_, MapAnalysisKindCode(physicsType_, analysisType_));
}
