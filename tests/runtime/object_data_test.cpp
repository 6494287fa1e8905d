// Object scoping data: its saved record and versions, reference kinds, active references, mesh node ids.
#include "runtime/object_data.h"

#include <gtest/gtest.h>

#include <map>

#include "foundation/signed_memory.h"
#include "host/mesh.h"
#include "platform/com_object.h"

namespace {

// A mesh that knows the nodes of a few geometric entities and nothing else.
class EntityMesh : public ComObject<EntityMesh, IHostMeshData> {
  public:
    std::map<int, std::vector<int>> nodes;
    HRESULT GetNodes(int selector, int entityId, int, bool, HostNodeList& out) override {
        if (selector != kMeshSelectGeometry) return E_INVALIDARG;
        auto it = nodes.find(entityId);
        if (it == nodes.end()) return E_INVALIDARG;
        out.ids = it->second;
        return S_OK;
    }
    HRESULT GetNodeCoordinates(int, std::array<double, 3>&) override { return E_NOTIMPL; }
    HRESULT GetNodeAttributes(int, std::vector<HostNodeAttribute>&) override { return E_NOTIMPL; }
    HRESULT GetNodeAttribute(int, int, int&) override { return E_NOTIMPL; }
    HRESULT GetElementNodes(int, std::vector<int>&) override { return E_NOTIMPL; }
    HRESULT GetElementType(int, int&) override { return E_NOTIMPL; }
    HRESULT CountElementsOfType(int, int&) override { return E_NOTIMPL; }
    HRESULT GetElementsOfType(int, HostElementBlock&) override { return E_NOTIMPL; }
    HRESULT GetElementEntities(int, std::vector<HostEntityRef>&) override { return E_NOTIMPL; }
    HRESULT GetEntityIds(int, std::vector<int>&) override { return E_NOTIMPL; }
    HRESULT CountEntities(int, int, int, int, int&) override { return E_NOTIMPL; }
    HRESULT GetEntities(int, int, int, std::vector<int>&) override { return E_NOTIMPL; }
    HRESULT GetEntityAt(int, int, int, int, int, int&) override { return E_NOTIMPL; }
    HRESULT GetEntityKindAt(int, int, int, int&) override { return E_NOTIMPL; }
    HRESULT GetElementFaceNodes(int, int, std::vector<int>&) override { return E_NOTIMPL; }
    HRESULT GetElementFaces(int, int, int, std::vector<HostElementFace>&) override { return E_NOTIMPL; }
    HRESULT GetElementsOfNode(int, std::vector<int>&) override { return E_NOTIMPL; }
};

ComPtr<IHostMeshData> NewMesh(EntityMesh** raw) {
    ComPtr<IHostMeshData> mesh;
    (void)CreateComInstanceWith<EntityMesh>(nullptr, IHostMeshData::iid(), mesh.ReleaseAndGetVoidAddress(),
                                            [raw] {
                                                *raw = new EntityMesh();
                                                return *raw;
                                            });
    return mesh;
}

ObjectData Sample() {
    ScopingRecord r;
    r.id = 42;
    r.name = "Top Faces";
    r.idList = {9, 8};
    r.references = {{101, 0x20}, {102, 0x20}};
    r.parallelIds = {7, 8};
    r.activeIds = {8};
    return ObjectData(r);
}

std::vector<std::uint8_t> Saved(const ObjectData& d) {
    JXMemoryChannel channel;
    JXStream stream(channel);
    stream.BeginWrite();
    EXPECT_TRUE(d.Save(stream));
    return channel.Bytes();
}

TEST(ObjectData, SaveResumeRoundTrip) {
    const ObjectData original = Sample();
    JXMemoryChannel channel(Saved(original));
    JXStream stream(channel);
    ASSERT_TRUE(stream.BeginRead());
    ObjectData copy;
    ASSERT_TRUE(copy.Resume(stream));
    EXPECT_EQ(copy.GetId(), 42u);
    EXPECT_EQ(copy.GetName(), "Top Faces");
    EXPECT_EQ(copy.GetStoredIdList().GetCount(), 2);
    EXPECT_EQ(copy.GetReferenceCount(), 2);
    std::vector<std::uint32_t> ids;
    copy.GetIdList(ids);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{7, 8}));
    EXPECT_EQ(copy.GetActiveIds(), (std::set<std::uint32_t>{8}));
    EXPECT_TRUE(copy.IsReferenceActive({102, 0x20}));
    EXPECT_FALSE(copy.IsReferenceActive({101, 0x20}));
}

