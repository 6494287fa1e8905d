// The named properties of the file-backed host's parameters: the collection, its items, their
// value entries and the typed value objects, all reaching the study's data under its lock.
#include "hostsim/parameters.h"
#include "platform/com_object.h"

namespace {

using StudyPtr = std::shared_ptr<HostSimStudy>;

// A place among the properties of one parameter: the parameter, an item and a value entry.
class PropertyPlace {
  public:
    PropertyPlace(StudyPtr study, int parameter, int item = -1, int entry = -1)
        : study_(std::move(study)), parameter_(parameter), item_(item), entry_(entry) {}

  protected:
    template <class Change>
    [[nodiscard]] HRESULT WithProperties(Change&& change) {
        return study_->Update(parameter_, [&](HostSimParameter& p) { return change(p.namedProperties); });
    }
    template <class Change>
    [[nodiscard]] HRESULT WithItem(Change&& change) {
        return WithProperties([&](std::vector<HostSimNamedProperty>& items) {
            if (!IndexInRange(item_, items.size())) return E_FAIL;
            return change(items[static_cast<std::size_t>(item_)]);
        });
    }
    template <class Change>
    [[nodiscard]] HRESULT WithEntry(Change&& change) {
        return WithItem([&](HostSimNamedProperty& item) {
            if (!IndexInRange(entry_, item.entries.size())) return E_FAIL;
            return change(item.entries[static_cast<std::size_t>(entry_)]);
        });
    }

    StudyPtr study_;
    int parameter_;
    int item_;
    int entry_;
};

template <class T, class Interface>
[[nodiscard]] HRESULT HandOut(Interface** out, const StudyPtr& study, int parameter, int item, int entry) {
    return CreateComInstanceWith<T>(nullptr, Interface::iid(), reinterpret_cast<void**>(out),
                                    [&] { return new T(study, parameter, item, entry); });
}

// A typed value; it answers only while the entry still holds a value of its type.
template <class Interface, class Held>
class TypedValue : public ComObject<TypedValue<Interface, Held>, Interface>, PropertyPlace {
  public:
    using PropertyPlace::PropertyPlace;

