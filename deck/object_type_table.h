// The feeder's table of the host's objects (loads, supports, connections) by id, built from
// the host's records at deck open. Each record may own a load description.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "deck/load_records.h"
#include "foundation/jx_list.h"
#include "host/object_table.h"
#include "platform/com.h"

struct IHostMeshData;

class ObjectTypeRecord {
  public:
    ObjectTypeRecord() = default;
    explicit ObjectTypeRecord(const HostObjectRecord& host);
    ObjectTypeRecord(ObjectTypeRecord&&) = default;
    ObjectTypeRecord& operator=(ObjectTypeRecord&&) = default;
    virtual ~ObjectTypeRecord() = default;

    int GetId() const { return id_; }
    int GetHostType() const { return hostType_; }
    const std::string& GetName() const { return name_; }
    const ScopingRecord& GetScoping() const { return scoping_; }
    virtual const std::vector<JXReference>& GetReferences() const { return scoping_.references; }
    // Adds the record's references (through GetReferences) to the list the contact, equation
    // and mesh-id helpers take; references already in the target are not repeated.
    void AppendReferencesTo(JXReferenceList& target) const;
    int GetReferenceKind() const { return ReferenceKindOf(scoping_.references); }
    int GetObjectType() const { return objectType_; }
    const std::string& GetBodyIdText() const { return bodyIdText_; }
    double GetArea() const { return area_; }
    // The host's load object of this id (it answers IHostLoad); null when the host has none.
    IUnknown* GetHostLoad() const { return hostLoad_.Get(); }
    // The host's entity of this id (a point mass's remote point); null when the host has none.
    IUnknown* GetHostObject() const { return hostObject_.Get(); }

    const CLoad* GetLoad() const { return load_.get(); }
    void SetLoad(std::unique_ptr<CLoad> load) { load_ = std::move(load); }
    // Copies the load into `out` when it is a point mass; otherwise `out` stays as it is.
    void GetPointMass(CPointMass& out) const;
    // The host object type of the load; 0 for a record without a load, which matches no
    // load type a writer asks about.
    int GetLoadObjectType() const;
    // The temperature and its flag when the load is a temperature; otherwise unchanged.
    void GetTemperature(double& value, std::uint8_t& flag) const;

  private:
    int id_ = 0;
    int hostType_ = 0;
    std::string name_;
    ScopingRecord scoping_;
    int objectType_ = 0;
    std::string bodyIdText_;
    double area_ = 0.0;
    std::unique_ptr<CLoad> load_;
    ComPtr<IUnknown> hostLoad_;
    ComPtr<IUnknown> hostObject_;
};

class ObjectTypeTable {
  public:
    ObjectTypeTable() = default;
    explicit ObjectTypeTable(const HostObjectTable& host);

    const ObjectTypeRecord* FindById(int id) const;
    void Add(ObjectTypeRecord record);
    int GetStepCount() const { return stepCount_; }
    const std::map<int, ObjectTypeRecord>& Records() const { return records_; }

  private:
    int stepCount_ = 1;
    std::map<int, ObjectTypeRecord> records_;
};

// The records whose host type code is `code`, in id order, as two parallel lists. S_OK when
// at least one was found, else E_FAIL (the lists are then empty).
[[nodiscard]] HRESULT FindEntriesById(const ObjectTypeTable& table, int code, std::vector<int>& ids,
                                      std::vector<const ObjectTypeRecord*>& objects);

// The mesh node ids of an object's geometry references, ascending and without repeats, in
// a block of signed task memory that the caller frees with SignedMemFree. E_FAIL when the
// table holds no such object, the mesh is missing or refuses a query; nodes stays null then.
[[nodiscard]] HRESULT ResolveReferencedObject(const ObjectTypeTable& table, int objectId, IHostMeshData* mesh,
                                              int*& nodes, int& count);