// Builds a record by hand: version, id, name length, name bytes, then empty lists.
std::vector<std::uint8_t> HandRecord(std::int32_t version, std::int32_t nameLength, const std::string& name,
                                     bool withActive, std::uint32_t active) {
    JXMemoryChannel channel;
    JXStream s(channel);
    s.BeginWrite();
    s.WriteInt32(version);
    s.WriteUInt32(5);
    s.WriteInt32(nameLength);
    s.WriteBytes(name.data(), name.size());
    s.WriteUInt32(0);  // id list
    s.WriteInt32(1);   // one reference
    s.WriteInt32(300);
    s.WriteUInt32(0x4000);
    s.WriteInt32(1);  // one parallel id
    s.WriteUInt32(active);
    if (withActive) {
        s.WriteUInt32(1);
        s.WriteUInt32(active);
    }
    return channel.Bytes();
}

bool ResumeInto(ObjectData& d, const std::vector<std::uint8_t>& bytes) {
    JXMemoryChannel channel(bytes);
    JXStream stream(channel);
    stream.BeginRead();
    return d.Resume(stream);
}

TEST(ObjectData, SaveWritesTheRecordLayoutFieldByField) {
    ObjectData d;
    d.SetId(5);
    ASSERT_TRUE(d.SetName("abc"));
    d.AddReference({300, 0x4000});
    d.AddReference({300, 0x4000});  // already present: not added again
    d.SetIdList({3});
    d.SelectActiveIds({3});
    EXPECT_EQ(d.GetReferenceCount(), 1);
    EXPECT_EQ(Saved(d), HandRecord(2, 3, "abc", true, 3));
    EXPECT_FALSE(d.SetName(std::string(260, 'n')));
    EXPECT_EQ(d.GetName(), "abc");
}

TEST(ObjectData, VersionOneKeepsActiveIdsAndNewerVersionsAreRefused) {
    ObjectData d = Sample();
    ASSERT_TRUE(ResumeInto(d, HandRecord(1, 3, "abc", false, 3)));
    EXPECT_EQ(d.GetId(), 5u);
    EXPECT_EQ(d.GetName(), "abc");
    EXPECT_EQ(d.GetActiveIds(), (std::set<std::uint32_t>{8}));
    EXPECT_EQ(d.GetReferenceKind(), 5);

    ObjectData untouched = Sample();
    EXPECT_FALSE(ResumeInto(untouched, HandRecord(3, 3, "abc", true, 3)));
    EXPECT_EQ(untouched.GetId(), 42u);
    EXPECT_FALSE(ResumeInto(untouched, HandRecord(0, 3, "abc", true, 3)));
}

TEST(ObjectData, BadNameLengthsAndTruncationLoseNothing) {
    ObjectData d = Sample();
    EXPECT_FALSE(ResumeInto(d, HandRecord(2, -1, "", true, 3)));
    EXPECT_FALSE(ResumeInto(d, HandRecord(2, 260, std::string(260, 'n'), true, 3)));
    EXPECT_TRUE(ResumeInto(d, HandRecord(2, 259, std::string(259, 'n'), true, 3)));
    EXPECT_EQ(d.GetName().size(), 259u);

    ObjectData kept = Sample();
    std::vector<std::uint8_t> bytes = Saved(kept);
    bytes.resize(bytes.size() - 2);
    ObjectData other = Sample();
    other.SetId(1);
    EXPECT_FALSE(ResumeInto(other, bytes));
    EXPECT_EQ(other.GetId(), 1u);
    EXPECT_EQ(other.GetReferenceCount(), 2);
}

