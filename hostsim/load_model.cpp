// Load, variable and entry objects that answer in the caller's units; table and polynomial evaluation.
#include "hostsim/load_model.h"

#include <algorithm>
#include <cmath>

#include "foundation/unit_systems.h"
#include "platform/com_object.h"

namespace {

using LoadData = std::shared_ptr<const HostSimLoadData>;

// Converts between a unit system the caller names and the stored one. Quantity 0 is a plain
// number; the caller's system must still be one the host knows.
bool Convert(int from, int to, int unitQuantity, double& value) {
    const UnitSystemTable& table = GetUnitSystemTable();
    if (unitQuantity == kQuantityNone) return table.IsKnownSystem(from) && table.IsKnownSystem(to);
    return table.TryConvert(from, to, unitQuantity, value);
}

int AbscissaQuantity(int independent) {
    return independent == kLoadIndependentTime ? kQuantityTime : kQuantityLength;
}

[[nodiscard]] HRESULT StepActivity(const std::vector<bool>& steps, int step, bool& active) {
    active = false;
    if (step < 1 || step > static_cast<int>(steps.size())) return E_INVALIDARG;
    active = steps[step - 1];
    return S_OK;
}

// The value at an abscissa given in the caller's system, answered in that system.
[[nodiscard]] HRESULT EvaluateIn(const HostSimLoadData& load, const HostSimLoadVariable& variable, double at,
                                 int unitSystem, double& value) {
    if (variable.definitionKind != kLoadDefinitionDefined) return E_FAIL;
    if (!std::isfinite(at) ||
        !Convert(unitSystem, load.unitSystem, AbscissaQuantity(variable.independent), at))
        return E_INVALIDARG;
    double stored = 0.0;
    if (!EvaluateStoredEntry(variable.entry, at, stored)) return E_FAIL;
    if (!Convert(load.unitSystem, unitSystem, variable.entry.unitQuantity, stored)) return E_INVALIDARG;
    value = stored;
    return S_OK;
}

class HostSimLoadEntryObject : public ComObject<HostSimLoadEntryObject, IHostLoadEntry> {
  public:
    HostSimLoadEntryObject(LoadData data, std::size_t variable)
        : data_(std::move(data)), variable_(variable) {}

    [[nodiscard]] HRESULT GetKind(int& kind) override {
        kind = Variable().entry.kind;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetQuantity(int& quantity) override {
        quantity = Variable().entry.quantity;
        return S_OK;
    }
    [[nodiscard]] HRESULT Evaluate(double at, int unitSystem, double& value) override {
        return EvaluateIn(*data_, Variable(), at, unitSystem, value);
    }

  private:
    const HostSimLoadVariable& Variable() const { return data_->variables[variable_]; }
    LoadData data_;
    std::size_t variable_;
};

class HostSimLoadVariableObject : public ComObject<HostSimLoadVariableObject, IHostLoadVariable> {
  public:
    HostSimLoadVariableObject(LoadData data, std::size_t variable)
        : data_(std::move(data)), variable_(variable) {}

