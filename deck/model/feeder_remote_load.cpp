// The remote-load writer: the pilot node of a remote point and its coupling to the scoped
// region, either rigid (".RBE" on a node group) or deformable (".MCE"/".MCC" on a face group
// and the groups derived from it).
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/text.h"
#include "host/data_source.h"
#include "platform/text.h"

namespace {

// The deformable form names four groups, which the numbered groups step over.
constexpr int kDeformableGroupCount = 4;
// The endings of the names of the deformable form's groups.
constexpr const char* kDeformableGroupEndings[] = {"", "_POINT", "_MAI", "_POINT_XTEND"};

struct RemoteLoad {
    DorvixFeeder& feeder;
    DorvixDeckFile& deck;
    CMeshWrapper& meshWrapper;
    IHostMesh* mesh;
    const RemotePointRecord& record;
    const std::wstring& name;
    const JXReferenceList& scoping;

    int Refuse(const std::wstring& reason) const {
        feeder.PostHostMessage(L"The remote point \"" + name + L"\" " + reason, L"Error");
        return kRC_MissingData;
    }
    std::string FallbackName() const { return "RP_" + std::to_string(record.id); }
};

std::string Replace(std::string text, const std::string& name) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + name.size()))
        text.replace(at, 2, name);
    return text;
}

[[nodiscard]] int WriteRigid(const RemoteLoad& load) {
    std::set<int> nodes;
    for (const JXReference& r : load.scoping) {
        std::vector<int> found;
        if (FAILED(GetScopingNodeIds(load.mesh, r, found)))
            return load.Refuse(L"is scoped to an entity whose nodes the host cannot give.");
        nodes.insert(found.begin(), found.end());
    }
    if (nodes.empty()) return load.Refuse(L"is scoped to no node.");
    load.deck.WriteLine("!** Create selection for remote load");
    const int group = NextSelectionGroupNumber();
    // A name the deck refuses as an identifier still needs its group: the record's id names it.
    if (load.deck.WriteSelectionGroup(platform::WideToUtf8(load.name), nodes, true, group) != kRC_Success &&
        load.deck.WriteSelectionGroup(load.FallbackName(), nodes, true, group) != kRC_Success)
        return load.Refuse(L"cannot get its node group.");
    const RemotePointRecord& record = load.record;
    const std::string dofMask(record.dofMask, strnlen(record.dofMask, sizeof record.dofMask));
    load.deck.WriteLine("!** Define RBE (Rigid Behavior)");
    load.deck.WriteFields(".RBE N", record.node, "GROUP", group, "CM", dofMask, "OPT 2");
    return kRC_Success;
}

bool AnyGroupNameRecorded(const std::string& id) {
    for (const char* ending : kDeformableGroupEndings)
        if (IsGroupNameRecorded(id + ending)) return true;
    return false;
}

// The deck identifier of the deformable form's groups: the name repaired into one (the record's
// id names a point whose name the deck refuses). Names that differ only in what the repair
// replaces become one identifier, so one whose groups the deck defines already gets the
// record's id appended, cut to leave room for it. False when even that name is taken.
bool DeformableGroupName(const RemoteLoad& load, std::string& id) {
    if (!SanitizeDeckName(platform::WideToUtf8(load.name), id, true)) id = load.FallbackName();
    if (!AnyGroupNameRecorded(id)) return true;
    const std::string ending = "_" + std::to_string(load.record.id);
    id = id.substr(0, kDeckNameLength - ending.size()) + ending;
    return !AnyGroupNameRecorded(id);
}

[[nodiscard]] int WriteDeformable(const RemoteLoad& load, bool twoDimensional) {
    std::vector<int> elements, faces;
    for (const JXReference& r : load.scoping) {
        const HRESULT hr = r.kind & (kJXReferenceEdge | kJXReferenceFace)
                               ? GetScopingFaces(load.mesh, r, elements, faces)
                               : E_FAIL;
        if (hr == kE_SolidElementEdge)
            return load.feeder.RefuseSolidElementEdge(L"The remote point \"" + load.name + L"\"", r);
        if (FAILED(hr))
            return load.Refuse(L"is scoped to an entity that is not a face or an edge of the mesh.");
    }
    if (elements.empty()) return load.Refuse(L"is scoped to no element face.");
    std::string id;
    if (!DeformableGroupName(load, id))
        return load.Refuse(L"cannot get group names that no other group of the deck has.");
    // The coupling element is numbered in the deck, after every element written before it; the
    // elements the writers number themselves come after it.
    int element = 0;
    if (load.feeder.DrawElementNumber(L"The remote point \"" + load.name + L"\"", element) != kRC_Success)
        return kRC_MissingData;
    DorvixDeckFile& deck = load.deck;
    deck.WriteLine("!** Create selection for remote load");
    deck.WriteLine(Replace(".SEL GROUP \"%s\" FACES", id));
    for (std::size_t i = 0; i < elements.size(); ++i)
        deck.WriteFields("  MAILLE", elements[i], "FACE", faces[i]);
    for (const char* line : {".SEL GROUP \"%s_POINT\" NOEUDS", "     TRANSFOR \"%s\"",
                             "     GROUP \"%s_MAI\" MAI", "     TRANSFOR \"%s_POINT\" XTEND",
                             "     GROUP \"%s_POINT_XTEND\" NOEUD", "     TRANSFOR \"%s_MAI\""})
        deck.WriteLine(Replace(line, id));
    for (const char* ending : kDeformableGroupEndings) RecordGroupName(id + ending);
    deck.WriteLine("#INQ (/EIDMAX, ELE, , MAX)");
    deck.WriteLine("ABRE '/EID' '(/EIDMAX+1)'");
    deck.WriteLine("!** Define MCE / MCC (Deformable Behavior)");
    deck.WriteFields(".MCE I /EID MEAN N", load.record.node);
    deck.WriteLine(Replace(".MCC I /EID MEAN BLOC \"%s\" OPT 1", id));
    if (twoDimensional) {
        deck.WriteLine(".CLM");
        deck.WriteLine(Replace("  FIX NOEUD GROUP \"%s_POINT_XTEND\" C 3 4 5", id));
    }
    GetDeckCounters().selectionGroup += kDeformableGroupCount;
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::WriteRemoteLoad(RemotePointRecord& record, const std::wstring& name,
                                  const JXReferenceList& scoping) try {
    if (!deckFile_ || !meshWrapper_) return kRC_MissingData;
    const RemoteLoad load{*this, *deckFile_, *meshWrapper_, meshWrapper_->GetMesh(), record, name, scoping};
    if (record.locationKind != RemotePointRecord::kExistingNode) {
        int node = 0;
        const HRESULT added = meshWrapper_->AddExtraNode(&node);
        if (added == kE_NoNumberLeft)
            return load.Refuse(L"cannot get a pilot node: none is left, the nodes are numbered up to " +
                               std::to_wstring(std::numeric_limits<int>::max()) + L".");
        if (FAILED(added)) return load.Refuse(L"cannot get a pilot node: the mesh has no node numbers.");
        record.node = node;
        deckFile_->WriteLine(".NOE");
        deckFile_->WriteNode(node, record.x, record.y, record.z);
    }
    if (scoping.GetCount() == 0) return load.Refuse(L"is scoped to nothing.");
    const int code = record.behaviour == RemotePointRecord::kRigid
                         ? WriteRigid(load)
                         : WriteDeformable(load, dataSource_ && dataSource_->Is2DAnalysis());
    if (code != kRC_Success) return code;
    deckFile_->WriteLine("ABRE '/npilot' '" + std::to_string(record.node) + "'");
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing a remote load");
}
