// ObjectData's save and resume, its active references, and the mesh ids of its references from the host mesh.
#include "runtime/object_data.h"

#include <algorithm>
#include <cstring>

#include "foundation/signed_memory.h"
#include "host/mesh.h"
#include "host/object_types.h"

ObjectData::ObjectData(const ScopingRecord& record) : id_(record.id) {
    SetName(record.name.substr(0, std::min<std::size_t>(record.name.size(), kMaxNameLength)));
    for (std::int32_t id : record.idList) idList_.Add(id);
    for (const JXReference& r : record.references) references_.Add(r);
    parallelIds_ = record.parallelIds;
    activeIds_ = record.activeIds;
}

bool ObjectData::SetName(const std::string& name) {
    if (name.size() > static_cast<std::size_t>(kMaxNameLength)) return false;
    name_ = name;
    return true;
}

bool ObjectData::Save(JXStream& stream) const {
    stream.WriteInt32(kStreamVersion);
    stream.WriteUInt32(id_);
    stream.WriteInt32(static_cast<std::int32_t>(name_.size()));
    stream.WriteBytes(name_.data(), name_.size());
    idList_.Save(stream);
    stream.WriteInt32(references_.GetCount());
    for (const JXReference& r : references_) {
        stream.WriteInt32(r.id);
        stream.WriteUInt32(r.kind);
    }
    stream.WriteInt32(static_cast<std::int32_t>(parallelIds_.size()));
    for (std::uint32_t id : parallelIds_) stream.WriteUInt32(id);
    stream.WriteUInt32(static_cast<std::uint32_t>(activeIds_.size()));
    for (std::uint32_t id : activeIds_) stream.WriteUInt32(id);
    return stream.Good();
}

bool ObjectData::Resume(JXStream& stream) {
    std::int32_t version = 0;
    if (!stream.ReadInt32(&version) || version < 1 || version > kStreamVersion) return false;

    std::uint32_t id = 0;
    std::int32_t nameLength = 0;
    if (!stream.ReadUInt32(&id) || !stream.ReadInt32(&nameLength)) return false;
    if (nameLength < 0 || nameLength > kMaxNameLength) return false;
    std::string name(static_cast<std::size_t>(nameLength), '\0');
    if (nameLength > 0 && !stream.ReadBytes(name.data(), name.size())) return false;

    JXIdList idList;
    if (!idList.Load(stream)) return false;

    // The references have the list's own stream form.
    JXReferenceList references;
    if (!references.Load(stream)) return false;

    std::uint32_t parallelCount = 0;
    if (!stream.ReadCount(parallelCount, 4)) return false;
    std::vector<std::uint32_t> parallelIds(parallelCount);
    if (parallelCount > 0 && !stream.ReadUInt32(parallelIds.data(), parallelIds.size())) return false;

    std::set<std::uint32_t> activeIds = activeIds_;
    if (version >= 2) {
        std::uint32_t activeCount = 0;
        if (!stream.ReadCount(activeCount, 4)) return false;
        std::vector<std::uint32_t> active(activeCount);
        if (activeCount > 0 && !stream.ReadUInt32(active.data(), active.size())) return false;
        activeIds = std::set<std::uint32_t>(active.begin(), active.end());
    }

    id_ = id;
    name_ = std::move(name);
    idList_ = std::move(idList);
    references_ = std::move(references);
    parallelIds_ = std::move(parallelIds);
    activeIds_ = std::move(activeIds);
    return true;
}

void ObjectData::AddReference(const JXReference& reference) { references_.Add(reference); }

void ObjectData::AppendReferencesTo(JXReferenceList& target) const {
    for (const JXReference& r : references_) target.Add(r);
}

void ObjectData::AppendActiveReferencesTo(JXReferenceList& target) const {
    target.RemoveAll();
    const int n = std::min<int>(references_.GetCount(), static_cast<int>(parallelIds_.size()));
    for (int i = 0; i < n; ++i)
        if (activeIds_.count(parallelIds_[static_cast<std::size_t>(i)])) target.Add(references_.GetAt(i));
}