TEST(ObjectData, ReferenceKindFromTheFirstReference) {
    ObjectData d;
    EXPECT_EQ(d.GetReferenceKind(), 0);
    ObjectData v;
    v.AddReference({1, 0x8 | 0x4000});
    EXPECT_EQ(v.GetReferenceKind(), 4);
    ObjectData e;
    e.AddReference({1, 0x4000 | 0x20});
    EXPECT_EQ(e.GetReferenceKind(), 5);
    ObjectData f;
    f.AddReference({1, 0x20});
    f.AddReference({2, 0x8});
    EXPECT_EQ(f.GetReferenceKind(), 2);
    ObjectData b;
    b.AddReference({1, 0x1});
    EXPECT_EQ(b.GetReferenceKind(), 1);
}

TEST(ObjectData, ActiveReferencesAndSelection) {
    ObjectData d = Sample();
    JXReferenceList target;
    target.Add({999, 0});
    d.AppendActiveReferencesTo(target);
    ASSERT_EQ(target.GetCount(), 1);
    EXPECT_EQ(target.GetAt(0).id, 102);
    d.SelectActiveIds({7, 55});
    EXPECT_EQ(d.GetActiveIds(), (std::set<std::uint32_t>{7}));
    d.SelectActiveIds({});
    EXPECT_FALSE(d.HasActiveIds());
    JXReferenceList all;
    all.Add({101, 0x20});
    d.AppendReferencesTo(all);
    EXPECT_EQ(all.GetCount(), 2);
}

TEST(ObjectData, MeshIdsMergeOverlapsButKeepOneReferenceInHostOrder) {
    EntityMesh* raw = nullptr;
    ComPtr<IHostMeshData> mesh = NewMesh(&raw);
    raw->nodes[101] = {5, 3, 3, 9};
    raw->nodes[102] = {9, 1};
    ObjectData d = Sample();
    int* ids = nullptr;
    int count = -1;
    ASSERT_EQ(d.GetMeshIds(mesh.Get(), &ids, &count), S_OK);
    EXPECT_EQ(std::vector<int>(ids, ids + count), (std::vector<int>{1, 3, 5, 9}));
    EXPECT_TRUE(SignedMemFree(ids));

    ASSERT_EQ(d.GetMeshIdsOfReference({101, 0x20}, mesh.Get(), &ids, &count), S_OK);
    EXPECT_EQ(std::vector<int>(ids, ids + count), (std::vector<int>{5, 3, 3, 9}));
    EXPECT_TRUE(SignedMemFree(ids));

    ObjectData bodies;
    bodies.AddReference({101, 0x1});
    EXPECT_EQ(bodies.GetMeshIds(mesh.Get(), &ids, &count), S_OK);
    EXPECT_EQ(ids, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(bodies.GetAllMeshIds(mesh.Get(), &ids, &count), S_OK);
    EXPECT_EQ(count, 4);
    SignedMemFree(ids);

    // Entity id 0 names no geometry and is not asked for.
    raw->nodes[0] = {77};
    ObjectData withNull;
    withNull.AddReference({0, 0x20});
    withNull.AddReference({102, 0x20});
    ASSERT_EQ(withNull.GetMeshIds(mesh.Get(), &ids, &count), S_OK);
    EXPECT_EQ(std::vector<int>(ids, ids + count), (std::vector<int>{1, 9}));
    SignedMemFree(ids);

    ObjectData unknown;
    unknown.AddReference({555, 0x20});
    EXPECT_EQ(unknown.GetMeshIds(mesh.Get(), &ids, &count), E_FAIL);
    EXPECT_EQ(Sample().GetMeshIds(nullptr, &ids, &count), E_FAIL);
    EXPECT_EQ(ObjectData().GetMeshIds(mesh.Get(), &ids, &count), S_OK);
}

}  // namespace
