// Forces on faces and edges (host type 4, and type 2, a force per area) and on vertices (type 4,
// and type 21 moments). A force is shared out over the nodes or faces it covers; a face force is
// written per component as a surface traction.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_scoping.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "host/object_types.h"

using namespace loadwriter;

namespace {

int ComponentCount(bool twoDimensional) { return twoDimensional ? 2 : 3; }

}  // namespace

HRESULT DorvixFeeder::GetEdgeLoadNodeSets(const ObjectTypeRecord& load, std::set<int>& fullNodes,
                                          std::set<int>& halfNodes) const {
    for (const JXReference& reference : load.GetReferences()) {
        std::vector<int> ids;
        HRESULT hr = GetScopingNodeIds(hostMesh_.Get(), reference, ids);
        if (FAILED(hr)) return hr;
        const std::set<int> nodes(ids.begin(), ids.end());
        int ends[2] = {-1, -1};
        hr = GetFlaggedNodesOfSet(hostMesh_.Get(), nodes, &ends[0], &ends[1]);
        if (FAILED(hr)) return hr;
        for (int node : nodes)
            if (node != ends[0] && node != ends[1]) fullNodes.insert(node);
        for (int end : std::set<int>{ends[0], ends[1]}) {
            // An end shared with an edge visited before is inside the chain of edges.
            if (halfNodes.erase(end))
                fullNodes.insert(end);
            else if (!fullNodes.count(end))
                halfNodes.insert(end);
        }
    }
    return S_OK;
}

int DorvixFeeder::WriteSurfaceForceLoads(int step, int loadType) {
    const bool loadCases = UseLoadCases();
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    const int components = ComponentCount(twoDimensional);
    return ForEachLoad(*this, step, LoadsOfType(*this, loadType), kRC_DataMismatch, [&](const TypedLoad& l) {
        const ObjectTypeRecord& record = *l.record;
        const int geometry = GetObjectGeometryKind(l.id);
        if (geometry == kGeometryVertices || !deckFile_) return int{kRC_Success};
        std::vector<double> values;
        std::vector<int> functions;
        LoadLine line;

        if (geometry == kGeometryEdges && !twoDimensional) {
            std::set<int> full, half;
            if (GetEdgeLoadNodeSets(record, full, half) != S_OK)
                return LeaveOut(*this, record,
                                L"the host gives no nodes or no two end nodes of one of its edges");
            for (int node : GetCyclicSymmetryNodes()) {
                full.erase(node);
                half.erase(node);
            }
            if (half.empty())
                return LeaveOut(*this, record,
                                full.empty() ? L"its edges hold no node outside the cyclic-symmetry sides"
                                             : L"its edges close on themselves and have no end node");
            const double w =
                1.0 / (static_cast<double>(full.size()) + 0.5 * static_cast<double>(half.size()));
            if (const int code =
                    ComponentValuesOrFunctions(*this, step, l, w, false, false, values, functions);
                code)
                return code;
            deckFile_->WriteLine(HeaderLine("CHA NOE", record));
            for (const auto& [nodes, share] : {std::pair{&full, 1.0}, std::pair{&half, 0.5}}) {
                for (int node : *nodes) {
                    if (loadCases) {
                        double list[3];
                        for (int c = 0; c < 3; ++c) list[c] = ListValue(values[c], w * share);
                        deckFile_->WriteFields("  I", node, "V", DeckDoubles{list, components}, "NC",
                                               static_cast<double>(step));
                        continue;
                    }
                    for (int c = 0; c < 3; ++c) {
                        if (functions[c] < 0) continue;
                        line.Start("  I")
                            .Int(node)
                            .Text(share == 1.0 ? " V 1.0 COMP" : " V 0.5 COMP")
                            .Int(c + 1);
                        deckFile_->WriteLine(line.Text(" NF").Int(functions[c]).Text(" TIME").Get());
                    }
                }
            }
            return int{kRC_Success};
        }

        double w = 1.0;
        if (loadType == kLoadTypeForce) {
            const double area =
                MeasureInDeckUnits(*this, record, twoDimensional ? kQuantityLength : kQuantityArea);
            if (!(area > 0.0)) return Refuse(*this, record, kRC_MissingData, L"its area is not positive");
            w = 1.0 / area;
        }
        // The functions come before the faces: whether the host resolves the faces of one load
        // does not change the numbers of the functions after it.
        if (const int code = ComponentValuesOrFunctions(*this, step, l, w, false, false, values, functions);
            code)
            return code;
        std::vector<int> elements, faces;
        if (const int code = ScopingFacesOrLeaveOut(*this, record, elements, faces);
            code != kRC_Success || elements.empty())
            return code;
        const bool perElement = !twoDimensional && bodyWrapper_ &&
                                bodyWrapper_->GetBodyKindById(BodyIdOf(record)) == kBodySurface;
        const char* placement = perElement ? "MAI" : twoDimensional ? "ARETE" : "FACE";
        for (int c = 0; c < components; ++c) {
            if (loadCases ? values[c] == kFreeComponent : functions[c] < 0) continue;
            deckFile_->WriteLine(HeaderLine(std::string("SF") + "XYZ"[c] + " " + placement, record));
            for (std::size_t k = 0; k < elements.size(); ++k) {
                line.Start("  I").Int(elements[k]);
                if (!perElement) line.Int(faces[k]);
                if (loadCases)
                    line.Text(" V").Value(values[c] * w).Text(" NC").Int(step);
                else
                    line.Text(" V 1.0 NF").Int(functions[c]).Text(" TIME");
                deckFile_->WriteLine(line.Get());
            }
        }
        return int{kRC_Success};
    });
}

