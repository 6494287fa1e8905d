// Components the user can pick in the solver's results: named selections as element or node
// groups, loads and supports as node groups. A selection that cannot be named in the deck or
// resolves to nothing is left out without stopping the model section.
#include <set>
#include <string>

#include "deck/addin_utilities.h"
#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/signed_memory.h"
#include "foundation/text.h"
#include "host/data_source.h"
#include "host/object_types.h"
#include "runtime/object_data.h"

namespace {

// The ids of a task-memory block as an ascending set; the block is freed.
std::set<int> TakeIdSet(int* ids, int count) {
    std::set<int> set;
    if (ids && count > 0) set.insert(ids, ids + count);
    (void)SignedMemFree(ids);
    return set;
}

void WriteNodeSelection(DorvixFeeder& feeder, const ObjectData& selection, const std::string& deckName) {
    int* ids = nullptr;
    int count = 0;
    const HRESULT hr = selection.GetMeshIds(feeder.GetHostMesh(), &ids, &count);
    const std::set<int> nodes = TakeIdSet(ids, count);
    if (FAILED(hr) || nodes.empty()) return;
    DorvixDeckFile& deck = *feeder.GetDeckFile();
    deck.WriteLine("!*********** Send Named Selection as Node Component ***********");
    (void)deck.WriteSelectionGroup(deckName, nodes, true, NextSelectionGroupNumber());
}

}  // namespace

int DorvixFeeder::WriteNamedSelections() try {
    if (!dataSource_ || !deckFile_) return kRC_Success;
    for (const ScopingRecord& record : dataSource_->GetNamedSelections()) {
        std::string deckName;
        if (!SanitizeDeckName(record.name, deckName, false)) continue;
        const ObjectData selection(record);
        if (selection.GetReferenceKind() != kGeometryBodies) {
            WriteNodeSelection(*this, selection, deckName);
            continue;
        }
        std::vector<std::uint32_t> bodyIds;
        selection.GetIdList(bodyIds);
        if (bodyIds.empty()) continue;
        JXList<int> ids;
        for (std::uint32_t id : bodyIds) ids.Add(static_cast<int>(id));
        deckFile_->WriteLine("!*********** Send Named Selection as Element Component ***********");
        // An empty body table is the only refusal left here, and it leaves nothing to name.
        (void)WriteElementUnionGroup(ids, deckName);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the named selections");
}

int DorvixFeeder::WriteElementUnionGroup(const JXList<int>& bodyIds, const std::string& name) {
    if (bodyIds.IsEmpty() || !dataSource_ || dataSource_->GetBodies().empty()) return kRC_MissingData;
    if (!deckFile_ || !meshWrapper_) return kRC_MissingData;
    // The element groups the mesh wrapper wrote for each body: a body meshed in both orders
    // has two, a line or rigid body none.
    std::string text = " UNION";
    for (int bodyId : bodyIds) {
        const std::vector<int>* groups = meshWrapper_->GetBodyGroupNumbers(bodyId);
        if (!groups) continue;
        for (int group : *groups) text += " " + std::to_string(group);
    }
    deckFile_->WriteFields(".SEL GROUP", NextSelectionGroupNumber(), "MAILLES NOM \"" + name + "\"");
    RecordGroupName(name);
    deckFile_->WriteLongLine(text);
    return kRC_Success;
}

void DorvixFeeder::WriteLoadSupportComponents() {
    if (!deckFile_ || !meshWrapper_ || !objectTypeTable_) return;
    JXIdList ids;
    CollectLoadSupportIds(ids);
    for (int id : ids) {
        int* block = nullptr;
        int count = 0;
        const HRESULT hr =
            ResolveReferencedObject(*objectTypeTable_, id, meshWrapper_->GetMeshData(), block, count);
        const std::set<int> nodes = TakeIdSet(block, count);
        if (FAILED(hr) || nodes.empty()) continue;
        deckFile_->WriteLine("!*********** Send Load/Support as Node Component ***********");
        (void)deckFile_->WriteSelectionGroup("N" + std::to_string(id), nodes, true,
                                             NextSelectionGroupNumber());
    }
}

void DorvixFeeder::CollectLoadSupportIds(JXIdList& ids) const {
    ids.RemoveAll();
    if (!objectTypeTable_) return;
    JXList<int> types;
    AddLoadObjectTypes(types);
    AddSupportObjectTypes(types);
    const auto eligible = [&types](int type) {
        for (int t : types)
            if (t == type) return true;
        return false;
    };
    // A load record carries its load type code as host type and its object type beside it;
    // a support carries its object type as host type.
    for (const auto& [id, record] : objectTypeTable_->Records())
        if (eligible(record.GetHostType()) || eligible(record.GetLoadObjectType())) ids.Add(id);
}
