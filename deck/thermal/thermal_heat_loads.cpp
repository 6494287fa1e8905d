// The heat loads of a thermal deck: heat fluxes on faces (edges in 2-D), heat flows spread over
// faces, vertices or edges, and heat generated in bodies. Each load is written once, in the first
// load case, as 1.0 times a ".FCT" function over every step; a total heat flow becomes a flux or
// a nodal share by scaling its function.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/loads/load_writer_support.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "host/object_types.h"

using namespace loadwriter;

namespace {

constexpr int kFaceSelection = 2;
constexpr int kElementSelection = 1;

int FirstBodyId(const ObjectTypeRecord& record) {
    const auto& ids = record.GetScoping().idList;
    return ids.empty() ? 0 : ids.front();
}

JXReferenceList ScopingOf(const ObjectTypeRecord& record) {
    JXReferenceList references;
    record.AppendReferencesTo(references);
    return references;
}

}  // namespace

int ThermalDorvixFeeder::WriteFaceLoadGroup(const JXReferenceList& scoping, long id, int firstBodyId,
                                            FaceLoadGroup& group) {
    const bool twoDimensional = GetDataSource() && GetDataSource()->Is2DAnalysis();
    const bool shell = GetBodyWrapper() && GetBodyWrapper()->GetBodyKindById(firstBodyId) == kBodySurface;
    if (!twoDimensional && shell) {
        group.name = "elements_for_load_" + std::to_string(id);
        group.kind = kElementSelection;
    } else {
        group.name = "surface_for_load_" + std::to_string(id);
        group.kind = kFaceSelection;
    }
    group.keyword = twoDimensional ? "ARETE" : shell ? "FACE 2" : "FACE";
    int number = 0;
    if (FAILED(WriteScopingSelection(scoping, group.kind, group.name.c_str(), &number)))
        return kRC_MissingData;
    return kRC_Success;
}

void ThermalDorvixFeeder::WriteLoadBanner(const std::string& name) {
    if (GetDeckFile()) GetDeckFile()->WriteLine("! ~~~~~~~~~~~ Create \"" + name + "\" ~~~~~~~~~~~");
}

int ThermalDorvixFeeder::WriteFaceLoadLine(const JXReferenceList& scoping, long id, int firstBodyId,
                                           int function, std::string_view command) {
    FaceLoadGroup group;
    if (WriteFaceLoadGroup(scoping, id, firstBodyId, group) != kRC_Success) return kRC_MissingData;
    LoadLine line;
    line.Start(command).Text(" ").Text(group.keyword).Text(" GROUP \"").Text(group.name).Text("\" V 1.0 NF");
    GetDeckFile()->WriteLine(line.Int(function).Text(" TIME").Get());
    return kRC_Success;
}

std::vector<const ObjectTypeRecord*> ThermalDorvixFeeder::HeatFlowRecords() const {
    std::vector<const ObjectTypeRecord*> records;
    for (int type : {kLoadTypeHeatFlowOnEntities, kLoadTypeHeatFlow})
        for (const TypedLoad& load : LoadsOfType(*this, type)) records.push_back(load.record);
    return records;
}

