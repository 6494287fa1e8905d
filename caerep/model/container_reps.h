// The container and model-entity classes: engineering, solver and post-processing containers, coefficient
// matrix, joint conditions, initial conditions, command snippets, remote points, service and boundary-
// condition containers, reference data, file management, named selections, symmetry regions, messages and
// process controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"

namespace NCAERep {

class CEngineeringRep : public CModelRep<CEngineeringRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"EngineeringRep";
    explicit CEngineeringRep(const CIdentity& identity) : CModelRep(identity) {}
    void createChildren() override;
    // Fixed children (owned by the database).
    CCAERepBase* m_childGeometryAttributes = nullptr;
    CCAERepBase* m_childBCRep = nullptr;
    CCAERepBase* m_childServiceRep = nullptr;
};

class CSolverRep : public CModelRep<CSolverRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"SolverRep";
    explicit CSolverRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_SolverUnits, m_PhysicsType, m_AnalysisType, m_SolverTargetName;
};

// The solver object a solve reads: the first that the search by type meets below `root`, whose
// order the objects the database makes of its own decide, not the document's; a model with
// several is not refused. Null when there is none.
CSolverRep* FindModelSolver(const CCAERepBase* root);

class CPostRep : public CModelRep<CPostRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"PostRep";
    explicit CPostRep(const CIdentity& identity) : CModelRep(identity) {}
    void createChildren() override;
    // Fixed children (owned by the database).
    CCAERepBase* m_childResultRep = nullptr;
    CCAERepBase* m_childFatigueRep = nullptr;
};

class CCoefficientMatrix : public CModelRep<CCoefficientMatrix> {
  public:
    static constexpr const wchar_t* kTypeName = L"CoefficientMatrix";
    explicit CCoefficientMatrix(const CIdentity& identity) : CModelRep(identity) {}
    void createChildren() override;
    // Fixed children (owned by the database).
    CCAERepBase* m_childMatrix0 = nullptr;
    CCAERepBase* m_childMatrix1 = nullptr;
    CCAERepBase* m_childMatrix2 = nullptr;
    CCAERepBase* m_childMatrix3 = nullptr;
};

class CJointConditionRep : public CModelRep<CJointConditionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"JointConditionRep";
    explicit CJointConditionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_JointSelectionId, m_Type, m_DOF;
};

class CInitialConditionsRep : public CModelRep<CInitialConditionsRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"InitialConditionsRep";
    explicit CInitialConditionsRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;
    void createChildren() override;

    CPropertyValue m_Type, m_Scoping;
    // Fixed children (owned by the database).
    CCAERepBase* m_childVector3D = nullptr;
};

class CCommandsRep : public CModelRep<CCommandsRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"CommandsRep";
    explicit CCommandsRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Commands, m_ParentName, m_Context;
};

class CRemotePointRep : public CModelRep<CRemotePointRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"RemotePointRep";
    explicit CRemotePointRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_LoadBehavior, m_CoordinateSystemLocationX, m_CoordinateSystemLocationY,
        m_CoordinateSystemLocationZ, m_RefCoordSysId, m_PinballSize, m_DOFMask, m_DOFMaskType,
        m_NodeReferenceId, m_RotateModelNodes;
};

class CServiceRep : public CModelRep<CServiceRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ServiceRep";
    explicit CServiceRep(const CIdentity& identity) : CModelRep(identity) {}
};

class CBCRep : public CModelRep<CBCRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"BCRep";
    explicit CBCRep(const CIdentity& identity) : CModelRep(identity) {}
};

class CReferenceDataRep : public CModelRep<CReferenceDataRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ReferenceDataRep";
    explicit CReferenceDataRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_RefId, m_Type, m_BodyId, m_PartId, m_RefValue, m_RefType, m_UBID, m_UPID;
};

class CFileManagementRep : public CModelRep<CFileManagementRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"FileManagementRep";
    explicit CFileManagementRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_SolverFileDirectory, m_SolverFileRelativeDirectory, m_UnitSystem;
};

class CNamedSelectionRep : public CModelRep<CNamedSelectionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"NamedSelectionRep";
    explicit CNamedSelectionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping;
};

class CSymmetryRegionRep : public CModelRep<CSymmetryRegionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"SymmetryRegionRep";
    explicit CSymmetryRegionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_Type, m_RefCoordSysId;
};

class CSymmetryPeriodicRep : public CModelRep<CSymmetryPeriodicRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"SymmetryPeriodicRep";
    explicit CSymmetryPeriodicRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_Type, m_RefCoordSysId;
};

class CMessage : public CModelRep<CMessage> {
  public:
    static constexpr const wchar_t* kTypeName = L"Message";
    explicit CMessage(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Text, m_Type;
};

class CProcessControls : public CModelRep<CProcessControls> {
  public:
    static constexpr const wchar_t* kTypeName = L"ProcessControls";
    explicit CProcessControls(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_MaxProcessors, m_ManualMemorySettings;
};

}  // namespace NCAERep