int DorvixFeeder::WriteVertexForceLoads(int step, int loadType) {
    const bool loadCases = UseLoadCases();
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    const bool moments = loadType == kLoadTypeMoment;
    return ForEachLoad(*this, step, LoadsOfType(*this, loadType), kRC_DataMismatch, [&](const TypedLoad& l) {
        const ObjectTypeRecord& record = *l.record;
        if (GetObjectGeometryKind(l.id) != kGeometryVertices || !deckFile_) return int{kRC_Success};
        std::set<int> nodes;
        if (GetObjectNodeSet(record, nodes) != kRC_Success)
            return Refuse(*this, record, kRC_DataMismatch, L"its nodes cannot be had");
        if (nodes.empty()) return LeaveOut(*this, record, L"its vertices hold no node");
        const double w = 1.0 / static_cast<double>(nodes.size());
        std::vector<double> values;
        std::vector<int> functions;
        if (const int code = ComponentValuesOrFunctions(*this, step, l, w, false, moments, values, functions);
            code)
            return code;
        const int offset = moments ? 4 : 1;
        deckFile_->WriteLine(HeaderLine("CHA NOE", record));
        LoadLine line;
        for (int node : nodes) {
            if (loadCases && !moments) {
                double list[3];
                for (int c = 0; c < 3; ++c) list[c] = ListValue(values[c], w);
                deckFile_->WriteFields("  I", node, "V", DeckDoubles{list, ComponentCount(twoDimensional)},
                                       "NC", static_cast<double>(step));
                continue;
            }
            // A moment names its components: a value list would put it on the translations.
            for (int c = 0; c < 3; ++c) {
                if (loadCases ? values[c] == kFreeComponent : functions[c] < 0) continue;
                line.Start("  I").Int(node);
                if (loadCases)
                    line.Text(" V").Value(values[c] * w).Text(" COMP").Int(c + offset).Text(" NC").Int(step);
                else
                    line.Text(" V 1.0 COMP").Int(c + offset).Text(" NF").Int(functions[c]).Text(" TIME");
                deckFile_->WriteLine(line.Get());
            }
        }
        return int{kRC_Success};
    });
}