int ThermalDorvixFeeder::WriteHeatFluxes() {
    if (!GetDeckFile()) return kRC_MissingData;
    for (const TypedLoad& l : LoadsOfType(*this, kLoadTypeHeatFlux)) {
        if (!l.record) return Refuse(*this, l.id, kRC_MissingData, L"it is not in the object table");
        const ObjectTypeRecord& record = *l.record;
        WriteLoadBanner(record.GetName());
        if (!l.load) return Refuse(*this, record, kRC_DataMismatch, L"the host gives no load object");
        int function = 0;
        if (CreateVariableFunction(l.load, kLoadVariableMagnitude, l.id, 1.0, function) != S_OK)
            return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
        if (WriteFaceLoadLine(ScopingOf(record), l.id, FirstBodyId(record), function, ".CLT FLUX") !=
            kRC_Success)
            return Refuse(*this, record, kRC_MissingData, L"its face group cannot be written");
    }
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteBodyHeatLoads() {
    if (!GetDeckFile()) return kRC_MissingData;
    for (const TypedLoad& l : LoadsOfType(*this, kLoadTypeBodyHeat)) {
        if (!l.record) return Refuse(*this, l.id, kRC_MissingData, L"it is not in the object table");
        const ObjectTypeRecord& record = *l.record;
        if (GetObjectGeometryKind(l.id) != kGeometryBodies)
            return Refuse(*this, record, kRC_DataMismatch, L"a heat generation must lie on bodies");
        WriteLoadBanner(record.GetName());
        const auto& idList = record.GetScoping().idList;
        if (idList.empty()) return Refuse(*this, record, kRC_MissingData, L"it names no body");
        JXList<int> bodies;
        for (int id : idList) bodies.Add(id);
        const std::string group = "SELGROUP_LOADID" + std::to_string(l.id);
        if (const int code = WriteElementUnionGroup(bodies, group); code != kRC_Success) return code;
        if (!l.load) return Refuse(*this, record, kRC_DataMismatch, L"the host gives no load object");
        int function = 0;
        if (CreateVariableFunction(l.load, kLoadVariableMagnitude, l.id, 1.0, function) != S_OK)
            return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
        LoadLine line;
        line.Start(".CLT FLV GROUP \"").Text(group).Text("\" V 1.0 NF").Int(function).Text(" TIME");
        GetDeckFile()->WriteLine(line.Get());
    }
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteSurfaceHeatFlows() {
    if (!GetDeckFile()) return kRC_MissingData;
    const bool twoDimensional = GetDataSource() && GetDataSource()->Is2DAnalysis();
    for (const ObjectTypeRecord* entry : HeatFlowRecords()) {
        if (!entry) return kRC_MissingData;
        const ObjectTypeRecord& record = *entry;
        const int id = record.GetId();
        if (GetObjectGeometryKind(id) != (twoDimensional ? kGeometryEdges : kGeometryFaces)) continue;
        WriteLoadBanner(record.GetName());
        const double measure =
            MeasureInDeckUnits(*this, record, twoDimensional ? kQuantityLength : kQuantityArea);
        if (!(measure > 0.0)) return Refuse(*this, record, kRC_MissingData, L"its area is not positive");
        if (!record.GetHostLoad())
            return Refuse(*this, record, kRC_DataMismatch, L"the host gives no load object");
        int function = 0;
        if (CreateVariableFunction(record.GetHostLoad(), kLoadVariableMagnitude, id, 1.0 / measure,
                                   function) != S_OK)
            return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
        if (WriteFaceLoadLine(ScopingOf(record), id, FirstBodyId(record), function, ".CLT FLUX") !=
            kRC_Success)
            return Refuse(*this, record, kRC_MissingData, L"its face group cannot be written");
    }
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteVertexHeatFlows() {
    if (!GetDeckFile()) return kRC_MissingData;
    for (const ObjectTypeRecord* entry : HeatFlowRecords()) {
        if (!entry) return kRC_MissingData;
        const ObjectTypeRecord& record = *entry;
        const int id = record.GetId();
        if (GetObjectGeometryKind(id) != kGeometryVertices) continue;
        WriteLoadBanner(record.GetName());
        std::set<int> nodes;
        if (GetObjectNodeSet(record, nodes) != kRC_Success || nodes.empty())
            return Refuse(*this, record, kRC_DataMismatch, L"its nodes cannot be had");
        const std::string group = "NODES_FOR_LOAD_" + std::to_string(id);
        if (GetDeckFile()->WriteSelectionGroup(group, nodes, true, NextSelectionGroupNumber()) != kRC_Success)
            return Refuse(*this, record, kRC_MissingData, L"its node group cannot be written");
        if (!record.GetHostLoad())
            return Refuse(*this, record, kRC_DataMismatch, L"the host gives no load object");
        int function = 0;
        if (CreateVariableFunction(record.GetHostLoad(), kLoadVariableMagnitude, id,
                                   1.0 / static_cast<double>(nodes.size()), function) != S_OK)
            return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
        LoadLine line;
        line.Start(".CLT LOAD GROUP \"").Text(group).Text("\" V 1.0 NF").Int(function).Text(" TIME");
        GetDeckFile()->WriteLine(line.Get());
    }
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteEdgeHeatFlows() {
    if (GetDataSource() && GetDataSource()->Is2DAnalysis()) return kRC_Success;
    if (!GetDeckFile() || !GetMeshWrapper()) return kRC_MissingData;
    for (const ObjectTypeRecord* entry : HeatFlowRecords()) {
        if (!entry) return kRC_MissingData;
        const ObjectTypeRecord& record = *entry;
        const int id = record.GetId();
        if (GetObjectGeometryKind(id) != kGeometryEdges) continue;
        WriteLoadBanner(record.GetName());
        const double measure = MeasureInDeckUnits(*this, record, kQuantityLength);
        if (!(measure > 0.0)) return Refuse(*this, record, kRC_MissingData, L"its length is not positive");
        std::map<int, double> weights;
        // No node would leave the heat flow out of the deck unnoticed.
        if (GetMeshWrapper()->GetEdgeNodeWeightsByReference(ScopingOf(record), weights) != S_OK ||
            weights.empty())
            return Refuse(*this, record, kRC_DataMismatch, L"the weights of its nodes cannot be had");
        if (!record.GetHostLoad())
            return Refuse(*this, record, kRC_DataMismatch, L"the host gives no load object");
        int function = 0;
        if (CreateVariableFunction(record.GetHostLoad(), kLoadVariableMagnitude, id, 1.0 / measure,
                                   function) != S_OK)
            return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
        GetDeckFile()->WriteLine(".CLT LOAD NOEUD");
        LoadLine line;
        for (const auto& entryWeight : weights) {
            line.Start("  I").Int(entryWeight.first).Text(" V").Value(entryWeight.second).Text(" NF");
            GetDeckFile()->WriteLine(line.Int(function).Text(" TIME").Get());
        }
    }
    return kRC_Success;
}
