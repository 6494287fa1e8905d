// The initial velocity of a transient structural run: one ".CLM VII" block per scoped body.
// The host gives the velocity in global components; a node whose degrees of freedom the deck
// turns (a node frame of the constraint table, or the frame of a rigid body) gets it in
// that frame's components.
#include <string>
#include <vector>

#include "deck/constraints/node_constraint_table.h"
#include "deck/feeders/struct_dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "runtime/object_data.h"

namespace {

constexpr int kNoInitialCondition = 1;
constexpr int kVelocityByComponents = 2;
constexpr int kRefusedInitialCondition = 5;

// The global vector in the frame's components at the point (radial, tangential, axial for a
// cylindrical frame): the frame's unit directions there, each dotted with the vector.
Vector3 InFrame(const CoordSystemSafe& frame, const Vector3& point, const Vector3& global) {
    Vector3 axis[3];
    frame.TransformVectorToGlobalAtPoint({1.0, 0.0, 0.0}, point, axis[0]);
    frame.TransformVectorToGlobalAtPoint({0.0, 1.0, 0.0}, point, axis[1]);
    frame.TransformVectorToGlobalAtPoint({0.0, 0.0, 1.0}, point, axis[2]);
    return {axis[0].Dot(global), axis[1].Dot(global), axis[2].Dot(global)};
}

}  // namespace

int StructDorvixFeeder::WriteInitialVelocity() try {
    if (!IsTransientAnalysis()) return kRC_Success;
    const TRVDataSourceItf* source = GetDataSource();
    const SolveJobRecord* solution = source ? source->GetSolveJob() : nullptr;
    const InitialConditionEntry* entry = solution ? solution->GetInitialCondition() : nullptr;
    if (!entry) return kRC_MissingStepValue;
    if (entry->kind == kNoInitialCondition) return kRC_Success;

    const ObjectData scoping(entry->scoping);
    std::vector<std::uint32_t> bodyIds;
    scoping.GetIdList(bodyIds);
    if (bodyIds.empty()) return kRC_Success;
    if (entry->kind == kRefusedInitialCondition) {
        PostHostMessage(L"This kind of initial condition is not supported in a structural transient analysis",
                        L"Error");
        return kRC_MissingData;
    }
    // Other kinds carry no velocity.
    if (entry->kind != kVelocityByComponents) return kRC_Success;
    if (!GetDeckFile() || !GetBodyWrapper() || !GetMeshWrapper()) return kRC_MissingData;

    const UnitSystemTable& units = GetUnitSystemTable();
    const Vector3 velocity{
        units.Convert(GetModelUnitSystem(), GetDeckUnitSystem(), kQuantityVelocity, entry->velocityX),
        units.Convert(GetModelUnitSystem(), GetDeckUnitSystem(), kQuantityVelocity, entry->velocityY),
        units.Convert(GetModelUnitSystem(), GetDeckUnitSystem(), kQuantityVelocity, entry->velocityZ)};
    GetDeckFile()->WriteLine("!***************** Define Initial Velocity ***************");
    for (const std::uint32_t bodyId : bodyIds) {
        if (const int code = WriteBodyVelocity(static_cast<int>(bodyId), scoping.GetName(), velocity);
            code != kRC_Success)
            return code;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the initial velocity");
}

int StructDorvixFeeder::WriteBodyVelocity(int bodyId, const std::string& name, const Vector3& velocity) {
    CBodyAttributeWrapper& bodies = *GetBodyWrapper();
    CMeshWrapper& mesh = *GetMeshWrapper();
    DorvixDeckFile& deck = *GetDeckFile();
    const int index = bodies.FindBodyIndex(bodyId);
    if (index < 0) {
        PostHostMessage(
            L"The initial velocity names body " + std::to_wstring(bodyId) + L", which the model lacks",
            L"Error");
        return kRC_MissingData;
    }
    std::vector<int> nodes;
    if (FAILED(mesh.GetPartEntityIds(bodies.GetBodyPartIndex(index), nodes))) return kRC_HostMeshRefused;

    const bool rigid = bodies.GetBodyKind(index) == CBodyAttributeWrapper::kRigid;
    CoordSystemSafe bodyFrame;
    if (rigid) {
        const BodyRecord* record = bodies.GetBodyRecord(index);
        if (!record) return kRC_MissingData;
        if (record->coordinateSystemId != 0) {
            const CoordinateSystemData* system = bodies.FindCoordinateSystem(record->coordinateSystemId);
            if (!system) {
                PostHostMessage(L"The frame of body " + std::to_wstring(bodyId) + L" is not in the model",
                                L"Error");
                return kRC_MissingData;
            }
            bodyFrame = system->frame;
        }
    }
    if (!nodes.empty()) deck.WriteLine(".CLM VII NOE NOM \"" + name + "\"");

    const bool twoDimensional = GetDataSource()->Is2DAnalysis();
    const auto writeNode = [&deck, twoDimensional](int node, const Vector3& v) {
        if (twoDimensional)
            deck.WriteFields("  I", node, v.x, v.y);
        else
            deck.WriteFields("  I", node, v.x, v.y, v.z);
    };
    const NodeConstraintTable* table = GetNodeConstraintTable();
    std::vector<int> globalNodes;
    for (const int node : nodes) {
        if (rigid) {
            writeNode(node, InFrame(bodyFrame, mesh.GetNodePoint(node), velocity));
        } else if (table && table->HasNodeRotation(node)) {
            writeNode(node, InFrame(table->GetNodeFrame(node), mesh.GetNodePoint(node), velocity));
        } else {
            globalNodes.push_back(node);
        }
    }
    for (const int node : globalNodes) writeNode(node, velocity);
    return kRC_Success;
}
