// The topology section: every node of the mesh, then every volume, 2D and shell element.
#include <algorithm>

#include "deck/deck_file.h"
#include "deck/mesh/element_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/return_codes.h"
#include "foundation/unit_systems.h"
#include "runtime/progress.h"

namespace {

// Counts of the seven shapes fed by the element types of one order, or of both.
struct TypeCount {
    int type;
    int order;  // 0 linear, 1 quadratic
    int MeshElementCounts::*count;
};
constexpr TypeCount kCountedTypes[] = {
    {kHET_Hexa20, 1, &MeshElementCounts::hexahedra},     {kHET_Hexa8, 0, &MeshElementCounts::hexahedra},
    {kHET_Wedge15, 1, &MeshElementCounts::wedges},       {kHET_Wedge6, 0, &MeshElementCounts::wedges},
    {kHET_Pyramid13, 1, &MeshElementCounts::pyramids},   {kHET_Pyramid5, 0, &MeshElementCounts::pyramids},
    {kHET_Tetra10, 1, &MeshElementCounts::tetrahedra},   {kHET_Tetra4, 0, &MeshElementCounts::tetrahedra},
    {kHET_Quad8, 1, &MeshElementCounts::quadrilaterals}, {kHET_Quad4, 0, &MeshElementCounts::quadrilaterals},
    {kHET_Tri6, 1, &MeshElementCounts::triangles},       {kHET_Tri3, 0, &MeshElementCounts::triangles},
    {kHET_Line3, 1, &MeshElementCounts::lines},          {kHET_LineQuadratic4, 1, &MeshElementCounts::lines},
    {kHET_Line2, 0, &MeshElementCounts::lines},          {kHET_LineLinear3, 0, &MeshElementCounts::lines},
};

}  // namespace

HRESULT CMeshWrapper::CountElements(int selector, int entityId, MeshElementCounts& counts,
                                    int orderSelector) {
    counts = MeshElementCounts{};
    if (!meshData_) return E_FAIL;
    for (const TypeCount& t : kCountedTypes) {
        if ((orderSelector == kLinear || orderSelector == kQuadratic) && t.order != orderSelector) continue;
        int n = 0;
        const HRESULT hr = selector == kMeshSelectAll
                               ? meshData_->CountElementsOfType(t.type, n)
                               : meshData_->CountEntities(selector, entityId, 0, t.type, n);
        if (SUCCEEDED(hr)) counts.*t.count += n;
    }
    return S_OK;
}

HRESULT CMeshWrapper::CountMeshElements(MeshElementCounts& counts, int orderSelector) {
    if (!mesh_) {
        counts = MeshElementCounts{};
        return E_FAIL;
    }
    return CountElements(kMeshSelectAll, 0, counts, orderSelector);
}

int CMeshWrapper::WriteNodes(DorvixDeckFile* deck) {
    if (!deck) return kRC_MissingData;
    deck->WriteLine("!---------------------------------------");
    deck->WriteLine("! Topology");
    deck->WriteLine("!---------------------------------------");
    deck->WriteLine(".NOE");
    if (!meshData_) return kRC_HostMeshRefused;
    HostNodeList nodes;
    if (FAILED(meshData_->GetNodes(kMeshSelectAll, 0, 0, true, nodes)) ||
        nodes.xyz.size() != 3 * nodes.ids.size())
        return kRC_HostMeshRefused;
    const int count = static_cast<int>(nodes.ids.size());
    const int step = std::max(count / 40, 20);
    const UnitSystemTable& units = GetUnitSystemTable();
    const bool convert = meshUnitSystem_ != deckUnitSystem_;
    for (int i = 0; i < count; ++i) {
        if (nodes.ids[i] < 0) return kRC_HostMeshRefused;
        const double* p = &nodes.xyz[3 * static_cast<std::size_t>(i)];
        if (convert)
            deck->WriteNode(nodes.ids[i],
                            units.Convert(meshUnitSystem_, deckUnitSystem_, kQuantityLength, p[0]),
                            units.Convert(meshUnitSystem_, deckUnitSystem_, kQuantityLength, p[1]),
                            units.Convert(meshUnitSystem_, deckUnitSystem_, kQuantityLength, p[2]));
        else
            deck->WriteNode(nodes.ids[i], p[0], p[1], p[2]);
        if (i % step == 0) {
            const int percent = static_cast<int>(i * 20.0 / count + 5.0);
            if (ReportProgress(percent, kProgressDeckWriting) == 0) return kRC_Cancelled;
        }
    }
    return kRC_Success;
}

