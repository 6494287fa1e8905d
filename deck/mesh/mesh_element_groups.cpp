// Per-part element groups: one group per body with its hypothesis, thickness, offset and
// material, and a one-node mass element for each rigid body.
#include <span>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/deck_fields.h"
#include "deck/deck_file.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/element_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/return_codes.h"
#include "foundation/analysis_kind.h"
#include "foundation/number_format.h"

namespace {

void WriteGroupHeader(DorvixDeckFile* deck, int group, const std::string& name) {
    deck->WriteLine(".SEL GROUP " + std::to_string(group) + " MAILLES NOM \"" + name + "\"");
    RecordGroupName(name);
}

}  // namespace

HRESULT CMeshWrapper::CountBodyElements(int bodyMeshId, MeshElementCounts& counts, int orderSelector) {
    return CountElements(kMeshSelectBody, bodyMeshId, counts, orderSelector);
}

HRESULT CMeshWrapper::ClassifyBodyOrder(int bodyMeshId, int* order) {
    MeshElementCounts linear, quadratic;
    if (FAILED(CountBodyElements(bodyMeshId, linear, kLinear)) ||
        FAILED(CountBodyElements(bodyMeshId, quadratic, kQuadratic)))
        return E_FAIL;
    const bool hasLinear = linear.Total() > 0, hasQuadratic = quadratic.Total() > 0;
    if (!hasLinear && !hasQuadratic) return E_FAIL;
    if (order) *order = hasLinear && hasQuadratic ? 2 : hasQuadratic ? 1 : 0;
    return S_OK;
}

int CMeshWrapper::WriteElementsForPart(int partIndex, int analysisKind, DorvixDeckFile* deck,
                                       CBodyAttributeWrapper* bodies) {
    if (!deck || FAILED(CheckPart(partIndex))) return kRC_MissingData;
    deck->WriteLine("!*********** Elements for Part " + std::to_string(partIndex + 1) + " ***********");
    return WriteBodyGroups(partIndex, analysisKind, deck, bodies);
}

int CMeshWrapper::WriteBodyGroups(int partIndex, int analysisKind, DorvixDeckFile* deck,
                                  CBodyAttributeWrapper* bodies) {
    if (!bodies) return kRC_MissingData;
    for (int index : bodies->GetPartBodies(partIndex)) {
        if (bodies->GetBodyMeshId(index) == 0) return kRC_MissingData;
        int code = kRC_Success;
        switch (bodies->GetBodyKind(index)) {
            case kBodySolid:
                code = WriteSolidBodyGroups(index, analysisKind, deck, bodies);
                break;
            case kBodySurface:
                code = WriteSurfaceBodyGroup(index, analysisKind, deck, bodies);
                break;
            case kBodyLine:
                break;  // line bodies are written with their connections, not as a group
            case CBodyAttributeWrapper::kRigid:
                code = WriteRigidBody(bodies->GetBodyRecord(index), deck, bodies->IsTwoDimensional());
                break;
            default:
                code = kRC_MissingData;
        }
        if (code != kRC_Success) return code;
    }
    return kRC_Success;
}

int CMeshWrapper::WriteSolidBodyGroups(int bodyIndex, int analysisKind, DorvixDeckFile* deck,
                                       CBodyAttributeWrapper* bodies) {
    int order = 0;
    if (FAILED(ClassifyBodyOrder(bodies->GetBodyMeshId(bodyIndex), &order))) return kRC_BodyWithoutElements;
    CElementWrapper descriptor;
    descriptor.order = order;
    descriptor.analysisKind = analysisKind;
    descriptor.shape = CElementWrapper::kTetrahedron;
    if (order != 2) return WriteSolidGroup(bodyIndex, deck, bodies, descriptor);
    // A body of both orders gets two groups: its linear elements, then its quadratic ones.
    descriptor.order = 0;
    const int code = WriteSolidGroup(bodyIndex, deck, bodies, descriptor);
    if (code != kRC_Success) return code;
    descriptor.order = 1;
    return WriteSolidGroup(bodyIndex, deck, bodies, descriptor);
}

