// The locked study, value objects by kind (real, list, table, integer), parameters, collection and manager.
#include "hostsim/parameters.h"

#include <algorithm>

#include "platform/com_object.h"

HostSimStudy::HostSimStudy(std::vector<HostSimParameter> parameters) : parameters_(std::move(parameters)) {}

int HostSimStudy::Count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(parameters_.size());
}

bool HostSimStudy::Get(int index, HostSimParameter& out) const {
    std::lock_guard lock(mutex_);
    if (!IndexInRange(index, parameters_.size())) return false;
    out = parameters_[static_cast<std::size_t>(index)];
    return true;
}

HRESULT HostSimStudy::RecordSetting(std::wstring name, const VARIANT& value) {
    if (value.vt & VT_BYREF) return DISP_E_TYPEMISMATCH;
    HostSimSetting setting{std::move(name), {}};
    const HRESULT hr = VariantCopy(setting.value.Get(), &value);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(mutex_);
    settings_.push_back(std::move(setting));
    return S_OK;
}

std::vector<HostSimSetting> HostSimStudy::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

namespace {

using StudyPtr = std::shared_ptr<HostSimStudy>;

[[nodiscard]] HRESULT CopyText(std::wstring_view text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

template <class T>
[[nodiscard]] HRESULT ReadOptional(const std::optional<T>& held, T& out) {
    if (!held) return E_FAIL;
    out = *held;
    return S_OK;
}

// Base of the value objects: a parameter of the study, reached under the study's lock.
class ValueBase {
  public:
    ValueBase(StudyPtr study, int index) : study_(std::move(study)), index_(index) {}

  protected:
    template <class Change>
    [[nodiscard]] HRESULT With(Change&& change) {
        return study_->Update(index_, std::forward<Change>(change));
    }
    // A value the parameter does not hold (a list or table without a current entry, say): E_FAIL.
    template <class T>
    [[nodiscard]] HRESULT ReadMember(std::optional<T> HostSimParameter::*member, T& out) {
        return With([&](HostSimParameter& p) { return ReadOptional(p.*member, out); });
    }
    template <class T>
    [[nodiscard]] HRESULT WriteMember(std::optional<T> HostSimParameter::*member, T value) {
        return With([&](HostSimParameter& p) {
            p.*member = value;
            return S_OK;
        });
    }

    StudyPtr study_;
    int index_;
};

class RealValue : public ComObject<RealValue, IHostRealValue>, ValueBase {
  public:
    using ValueBase::ValueBase;
    [[nodiscard]] HRESULT GetValue(double& v) override { return ReadMember(&HostSimParameter::value, v); }
    [[nodiscard]] HRESULT SetValue(double v) override { return WriteMember(&HostSimParameter::value, v); }
    [[nodiscard]] HRESULT GetLowerBound(double& v) override {
        return ReadMember(&HostSimParameter::lowerBound, v);
    }
    [[nodiscard]] HRESULT SetLowerBound(double v) override {
        return WriteMember(&HostSimParameter::lowerBound, v);
    }
    [[nodiscard]] HRESULT GetUpperBound(double& v) override {
        return ReadMember(&HostSimParameter::upperBound, v);
    }
    [[nodiscard]] HRESULT SetUpperBound(double v) override {
        return WriteMember(&HostSimParameter::upperBound, v);
    }
    [[nodiscard]] HRESULT GetReferenceValue(double& v) override {
        return ReadMember(&HostSimParameter::referenceValue, v);
    }
    [[nodiscard]] HRESULT SetReferenceValue(double v) override {
        return WriteMember(&HostSimParameter::referenceValue, v);
    }
};

// The expression and output values: one real value each.
template <class Interface>
class SingleRealValue : public ComObject<SingleRealValue<Interface>, Interface>, ValueBase {
  public:
    using ValueBase::ValueBase;
    [[nodiscard]] HRESULT GetValue(double& v) override { return ReadMember(&HostSimParameter::value, v); }
    [[nodiscard]] HRESULT SetValue(double v) override { return WriteMember(&HostSimParameter::value, v); }
};

class ListValue : public ComObject<ListValue, IHostListValue>, ValueBase {
  public:
    using ValueBase::ValueBase;
    [[nodiscard]] HRESULT GetCurrentIndex(int& index) override {
        return ReadMember(&HostSimParameter::currentIndex, index);
    }
    [[nodiscard]] HRESULT GetValueAt(int index, double& value) override {
        return With([&](HostSimParameter& p) {
            if (!IndexInRange(index, p.listValues.size())) return E_INVALIDARG;
            value = p.listValues[static_cast<std::size_t>(index)];
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT SetValueAt(int index, double value) override {
        return With([&](HostSimParameter& p) {
            if (!IndexInRange(index, p.listValues.size())) return E_INVALIDARG;
            p.listValues[static_cast<std::size_t>(index)] = value;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetEntryCount(int& count) override {
        return With([&](HostSimParameter& p) {
            count = static_cast<int>(p.listValues.size());
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT SetEntryCount(int count) override {
        return With([&](HostSimParameter& p) {
            if (count < 0) return E_INVALIDARG;
            p.listValues.resize(static_cast<std::size_t>(count), 0.0);
            if (p.currentIndex && *p.currentIndex >= count) p.currentIndex.reset();
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetLowerBound(double& v) override {
        return ReadMember(&HostSimParameter::lowerBound, v);
    }
    [[nodiscard]] HRESULT SetLowerBound(double v) override {
        return WriteMember(&HostSimParameter::lowerBound, v);
    }
    [[nodiscard]] HRESULT GetUpperBound(double& v) override {
        return ReadMember(&HostSimParameter::upperBound, v);
    }
    [[nodiscard]] HRESULT SetUpperBound(double v) override {
        return WriteMember(&HostSimParameter::upperBound, v);
    }
    [[nodiscard]] HRESULT SelectValue(double value) override {
        return With([&](HostSimParameter& p) {
            auto it = std::find(p.listValues.begin(), p.listValues.end(), value);
            if (it == p.listValues.end()) return E_INVALIDARG;
            p.currentIndex = static_cast<int>(it - p.listValues.begin());
            return S_OK;
        });
    }
};

class TableValue : public ComObject<TableValue, IHostTableValue>, ValueBase {
  public:
    using ValueBase::ValueBase;
    [[nodiscard]] HRESULT GetCurrentIndex(int& index) override {
        return ReadMember(&HostSimParameter::currentIndex, index);
    }
    [[nodiscard]] HRESULT GetEntryCount(int index, int& count) override {
        return With([&](HostSimParameter& p) {
            if (index == -1) {
                count = static_cast<int>(p.tableEntries.size());
                return S_OK;
            }
            if (!IndexInRange(index, p.tableEntries.size())) return E_INVALIDARG;
            count = static_cast<int>(p.tableEntries[static_cast<std::size_t>(index)].size());
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetCell(int index, int column, VARIANT* cell) override {
        if (!cell) return E_POINTER;
        VariantInit(cell);
        return With([&](HostSimParameter& p) {
            if (!IndexInRange(index, p.tableEntries.size())) return E_INVALIDARG;
            const std::vector<HostSimCell>& cells = p.tableEntries[static_cast<std::size_t>(index)];
            if (column == -1) column = static_cast<int>(cells.size()) - 1;
            if (!IndexInRange(column, cells.size())) return E_INVALIDARG;
            const HostSimCell& c = cells[static_cast<std::size_t>(column)];
            if (const double* number = std::get_if<double>(&c)) {
                cell->vt = VT_R8;
                cell->dblVal = *number;
                return S_OK;
            }
            cell->bstrVal = SysAllocString(std::get<std::wstring>(c));
            if (!cell->bstrVal) return E_OUTOFMEMORY;
            cell->vt = VT_BSTR;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT SetCell(int index, int column, VARIANT cell) override {
        HostSimCell value;
        if (cell.vt == VT_BSTR) {
            value = std::wstring(BstrView(cell.bstrVal));
        } else {
            VariantHolder number;
            if (FAILED(VariantChangeType(number.Get(), &cell, 0, VT_R8))) return DISP_E_TYPEMISMATCH;
            value = number->dblVal;
        }
        return With([&](HostSimParameter& p) {
            if (index < 0 || static_cast<std::size_t>(index) > p.tableEntries.size()) return E_INVALIDARG;
            if (static_cast<std::size_t>(index) == p.tableEntries.size()) p.tableEntries.emplace_back();
            std::vector<HostSimCell>& cells = p.tableEntries[static_cast<std::size_t>(index)];
            if (column == -1) column = cells.empty() ? 0 : static_cast<int>(cells.size()) - 1;
            if (column < 0 || static_cast<std::size_t>(column) > cells.size()) return E_INVALIDARG;
            if (static_cast<std::size_t>(column) == cells.size())
                cells.push_back(std::move(value));
            else
                cells[static_cast<std::size_t>(column)] = std::move(value);
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetLowerBound(double& v) override {
        return ReadMember(&HostSimParameter::lowerBound, v);
    }
    [[nodiscard]] HRESULT GetUpperBound(double& v) override {
        return ReadMember(&HostSimParameter::upperBound, v);
    }
};

class IntegerValue : public ComObject<IntegerValue, IHostIntegerValue>, ValueBase {
  public:
    using ValueBase::ValueBase;
    [[nodiscard]] HRESULT GetValue(std::int32_t& value) override {
        return ReadMember(&HostSimParameter::integerValue, value);
    }
    [[nodiscard]] HRESULT SetValue(std::int32_t value) override {
        return WriteMember(&HostSimParameter::integerValue, value);
    }
    [[nodiscard]] HRESULT GetStep(std::int16_t& step) override {
        return ReadMember(&HostSimParameter::integerStep, step);
    }
    [[nodiscard]] HRESULT SetStep(std::int16_t step) override {
        return WriteMember(&HostSimParameter::integerStep, step);
    }
};

// The parameter at the index with a reference; E_INVALIDARG for an unknown index.
[[nodiscard]] HRESULT HandOutParameter(const StudyPtr& study, int index, IHostParameter** parameter) {
    if (!parameter) return E_POINTER;
    *parameter = nullptr;
    if (!IndexInRange(index, static_cast<std::size_t>(study->Count()))) return E_INVALIDARG;
    *parameter = CreateHostSimParameter(study, index).Detach();
    return *parameter ? S_OK : E_OUTOFMEMORY;
}

template <class T>
[[nodiscard]] HRESULT HandOut(const StudyPtr& study, int index, IUnknown** out) {
    return CreateComInstanceWith<T>(nullptr, IID_IUnknown, reinterpret_cast<void**>(out),
                                    [&] { return new T(study, index); });
}

class Parameter : public ComObject<Parameter, IHostParameter, IHostNamedPropertyOwner>, ValueBase {
  public:
    using ValueBase::ValueBase;

    // The value object answers the interface of the kind the parameter has when it is asked.
    [[nodiscard]] HRESULT GetValueObject(IUnknown** value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        int kind = 0;
        int subKind = 0;
        const HRESULT read = With([&](HostSimParameter& p) {
            kind = p.kind;
            subKind = p.subKind;
            return S_OK;
        });
        if (FAILED(read)) return E_FAIL;
        switch (kind) {
            case kHostParameterReal:
                if (subKind == kHostParameterInput) return HandOut<RealValue>(study_, index_, value);
                if (subKind == kHostParameterDerived)
                    return HandOut<SingleRealValue<IHostExpressionValue>>(study_, index_, value);
                return S_OK;
            case kHostParameterOutput:
                if (subKind == kHostParameterDerived)
                    return HandOut<SingleRealValue<IHostOutputValue>>(study_, index_, value);
                return S_OK;
            case kHostParameterList:
                return HandOut<ListValue>(study_, index_, value);
            case kHostParameterTable:
                return HandOut<TableValue>(study_, index_, value);
            case kHostParameterInteger:
                return HandOut<IntegerValue>(study_, index_, value);
            default:
                return S_OK;
        }
    }
    [[nodiscard]] HRESULT GetKind(int& kind) override {
        return With([&](HostSimParameter& p) {
            kind = p.kind;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetSubKind(int& subKind) override {
        return With([&](HostSimParameter& p) {
            subKind = p.subKind;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetName(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return With([&](HostSimParameter& p) { return CopyText(p.name, name); });
    }
    [[nodiscard]] HRESULT SetName(BSTR name) override {
        return With([&](HostSimParameter& p) {
            p.name = BstrView(name);
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetDescription(BSTR* text) override {
        if (!text) return E_POINTER;
        *text = nullptr;
        return With([&](HostSimParameter& p) { return CopyText(p.description, text); });
    }
    [[nodiscard]] HRESULT SetDescription(VARIANT text) override {
        if (text.vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        return With([&](HostSimParameter& p) {
            p.description = BstrView(text.bstrVal);
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT SetKind(int kind) override {
        return With([&](HostSimParameter& p) {
            p.kind = kind;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT SetSubKind(int subKind) override {
        return With([&](HostSimParameter& p) {
            p.subKind = subKind;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetNamedProperties(IHostNamedPropertyCollection** properties) override {
        if (!properties) return E_POINTER;
        *properties = CreateHostSimNamedProperties(study_, index_).Detach();
        return *properties ? S_OK : E_OUTOFMEMORY;
    }
};

class ParameterCollection : public ComObject<ParameterCollection, IHostParameterCollection> {
  public:
    explicit ParameterCollection(StudyPtr study) : study_(std::move(study)) {}
    [[nodiscard]] HRESULT GetCount(int& count) override {
        count = study_->Count();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetItem(VARIANT index, IHostParameter** item) override {
        if (!item) return E_POINTER;
        if (index.vt == VT_I4) return HandOutParameter(study_, index.lVal, item);
        *item = nullptr;
        return DISP_E_TYPEMISMATCH;
    }

  private:
    StudyPtr study_;
};

class ParameterManager : public ComObject<ParameterManager, IHostParameterManager, IHostStudy> {
  public:
    explicit ParameterManager(StudyPtr study) : study_(std::move(study)) {}
    [[nodiscard]] HRESULT GetParameters(IHostParameterCollection** parameters) override {
        if (!parameters) return E_POINTER;
        *parameters = nullptr;
        return CreateComInstanceWith<ParameterCollection>(nullptr, IHostParameterCollection::iid(),
                                                          reinterpret_cast<void**>(parameters),
                                                          [&] { return new ParameterCollection(study_); });
    }
    // The host keeps no setting without a value.
    [[nodiscard]] HRESULT SetSetting(BSTR name, VARIANT value) override {
        if (value.vt == VT_EMPTY) return E_INVALIDARG;
        return study_->RecordSetting(std::wstring(BstrView(name)), value);
    }
    [[nodiscard]] HRESULT GetParameterCount(int& count) override {
        count = study_->Count();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetParameter(int index, IHostParameter** parameter) override {
        return HandOutParameter(study_, index, parameter);
    }

  private:
    StudyPtr study_;
};

}  // namespace

ComPtr<IHostParameter> CreateHostSimParameter(const std::shared_ptr<HostSimStudy>& study, int index) {
    if (!study || !IndexInRange(index, static_cast<std::size_t>(study->Count()))) return nullptr;
    ComPtr<IHostParameter> parameter;
    (void)CreateComInstanceWith<Parameter>(nullptr, IHostParameter::iid(),
                                           parameter.ReleaseAndGetVoidAddress(),
                                           [&] { return new Parameter(study, index); });
    return parameter;
}

ComPtr<IHostParameterManager> CreateHostSimParameterManager(const std::shared_ptr<HostSimStudy>& study) {
    ComPtr<IHostParameterManager> manager;
    (void)CreateComInstanceWith<ParameterManager>(nullptr, IHostParameterManager::iid(),
                                                  manager.ReleaseAndGetVoidAddress(),
                                                  [&] { return new ParameterManager(study); });
    return manager;
}

std::unique_ptr<ScopedComponentClass> RegisterHostSimParameterManager(std::shared_ptr<HostSimStudy> study) {
    return std::make_unique<ScopedComponentClass>(
        CLSID_HostParameterManager, [study](IUnknown* outer, REFIID iid, void** out) -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (outer) return CLASS_E_NOAGGREGATION;
            ComPtr<IHostParameterManager> manager = CreateHostSimParameterManager(study);
            return manager ? manager->QueryInterface(iid, out) : E_OUTOFMEMORY;
        });
}