  protected:
    HRESULT Read(Held& out) {
        return WithEntry([&](HostSimPropertyValue& e) {
            const Held* held = std::get_if<Held>(&e.value);
            if (!held) return E_FAIL;
            out = *held;
            return S_OK;
        });
    }
    HRESULT Write(Held value) {
        return WithEntry([&](HostSimPropertyValue& e) {
            e.value = std::move(value);
            return S_OK;
        });
    }
};

class IntValue : public TypedValue<IHostIntPropertyValue, std::int32_t> {
  public:
    using TypedValue::TypedValue;
    [[nodiscard]] HRESULT GetValue(std::int32_t& value) override { return Read(value); }
    [[nodiscard]] HRESULT SetValue(std::int32_t value) override { return Write(value); }
};

class DoubleValue : public TypedValue<IHostDoublePropertyValue, double> {
  public:
    using TypedValue::TypedValue;
    [[nodiscard]] HRESULT GetValue(double& value) override { return Read(value); }
    [[nodiscard]] HRESULT SetValue(double value) override { return Write(value); }
};

class TextValue : public TypedValue<IHostTextPropertyValue, std::wstring> {
  public:
    using TypedValue::TypedValue;
    [[nodiscard]] HRESULT GetValue(BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        std::wstring text;
        const HRESULT hr = Read(text);
        if (FAILED(hr)) return hr;
        *value = SysAllocString(text);
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    [[nodiscard]] HRESULT SetValue(BSTR value) override { return Write(std::wstring(BstrView(value))); }
};

class ValueEntry : public ComObject<ValueEntry, IHostPropertyValueEntry>, PropertyPlace {
  public:
    using PropertyPlace::PropertyPlace;
    [[nodiscard]] HRESULT GetTypeCode(int& typeCode) override {
        return WithEntry([&](HostSimPropertyValue& e) {
            typeCode = e.typeCode;
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetValueObject(IUnknown** value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        std::size_t alternative = 0;
        const HRESULT hr = WithEntry([&](HostSimPropertyValue& e) {
            alternative = e.value.index();
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        IUnknown* found = nullptr;
        HRESULT made = E_FAIL;
        if (alternative == 0) {
            IHostIntPropertyValue* v = nullptr;
            made = HandOut<IntValue>(&v, study_, parameter_, item_, entry_);
            found = v;
        } else if (alternative == 1) {
            IHostDoublePropertyValue* v = nullptr;
            made = HandOut<DoubleValue>(&v, study_, parameter_, item_, entry_);
            found = v;
        } else {
            IHostTextPropertyValue* v = nullptr;
            made = HandOut<TextValue>(&v, study_, parameter_, item_, entry_);
            found = v;
        }
        *value = found;
        return made;
    }
};

class NamedProperty : public ComObject<NamedProperty, IHostNamedProperty>, PropertyPlace {
  public:
    using PropertyPlace::PropertyPlace;
    [[nodiscard]] HRESULT GetName(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return WithItem([&](HostSimNamedProperty& item) {
            *name = SysAllocString(item.name);
            return *name ? S_OK : E_OUTOFMEMORY;
        });
    }
    [[nodiscard]] HRESULT GetEntryCount(int& count) override {
        return WithItem([&](HostSimNamedProperty& item) {
            count = static_cast<int>(item.entries.size());
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetEntry(int index, IHostPropertyValueEntry** entry) override {
        if (!entry) return E_POINTER;
        *entry = nullptr;
        const HRESULT hr = WithItem([&](HostSimNamedProperty& item) {
            return IndexInRange(index, item.entries.size()) ? S_OK : E_INVALIDARG;
        });
        if (FAILED(hr)) return hr;
        return HandOut<ValueEntry>(entry, study_, parameter_, item_, index);
    }
};

[[nodiscard]] HRESULT MakePropertyValue(const VARIANT& value, HostSimPropertyValue& out) {
    out.typeCode = kHostPlainPropertyValue;
    switch (value.vt) {
        case VT_I4:
            out.value = std::int32_t{value.lVal};
            return S_OK;
        case VT_R8:
            out.value = value.dblVal;
            return S_OK;
        case VT_BSTR:
            out.value = std::wstring(BstrView(value.bstrVal));
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

class NamedPropertyCollection : public ComObject<NamedPropertyCollection, IHostNamedPropertyCollection>,
                                PropertyPlace {
  public:
    using PropertyPlace::PropertyPlace;
    [[nodiscard]] HRESULT GetCount(int& count) override {
        return WithProperties([&](std::vector<HostSimNamedProperty>& items) {
            count = static_cast<int>(items.size());
            return S_OK;
        });
    }
    [[nodiscard]] HRESULT GetItem(VARIANT index, IHostNamedProperty** item) override {
        if (!item) return E_POINTER;
        *item = nullptr;
        if (index.vt != VT_I4) return DISP_E_TYPEMISMATCH;
        const HRESULT hr = WithProperties([&](std::vector<HostSimNamedProperty>& items) {
            return IndexInRange(index.lVal, items.size()) ? S_OK : E_INVALIDARG;
        });
        if (FAILED(hr)) return hr;
        return HandOut<NamedProperty>(item, study_, parameter_, index.lVal, -1);
    }
    [[nodiscard]] HRESULT Find(int typeCode, BSTR name, IHostNamedProperty** item) override {
        if (!item) return E_POINTER;
        *item = nullptr;
        int found = -1;
        const HRESULT hr = WithProperties([&](std::vector<HostSimNamedProperty>& items) {
            for (std::size_t i = 0; i < items.size() && found < 0; ++i)
                if (items[i].name == BstrView(name) && !items[i].entries.empty() &&
                    items[i].entries.front().typeCode == typeCode)
                    found = static_cast<int>(i);
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        if (found < 0) return S_FALSE;
        return HandOut<NamedProperty>(item, study_, parameter_, found, -1);
    }
    [[nodiscard]] HRESULT Add(BSTR name, VARIANT value, IHostNamedProperty** item) override {
        if (item) *item = nullptr;
        HostSimNamedProperty added{std::wstring(BstrView(name)), {HostSimPropertyValue{}}};
        HRESULT hr = MakePropertyValue(value, added.entries.front());
        if (FAILED(hr)) return hr;
        int at = -1;
        hr = WithProperties([&](std::vector<HostSimNamedProperty>& items) {
            items.push_back(std::move(added));
            at = static_cast<int>(items.size()) - 1;
            return S_OK;
        });
        if (FAILED(hr) || !item) return hr;
        return HandOut<NamedProperty>(item, study_, parameter_, at, -1);
    }
};

}  // namespace

ComPtr<IHostNamedPropertyCollection> CreateHostSimNamedProperties(const std::shared_ptr<HostSimStudy>& study,
                                                                  int parameter) {
    ComPtr<IHostNamedPropertyCollection> collection;
    (void)HandOut<NamedPropertyCollection>(collection.ReleaseAndGetAddressOf(), study, parameter, -1, -1);
    return collection;
}