int CMeshWrapper::WriteSolidGroup(int bodyIndex, DorvixDeckFile* deck, CBodyAttributeWrapper* bodies,
                                  const CElementWrapper& descriptor) {
    MeshElementCounts counts;
    if (FAILED(CountBodyElements(bodies->GetBodyMeshId(bodyIndex), counts, descriptor.order)) ||
        counts.Volumes() < 1)
        return kRC_BodyWithoutElements;
    if (counts.pyramids > 1 && !descriptor.AllowsPyramids()) return kRC_LinearPyramidsRefused;

    // Only the shape families the body has are asked for.
    int shapes[4];
    std::size_t shapeCount = 0;
    if (counts.tetrahedra != 0) shapes[shapeCount++] = CElementWrapper::kTetrahedron;
    if (counts.hexahedra + counts.wedges + counts.pyramids != 0) {
        shapes[shapeCount++] = CElementWrapper::kHexahedron;
        shapes[shapeCount++] = CElementWrapper::kWedge;
        shapes[shapeCount++] = CElementWrapper::kPyramid;
    }
    int group = 0;
    const int code = WriteBodyGroupIds(bodyIndex, deck, bodies, descriptor,
                                       std::span<const int>(shapes, shapeCount), group);
    if (code != kRC_Success) return code;
    deck->WriteFields(
        descriptor.analysisKind == kAnalysisThermal ? ".HYP THERMIQUE GROUP" : ".HYP VOLUME GROUP", group);
    deck->WriteFields(".AEL GROUP", group, "DEGRE", descriptor.order == 1 ? 2 : 1, "MAT",
                      bodies->GetBodyMaterialNumber(bodyIndex));
    return kRC_Success;
}

int CMeshWrapper::WriteBodyGroupIds(int bodyIndex, DorvixDeckFile* deck, CBodyAttributeWrapper* bodies,
                                    const CElementWrapper& descriptor, std::span<const int> shapes,
                                    int& group) {
    const int bodyMeshId = bodies->GetBodyMeshId(bodyIndex);
    const int partMeshId = bodies->GetBodyPartId(bodyIndex);
    // The element ids are gathered before anything is written, so a refused query leaves no
    // half group behind.
    std::vector<std::string> ids(shapes.size());
    CElementWrapper shapeDescriptor = descriptor;
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        shapeDescriptor.shape = shapes[s];
        const int code = WriteGroupElementIds(shapeDescriptor, bodyMeshId, partMeshId, ids[s]);
        if (code != kRC_Success) return code;
    }
    group = NextGroupNumber();
    RecordGroup(bodies->GetBodyId(bodyIndex), group);
    WriteGroupHeader(deck, group, bodies->GetBodyNameAt(bodyIndex));
    for (const std::string& text : ids)
        if (!text.empty()) deck->WriteLongLine(text);
    return kRC_Success;
}

int CMeshWrapper::WriteGroupElementIds(const CElementWrapper& descriptor, int bodyMeshId, int partMeshId,
                                       std::string& text) {
    text.clear();
    const int type = descriptor.GetHostElementType();
    int count = 0;
    if (!meshData_ || FAILED(meshData_->CountEntities(kMeshSelectBody, bodyMeshId, 0, type, count)))
        return kRC_HostMeshRefused;
    if (count == 0) return kRC_Success;
    text.reserve(static_cast<std::size_t>(count) * 8 + 2);
    text = " I";
    for (int k = 0; k < count; ++k) {
        int element = 0;
        if (FAILED(
                meshData_->GetEntityAt(k, kMeshSelectBodyOfPartAt, partMeshId, bodyMeshId, type, element))) {
            text.clear();
            return kRC_HostMeshRefused;
        }
        text.push_back(' ');
        AppendInt(text, element);
    }
    return kRC_Success;
}

