// The locked table of objects (frames included), the host object over one entry with its facets, the applet.
#include "hostsim/object_model.h"

#include "host/addin_host.h"
#include "host/entity_text.h"
#include "hostsim/analysis_facets.h"
#include "platform/com_object.h"

HostSimObjectModel::HostSimObjectModel(const std::vector<HostSimObject>& objects,
                                       const std::vector<CoordinateSystemData>& systems) {
    for (const HostSimObject& o : objects) objects_[o.id] = o;
    // A coordinate system is a host object too; its number is the frame the deck gives it.
    for (const CoordinateSystemData& system : systems) {
        HostSimObject& o = objects_[system.id];
        o.id = system.id;
        o.coordinateSystemNumber = system.deckFrameNumber;
    }
}

bool HostSimObjectModel::Contains(int id) const {
    std::lock_guard lock(mutex_);
    return objects_.count(id) > 0;
}

bool HostSimObjectModel::Get(int id, HostSimObject& out) const {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(id);
    if (it == objects_.end()) return false;
    out = it->second;
    return true;
}

bool HostSimObjectModel::Rename(int id, const std::wstring& name) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(id);
    if (it == objects_.end()) return false;
    it->second.name = name;
    return true;
}

HRESULT HostSimObjectModel::Change(int id, const std::function<HRESULT(HostSimObject&)>& change) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(id);
    if (it == objects_.end()) return E_FAIL;
    return change(it->second);
}

std::map<int, HostSimObject> HostSimObjectModel::Snapshot() const {
    std::lock_guard lock(mutex_);
    return objects_;
}

void HostSimObjectModel::Restore(std::map<int, HostSimObject> objects) {
    std::lock_guard lock(mutex_);
    objects_ = std::move(objects);
}

namespace {

class HostSimObjectImpl;
using HostSimObjectBase = ComObject<HostSimObjectImpl, IHostObject, IHostObjectNaming, IHostEntityText,
                                    IHostObjectArguments, IHostCoordinateSystem>;

class HostSimObjectImpl : public HostSimObjectBase, public HostSimAnalysisFacets, public IHostAnalysisSolver {
  public:
    HostSimObjectImpl(std::shared_ptr<HostSimObjectModel> model, int id)
        : HostSimAnalysisFacets(HostSimObjectRef{model, id}), model_(std::move(model)), id_(id) {}

    // One identity for the listed interfaces and the facets alike.
    [[nodiscard]] HRESULT QueryInterface(REFIID iid, void** out) override {
        return HostSimObjectBase::QueryInterface(iid, out);
    }
    ULONG AddRef() override { return HostSimObjectBase::AddRef(); }
    ULONG Release() override { return HostSimObjectBase::Release(); }
    // An analysis object with a solver tells it; other objects do not answer the question.
    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID iid, void** out) {
        *out = iid == IHostAnalysisSolver::iid() ? TheSolver() : FindAnalysisFacet(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    void* TheSolver() {  // null unless the entry names a solver
        HostSimObject o;
        return model_->Get(id_, o) && o.solverName ? static_cast<IHostAnalysisSolver*>(this) : nullptr;
    }
    [[nodiscard]] HRESULT GetSolverName(std::wstring& name) override {
        HostSimObject o;
        if (!model_->Get(id_, o) || !o.solverName) return E_FAIL;
        name = *o.solverName;
        return S_OK;
    }

    [[nodiscard]] HRESULT GetId(int& id) override {
        id = id_;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetType(int& type) override {
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        type = o.type;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetName(std::wstring& name) override {
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        name = o.name;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetIntProperty(int code, int& value) override {
        value = 0;
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        auto it = o.properties.find(code);
        if (it == o.properties.end()) return S_FALSE;
        value = it->second;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetIdList(int code, std::vector<int>& ids) override {
        ids.clear();
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        auto it = o.idLists.find(code);
        if (it == o.idLists.end()) return S_FALSE;
        ids = it->second;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetChildIds(std::vector<int>& ids) override {
        ids.clear();
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        ids = o.children;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetArgument(int index, VARIANT* value) override {
        if (!value) return E_POINTER;
        VariantInit(value);
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        if (index < 0 || static_cast<std::size_t>(index) >= o.arguments.size()) return S_FALSE;
        const auto& argument = o.arguments[static_cast<std::size_t>(index)];
        if (const double* number = std::get_if<double>(&argument)) {
            value->vt = VT_R8;
            value->dblVal = *number;
            return S_OK;
        }
        value->bstrVal = SysAllocString(std::get<std::wstring>(argument));
        if (!value->bstrVal) return E_OUTOFMEMORY;
        value->vt = VT_BSTR;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetNumber(int& number) override {
        number = 0;
        HostSimObject o;
        if (!model_->Get(id_, o) || !o.coordinateSystemNumber) return E_FAIL;
        number = *o.coordinateSystemNumber;
        return S_OK;
    }
    [[nodiscard]] HRESULT SetName(const std::wstring& name) override {
        return model_->Rename(id_, name) ? S_OK : E_FAIL;
    }
    [[nodiscard]] HRESULT GetTextProperty(std::wstring& text) override {
        text.clear();
        HostSimObject o;
        if (!model_->Get(id_, o)) return E_FAIL;
        if (!o.text) return S_FALSE;
        text = *o.text;
        return S_OK;
    }

  private:
    std::shared_ptr<HostSimObjectModel> model_;
    int id_;
};

class HostSimApplet : public ComObject<HostSimApplet, IHostApplet> {
  public:
    explicit HostSimApplet(std::shared_ptr<HostSimObjectModel> model) : model_(std::move(model)) {}

    [[nodiscard]] HRESULT GetObjectById(int id, VARIANT* object) override {
        if (!object) return E_POINTER;
        VariantInit(object);
        ComPtr<IUnknown> found = CreateHostSimObject(model_, id);
        if (!found) return S_FALSE;
        object->vt = VT_UNKNOWN;
        object->punkVal = found.Detach();
        return S_OK;
    }

  private:
    std::shared_ptr<HostSimObjectModel> model_;
};

}  // namespace

ComPtr<IUnknown> CreateHostSimObject(const std::shared_ptr<HostSimObjectModel>& model, int id) {
    if (!model || !model->Contains(id)) return nullptr;
    ComPtr<IUnknown> object;
    (void)CreateComInstanceWith<HostSimObjectImpl>(nullptr, IID_IUnknown, object.ReleaseAndGetVoidAddress(),
                                                   [&] { return new HostSimObjectImpl(model, id); });
    return object;
}

ComPtr<IHostApplet> CreateHostSimApplet(const std::shared_ptr<HostSimObjectModel>& model) {
    ComPtr<IHostApplet> applet;
    (void)CreateComInstanceWith<HostSimApplet>(nullptr, IHostApplet::iid(), applet.ReleaseAndGetVoidAddress(),
                                               [&] { return new HostSimApplet(model); });
    return applet;
}