    [[nodiscard]] HRESULT GetIndex(int& index) override {
        index = Variable().index;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetIdAndFlag(int& id, int& flag) override {
        id = Variable().id;
        flag = Variable().flag;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetName(std::wstring& name) override {
        name = Variable().name;
        return S_OK;
    }
    [[nodiscard]] HRESULT IsActiveInStep(int step, bool& active) override {
        const std::vector<bool>& steps = Variable().activeSteps;
        return StepActivity(steps.empty() ? data_->activeSteps : steps, step, active);
    }
    [[nodiscard]] HRESULT GetDefinition(HostLoadDefinition& definition) override {
        definition.kind = Variable().definitionKind;
        definition.independentQuantity = IsFree() ? kLoadIndependentNone : Variable().independent;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetFirstEntry(IHostLoadEntry** entry) override {
        if (!entry) return E_POINTER;
        *entry = nullptr;
        if (IsFree()) return S_FALSE;
        return CreateComInstanceWith<HostSimLoadEntryObject>(
            nullptr, IHostLoadEntry::iid(), reinterpret_cast<void**>(entry),
            [&] { return new HostSimLoadEntryObject(data_, variable_); });
    }
    [[nodiscard]] HRESULT GetRowCount(int& rows) override {
        rows = IsFree() ? 0 : static_cast<int>(Variable().entry.rows.size());
        return S_OK;
    }
    [[nodiscard]] HRESULT GetRowTime(int row, int unitSystem, double& time) override {
        const HostSimLoadVariable& v = Variable();
        if (IsFree() || row < 1 || row > static_cast<int>(v.entry.rows.size())) return E_INVALIDARG;
        double at = v.entry.rows[row - 1].first;
        if (!Convert(data_->unitSystem, unitSystem, AbscissaQuantity(v.independent), at)) return E_INVALIDARG;
        time = at;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetValueAt(double at, int quantity, int unitSystem, double& value) override {
        if (IsFree()) return E_FAIL;
        if (!CarriesQuantity(quantity)) return E_INVALIDARG;
        return EvaluateIn(*data_, Variable(), at, unitSystem, value);
    }
    [[nodiscard]] HRESULT EvaluateAtPositions(const std::vector<double>& positions, int quantity,
                                              int unitSystem, std::vector<double>& values) override {
        values.clear();
        if (IsFree()) return E_FAIL;
        if (Variable().independent == kLoadIndependentTime || !CarriesQuantity(quantity)) return E_INVALIDARG;
        std::vector<double> out;
        out.reserve(positions.size());
        for (double position : positions) {
            double value = 0.0;
            const HRESULT hr = EvaluateIn(*data_, Variable(), position, unitSystem, value);
            if (FAILED(hr)) return hr;
            out.push_back(value);
        }
        values = std::move(out);
        return S_OK;
    }

  private:
    const HostSimLoadVariable& Variable() const { return data_->variables[variable_]; }
    bool IsFree() const { return Variable().definitionKind != kLoadDefinitionDefined; }
    bool CarriesQuantity(int quantity) const {
        return quantity == Variable().entry.quantity || quantity == kLoadQuantityComponent ||
               quantity == kLoadQuantityRotation;
    }
    LoadData data_;
    std::size_t variable_;
};

class HostSimLoadObject : public ComObject<HostSimLoadObject, IHostLoad> {
  public:
    explicit HostSimLoadObject(LoadData data) : data_(std::move(data)) {}

    [[nodiscard]] HRESULT GetId(int& id) override {
        id = data_->id;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetLoadType(int& type) override {
        type = data_->type;
        return S_OK;
    }
    [[nodiscard]] HRESULT IsActiveInStep(int step, bool& active) override {
        return StepActivity(data_->activeSteps, step, active);
    }
    [[nodiscard]] HRESULT GetVariable(int index, IHostLoadVariable** variable) override {
        return Hand([&](const HostSimLoadVariable& v) { return v.index == index; }, variable);
    }
    [[nodiscard]] HRESULT GetVariableById(int id, int flag, IHostLoadVariable** variable) override {
        return Hand([&](const HostSimLoadVariable& v) { return v.id == id && v.flag == flag; }, variable);
    }
    [[nodiscard]] HRESULT GetProperty(int property, int unitSystem, double& value) override {
        auto it = data_->properties.find(property);
        double answer = it == data_->properties.end() ? 0.0 : it->second;
        if (it == data_->properties.end() || !Convert(data_->unitSystem, unitSystem, kQuantityNone, answer))
            return E_INVALIDARG;
        value = answer;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetSamplingCount(int& count) override {
        count = data_->samplingCount;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetCoordinateSystemId(int& id) override {
        id = data_->coordinateSystemId;
        return S_OK;
    }

  private:
    template <class Match>
    [[nodiscard]] HRESULT Hand(Match match, IHostLoadVariable** variable) {
        if (!variable) return E_POINTER;
        *variable = nullptr;
        for (std::size_t i = 0; i < data_->variables.size(); ++i) {
            if (!match(data_->variables[i])) continue;
            return CreateComInstanceWith<HostSimLoadVariableObject>(
                nullptr, IHostLoadVariable::iid(), reinterpret_cast<void**>(variable),
                [&] { return new HostSimLoadVariableObject(data_, i); });
        }
        return S_FALSE;
    }
    LoadData data_;
};

}  // namespace

bool EvaluateStoredEntry(const HostSimLoadEntry& entry, double at, double& value) {
    double result = 0.0;
    if (entry.kind == kLoadEntryTable) {
        const auto& rows = entry.rows;
        if (rows.empty()) return false;
        if (at <= rows.front().first) {
            result = rows.front().second;
        } else if (at >= rows.back().first) {
            result = rows.back().second;
        } else {
            // The first row at or after the abscissa ends the span it lies in; the abscissas
            // ascend, so it is found by halving, not by a walk from the first row.
            const auto end = std::lower_bound(rows.begin() + 1, rows.end() - 1, at,
                                              [](const auto& row, double x) { return row.first < x; });
            const auto& [x0, y0] = *(end - 1);
            const auto& [x1, y1] = *end;
            result = y0 + (y1 - y0) * (at - x0) / (x1 - x0);
        }
    } else {
        // Horner's scheme, highest power first.
        for (auto c = entry.coefficients.rbegin(); c != entry.coefficients.rend(); ++c)
            result = result * at + *c;
    }
    if (!std::isfinite(result)) return false;
    value = result;
    return true;
}

ComPtr<IUnknown> CreateHostSimLoad(std::shared_ptr<const HostSimLoadData> data) {
    ComPtr<IUnknown> load;
    if (!data) return load;
    (void)CreateComInstanceWith<HostSimLoadObject>(nullptr, IID_IUnknown, load.ReleaseAndGetVoidAddress(),
                                                   [&] { return new HostSimLoadObject(data); });
    return load;
}
