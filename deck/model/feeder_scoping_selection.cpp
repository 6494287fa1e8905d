// Named selection groups of a scoping's nodes, element faces or elements, for the writers
// that refer to a region by group number.
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/model/id_list_line.h"
#include "host/data_source.h"
#include "platform/text.h"

namespace {

constexpr int kNodeGroup = 0;
constexpr int kFaceGroup = 2;

void WriteHeader(DorvixDeckFile& deck, int group, const char* what, const char* name) {
    deck.WriteLine(".SEL GROUP " + std::to_string(group) + " " + what + " NOM \"" + name + "\"");
    RecordGroupName(name);
}

[[nodiscard]] HRESULT WriteFaceGroup(DorvixFeeder& feeder, DorvixDeckFile& deck, IHostMesh* mesh,
                                     const JXReferenceList& scoping, bool twoDimensional, int group,
                                     const char* name) {
    std::vector<int> elements, faces;
    for (const JXReference& r : scoping) {
        // A two-dimensional model's faces are the edges of its elements.
        if (twoDimensional && !(r.kind & kJXReferenceEdge)) return E_FAIL;
        const HRESULT hr = GetScopingFaces(mesh, r, elements, faces);
        if (hr == kE_SolidElementEdge)
            (void)feeder.RefuseSolidElementEdge(L"The selection \"" + platform::Utf8ToWide(name) + L"\"", r);
        if (FAILED(hr)) return hr;
    }
    if (elements.empty()) return E_FAIL;
    WriteHeader(deck, group, "FACES", name);
    for (std::size_t i = 0; i < elements.size(); ++i)
        deck.WriteFields("  MAILLE", elements[i], "FACE", faces[i]);
    return S_OK;
}

[[nodiscard]] HRESULT WriteNodeGroup(DorvixDeckFile& deck, IHostMesh* mesh, const JXReferenceList& scoping,
                                     int group, const char* name) {
    std::set<int> nodes;
    for (const JXReference& r : scoping) {
        std::vector<int> found;
        if (const HRESULT hr = GetScopingNodeIds(mesh, r, found); FAILED(hr)) return hr;
        nodes.insert(found.begin(), found.end());
    }
    if (nodes.empty()) return E_FAIL;
    WriteHeader(deck, group, "NOEUDS", name);
    deck.WriteLongLine(IdListLine(nodes));
    return S_OK;
}

// Elements in the order the host gives them, a repeated one repeated.
[[nodiscard]] HRESULT WriteElementGroup(DorvixDeckFile& deck, IHostMesh* mesh, const JXReferenceList& scoping,
                                        int group, const char* name) {
    std::vector<int> elements;
    for (const JXReference& r : scoping)
        if (const HRESULT hr = GetScopingIdsByKind(mesh, r, elements); FAILED(hr)) return hr;
    if (elements.empty()) return E_FAIL;
    WriteHeader(deck, group, "MAILLES", name);
    deck.WriteLongLine(IdListLine(elements));
    return S_OK;
}

}  // namespace

HRESULT DorvixFeeder::WriteScopingSelection(const JXReferenceList& scoping, int kind, const char* name,
                                            int* groupNumber) try {
    if (scoping.GetCount() == 0 || !name || !groupNumber) return E_FAIL;
    const int group = NextSelectionGroupNumber();
    *groupNumber = group;
    if (!deckFile_ || !meshWrapper_) return E_FAIL;
    IHostMesh* mesh = meshWrapper_->GetMesh();
    if (kind == kFaceGroup)
        return WriteFaceGroup(*this, *deckFile_, mesh, scoping, dataSource_ && dataSource_->Is2DAnalysis(),
                              group, name);
    if (kind == kNodeGroup) return WriteNodeGroup(*deckFile_, mesh, scoping, group, name);
    return WriteElementGroup(*deckFile_, mesh, scoping, group, name);
} catch (...) {
    return E_FAIL;
}

int DorvixFeeder::RefuseSolidElementEdge(const std::wstring& region, const JXReference& edge) {
    PostHostMessage(region + L" holds the edge " + std::to_wstring(edge.id) +
                        L", which lies on solid elements only: the edge of a solid element cannot be"
                        L" written as element faces.",
                    L"Error");
    return kRC_MissingData;
}

int DorvixFeeder::DrawElementNumber(const std::wstring& region, int& element) {
    const HRESULT drawn = meshWrapper_ ? meshWrapper_->NextElementId(&element) : E_FAIL;
    if (SUCCEEDED(drawn)) return kRC_Success;
    PostHostMessage(
        region + L" needs an element number of its own, and " +
            (drawn == kE_NoNumberLeft ? L"none is left: the elements are numbered up to " +
                                            std::to_wstring(std::numeric_limits<int>::max()) + L"."
                                      : std::wstring(L"the mesh gives no highest element number.")),
        L"Error");
    return kRC_MissingData;
}
