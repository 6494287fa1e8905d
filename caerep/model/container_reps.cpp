// Fixed children of the containers, and property defaults of solver, remote-point and other model entities.
#include "caerep/model/container_reps.h"

namespace NCAERep {

void CEngineeringRep::createChildren() {
    m_childGeometryAttributes = createChild(L"GeometryAttributes", L"GeometryAttributes");
    m_childBCRep = createChild(L"BCRep", L"BCRep");
    m_childServiceRep = createChild(L"ServiceRep", L"ServiceRep");
}

void CSolverRep::registerProperties() {
    setRegistered();
    registerProperty(L"SolverUnits", 0, m_SolverUnits);
    registerProperty(L"PhysicsType", L"Mechanical", m_PhysicsType);
    registerProperty(L"AnalysisType", L"Static", m_AnalysisType);
    registerProperty(L"SolverTargetName", L"XENRA", m_SolverTargetName);
}

CSolverRep* FindModelSolver(const CCAERepBase* root) {
    if (!root) return nullptr;
    std::vector<CCAERepBase*> found;
    root->getDescendantsByType(CSolverRep::kTypeName, found);
    return found.empty() ? nullptr : dynamic_cast<CSolverRep*>(found.front());
}

void CPostRep::createChildren() {
    m_childResultRep = createChild(L"ResultRep", L"ResultRep");
    m_childFatigueRep = createChild(L"FatigueRep", L"FatigueRep");
}

void CCoefficientMatrix::createChildren() {
    m_childMatrix0 = createChild(L"Matrix3X3", L"Matrix0");
    m_childMatrix1 = createChild(L"Matrix3X3", L"Matrix1");
    m_childMatrix2 = createChild(L"Matrix3X3", L"Matrix2");
    m_childMatrix3 = createChild(L"Matrix3X3", L"Matrix3");
}

void CJointConditionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"JointSelectionId", 0u, m_JointSelectionId);
    registerProperty(L"Type", L"Unknown", m_Type);
    registerProperty(L"DOF", L"Unknown", m_DOF);
}

void CInitialConditionsRep::registerProperties() {
    setRegistered();
    registerProperty(L"Type", L"", m_Type);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
}

void CInitialConditionsRep::createChildren() { m_childVector3D = createChild(L"Vector3D", L"Vector3D"); }

void CCommandsRep::registerProperties() {
    setRegistered();
    registerProperty(L"Commands", L"", m_Commands);
    registerProperty(L"ParentName", L"", m_ParentName);
    registerProperty(L"Context", L"Unknown", m_Context);
}

void CRemotePointRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"LoadBehavior", L"Deformable", m_LoadBehavior);
    registerProperty(L"CoordinateSystemLocationX", L"Length", 0.0, L"m", m_CoordinateSystemLocationX);
    registerProperty(L"CoordinateSystemLocationY", L"Length", 0.0, L"m", m_CoordinateSystemLocationY);
    registerProperty(L"CoordinateSystemLocationZ", L"Length", 0.0, L"m", m_CoordinateSystemLocationZ);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
    registerProperty(L"PinballSize", L"Length", 0.0, L"m", m_PinballSize);
    registerProperty(L"DOFMask", 0u, m_DOFMask);
    registerProperty(L"DOFMaskType", L"ProgramControlled", m_DOFMaskType);
    registerProperty(L"NodeReferenceId", 0u, m_NodeReferenceId);
    registerProperty(L"RotateModelNodes", false, m_RotateModelNodes);
}

void CReferenceDataRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"RefId", std::vector<unsigned int>{}, m_RefId);
    registerProperty(L"Type", std::vector<unsigned int>{}, m_Type);
    registerProperty(L"BodyId", std::vector<unsigned int>{}, m_BodyId);
    registerProperty(L"PartId", std::vector<unsigned int>{}, m_PartId);
    registerProperty(L"RefValue", std::vector<unsigned int>{}, m_RefValue);
    registerProperty(L"RefType", std::vector<unsigned int>{}, m_RefType);
    registerProperty(L"UBID", std::vector<unsigned int>{}, m_UBID);
    registerProperty(L"UPID", std::vector<unsigned int>{}, m_UPID);
}

void CFileManagementRep::registerProperties() {
    setRegistered();
    registerProperty(L"SolverFileDirectory", L"", m_SolverFileDirectory);
    registerProperty(L"SolverFileRelativeDirectory", L"", m_SolverFileRelativeDirectory);
    registerProperty(L"UnitSystem", 0, m_UnitSystem);
}

void CNamedSelectionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
}

void CSymmetryRegionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Type", L"UNKNOWN", m_Type);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
}

void CSymmetryPeriodicRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Type", L"UNKNOWN", m_Type);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
}

void CMessage::registerProperties() {
    setRegistered();
    registerProperty(L"Text", L"", m_Text);
    registerProperty(L"Type", L"", m_Type);
}

void CProcessControls::registerProperties() {
    setRegistered();
    registerProperty(L"MaxProcessors", 2, m_MaxProcessors);
    registerProperty(L"ManualMemorySettings", false, m_ManualMemorySettings);
}

}  // namespace NCAERep
