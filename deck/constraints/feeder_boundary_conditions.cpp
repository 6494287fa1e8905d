// The boundary-condition pre-pass: the walk over the model's conditions, the sheet and wire
// bodies whose nodes carry rotations, and the collectors of the supports. Every collector
// answers 0 or the code that ends the walk; a condition that names nothing the host knows is
// left out with a warning instead.
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/geometry_reps.h"
#include "deck/constraints/entity_geometry.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/constraints/pre_pass_support.h"
#include "deck/coord_system_from_rep.h"
#include "deck/dorvix_feeder.h"
#include "host/geometry.h"
#include "host/object_types.h"
#include "platform/text.h"

namespace {

// The directions a directional support holds, in its local frame at a node.
constexpr unsigned kHoldX = 1;
constexpr unsigned kHoldY = 2;
constexpr unsigned kHoldZ = 4;
constexpr unsigned kHoldAll = kHoldX | kHoldY | kHoldZ;

// The condition type of a support by its object name; 0 for a name no collector takes.
unsigned SupportType(const std::wstring& name) {
    static const std::pair<const wchar_t*, unsigned> kTypes[] = {
        {L"FixedSurface", kHostFixedSurfaceType}, {L"FixedEdge", kHostFixedEdgeType},
        {L"FixedVertex", kHostFixedVertexType},   {L"SimpleEdge", kHostSimpleEdgeType},
        {L"SimpleVertex", kHostSimpleVertexType}, {L"Frictionless", kHostFrictionlessType},
        {L"Cylindrical", kHostCylindricalType}};
    for (const auto& [supportName, type] : kTypes)
        if (name == supportName) return type;
    return 0;
}

bool IsFixed(const NCAERep::CCAERepBase& object, const wchar_t* property) {
    const NCAERep::CPropertyValue* value = object.findProperty(property);
    if (!value || value->getType() != NCAERep::EValueType::String) return false;
    std::wstring text;
    value->getValue(text);
    return text == L"Fixed";
}

// The local directions a frictionless or cylindrical support holds. In the plane the axial
// direction is out of the model's plane and always held.
unsigned HeldDirections(const NCAERep::CCAERepBase& support, bool is2D) {
    if (support.objectName() != L"Cylindrical") return kHoldX;
    unsigned mask = 0;
    if (IsFixed(support, L"Radial")) mask |= kHoldX;
    if (IsFixed(support, L"Tangential")) mask |= kHoldY;
    if (is2D || IsFixed(support, L"Axial")) mask |= kHoldZ;
    return mask;
}

NCAERep::CCAERepBase* Below(NCAERep::CCAERepBase* object, const wchar_t* type) {
    return object ? object->getDescendantByType(type) : nullptr;
}

std::vector<NCAERep::CCAERepBase*> AllBelow(NCAERep::CCAERepBase* object, const wchar_t* type) {
    std::vector<NCAERep::CCAERepBase*> found;
    if (object) object->getDescendantsByType(type, found);
    return found;
}

// A frictionless or cylindrical support on one entity: the held directions of the local frame
// at each node of the entity.
[[nodiscard]] int CollectDirectionalSupportOn(DorvixFeeder& feeder, NCAERep::CCAERepBase& support,
                                              const SelectedEntity& entity, IHostMeshData* mesh,
                                              IHostGeometry* geometry, bool inPlane) {
    const unsigned held = HeldDirections(support, inPlane);
    if (held == kHoldAll) return feeder.CollectFixedSupport(&support);
    const std::wstring entityText = L"entity " + std::to_wstring(entity.id);
    HostNodeList nodes;
    if (const int code =
            prepass::EntityNodes(feeder, support, mesh, static_cast<int>(entity.id), true, nodes);
        code != kRC_Success)
        return code;
    if (nodes.ids.empty()) {
        prepass::Warn(
            feeder, prepass::Describe(support) + L": " + entityText + L" has no mesh nodes and is left out");
        return kRC_Success;
    }
    EntityGeometry shape;
    std::wstring problem;
    if (FAILED(shape.Open(geometry, entity, problem)))
        return prepass::Fail(feeder, prepass::Describe(support) + L": " + problem);
    if (inPlane ? !shape.IsEdge() : !shape.IsFace())
        return prepass::Fail(feeder, prepass::Describe(support) + L": " + entityText + L" is not " +
                                         (inPlane ? L"an edge" : L"a face"));

    NodeConstraintTable& table = *feeder.GetNodeConstraintTable();
    const unsigned id = static_cast<unsigned>(support.getId());
    const unsigned type = SupportType(support.objectName());
    for (std::size_t i = 0; i < nodes.ids.size(); ++i) {
        const int node = nodes.ids[i];
        CoordSystemSafe frame;
        if (FAILED(shape.FrameAt(Vector3(&nodes.xyz[3 * i]), inPlane, frame)))
            return prepass::Fail(feeder, prepass::Describe(support) +
                                             L": the host geometry gives no normal of " + entityText +
                                             L" at node " + std::to_wstring(node));
        if (shape.IsAxial()) table.SetNodeFrame(node, frame);
        for (int axis = 0; axis < 3; ++axis)
            if (held & (1u << axis))
                table.AddCylindricalSupport(id, type, node, frame.GetAxis(AxisIndex(axis)));
    }
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::CheckBoundaryConditions() try {
    if (const int code = CollectBoundaryConditions(); code != kRC_Success) return code;
    if (SUCCEEDED(nodeConstraintTable_->FinaliseAll())) return kRC_Success;
    prepass::Report(*this,
                    L"The boundary conditions cannot be applied: " +
                        platform::Utf8ToWide(nodeConstraintTable_->GetFailureText()),
                    L"Error");
    return kRC_ConstraintTableCheck;
} catch (...) {
    return AnswerException(kRC_Exception, L"Collecting the boundary conditions");
}

int DorvixFeeder::CollectBoundaryConditions() try {
    nodeConstraintTable_->Clear();
    if (!selectionResolver_)
        return prepass::Fail(*this, L"The host gave no selection resolver for the boundary conditions");
    (void)selectionResolver_->SetRoot(inputRoot_);

    NCAERep::CCAERepBase* engineering = Below(inputRoot_, NCAERep::CEngineeringRep::kTypeName);
    NCAERep::CCAERepBase* bcRep = Below(engineering, NCAERep::CBCRep::kTypeName);
    NCAERep::CCAERepBase* assembly = Below(Below(engineering, NCAERep::CGeometryAttributes::kTypeName),
                                           NCAERep::CAssemblyAttributes::kTypeName);
    if (!bcRep || !assembly)
        return prepass::Fail(*this, L"The model holds no boundary-condition or assembly attribute objects");
    bool is2D = false;
    assembly->getProperty(L"Is2DAnalysis").getValue(is2D);
    if (is2D) nodeConstraintTable_->SetTwoDimensional();
    (void)CollectSheetAndWireBodies();

    for (NCAERep::CCAERepBase* support : AllBelow(bcRep, L"Support")) {
        if (SupportType(support->objectName()) == 0) continue;
        if (const int code = CollectSupport(support, is2D); code != kRC_Success) return code;
    }
    for (NCAERep::CCAERepBase* rotation : AllBelow(bcRep, L"FixedRotation"))
        if (const int code = CollectFixedRotation(rotation); code != kRC_Success) return code;
    std::vector<NCAERep::CCAERepBase*> motions = AllBelow(bcRep, L"Displacement");
    for (NCAERep::CCAERepBase* velocity : AllBelow(bcRep, L"Velocity")) motions.push_back(velocity);
    for (NCAERep::CCAERepBase* motion : motions)
        if (const int code = CollectPrescribedMotion(motion, is2D); code != kRC_Success) return code;
    for (NCAERep::CCAERepBase* region : AllBelow(bcRep, L"SymmetryRegionRep"))
        if (const int code = CollectSymmetryRegion(region); code != kRC_Success) return code;
    for (NCAERep::CCAERepBase* coupling : AllBelow(bcRep, L"CouplingConditionRep"))
        if (const int code = CollectCouplingCondition(coupling); code != kRC_Success) return code;
    return kRC_Success;
} catch (...) {
    // A property of an unexpected type, a model object the host cannot answer for.
    return AnswerException(kRC_Exception, L"Collecting the boundary conditions");
}

int DorvixFeeder::CollectSheetAndWireBodies() {
    sheetAndWireBodies_.clear();
    NCAERep::CCAERepBase* assembly = Below(Below(Below(inputRoot_, NCAERep::CEngineeringRep::kTypeName),
                                                 NCAERep::CGeometryAttributes::kTypeName),
                                           NCAERep::CAssemblyAttributes::kTypeName);
    if (!assembly) return kRC_ModelLoadFailed;
    for (NCAERep::CCAERepBase* part : AllBelow(assembly, NCAERep::CPartAttributes::kTypeName)) {
        for (NCAERep::CCAERepBase* body : AllBelow(part, NCAERep::CBodyAttributes::kTypeName)) {
            std::wstring geometryType;
            body->getProperty(L"GeometryType").getValue(geometryType);
            if (geometryType != L"Sheet" && geometryType != L"Wire") continue;
            // The host names bodies by their reference id; the database id stands in without one.
            unsigned hostId = static_cast<unsigned>(body->getId());
            if (body->hasProperty(L"ProtoReferenceId"))
                body->getProperty(L"ProtoReferenceId").getValue(hostId);
            sheetAndWireBodies_.insert(static_cast<int>(hostId));
        }
    }
    return kRC_Success;
}

int DorvixFeeder::MarkShellNodes(const std::wstring& reference) {
    if (sheetAndWireBodies_.empty()) return kRC_Success;
    ComPtr<IHostMeshData> mesh;
    if (const int code = prepass::TakeHostMesh(*this, mesh); code != kRC_Success) return code;
    ResolvedSelection selection;
    const HRESULT hr = selectionResolver_->Resolve(reference, selection);
    if (FAILED(hr))
        return prepass::Fail(*this, L"The host cannot resolve the scoping \"" + reference + L"\"");
    // A scoping the host does not know is reported by the condition that names it.
    for (const SelectedEntity& entity : selection.entities) {
        if (!sheetAndWireBodies_.contains(entity.bodyId)) continue;
        HostNodeList nodes;
        if (FAILED(mesh->GetNodes(kMeshSelectGeometry, static_cast<int>(entity.id), 0, false, nodes)))
            return prepass::Fail(*this, L"The host mesh knows no nodes of entity " +
                                            std::to_wstring(entity.id) + L" of the scoping \"" + reference +
                                            L"\"");
        nodeConstraintTable_->MarkRotationalNodes(static_cast<int>(nodes.ids.size()), nodes.ids.data());
    }
    return kRC_Success;
}

int DorvixFeeder::CollectSupport(NCAERep::CCAERepBase* support, bool is2D) {
    if (!support) return prepass::Fail(*this, L"A support of the model is missing");
    const std::wstring& name = support->objectName();
    if (name == L"FixedSurface" || name == L"FixedEdge" || name == L"FixedVertex")
        return CollectFixedSupport(support);
    if (name == L"SimpleEdge" || name == L"SimpleVertex") return CollectSimpleSupport(support);
    if (name != L"Cylindrical" && name != L"Frictionless") return kRC_Success;
    // Every direction held is a fixed support, whatever the geometry.
    if (HeldDirections(*support, is2D) == kHoldAll) return CollectFixedSupport(support);

    prepass::ResolvedScoping scoping;
    if (const int code =
            prepass::ResolveScoping(*this, *support, prepass::ScopingUse::kEntities, false, scoping);
        code != kRC_Success)
        return code;
    if (scoping.skipped) return kRC_Success;
    ComPtr<IHostMeshData> mesh;
    ComPtr<IHostGeometry> geometry;
    if (const int code = prepass::TakeHostMesh(*this, mesh); code != kRC_Success) return code;
    if (const int code = prepass::TakeHostGeometry(*this, geometry); code != kRC_Success) return code;
    for (const SelectedEntity& entity : scoping.selection.entities) {
        const int code = is2D ? CollectDirectionalSupportInPlane(support, entity, mesh.Get(), geometry.Get())
                              : CollectDirectionalSupport(support, entity, mesh.Get(), geometry.Get());
        if (code != kRC_Success) return code;
    }
    return kRC_Success;
}

int DorvixFeeder::CollectFixedSupport(NCAERep::CCAERepBase* support) {
    return CollectNodeSupport(support, &NodeConstraintTable::AddFixedSupport);
}

int DorvixFeeder::CollectSimpleSupport(NCAERep::CCAERepBase* support) {
    return CollectNodeSupport(support, &NodeConstraintTable::AddSimpleSupport);
}

int DorvixFeeder::CollectNodeSupport(NCAERep::CCAERepBase* support, NodeSupportAdder add) {
    if (!support) return prepass::Fail(*this, L"A support of the model is missing");
    prepass::ResolvedScoping scoping;
    if (const int code =
            prepass::ResolveScoping(*this, *support, prepass::ScopingUse::kNodes, false, scoping);
        code != kRC_Success)
        return code;
    if (scoping.skipped) return kRC_Success;
    const std::vector<int>& nodes = scoping.selection.nodes;
    (nodeConstraintTable_.Get()->*add)(static_cast<unsigned>(support->getId()),
                                       SupportType(support->objectName()), static_cast<int>(nodes.size()),
                                       nodes.data());
    return kRC_Success;
}

int DorvixFeeder::CollectFixedRotation(NCAERep::CCAERepBase* rotation) {
    if (!rotation) return prepass::Fail(*this, L"A fixed rotation of the model is missing");
    prepass::ResolvedScoping scoping;
    if (const int code =
            prepass::ResolveScoping(*this, *rotation, prepass::ScopingUse::kNodes, false, scoping);
        code != kRC_Success)
        return code;
    if (scoping.skipped) return kRC_Success;
    if (const int code = MarkShellNodes(scoping.reference); code != kRC_Success) return code;

    unsigned systemId = 0;
    rotation->getProperty(L"RefCoordSysId").getValue(systemId);
    const CoordSystemSafe frame = ReadCoordSystemFromRep(prepass::FindCoordinateSystem(*rotation, systemId));
    if (!prepass::IsFinite(frame))
        return prepass::Fail(
            *this, prepass::Describe(*rotation) + L": its coordinate system has axes that are not finite");
    const std::vector<int>& nodes = scoping.selection.nodes;
    const unsigned id = static_cast<unsigned>(rotation->getId());
    const wchar_t* const kProperties[] = {L"RotationX", L"RotationY", L"RotationZ"};
    for (int axis = 0; axis < 3; ++axis) {
        if (!IsFixed(*rotation, kProperties[axis])) continue;
        nodeConstraintTable_->AddFixedRotation(id, kHostFixedRotationType, static_cast<int>(nodes.size()),
                                               nodes.data(), frame.GetAxis(AxisIndex(axis)));
    }
    return kRC_Success;
}

int DorvixFeeder::CollectDirectionalSupport(NCAERep::CCAERepBase* support, const SelectedEntity& entity,
                                            IHostMeshData* mesh, IHostGeometry* geometry) {
    if (!support) return prepass::Fail(*this, L"A support of the model is missing");
    return CollectDirectionalSupportOn(*this, *support, entity, mesh, geometry, false);
}

int DorvixFeeder::CollectDirectionalSupportInPlane(NCAERep::CCAERepBase* support,
                                                   const SelectedEntity& entity, IHostMeshData* mesh,
                                                   IHostGeometry* geometry) {
    if (!support) return prepass::Fail(*this, L"A support of the model is missing");
    return CollectDirectionalSupportOn(*this, *support, entity, mesh, geometry, true);
}
