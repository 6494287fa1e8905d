// The pre-pass's collectors of prescribed displacements and velocities, symmetry regions and
// coupling conditions: each resolves its scoping to mesh nodes, works out the frame of each
// node and hands the table one condition per node.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/geometry_reps.h"
#include "deck/constraints/entity_geometry.h"
#include "deck/constraints/node_constraint_table.h"
#include "deck/constraints/pre_pass_support.h"
#include "deck/coord_system_from_rep.h"
#include "deck/dorvix_feeder.h"
#include "host/object_types.h"

namespace {

// Component flags of a motion: not given, given as zero, given with a value.
constexpr int kFree = 1;
constexpr int kZero = 2;
constexpr int kValue = 3;
// The component key of the motion's magnitude.
constexpr int kMagnitudeKey = 4;
constexpr double kOnAxisTolerance = 1e-15;
constexpr double kParallelDegrees = 0.01;

// The condition type of a motion by its type and the kind of entity it is scoped to; 0 for
// another entity kind, -1 for an object that is no motion.
int MotionType(const NCAERep::CCAERepBase& motion) {
    const bool velocity = motion.typeName() == L"Velocity";
    if (!velocity && motion.typeName() != L"Displacement") return -1;
    const std::wstring& name = motion.objectName();
    const int offset = name == L"Surface" ? 0 : name == L"Edge" ? 1 : name == L"Vertex" ? 2 : -1;
    if (offset < 0) return 0;
    return (velocity ? kHostVelocitySurfaceType : kHostDisplacementSurfaceType) + offset;
}

int ComponentFlag(const NCAERep::NBC::CDisplacement& motion, const wchar_t* component) {
    if (!NCAERep::NBC::CDisplacement::hasComponent(motion, component)) return kFree;
    return motion.getComponentValue(component) ? kZero : kValue;
}

bool IsHarmonicAnalysis(NCAERep::CCAERepBase* root) {
    std::vector<NCAERep::CCAERepBase*> solvers;
    if (root) root->getDescendantsByType(NCAERep::CSolverRep::kTypeName, solvers);
    if (solvers.empty()) return false;
    const NCAERep::CPropertyValue* type = solvers.front()->findProperty(L"AnalysisType");
    if (!type || type->getType() != NCAERep::EValueType::String) return false;
    std::wstring text;
    type->getValue(text);
    return text == L"Harmonic";
}

// The frame of a node in a cylindrical reference frame: X radial, Y along the circumference,
// Z along the frame's axis, the origin at the node; `radius` is the node's distance from the
// axis.
CoordSystemSafe CylindricalNodeFrame(const CoordSystemSafe& reference, const Vector3& point, double& radius) {
    const Vector3& axis = reference.GetZAxis();
    const Vector3 offset = point - reference.GetOrigin();
    const Vector3 around = axis.Cross(offset);
    CoordSystemSafe frame;
    if (around.Length() <= kOnAxisTolerance) {
        // On the axis no direction is radial: the global axes serve when the axis is global +Z.
        const bool alongGlobalZ = AreVectorsParallel(axis, {0, 0, 1}, kParallelDegrees) && axis.z > 0.0;
        if (!alongGlobalZ) (void)frame.SetAxes(axis, 2, PerpendicularVector(axis), 0);
    } else {
        (void)frame.SetAxes(axis, 2, around, 1);
    }
    frame.SetOrigin(point);
    radius = std::abs(frame.GetXAxis().Dot(offset));
    return frame;
}

}  // namespace