void ObjectData::SelectActiveIds(const std::set<std::uint32_t>& ids) {
    activeIds_.clear();
    for (std::uint32_t id : parallelIds_)
        if (ids.count(id)) activeIds_.insert(id);
}

bool ObjectData::IsReferenceActive(const JXReference& reference) const {
    const int n = std::min<int>(references_.GetCount(), static_cast<int>(parallelIds_.size()));
    for (int i = 0; i < n; ++i)
        if (references_.GetAt(i) == reference)
            return activeIds_.count(parallelIds_[static_cast<std::size_t>(i)]) > 0;
    return false;
}

int ObjectData::GetReferenceKind() const {
    std::vector<JXReference> first;
    if (references_.GetCount() > 0) first.push_back(references_.GetAt(0));
    return ReferenceKindOf(first);
}

namespace {

void ClearOut(int** ids, int* count) {
    if (ids) *ids = nullptr;
    if (count) *count = 0;
}

ComPtr<IHostMeshData> MeshOf(IUnknown* hostObject) {
    ComPtr<IHostMeshData> mesh;
    if (hostObject) (void)hostObject->QueryInterface(IHostMeshData::iid(), mesh.ReleaseAndGetVoidAddress());
    return mesh;
}

[[nodiscard]] HRESULT MeshIdsOf(IUnknown* hostObject, const JXReferenceList& references, bool skipBodies,
                                int kind, int** ids, int* count) {
    if (!ids || !count) return E_POINTER;
    ClearOut(ids, count);
    ComPtr<IHostMeshData> mesh = MeshOf(hostObject);
    if (!mesh) return E_FAIL;
    if (skipBodies && kind == kGeometryBodies) return S_OK;
    return GetMeshIdsOfReferences(mesh.Get(), references, ids, count);
}

JXReferenceList SingleReference(const JXReference& reference) {
    JXReferenceList list;
    list.Add(reference);
    return list;
}

}  // namespace

HRESULT ObjectData::GetMeshIds(IUnknown* hostObject, int** ids, int* count) const {
    return MeshIdsOf(hostObject, references_, true, GetReferenceKind(), ids, count);
}

HRESULT ObjectData::GetAllMeshIds(IUnknown* hostObject, int** ids, int* count) const {
    return MeshIdsOf(hostObject, references_, false, 0, ids, count);
}

HRESULT ObjectData::GetMeshIdsOfReference(const JXReference& reference, IUnknown* hostObject, int** ids,
                                          int* count) const {
    return MeshIdsOf(hostObject, SingleReference(reference), true, GetReferenceKind(), ids, count);
}

HRESULT ObjectData::GetAllMeshIdsOfReference(const JXReference& reference, IUnknown* hostObject, int** ids,
                                             int* count) const {
    return MeshIdsOf(hostObject, SingleReference(reference), false, 0, ids, count);
}

HRESULT GetMeshIdsOfReferences(IHostMeshData* mesh, const JXReferenceList& references,
                               std::vector<int>& ids) {
    ids.clear();
    if (!mesh) return E_FAIL;
    if (references.GetCount() == 0) return S_OK;
    for (const JXReference& r : references) {
        if (r.id == 0) continue;
        HostNodeList nodes;
        if (SUCCEEDED(mesh->GetNodes(kMeshSelectGeometry, r.id, 0, false, nodes)))
            ids.insert(ids.end(), nodes.ids.begin(), nodes.ids.end());
    }
    if (references.GetCount() >= 2) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    }
    return ids.empty() ? E_FAIL : S_OK;
}

HRESULT GetMeshIdsOfReferences(IHostMeshData* mesh, const JXReferenceList& references, int** ids,
                               int* count) {
    if (!ids || !count) return E_POINTER;
    ClearOut(ids, count);
    std::vector<int> found;
    HRESULT hr = GetMeshIdsOfReferences(mesh, references, found);
    if (FAILED(hr) || found.empty()) return hr;
    int* block = SignedMemAllocArray<int>(found.size());
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(block, found.data(), found.size() * sizeof(int));
    *ids = block;
    *count = static_cast<int>(found.size());
    return S_OK;
}
