// Records built from the host's object table with their load descriptions, look-ups by id and host type.
#include "deck/object_type_table.h"

#include <set>

#include "foundation/signed_memory.h"
#include "host/mesh.h"

namespace {

std::unique_ptr<CLoad> MakeLoad(const HostLoadRecord& host) {
    const int type = host.objectType;
    std::unique_ptr<CLoad> load;
    switch (host.loadClass) {
        case HostLoadRecord::Class::kNone:
            return nullptr;
        case HostLoadRecord::Class::kPlain:
            load = std::make_unique<CLoad>(type);
            break;
        case HostLoadRecord::Class::kPointMass: {
            auto mass = std::make_unique<CPointMass>(type);
            mass->mass = host.mass;
            for (int i = 0; i < 3; ++i) {
                mass->point[i] = host.point[i];
                mass->inertia[i] = host.inertia[i];
            }
            mass->integer = host.pointMassInteger;
            load = std::move(mass);
            break;
        }
        case HostLoadRecord::Class::kTemperature: {
            auto temperature = std::make_unique<CTemperature>(type);
            temperature->temperature = host.temperature;
            temperature->temperatureFlag = host.temperatureFlag;
            load = std::move(temperature);
            break;
        }
    }
    load->firstNumber = host.firstNumber;
    load->kind = host.kind;
    load->flag = host.flag;
    load->frame = host.frame;
    return load;
}

}  // namespace

ObjectTypeRecord::ObjectTypeRecord(const HostObjectRecord& host)
    : id_(host.id),
      hostType_(host.hostType),
      name_(host.name),
      scoping_(host.scoping),
      objectType_(host.objectType),
      bodyIdText_(host.bodyIdText),
      area_(host.area),
      load_(MakeLoad(host.load)),
      hostLoad_(host.hostLoad),
      hostObject_(host.hostObject) {}

void ObjectTypeRecord::GetPointMass(CPointMass& out) const {
    if (const auto* mass = dynamic_cast<const CPointMass*>(load_.get())) out.CopyFrom(*mass);
}

void ObjectTypeRecord::AppendReferencesTo(JXReferenceList& target) const {
    for (const JXReference& reference : GetReferences()) target.Add(reference);
}

int ObjectTypeRecord::GetLoadObjectType() const { return load_ ? load_->GetObjectType() : 0; }

void ObjectTypeRecord::GetTemperature(double& value, std::uint8_t& flag) const {
    if (const auto* t = dynamic_cast<const CTemperature*>(load_.get())) {
        value = t->temperature;
        flag = t->temperatureFlag;
    }
}

ObjectTypeTable::ObjectTypeTable(const HostObjectTable& host) : stepCount_(host.stepCount) {
    for (const HostObjectRecord& record : host.records) Add(ObjectTypeRecord(record));
}

const ObjectTypeRecord* ObjectTypeTable::FindById(int id) const {
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : &it->second;
}

// A second record with an id already present replaces nothing: the host's first one stands.
void ObjectTypeTable::Add(ObjectTypeRecord record) { records_.emplace(record.GetId(), std::move(record)); }

HRESULT FindEntriesById(const ObjectTypeTable& table, int code, std::vector<int>& ids,
                        std::vector<const ObjectTypeRecord*>& objects) {
    ids.clear();
    objects.clear();
    for (const auto& [id, record] : table.Records()) {
        if (record.GetHostType() != code) continue;
        ids.push_back(id);
        objects.push_back(&record);
    }
    return ids.empty() ? E_FAIL : S_OK;
}

HRESULT ResolveReferencedObject(const ObjectTypeTable& table, int objectId, IHostMeshData* mesh, int*& nodes,
                                int& count) {
    nodes = nullptr;
    count = 0;
    const ObjectTypeRecord* record = table.FindById(objectId);
    if (!record || !mesh) return E_FAIL;
    std::set<int> ids;
    for (const JXReference& reference : record->GetReferences()) {
        HostNodeList list;
        if (FAILED(mesh->GetNodes(kMeshSelectGeometry, reference.id, 0, false, list))) return E_FAIL;
        ids.insert(list.ids.begin(), list.ids.end());
    }
    if (ids.empty()) return S_OK;
    int* block = SignedMemAllocArray<int>(ids.size());
    if (!block) return E_FAIL;
    int i = 0;
    for (int id : ids) block[i++] = id;
    nodes = block;
    count = i;
    return S_OK;
}
