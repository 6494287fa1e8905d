// Pre-pass messages, a condition's scoping resolved or left out, the host mesh and geometry, frame look-ups.
#include "deck/constraints/pre_pass_support.h"

#include <cmath>
#include <limits>
#include <vector>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/geometry_reps.h"
#include "deck/dorvix_feeder.h"
#include "deck/return_codes.h"
#include "host/geometry.h"
#include "runtime/return_package.h"

namespace prepass {

namespace {

template <class T>
T* FirstBelowRoot(DorvixFeeder& feeder, const wchar_t* type) {
    NCAERep::CCAERep* root = feeder.GetInputRoot();
    if (!root) return nullptr;
    std::vector<NCAERep::CCAERepBase*> found;
    root->getDescendantsByType(type, found);
    return found.empty() ? nullptr : dynamic_cast<T*>(found.front());
}

}  // namespace

void Report(DorvixFeeder& feeder, const std::wstring& text, const std::wstring& type) {
    feeder.PostHostMessage(text, type);
    if (ReturnPackage* package = feeder.GetReturnPackage()) package->AddMessage(type + L": " + text);
}

void Warn(DorvixFeeder& feeder, const std::wstring& text) { Report(feeder, text, L"Warning"); }

int Fail(DorvixFeeder& feeder, const std::wstring& text) {
    Report(feeder, text, L"Error");
    return kRC_ModelLoadFailed;
}

std::wstring Describe(const NCAERep::CCAERepBase& condition) { return condition.describe(); }

int ResolveScoping(DorvixFeeder& feeder, const NCAERep::CCAERepBase& condition, ScopingUse use,
                   bool firstOfMany, ResolvedScoping& out) {
    out = ResolvedScoping{};
    std::vector<std::wstring> texts;
    const NCAERep::CPropertyValue* scoping = condition.findProperty(L"Scoping");
    if (scoping && scoping->getType() == NCAERep::EValueType::StringList) scoping->getValue(texts);
    const bool usable = firstOfMany ? !texts.empty() : texts.size() == 1;
    if (!usable)
        return Fail(feeder, Describe(condition) + L": its scoping holds " + std::to_wstring(texts.size()) +
                                L" references, " + (firstOfMany ? L"at least one" : L"exactly one") +
                                L" is needed");
    out.reference = texts.front();
    if (out.reference.empty()) {
        Warn(feeder, Describe(condition) + L" is scoped to nothing and is left out");
        out.skipped = true;
        return kRC_Success;
    }
    ISelectionResolver* resolver = feeder.GetSelectionResolver();
    if (!resolver) return Fail(feeder, L"The host gave no selection resolver for the boundary conditions");
    const HRESULT hr = resolver->Resolve(out.reference, out.selection);
    if (FAILED(hr))
        return Fail(feeder, Describe(condition) + L": the host cannot resolve its scoping \"" +
                                out.reference + L"\"");
    if (hr == S_FALSE) {
        Warn(feeder, Describe(condition) + L": the host knows no scoping \"" + out.reference +
                         L"\"; the condition is left out");
        out.skipped = true;
    } else if (use == ScopingUse::kNodes ? out.selection.nodes.empty() : out.selection.entities.empty()) {
        Warn(feeder, Describe(condition) + L": its scoping \"" + out.reference + L"\" holds no " +
                         (use == ScopingUse::kNodes ? L"mesh node" : L"geometric entity") +
                         L"; the condition is left out");
        out.skipped = true;
    }
    return kRC_Success;
}

int TakeHostMesh(DorvixFeeder& feeder, ComPtr<IHostMeshData>& mesh) {
    mesh.Reset();
    auto* meshRep = FirstBelowRoot<NCAERep::CMeshRep>(feeder, NCAERep::CMeshRep::kTypeName);
    ComPtr<IUnknown> unknown;
    if (meshRep && SUCCEEDED(meshRep->getMesh(unknown)) && unknown) mesh = unknown.As<IHostMeshData>();
    if (!mesh)
        return Fail(feeder, L"The model's boundary conditions need the host mesh, and the host gave none");
    return kRC_Success;
}

int TakeHostGeometry(DorvixFeeder& feeder, ComPtr<IHostGeometry>& geometry) {
    geometry.Reset();
    auto* geometryRep = FirstBelowRoot<NCAERep::CGeometryRep>(feeder, NCAERep::CGeometryRep::kTypeName);
    ComPtr<IUnknown> unknown;
    if (geometryRep && SUCCEEDED(geometryRep->getGeometry(unknown)) && unknown)
        geometry = unknown.As<IHostGeometry>();
    if (!geometry)
        return Fail(feeder,
                    L"The model's boundary conditions need the host geometry, and the host gave none");
    return kRC_Success;
}

int EntityNodes(DorvixFeeder& feeder, const NCAERep::CCAERepBase& condition, IHostMeshData* mesh,
                int entityId, bool withCoordinates, HostNodeList& out) {
    out = HostNodeList{};
    if (FAILED(mesh->GetNodes(kMeshSelectGeometry, entityId, 0, withCoordinates, out)) ||
        (withCoordinates && out.xyz.size() != 3 * out.ids.size()))
        return Fail(feeder, Describe(condition) + L": the host mesh knows no nodes of entity " +
                                std::to_wstring(entityId));
    return kRC_Success;
}

const NCAERep::CCAERepBase* FindCoordinateSystem(const NCAERep::CCAERepBase& object, unsigned id) {
    const NCAERep::CCAEDatabase* database = object.getDatabase();
    if (id == 0 || !database || id > static_cast<unsigned>(std::numeric_limits<int>::max())) return nullptr;
    const NCAERep::CCAERepBase* found = database->getObjectById(static_cast<int>(id));
    return dynamic_cast<const NCAERep::CCoordinateSystemRep*>(found);
}

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool IsFinite(const CoordSystemSafe& frame) {
    return IsFinite(frame.GetXAxis()) && IsFinite(frame.GetYAxis()) && IsFinite(frame.GetZAxis()) &&
           IsFinite(frame.GetOrigin());
}

}  // namespace prepass
