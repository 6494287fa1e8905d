// The container and model-entity classes: engineering, solver and post-processing containers, coefficient
// matrix, joint conditions, initial conditions, command snippets, remote points, service and boundary-
// condition containers, reference data, file management, named selections, symmetry regions, messages and
// process controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/result_def_record.h"
#include "platform/com.h"

namespace NCAERep {


class CEngineeringRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"EngineeringRep";
    explicit CEngineeringRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void createChildren() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
    // Fixed children (owned by the database).
    CCAERepBase* m_childGeometryAttributes = nullptr;
    CCAERepBase* m_childBCRep = nullptr;
    CCAERepBase* m_childServiceRep = nullptr;
};


class CSolverRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"SolverRep";
    explicit CSolverRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_SolverUnits, m_PhysicsType, m_AnalysisType, m_SolverTargetName;
};


class CPostRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"PostRep";
    explicit CPostRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void createChildren() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
    // Fixed children (owned by the database).
    CCAERepBase* m_childResultRep = nullptr;
    CCAERepBase* m_childFatigueRep = nullptr;
};


class CCoefficientMatrix : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"CoefficientMatrix";
    explicit CCoefficientMatrix(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void createChildren() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
    // Fixed children (owned by the database).
    CCAERepBase* m_childMatrix0 = nullptr;
    CCAERepBase* m_childMatrix1 = nullptr;
    CCAERepBase* m_childMatrix2 = nullptr;
    CCAERepBase* m_childMatrix3 = nullptr;
};


class CJointConditionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"JointConditionRep";
    explicit CJointConditionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Caption, m_JointSelectionId, m_Type, m_DOF;
};


class CInitialConditionsRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"InitialConditionsRep";
    explicit CInitialConditionsRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    void createChildren() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Type, m_Scoping;
    // Fixed children (owned by the database).
    CCAERepBase* m_childVector3D = nullptr;
};


class CCommandsRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"CommandsRep";
    explicit CCommandsRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Commands, m_ParentName, m_Context;
};


class CRemotePointRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"RemotePointRep";
    explicit CRemotePointRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_LoadBehavior, m_CoordinateSystemLocationX, m_CoordinateSystemLocationY, m_CoordinateSystemLocationZ, m_RefCoordSysId, m_PinballSize, m_DOFMask, m_DOFMaskType, m_NodeReferenceId, m_RotateModelNodes;
};


class CServiceRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ServiceRep";
    explicit CServiceRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};


class CBCRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BCRep";
    explicit CBCRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};


class CReferenceDataRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ReferenceDataRep";
    explicit CReferenceDataRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_RefId, m_Type, m_BodyId, m_PartId, m_RefValue, m_RefType, m_UBID, m_UPID;
};


class CFileManagementRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FileManagementRep";
    explicit CFileManagementRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_SolverFileDirectory, m_SolverFileRelativeDirectory, m_UnitSystem;
};


class CNamedSelectionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"NamedSelectionRep";
    explicit CNamedSelectionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping;
};


class CSymmetryRegionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"SymmetryRegionRep";
    explicit CSymmetryRegionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_Type, m_RefCoordSysId;
};


class CSymmetryPeriodicRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"SymmetryPeriodicRep";
    explicit CSymmetryPeriodicRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_Type, m_RefCoordSysId;
};


class CMessage : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"Message";
    explicit CMessage(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Text, m_Type;
};


class CProcessControls : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ProcessControls";
    explicit CProcessControls(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_MaxProcessors, m_ManualMemorySettings;
};

}  // namespace NCAERep