int CMeshWrapper::WriteElements(DorvixDeckFile* deck) {
    if (!deck) return kRC_MissingData;
    deck->WriteLine(".MAI");
    MeshElementCounts counts;
    if (FAILED(CountMeshElements(counts, kBothOrders))) return kRC_HostMeshRefused;
    // Every family is tried even after one was refused, so a single bad block costs only
    // its own lines; the refusal still reaches the caller, which stops the deck.
    int code = kRC_Success;
    const auto keep = [&code](int result) {
        if (code == kRC_Success) code = result;
    };
    if (counts.tetrahedra) keep(WriteTetraElements(deck));
    if (counts.hexahedra) keep(WriteHexaElements(deck));
    if (counts.wedges) keep(WriteWedgeElements(deck));
    if (counts.pyramids) keep(WritePyramidElements(deck));
    if (counts.quadrilaterals || counts.triangles) keep(WriteShellElements(deck));
    return code;
}

// A block is written only when the host gave it and every element holds exactly the node
// count of its type; the line writers would otherwise read past a short list or drop the
// block without a word. A refused block writes nothing, the family's other types still do.
int CMeshWrapper::WriteFamily(DorvixDeckFile* deck, std::initializer_list<int> types,
                              void (DorvixDeckFile::*writer)(int, int, const int*)) {
    if (!deck || !meshData_) return kRC_HostMeshRefused;
    int code = kRC_Success;
    HostElementBlock block;
    for (int type : types) {
        if (FAILED(meshData_->GetElementsOfType(type, block))) {
            code = kRC_HostMeshRefused;
            continue;
        }
        if (block.ids.empty()) continue;
        int nodeCount = -1;
        CElementWrapper::GetNodeCounts(type, &nodeCount, nullptr);
        const std::size_t per = static_cast<std::size_t>(std::max(nodeCount, 0));
        if (nodeCount <= 0 || block.nodesPerElement != nodeCount ||
            block.nodes.size() != per * block.ids.size()) {
            code = kRC_HostMeshRefused;
            continue;
        }
        for (std::size_t i = 0; i < block.ids.size(); ++i)
            (deck->*writer)(block.ids[i], nodeCount, &block.nodes[i * per]);
    }
    return code;
}

int CMeshWrapper::WriteTetraElements(DorvixDeckFile* deck) {
    return WriteFamily(deck, {kHET_Tetra10, kHET_Tetra4}, &DorvixDeckFile::WriteTetra);
}
int CMeshWrapper::WriteHexaElements(DorvixDeckFile* deck) {
    return WriteFamily(deck, {kHET_Hexa20, kHET_Hexa8}, &DorvixDeckFile::WriteHexa);
}
int CMeshWrapper::WriteWedgeElements(DorvixDeckFile* deck) {
    return WriteFamily(deck, {kHET_Wedge15, kHET_Wedge6}, &DorvixDeckFile::WriteWedge);
}
int CMeshWrapper::WritePyramidElements(DorvixDeckFile* deck) {
    return WriteFamily(deck, {kHET_Pyramid13, kHET_Pyramid5}, &DorvixDeckFile::WritePyramid);
}
int CMeshWrapper::WriteShellElements(DorvixDeckFile* deck) {
    return WriteFamily(deck, {kHET_Quad8, kHET_Tri6, kHET_Quad4, kHET_Tri3}, &DorvixDeckFile::WriteElement);
}
