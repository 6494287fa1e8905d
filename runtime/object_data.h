// Which geometry a host object is scoped to: its id and name, its geometry references with an
// id beside each, and the subset of those ids currently active. Streams itself and turns its
// references into mesh entity ids through the host mesh.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "foundation/jx_stream.h"
#include "host/scoping_record.h"
#include "platform/com.h"

struct IHostMeshData;

class ObjectData {
  public:
    // The longest name a record holds; the field keeps a terminator beside it.
    static constexpr int kMaxNameLength = 259;
    static constexpr std::int32_t kStreamVersion = 2;

    ObjectData() = default;
    explicit ObjectData(const ScopingRecord& record);
    ObjectData(const ObjectData&) = default;
    ObjectData& operator=(const ObjectData&) = default;
    virtual ~ObjectData() = default;

    // Writes the current record version; false only when the stream fails.
    virtual bool Save(JXStream& stream) const;
    // Reads versions 1 and 2. A newer version, a name length outside 0..259 or a failed read
    // answers false and leaves the record as it was.
    virtual bool Resume(JXStream& stream);
    virtual void AddReference(const JXReference& reference);
    virtual void AppendReferencesTo(JXReferenceList& target) const;
    virtual int GetReferenceCount() const { return references_.GetCount(); }
    virtual void SetIdList(const std::vector<std::uint32_t>& ids) { parallelIds_ = ids; }
    // The parallel ids (one per reference).
    virtual void GetIdList(std::vector<std::uint32_t>& ids) const { ids = parallelIds_; }
    // Empties the target, then adds each reference whose parallel id is active.
    virtual void AppendActiveReferencesTo(JXReferenceList& target) const;
    // The active ids become the parallel ids the set contains.
    virtual void SelectActiveIds(const std::set<std::uint32_t>& ids);

    // Mesh ids of the references in signed task memory (the caller frees the array with
    // SignedMemFree). E_FAIL when the host object has no mesh or no id was found; S_OK with no
    // ids for body scopings (kind 1), which the mesh does not resolve.
    [[nodiscard]] virtual HRESULT GetMeshIds(IUnknown* hostObject, int** ids, int* count) const;
    [[nodiscard]] virtual HRESULT GetAllMeshIds(IUnknown* hostObject, int** ids, int* count) const;
    [[nodiscard]] virtual HRESULT GetMeshIdsOfReference(const JXReference& reference, IUnknown* hostObject,
                                                        int** ids, int* count) const;
    [[nodiscard]] virtual HRESULT GetAllMeshIdsOfReference(const JXReference& reference, IUnknown* hostObject,
                                                           int** ids, int* count) const;

    virtual void SetId(std::uint32_t id) { id_ = id; }
    virtual std::uint32_t GetId() const { return id_; }
    virtual bool IsReferenceActive(const JXReference& reference) const;
    virtual bool HasActiveIds() const { return !activeIds_.empty(); }
    // The HostGeometryKind of the first reference; kGeometryNone without references.
    virtual int GetReferenceKind() const;

    const std::string& GetName() const { return name_; }
    // False (name unchanged) for a name longer than kMaxNameLength.
    bool SetName(const std::string& name);
    const JXIdList& GetStoredIdList() const { return idList_; }
    const JXReferenceList& GetReferences() const { return references_; }
    const std::set<std::uint32_t>& GetActiveIds() const { return activeIds_; }

  private:
    std::uint32_t id_ = 0;
    std::string name_;
    JXIdList idList_;
    JXReferenceList references_;
    std::vector<std::uint32_t> parallelIds_;
    std::set<std::uint32_t> activeIds_;
};

// Mesh ids of the geometric entities of the references (selection flag 0x4000000). With two or
// more references the ids come sorted and unique, with one in the host's order. E_FAIL without a
// mesh or when no id was found; S_OK with nothing for an empty list.
[[nodiscard]] HRESULT GetMeshIdsOfReferences(IHostMeshData* mesh, const JXReferenceList& references,
                                             std::vector<int>& ids);
// The same into signed task memory, freed by the caller with SignedMemFree.
[[nodiscard]] HRESULT GetMeshIdsOfReferences(IHostMeshData* mesh, const JXReferenceList& references,
                                             int** ids, int* count);
