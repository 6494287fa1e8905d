// The cyclic-symmetry writer. A region with a "zyg" command object, or any region of a
// harmonic eigen run, becomes one sector (".ZYG" between a low node group and a high face
// group); any other region ties its low nodes to their high partners (".LIA") and turns the
// tied group into the region's cylindrical frame (".AXL").
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/model/cyclic_sector.h"
#include "deck/model/id_list_line.h"
#include "foundation/analysis_kind.h"
#include "foundation/number_format.h"
#include "host/data_source.h"
#include "host/object_types.h"
#include "runtime/addin_services.h"
#include "settings/modal_controls.h"
#include "settings/settings_types.h"

namespace {

// Sector groups are numbered from the boundary entities, apart from the counted groups.
constexpr int kSectorGroupBase = 10000000;
constexpr const char* kBanner = "!*********** Create Periodic/Cyclic Symmetry ***********";

struct ZygArguments {
    bool found = false;
    double prect = -1.0;
    double precn = -1.0;
};

struct CyclicRun {
    DorvixFeeder& feeder;
    DorvixDeckFile& deck;
    CBodyAttributeWrapper& bodies;
    CMeshWrapper& mesh;
    std::set<int>& tiedNodes;
    bool eigen = false;
    std::uint32_t wave = 0;
    bool prestress = false;
};

std::wstring RegionName(const SymmetryRegionRecord& region) {
    return L"The symmetry region of host object " + std::to_wstring(region.hostObjectId);
}

int Refuse(CyclicRun& run, const SymmetryRegionRecord& region, const std::wstring& reason) {
    run.feeder.PostHostMessage(RegionName(region) + L" " + reason, L"Error");
    return kRC_MissingData;
}

bool IsZygName(const std::wstring& name) {
    if (name.size() != 3) return false;
    std::wstring lower = name;
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower == L"zyg";
}

// -1 when the object has no such argument or it does not read as a number.
double ArgumentAsDouble(IHostObjectArguments* arguments, int index) {
    VariantHolder value;
    if (!arguments || arguments->GetArgument(index, value.ReleaseAndGet()) != S_OK) return -1.0;
    if (FAILED(value.ChangeType(VT_R8))) return -1.0;
    return value->dblVal;
}

ZygArguments FindZygObject(int hostObjectId) {
    ZygArguments zyg;
    AddinServices& services = AddinServices::GetInstance();
    for (int id : services.GetObjectIdList(hostObjectId, kHostAttachedObjectType)) {
        ComPtr<IUnknown> object = services.GetObjectById(id);
        if (!object) continue;
        ComPtr<IHostObject> host = object.As<IHostObject>();
        std::wstring name;
        if (!host || FAILED(host->GetName(name)) || !IsZygName(name)) continue;
        ComPtr<IHostObjectArguments> arguments = object.As<IHostObjectArguments>();
        zyg.found = true;
        zyg.prect = ArgumentAsDouble(arguments.Get(), 0);
        zyg.precn = ArgumentAsDouble(arguments.Get(), 1);
        break;
    }
    return zyg;
}

// The mesh id of the region's first body: the number the host mesh keys its bodies by.
[[nodiscard]] int FirstBodyMeshId(CyclicRun& run, const SymmetryRegionRecord& region, int& meshId) {
    if (region.bodies.empty()) return Refuse(run, region, L"names no body.");
    const int index = run.bodies.FindBodyIndex(region.bodies.front());
    if (index < 0) return Refuse(run, region, L"names a body the model does not hold.");
    meshId = run.bodies.GetBodyMeshId(index);
    return kRC_Success;
}

[[nodiscard]] int SectorAngle(CyclicRun& run, const SymmetryRegionRecord& region, double& sectorAngle) {
    int meshId = 0;
    if (const int code = FirstBodyMeshId(run, region, meshId)) return code;
    double bodyAngle = 0.0;
    IHostMesh* hostMesh = run.mesh.GetMesh();
    if (!hostMesh || FAILED(hostMesh->GetBodySectorAngle(meshId, bodyAngle)))
        return Refuse(run, region, L"has a body whose sector angle the host cannot give.");
    if (CyclicSectorAngle(bodyAngle, sectorAngle) != kRC_Success)
        return Refuse(run, region,
                      L"has a sector angle of " + std::to_wstring(bodyAngle) +
                          L" degrees, which does not divide the full turn into whole sectors.");
    return kRC_Success;
}

// The low side as a node group; its nodes become tied nodes.
[[nodiscard]] int WriteLowNodeGroup(CyclicRun& run, const SymmetryRegionRecord& region, int group) {
    std::set<int> nodes;
    for (const JXReference& r : region.lowBoundary) {
        std::vector<int> found;
        if (FAILED(GetScopingNodeIds(run.mesh.GetMesh(), r, found)))
            return Refuse(run, region, L"has a low boundary whose nodes the host cannot give.");
        nodes.insert(found.begin(), found.end());
    }
    if (nodes.empty()) return Refuse(run, region, L"has a low boundary without nodes.");
    run.deck.WriteFields(".SEL GROUP", group, "NOEUDS");
    run.deck.WriteLongLine(IdListLine(nodes));
    run.tiedNodes.insert(nodes.begin(), nodes.end());
    return kRC_Success;
}

// The element faces of the high side.
[[nodiscard]] int ResolveHighFaces(CyclicRun& run, const SymmetryRegionRecord& region,
                                   std::vector<int>& elements, std::vector<int>& faces) {
    for (const JXReference& r : region.highBoundary) {
        const HRESULT hr = r.kind & (kJXReferenceEdge | kJXReferenceFace)
                               ? GetScopingFaces(run.mesh.GetMesh(), r, elements, faces)
                               : E_FAIL;
        if (hr == kE_SolidElementEdge)
            return run.feeder.RefuseSolidElementEdge(RegionName(region) + L" (its high boundary)", r);
        if (FAILED(hr))
            return Refuse(run, region,
                          L"has a high boundary entity that is not a face or an edge of the mesh.");
    }
    if (elements.empty()) return Refuse(run, region, L"has a high boundary without element faces.");
    return kRC_Success;
}

void WriteHighFaceGroup(CyclicRun& run, int group, const std::vector<int>& elements,
                        const std::vector<int>& faces) {
    run.deck.WriteFields(".SEL GROUP", group, "FACES");
    for (std::size_t i = 0; i < elements.size(); ++i)
        run.deck.WriteFields("  MAILLE", elements[i], "FACE", faces[i]);
}

[[nodiscard]] int WriteSector(CyclicRun& run, const SymmetryRegionRecord& region, const ZygArguments& zyg) {
    run.deck.WriteLine(kBanner);
    double angle = 0.0;
    if (const int code = SectorAngle(run, region, angle)) return code;
    const CoordinateSystemData* system = run.bodies.FindCoordinateSystem(region.coordinateSystemId);
    if (!system) return Refuse(run, region, L"names a coordinate system the model does not hold.");
    const char axis = CyclicAxisLetter(system->frame.GetZAxis());
    if (!axis) return kRC_PeriodicAxisIncorrect;
    if (region.lowBoundary.empty() || region.highBoundary.empty())
        return Refuse(run, region, L"lacks its low or its high boundary.");
    const int low = kSectorGroupBase + region.lowBoundary.front().id;
    const int high = kSectorGroupBase + region.highBoundary.front().id;
    if (run.prestress) {
        run.deck.WriteLine(".DEL.ZYG");
    } else {
        // The high side is resolved first, so that a region refused for it writes no group.
        std::vector<int> elements, faces;
        if (const int code = ResolveHighFaces(run, region, elements, faces)) return code;
        if (const int code = WriteLowNodeGroup(run, region, low)) return code;
        WriteHighFaceGroup(run, high, elements, faces);
    }
    std::string line = ".ZYG GROUP " + std::to_string(low) + " " + std::to_string(high) + " ANGLE " +
                       FormatSignificant(angle, 6) + " AXE " + axis;
    if (run.eigen) line += " WAVE " + std::to_string(run.wave);
    line += " ATT " + std::to_string(region.hostObjectId);
    if (zyg.prect > 0.0) line += " PRECT " + FormatSignificant(zyg.prect, 15);
    if (zyg.precn > 0.0) line += " PRECN " + FormatSignificant(zyg.precn, 15);
    run.deck.WriteLine(line);
    return kRC_Success;
}

void WriteLinkPairs(CyclicRun& run, const std::map<int, int>& pairs, std::set<int>& regionNodes) {
    std::set<std::pair<int, int>> written;
    for (const auto& [lowNode, highNode] : pairs) {
        const int a = lowNode < 0 ? -lowNode : lowNode;
        const int b = highNode < 0 ? -highNode : highNode;
        if (!written.emplace(a, b).second) continue;
        for (int component = 1; component <= 3; ++component)
            run.deck.WriteFields("  NA", a, "NB 0 NC", component, "MA", b, "MB 0 MC", component);
        regionNodes.insert(a);
        regionNodes.insert(b);
        run.tiedNodes.insert(b);
    }
}

[[nodiscard]] int WriteLink(CyclicRun& run, const SymmetryRegionRecord& region) {
    if (run.prestress) return kRC_Success;
    run.deck.WriteLine(kBanner);
    run.deck.WriteLine(".LIA");
    const int group = NextSelectionGroupNumber();
    int meshId = 0;
    if (const int code = FirstBodyMeshId(run, region, meshId)) return code;
    std::map<int, int> pairs;
    if (FAILED(run.mesh.GetSymmetryRegionNodeSets(-1, meshId, region, pairs)) || pairs.empty())
        return kRC_HostMeshRefused;
    std::set<int> regionNodes;
    WriteLinkPairs(run, pairs, regionNodes);
    run.deck.WriteFields(".SEL GROUP ", group, "NOEUDS");
    run.deck.WriteLongLine(IdListLine(regionNodes));
    ComPtr<IUnknown> object = AddinServices::GetInstance().GetObjectById(region.coordinateSystemId);
    ComPtr<IHostCoordinateSystem> system = object.As<IHostCoordinateSystem>();
    int frame = 0;
    if (!system || FAILED(system->GetNumber(frame)))
        return Refuse(run, region, L"names a coordinate system the host does not know.");
    // Frame 0 is the global frame, which the tied nodes already use.
    if (frame != 0) run.deck.WriteFields(".AXL GROUP ", group, " FRAME ", frame);
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::WriteCyclicSymmetry() try {
    if (!dataSource_) return kRC_MissingData;
    const std::vector<SymmetryRegionRecord>& regions = dataSource_->GetSymmetryRegions();
    if (regions.empty()) return kRC_Success;
    cyclicSymmetryNodes_.clear();
    if (!deckFile_ || !bodyWrapper_ || !meshWrapper_) return kRC_MissingData;
    CyclicRun run{*this, *deckFile_, *bodyWrapper_, *meshWrapper_, cyclicSymmetryNodes_};
    if (analysisKind_ == kAnalysisEigen) {
        const auto* modal =
            settings_ ? settings_->GetControlsAs<DorvixModalControls>(kModalControlsTag) : nullptr;
        if (!modal) return kRC_MissingStepValue;
        run.eigen = true;
        run.wave = modal->GetHarmonicIndex();
        run.prestress = HasPrestress();
    }
    for (const SymmetryRegionRecord& region : regions) {
        if (region.suppressed || region.typeCode == 1) continue;
        const ZygArguments zyg = FindZygObject(region.hostObjectId);
        const int code = zyg.found || run.wave > 0 ? WriteSector(run, region, zyg) : WriteLink(run, region);
        if (code != kRC_Success) return code;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the cyclic symmetry");
}