int DorvixFeeder::CollectPrescribedMotion(NCAERep::CCAERepBase* motion, bool is2D) {
    if (!motion) return prepass::Fail(*this, L"A prescribed motion of the model is missing");
    const bool hasDirection = NCAERep::NBC::CDisplacement::getDirection(*motion);
    ComPtr<IHostMeshData> mesh;
    if (const int code = prepass::TakeHostMesh(*this, mesh); code != kRC_Success) return code;
    prepass::ResolvedScoping scoping;
    if (const int code =
            prepass::ResolveScoping(*this, *motion, prepass::ScopingUse::kEntities, false, scoping);
        code != kRC_Success || scoping.skipped)
        return code;
    // A host without geometry is refused for every motion, though only the motions normal to the
    // geometry ask it anything.
    ComPtr<IHostGeometry> geometry;
    if (const int code = prepass::TakeHostGeometry(*this, geometry); code != kRC_Success) return code;

    for (const SelectedEntity& entity : scoping.selection.entities) {
        if (entity.id == 0 || entity.bodyId == 0)
            return prepass::Fail(*this, prepass::Describe(*motion) +
                                            L": the host gives no entity id or no body of an "
                                            L"entity of the scoping \"" +
                                            scoping.reference + L"\"");
        const int entityId = static_cast<int>(entity.id);
        int code = kRC_Success;
        if (!hasDirection) {
            code = CollectComponentMotion(motion, entityId, mesh.Get());
        } else {
            EntityGeometry shape;
            std::wstring problem;
            if (FAILED(shape.Open(geometry.Get(), entity, problem)))
                return prepass::Fail(*this, prepass::Describe(*motion) + L": " + problem);
            code = is2D ? CollectNormalMotionOnEdge(motion, entityId, mesh.Get(), shape)
                        : CollectNormalMotionOnSurface(motion, entityId, mesh.Get(), shape);
        }
        if (code != kRC_Success) return code;
    }
    return kRC_Success;
}

