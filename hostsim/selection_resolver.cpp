// Reading the selections (nodes taken from the mesh when none are listed), resolving a text, and registering.
#include "hostsim/selection_resolver.h"

#include <algorithm>
#include <set>

#include "hostsim/json_reader.h"
#include "hostsim/mesh_model.h"
#include "platform/com_object.h"

namespace {

SelectedEntity ReadSelectedEntity(const JsonAt& at) {
    SelectedEntity e;
    e.reference = at.Member("reference").Reference();
    const int id = at.IntOr("id", 0);
    if (id < 0) at.Member("id").Fail("must not be negative");
    e.id = static_cast<std::uint32_t>(id);
    e.bodyId = at.IntOr("bodyId", 0);
    return e;
}

// The nodes of the entities' geometry in the mesh, ascending; an entity the mesh lacks adds none.
std::vector<int> NodesOfEntities(const HostSimMesh& mesh, const std::vector<SelectedEntity>& entities) {
    std::set<int> nodes;
    for (const SelectedEntity& e : entities)
        if (const HostSimMesh::GeometryEntity* geometry = mesh.FindGeometry(e.reference.id))
            nodes.insert(geometry->nodes.begin(), geometry->nodes.end());
    return {nodes.begin(), nodes.end()};
}

// A selection that lists no nodes holds those of its entities in the case's mesh: taken now
// from a built mesh, when resolved from one not generated yet.
void TakeNodesOfEntities(const JsonAt& at, const HostSimCaseMesh& mesh, HostSimSelection& s) {
    if (!mesh) return;
    for (const SelectedEntity& e : s.entities)
        if (!mesh.GeometryKindOf(e.reference.id))
            at.Fail("entity " + std::to_string(e.reference.id) +
                    " is no geometric entity of the mesh; give the selection's \"nodes\"");
    if (mesh.IsBuilt())
        s.nodes = NodesOfEntities(*mesh, s.entities);
    else
        s.nodesFromMesh = true;
}

HostSimSelection ReadSelection(const JsonAt& at, const HostSimCaseMesh& mesh) {
    HostSimSelection s;
    s.reference = at.Member("reference").WideString();
    if (s.reference.empty()) at.Member("reference").Fail("must not be empty");
    for (const JsonAt& e : at.OptionalElements("entities")) s.entities.push_back(ReadSelectedEntity(e));
    if (!at.Has("nodes")) {
        TakeNodesOfEntities(at, mesh, s);
        return s;
    }
    std::set<int> nodes;
    for (const JsonAt& n : at.Member("nodes").Elements()) {
        if (n.Int() <= 0) n.Fail("node numbers are positive");
        nodes.insert(n.Int());
    }
    s.nodes.assign(nodes.begin(), nodes.end());
    return s;
}

class HostSimSelectionResolver : public ComObject<HostSimSelectionResolver, ISelectionResolver> {
  public:
    explicit HostSimSelectionResolver(std::shared_ptr<const HostSimCase> hostCase)
        : case_(std::move(hostCase)) {}

    [[nodiscard]] HRESULT SetRoot(NCAERep::CCAERepBase* root) override {
        if (!root) return E_POINTER;
        root_ = root;
        return S_OK;
    }

    [[nodiscard]] HRESULT Resolve(const std::wstring& reference, ResolvedSelection& out) override {
        out = ResolvedSelection{};
        // The host resolves texts within the model it was given; without one it knows none.
        if (!root_) return E_UNEXPECTED;
        for (const HostSimSelection& s : case_->selections) {
            if (s.reference != reference) continue;
            out.entities = s.entities;
            out.nodes = s.nodesFromMesh ? NodesOfEntities(*case_->mesh, s.entities) : s.nodes;
            return S_OK;
        }
        return S_FALSE;
    }

  private:
    std::shared_ptr<const HostSimCase> case_;
    NCAERep::CCAERepBase* root_ = nullptr;
};

}  // namespace

void ReadSelectionsSection(const JsonAt& root, HostSimCase& hostCase) {
    std::set<std::wstring> references;
    for (const JsonAt& e : root.OptionalElements("selections")) {
        hostCase.selections.push_back(ReadSelection(e, hostCase.mesh));
        if (!references.insert(hostCase.selections.back().reference).second)
            e.Member("reference").Fail("reference text used twice");
    }
}

ComPtr<ISelectionResolver> CreateHostSimSelectionResolver(std::shared_ptr<const HostSimCase> hostCase) {
    ComPtr<ISelectionResolver> resolver;
    if (!hostCase) return resolver;
    if (FAILED(CreateComInstanceWith<HostSimSelectionResolver>(
            nullptr, ISelectionResolver::iid(), resolver.ReleaseAndGetVoidAddress(),
            [&hostCase] { return new HostSimSelectionResolver(hostCase); })))
        return nullptr;
    return resolver;
}

std::unique_ptr<ScopedComponentClass> RegisterHostSimSelectionResolver(
    std::shared_ptr<const HostSimCase> hostCase) {
    return std::make_unique<ScopedComponentClass>(
        CLSID_SelectionResolver, [hostCase](IUnknown* outer, REFIID iid, void** out) -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (outer) return CLASS_E_NOAGGREGATION;
            ComPtr<ISelectionResolver> resolver = CreateHostSimSelectionResolver(hostCase);
            return resolver ? resolver->QueryInterface(iid, out) : E_OUTOFMEMORY;
        });
}
