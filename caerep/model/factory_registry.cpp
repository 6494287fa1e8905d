// The full database's factories: each representation class under its CAE type name, the units classes too.
#include "caerep/core/cae_database.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/contact_reps.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/geometry_reps.h"
#include "caerep/model/joint_beam_reps.h"
#include "caerep/model/material_reps.h"
#include "caerep/model/post_reps.h"
#include "caerep/units/unit_objects.h"
#include "caerep/units/units.h"

namespace NCAERep {

void RegisterRepresentationFactories(CCAEDatabase& database) {
    database.registerFactory<CEngineeringRep>(CEngineeringRep::kTypeName);
    database.registerFactory<CSolverRep>(CSolverRep::kTypeName);
    database.registerFactory<CPostRep>(CPostRep::kTypeName);
    database.registerFactory<CCoefficientMatrix>(CCoefficientMatrix::kTypeName);
    database.registerFactory<CJointConditionRep>(CJointConditionRep::kTypeName);
    database.registerFactory<CInitialConditionsRep>(CInitialConditionsRep::kTypeName);
    database.registerFactory<CCommandsRep>(CCommandsRep::kTypeName);
    database.registerFactory<CRemotePointRep>(CRemotePointRep::kTypeName);
    database.registerFactory<CServiceRep>(CServiceRep::kTypeName);
    database.registerFactory<CBCRep>(CBCRep::kTypeName);
    database.registerFactory<CReferenceDataRep>(CReferenceDataRep::kTypeName);
    database.registerFactory<CFileManagementRep>(CFileManagementRep::kTypeName);
    database.registerFactory<CNamedSelectionRep>(CNamedSelectionRep::kTypeName);
    database.registerFactory<CSymmetryRegionRep>(CSymmetryRegionRep::kTypeName);
    database.registerFactory<CSymmetryPeriodicRep>(CSymmetryPeriodicRep::kTypeName);
    database.registerFactory<CMessage>(CMessage::kTypeName);
    database.registerFactory<CProcessControls>(CProcessControls::kTypeName);
    database.registerFactory<NContact::CContactRep>(NContact::CContactRep::kTypeName);
    database.registerFactory<NContact::CPurePenalty>(NContact::CPurePenalty::kTypeName);
    database.registerFactory<NContact::CAugmentedLagrange>(NContact::CAugmentedLagrange::kTypeName);
    database.registerFactory<NContact::CNormalLagrange>(NContact::CNormalLagrange::kTypeName);
    database.registerFactory<NContact::CPinball>(NContact::CPinball::kTypeName);
    database.registerFactory<NBodyInteractionGroup::CBodyInteractionGroupRep>(
        NBodyInteractionGroup::CBodyInteractionGroupRep::kTypeName);
    database.registerFactory<NBodyInteractionGroup::CTrajectoryRep>(
        NBodyInteractionGroup::CTrajectoryRep::kTypeName);
    database.registerFactory<NBodyInteractionGroup::CProximityBasedRep>(
        NBodyInteractionGroup::CProximityBasedRep::kTypeName);
    database.registerFactory<NBodyInteractionGroup::CContactRegionRep>(
        NBodyInteractionGroup::CContactRegionRep::kTypeName);
    database.registerFactory<NBodyInteraction::CBodyInteractionRep>(
        NBodyInteraction::CBodyInteractionRep::kTypeName);
    database.registerFactory<NBodyInteraction::CFrictionalRep>(NBodyInteraction::CFrictionalRep::kTypeName);
    database.registerFactory<NBodyInteraction::CBondedRep>(NBodyInteraction::CBondedRep::kTypeName);
    database.registerFactory<NBodyInteraction::CForceCriteriaRep>(
        NBodyInteraction::CForceCriteriaRep::kTypeName);
    database.registerFactory<NBodyInteraction::CStressCriteriaRep>(
        NBodyInteraction::CStressCriteriaRep::kTypeName);
    database.registerFactory<NJoint::CJointRep>(NJoint::CJointRep::kTypeName);
    database.registerFactory<NJoint::CJointStop>(NJoint::CJointStop::kTypeName);
    database.registerFactory<NJoint::CTorsionalProperties>(NJoint::CTorsionalProperties::kTypeName);
    database.registerFactory<CSpringRep>(CSpringRep::kTypeName);
    database.registerFactory<CBeamConnectionRep>(CBeamConnectionRep::kTypeName);
    database.registerFactory<NBeam::CBeamCrossSection>(NBeam::CBeamCrossSection::kTypeName);
    database.registerFactory<NBeam::CArbitrarySection>(NBeam::CArbitrarySection::kTypeName);
    database.registerFactory<NBeam::CRectangleSection>(NBeam::CRectangleSection::kTypeName);
    database.registerFactory<NBeam::CQuadrilateralSection>(NBeam::CQuadrilateralSection::kTypeName);
    database.registerFactory<NBeam::CCircularSolidSection>(NBeam::CCircularSolidSection::kTypeName);
    database.registerFactory<NBeam::CTubeSection>(NBeam::CTubeSection::kTypeName);
    database.registerFactory<NBeam::CChannelSection>(NBeam::CChannelSection::kTypeName);
    database.registerFactory<NBeam::CZSection>(NBeam::CZSection::kTypeName);
    database.registerFactory<NBeam::CISection>(NBeam::CISection::kTypeName);
    database.registerFactory<NBeam::CLSection>(NBeam::CLSection::kTypeName);
    database.registerFactory<NBeam::CTSection>(NBeam::CTSection::kTypeName);
    database.registerFactory<NBeam::CHatsSection>(NBeam::CHatsSection::kTypeName);
    database.registerFactory<NBeam::CHollowRectangeSection>(NBeam::CHollowRectangeSection::kTypeName);
    database.registerFactory<CResultRep>(CResultRep::kTypeName);
    database.registerFactory<CResultChart>(CResultChart::kTypeName);
    database.registerFactory<CFatigueResultInput>(CFatigueResultInput::kTypeName);
    database.registerFactory<CFatigueToolInput>(CFatigueToolInput::kTypeName);
    database.registerFactory<CFatigueTool>(CFatigueTool::kTypeName);
    database.registerFactory<CFatigueRep>(CFatigueRep::kTypeName);
    database.registerFactory<CResultProbe>(CResultProbe::kTypeName);
    database.registerFactory<CResultTracker>(CResultTracker::kTypeName);
    database.registerFactory<CSolutionCombinationRep>(CSolutionCombinationRep::kTypeName);
    database.registerFactory<CGeometryAttributes>(CGeometryAttributes::kTypeName);
    database.registerFactory<CAssemblyAttributes>(CAssemblyAttributes::kTypeName);
    database.registerFactory<CPartAttributes>(CPartAttributes::kTypeName);
    database.registerFactory<CBodyAttributes>(CBodyAttributes::kTypeName);
    database.registerFactory<CMeshRep>(CMeshRep::kTypeName);
    database.registerFactory<CGeometryRep>(CGeometryRep::kTypeName);
    database.registerFactory<CMatrix3X3>(CMatrix3X3::kTypeName);
    database.registerFactory<CPoint3D>(CPoint3D::kTypeName);
    database.registerFactory<CVector3D>(CVector3D::kTypeName);
    database.registerFactory<CCoordinateSystemRep>(CCoordinateSystemRep::kTypeName);
    database.registerFactory<CMaterialLibraryRep>(CMaterialLibraryRep::kTypeName);
    database.registerFactory<CMaterialRep>(CMaterialRep::kTypeName);
    database.registerFactory<NBC::CSupport>(NBC::CSupport::kTypeName);
    database.registerFactory<NBC::CFixedRotation>(NBC::CFixedRotation::kTypeName);
    database.registerFactory<NBC::CDisplacement>(NBC::CDisplacement::kTypeName);
    database.registerFactory<NBC::CConvection>(NBC::CConvection::kTypeName);
    database.registerFactory<NBC::CRadiation>(NBC::CRadiation::kTypeName);
    database.registerFactory<NBC::CExternalLoadRep>(NBC::CExternalLoadRep::kTypeName);
    database.registerFactory<NBC::CTable>(NBC::CTable::kTypeName);
    database.registerFactory<NBC::CLoadStep>(NBC::CLoadStep::kTypeName);
    database.registerFactory<CCouplingConditionRep>(CCouplingConditionRep::kTypeName);
    // Imported loads carry their scalar tables under a second type name.
    database.registerFactory<NBC::CTable>(L"sTable");
    database.registerFactory<NBC::CVelocity>(NBC::CVelocity::kTypeName);
    database.registerFactory<CUnits>(L"Units");
    database.registerFactory<CBaseUnit>(L"BaseUnit");
    database.registerFactory<CPrefix>(L"Prefix");
    database.registerFactory<CDerivedUnit>(L"DerivedUnit");
}

}  // namespace NCAERep