namespace {

// The magnitude of the motion prescribed along the entity's normal at each of its nodes.
[[nodiscard]] int CollectNormalMotion(DorvixFeeder& feeder, NCAERep::CCAERepBase* motion, int entityId,
                                      IHostMeshData* mesh, const EntityGeometry& shape, bool onEdge) {
    if (!motion) return prepass::Fail(feeder, L"A prescribed motion of the model is missing");
    const wchar_t* const kind = onEdge ? L"Edge" : L"Surface";
    const int type = MotionType(*motion);
    const auto* typed = dynamic_cast<const NCAERep::NBC::CDisplacement*>(motion);
    if (type <= 0 || motion->objectName() != kind || !typed)
        return prepass::Fail(feeder, prepass::Describe(*motion) +
                                         L": a motion along the normal must be a "
                                         L"displacement or velocity named \"" +
                                         kind + L"\"");
    const std::wstring entityText = L"entity " + std::to_wstring(entityId);
    if (onEdge ? !shape.IsEdge() : !shape.IsFace())
        return prepass::Fail(feeder, prepass::Describe(*motion) + L": " + entityText + L" is not " +
                                         (onEdge ? L"an edge" : L"a face"));
    HostNodeList nodes;
    if (const int code = prepass::EntityNodes(feeder, *motion, mesh, entityId, true, nodes);
        code != kRC_Success)
        return code;
    if (nodes.ids.empty()) {
        prepass::Warn(
            feeder, prepass::Describe(*motion) + L": " + entityText + L" has no mesh nodes and is left out");
        return kRC_Success;
    }
    const int flag = ComponentFlag(*typed, L"Magnitude");
    NodeConstraintTable& table = *feeder.GetNodeConstraintTable();
    for (std::size_t i = 0; i < nodes.ids.size(); ++i) {
        const int node = nodes.ids[i];
        CoordSystemSafe frame;
        if (FAILED(shape.FrameAt(Vector3(&nodes.xyz[3 * i]), onEdge, frame)))
            return prepass::Fail(feeder, prepass::Describe(*motion) +
                                             L": the host geometry gives no normal of " + entityText +
                                             L" at node " + std::to_wstring(node));
        if (shape.IsAxial()) table.SetNodeFrame(node, frame);
        table.AddPrescribedMotion(static_cast<unsigned>(motion->getId()), static_cast<unsigned>(type), node,
                                  frame, flag, kMagnitudeKey);
    }
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::CollectNormalMotionOnEdge(NCAERep::CCAERepBase* motion, int entityId, IHostMeshData* mesh,
                                            const EntityGeometry& edge) {
    return CollectNormalMotion(*this, motion, entityId, mesh, edge, true);
}

int DorvixFeeder::CollectNormalMotionOnSurface(NCAERep::CCAERepBase* motion, int entityId,
                                               IHostMeshData* mesh, const EntityGeometry& face) {
    return CollectNormalMotion(*this, motion, entityId, mesh, face, false);
}

int DorvixFeeder::CollectComponentMotion(NCAERep::CCAERepBase* motion, int entityId, IHostMeshData* mesh) {
    if (!motion) return prepass::Fail(*this, L"A prescribed motion of the model is missing");
    const int type = MotionType(*motion);
    const auto* typed = dynamic_cast<const NCAERep::NBC::CDisplacement*>(motion);
    if (type < 0 || !typed)
        return prepass::Fail(*this,
                             prepass::Describe(*motion) + L" is neither a displacement nor a velocity");
    if (type == 0) {
        prepass::Warn(*this, prepass::Describe(*motion) +
                                 L" is scoped to neither a surface, an edge nor a vertex and is left out");
        return kRC_Success;
    }
    const std::wstring entityText = L"entity " + std::to_wstring(entityId);
    HostNodeList nodes;
    if (const int code = prepass::EntityNodes(*this, *motion, mesh, entityId, true, nodes);
        code != kRC_Success)
        return code;
    if (nodes.ids.empty()) {
        prepass::Warn(
            *this, prepass::Describe(*motion) + L": " + entityText + L" has no mesh nodes and is left out");
        return kRC_Success;
    }
    const NodeConstraintTable::Flags flags = {ComponentFlag(*typed, L"ComponentX"),
                                              ComponentFlag(*typed, L"ComponentY"),
                                              ComponentFlag(*typed, L"ComponentZ")};
    const NodeConstraintTable::Keys keys = {1, 2, 3};
    unsigned systemId = 0;
    motion->getProperty(L"RefCoordSysId").getValue(systemId);
    // No system, or one the model does not hold: the components are global.
    const CoordSystemSafe reference =
        ReadCoordSystemFromRep(prepass::FindCoordinateSystem(*motion, systemId));
    if (!prepass::IsFinite(reference))
        return prepass::Fail(*this, prepass::Describe(*motion) + L": its coordinate system is not finite");
    const unsigned id = static_cast<unsigned>(motion->getId());
    const int count = static_cast<int>(nodes.ids.size());

    if (IsHarmonicAnalysis(inputRoot_)) {
        double phase = 0.0;
        motion->getProperty(L"PhaseAngle").getValue(phase, L"Angle", L"rad");
        nodeConstraintTable_->AddNodalMotionInFrame(id, static_cast<unsigned>(type), count, nodes.ids.data(),
                                                    reference, phase, flags, keys);
        return kRC_Success;
    }
    if (reference.IsCartesian()) {
        nodeConstraintTable_->AddNodalMotionList(id, static_cast<unsigned>(type), count, nodes.ids.data(),
                                                 reference, flags, keys);
        return kRC_Success;
    }
    if (!reference.IsCylindrical()) {
        prepass::Report(*this,
                        prepass::Describe(*motion) +
                            L": its components are given in a frame that is neither "
                            L"Cartesian nor cylindrical",
                        L"Error");
        return kRC_DataMismatch;
    }

    std::vector<CoordSystemSafe> frames(nodes.ids.size());
    std::vector<double> radii(nodes.ids.size());
    double largestRadius = 2.2250738585072014e-308;
    for (std::size_t i = 0; i < nodes.ids.size(); ++i) {
        frames[i] = CylindricalNodeFrame(reference, Vector3(&nodes.xyz[3 * i]), radii[i]);
        if (radii[i] > kOnAxisTolerance) largestRadius = std::max(largestRadius, radii[i]);
    }
    // Near the axis the radial and tangential directions are not defined well enough to
    // carry a value: they are held instead.
    const double nearAxis = largestRadius * 0.0001;
    for (std::size_t i = 0; i < nodes.ids.size(); ++i) {
        NodeConstraintTable::Flags nodeFlags = flags;
        if (radii[i] < nearAxis && (flags[0] == kValue || flags[1] == kValue))
            nodeFlags[0] = nodeFlags[1] = kZero;
        nodeConstraintTable_->SetNodeFrame(nodes.ids[i], frames[i]);
        nodeConstraintTable_->AddNodalMotion(id, static_cast<unsigned>(type), nodes.ids[i], frames[i],
                                             nodeFlags, keys);
    }
    return kRC_Success;
}

int DorvixFeeder::CollectSymmetryRegion(NCAERep::CCAERepBase* region) {
    if (!region) return prepass::Fail(*this, L"A symmetry region of the model is missing");
    unsigned systemId = 0;
    region->getProperty(L"RefCoordSysId").getValue(systemId);
    const NCAERep::CCAERepBase* system = nullptr;
    NCAERep::CCAERepBase* engineering =
        inputRoot_ ? inputRoot_->getDescendantByType(NCAERep::CEngineeringRep::kTypeName) : nullptr;
    NCAERep::CCAERepBase* service =
        engineering ? engineering->getDescendantByType(NCAERep::CServiceRep::kTypeName) : nullptr;
    std::vector<NCAERep::CCAERepBase*> systems;
    if (service) service->getDescendantsByType(NCAERep::CCoordinateSystemRep::kTypeName, systems);
    for (const NCAERep::CCAERepBase* candidate : systems)
        if (static_cast<unsigned>(candidate->getId()) == systemId) system = candidate;
    if (!system)
        return prepass::Fail(*this, prepass::Describe(*region) + L": the model holds no coordinate system " +
                                        std::to_wstring(systemId));

    std::wstring normalName;
    const NCAERep::CPropertyValue* normalDir = region->findProperty(L"NormalDir");
    if (normalDir && normalDir->getType() == NCAERep::EValueType::String) normalDir->getValue(normalName);
    const int row = normalName == L"XAxis" ? 0 : normalName == L"YAxis" ? 1 : normalName == L"ZAxis" ? 2 : -1;
    if (row < 0)
        return prepass::Fail(*this, prepass::Describe(*region) + L": its normal direction \"" + normalName +
                                        L"\" is none of XAxis, YAxis and ZAxis");
    const Vector3 normal = ReadCoordSystemFromRep(system).GetAxis(AxisIndex(row));
    if (!prepass::IsFinite(normal) || normal.IsZero())
        return prepass::Fail(*this, prepass::Describe(*region) + L": its normal is not a finite direction");
    std::wstring symmetryType;
    region->getProperty(L"Type").getValue(symmetryType);
    const bool antiSymmetric = symmetryType == L"AntiSymmetric";

    prepass::ResolvedScoping scoping;
    if (const int code = prepass::ResolveScoping(*this, *region, prepass::ScopingUse::kNodes, true, scoping);
        code != kRC_Success || scoping.skipped)
        return code;
    if (const int code = MarkShellNodes(scoping.reference); code != kRC_Success) return code;
    for (int node : scoping.selection.nodes)
        nodeConstraintTable_->AddSymmetryRegion(static_cast<unsigned>(region->getId()),
                                                kHostSymmetryRegionType, node, antiSymmetric, normal);
    return kRC_Success;
}

int DorvixFeeder::CollectCouplingCondition(NCAERep::CCAERepBase* condition) {
    if (!condition) return prepass::Fail(*this, L"A coupling condition of the model is missing");
    prepass::ResolvedScoping scoping;
    if (const int code =
            prepass::ResolveScoping(*this, *condition, prepass::ScopingUse::kNodes, false, scoping);
        code != kRC_Success || scoping.skipped)
        return code;
    static const wchar_t* const kSelections[] = {L"DOFDisplacementX", L"DOFDisplacementY",
                                                 L"DOFDisplacementZ", L"DOFRotationX",
                                                 L"DOFRotationY",     L"DOFRotationZ"};
    std::wstring selection;
    condition->getProperty(L"DOFSelection").getValue(selection);
    const auto found = std::find(std::begin(kSelections), std::end(kSelections), selection);
    if (found == std::end(kSelections))
        return prepass::Fail(*this, prepass::Describe(*condition) + L": its degree of freedom \"" +
                                        selection + L"\" is none the add-in couples");
    const std::vector<int>& nodes = scoping.selection.nodes;
    nodeConstraintTable_->AddCouplingCondition(
        static_cast<unsigned>(condition->getId()), kHostCouplingConditionType, static_cast<int>(nodes.size()),
        nodes.data(), static_cast<int>(found - std::begin(kSelections)));
    return kRC_Success;
}
