// The thermal contact regions of the model section: a bonded region ties the first side's nodes
// to the second side's faces (".STI"); any other region is a thermal contact pair (".PRITT")
// with its conductance on the pair's group.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "deck/addin_utilities.h"
#include "deck/deck_counters.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/mesh/face_set.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"
#include "host/data_source.h"
#include "platform/text.h"
#include "runtime/progress.h"

namespace {

constexpr const wchar_t* kOptionsSubkey = L"Contacts Default Options";
// The registry value is read into a buffer of this many characters, terminator included.
constexpr std::size_t kOptionBuffer = 260;

bool IsFaceLike(const JXReference& reference) {
    return (reference.kind & (kJXReferenceEdge | kJXReferenceFace)) != 0;
}

// The first face-like entity of a side that is an edge only solid elements hold; null for none.
const JXReference* SolidElementEdgeOf(IHostMesh* mesh, const ContactSide& side) {
    std::vector<int> elements, numbers;
    for (const JXReference& reference : side.references)
        if (IsFaceLike(reference) &&
            GetScopingFaces(mesh, reference, elements, numbers) == kE_SolidElementEdge)
            return &reference;
    return nullptr;
}

// The side as a face set: one face per distinct reference, with the id beside it.
void FillFaceSet(const ContactSide& side, bool marker, FaceSet& faces) {
    JXReferenceList references;
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < side.references.size(); ++i)
        if (references.Add(side.references[i])) ids.push_back(i < side.ids.size() ? side.ids[i] : 0u);
    faces.SetFaces(references, ids);
    if (marker) faces.flagA = true;
}

std::string TieOptionText() {
    wchar_t buffer[kOptionBuffer] = {};
    if (FAILED(GetAddinDirectory(kOptionsSubkey, L"STI", buffer, kOptionBuffer))) return "PROJ 0";
    return platform::WideToUtf8(buffer);
}

// The solver names the pair's group after its number: two digits up to 99, four beyond.
std::string PairGroupName(int pair) {
    char name[32];
    std::snprintf(name, sizeof name, pair < 100 ? "PRITT_%.2d" : "PRITT_%.4d", pair);
    return name;
}

}  // namespace

int ThermalDorvixFeeder::WriteContactFaceGroup(const ContactSide& side, bool marker, int group) {
    GetDeckFile()->WriteFields(".SEL GROUP", group, "FACES");
    FaceSet faces;
    FillFaceSet(side, marker, faces);
    std::vector<int> elements;
    std::vector<int> numbers;
    for (const auto& face : faces.GetFaces()) {
        if (!IsFaceLike(face->reference)) return kRC_ContactTargetNotFace;
        elements.clear();
        numbers.clear();
        if (FAILED(GetScopingFaces(GetMeshWrapper()->GetMesh(), face->reference, elements, numbers)))
            return kRC_MissingData;
        for (std::size_t i = 0; i < elements.size() && i < numbers.size(); ++i)
            GetDeckFile()->WriteFields("  MAILLE", elements[i], "FACE", numbers[i]);
    }
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteThermalContactRegion(const ContactRegionRecord& region, bool& written) {
    written = false;
    DorvixDeckFile& deck = *GetDeckFile();
    deck.WriteLine("!-----------------------------");
    deck.WriteLine("! Contact Region : " + region.name);
    deck.WriteLine("!-----------------------------");
    const auto& second = region.target.references;
    if (second.empty() || !IsFaceLike(second.front())) return kRC_Success;
    const bool marker = region.marker != 0;
    // A region with an edge of a solid element among its faces is refused before it writes a group.
    IHostMesh* mesh = GetMeshWrapper()->GetMesh();
    const JXReference* edge = SolidElementEdgeOf(mesh, region.target);
    if (!edge && !region.bonded) edge = SolidElementEdgeOf(mesh, region.source);
    if (edge)
        return RefuseSolidElementEdge(L"The contact region \"" + platform::Utf8ToWide(region.name) + L"\"",
                                      *edge);

    const int first = NextSelectionGroupNumber();
    if (region.bonded) {
        deck.WriteFields(".SEL GROUP", first, "NOEUDS");
        FaceSet faces;
        FillFaceSet(region.source, marker, faces);
        std::set<int> nodes;
        std::vector<int> list;
        for (const auto& face : faces.GetFaces()) {
            list.clear();
            if (FAILED(GetScopingNodeIds(GetMeshWrapper()->GetMesh(), face->reference, list)))
                return kRC_MissingData;
            nodes.insert(list.begin(), list.end());
        }
        std::string line = "  I";
        for (int node : nodes) line += " " + std::to_string(node);
        deck.WriteLongLine(line);
    } else if (const int code = WriteContactFaceGroup(region.source, marker, first); code != kRC_Success) {
        return code;
    }
    const int other = NextSelectionGroupNumber();
    if (const int code = WriteContactFaceGroup(region.target, marker, other); code != kRC_Success)
        return code;

    const std::string groups = std::to_string(first) + " " + std::to_string(other);
    if (region.bonded) {
        std::string line = ".STI I " + std::to_string(NextTieNumber()) + " GROUP " + groups + " ";
        const std::string option = TieOptionText();
        if (option.size() > 1) line += option;
        deck.WriteLine(line);
    } else {
        const int pair = NextThermalContactNumber();
        deck.WriteLine(".PRITT I " + std::to_string(pair) + " GROUP " + groups);
        if (region.referenceFlag == 1)
            deck.WriteLine("            REFERENCE  " + FormatGeneral15(region.referenceValue));
        deck.WriteLine(".CLT GROUP \"" + PairGroupName(pair) + "\" COI V  " +
                       FormatGeneral15(region.conductance));
        // The solver makes a group of its own for the pair.
        (void)NextSelectionGroupNumber();
    }
    WriteObjectSnippetsForKey(kSnippetContact, region.snippetKey);
    written = true;
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteContacts() try {
    const ContactList* list = GetDataSource() ? GetDataSource()->GetContactPairs() : nullptr;
    if (!list) {
        PostHostMessage(L"The host gives no contact list", L"Error");
        return kRC_MissingData;
    }
    const int count = list->GetCount();
    if (count < 1) return kRC_Success;
    if (!GetDeckFile() || !GetMeshWrapper()) return kRC_MissingData;
    for (int i = 0; i < count; ++i) {
        const ContactRegionRecord& region = list->regions[static_cast<std::size_t>(i)];
        bool written = false;
        if (const int code = WriteThermalContactRegion(region, written); code != kRC_Success) {
            PostHostMessage(
                L"Contact region \"" + platform::Utf8ToWide(region.name) + L"\" cannot be written", L"Error");
            return code;
        }
        if (written && ::ReportProgress((i * 15) / count + 70, kProgressDeckWriting) == 0)
            return kRC_Cancelled;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the thermal contacts");
}