int CMeshWrapper::WriteSurfaceBodyGroup(int bodyIndex, int analysisKind, DorvixDeckFile* deck,
                                        CBodyAttributeWrapper* bodies) {
    const int bodyMeshId = bodies->GetBodyMeshId(bodyIndex);
    int order = 0;
    if (FAILED(ClassifyBodyOrder(bodyMeshId, &order)) || order == 2) return kRC_BodyWithoutElements;
    MeshElementCounts counts;
    if (FAILED(CountBodyElements(bodyMeshId, counts, order)) || counts.triangles + counts.quadrilaterals == 0)
        return kRC_BodyWithoutElements;
    CElementWrapper descriptor;
    descriptor.shape = CElementWrapper::kQuadrilateral;
    descriptor.order = order;
    descriptor.analysisKind = analysisKind;
    descriptor.planarOption = bodies->GetPlanarBehaviour(bodyIndex);

    const int shapes[2] = {CElementWrapper::kTriangle, CElementWrapper::kQuadrilateral};
    int group = 0;
    const int code = WriteBodyGroupIds(bodyIndex, deck, bodies, descriptor, shapes, group);
    if (code != kRC_Success) return code;

    const bool thermal = analysisKind == kAnalysisThermal;
    bool thicknessBlock = false;
    switch (descriptor.planarOption) {
        case 0:
            deck->WriteFields(thermal ? ".HYP THERMIQUE GROUP" : ".HYP MEMB BIDIM GROUP", group);
            thicknessBlock = true;
            break;
        case 1:
            deck->WriteFields(thermal ? ".HYP THERMIQUE AXIS GROUP" : ".HYP AXIS GROUP", group);
            break;
        case 2:
            deck->WriteFields(".HYP DEFO PLAN GROUP", group);
            break;
        case 3:
            deck->WriteFields(".HYP DEFO GENE GROUP", group);
            break;
        case 4:
            deck->WriteFields(thermal ? ".HYP THERMIQUE COQUE GROUP" : ".HYP MINDLIN GROUP", group);
            thicknessBlock = true;
            break;
        default:
            deck->WriteFields("ERROR planeroption", descriptor.planarOption, "not supported");
    }
    const int degree = order == 1 ? 2 : 1;
    const int material = bodies->GetBodyMaterialNumber(bodyIndex);
    if (!thicknessBlock) {
        deck->WriteFields(".AEL GROUP", group, "DEGRE", degree, "MAT", material);
        return kRC_Success;
    }
    // Thickness and offset are those of the body being written (its own record).
    double thickness = 0.0, offset = 0.0;
    if (FAILED(bodies->GetBodyThickness(bodyIndex, &thickness))) thickness = 0.0;
    if (FAILED(bodies->GetShellOffset(bodyIndex, &offset))) offset = 0.0;
    deck->WriteFields(".PHP GROUP", group, "THICK VAL", thickness);
    deck->WriteFields(".AEL GROUP", group, "DEGRE", degree, "MAT", material, "EXCE", offset);
    return kRC_Success;
}

int CMeshWrapper::WriteRigidBody(const BodyRecord* record, DorvixDeckFile* deck, bool twoDimensional) {
    if (!record) return kRC_MissingData;
    NextGroupNumber();  // a rigid body takes a group number though it writes no group
    deck->WriteLine("!*********** Send Body as a Rigid Body ***********");
    int count = 0, element = 0;
    std::vector<int> nodes;
    if (!meshData_ ||
        meshData_->CountEntities(kMeshSelectBody, record->bodyMeshId, 0, kHET_Point1, count) != S_OK ||
        count != 1 ||
        FAILED(meshData_->GetEntityAt(0, kMeshSelectBodyAt, record->bodyMeshId, 0, kHET_Point1, element)) ||
        FAILED(meshData_->GetElementNodes(element, nodes)) || nodes.size() != 1)
        return kRC_HostMeshRefused;
    const int node = nodes[0];
    std::string line = ".MASS I " + std::to_string(element) + " N " + std::to_string(node);
    auto add = [&line](const char* keyword, double value) {
        line += keyword;
        line += FormatGeneral15(value);
    };
    add(" MASS ", record->mass);
    if (!twoDimensional) {
        add(" MIXX ", record->ixx);
        add(" MIYY ", record->iyy);
    }
    add(" MIZZ ", record->izz);
    deck->WriteLine(line);
    rigidBodyNodes_[record->bodyMeshId] = node;
    return kRC_Success;
}
