// Boundary conditions and loads that the deck writers read from the model: supports, fixed rotations,
// prescribed displacements and velocities, coupling conditions, convection and radiation, imported loads
// with their tables, and the per-step activation of loads.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"

namespace NCAERep {

namespace NBC {

class CSupport : public CModelRep<CSupport> {
  public:
    static constexpr const wchar_t* kTypeName = L"Support";
    explicit CSupport(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_Scoping;
};
}  // namespace NBC

namespace NBC {

class CFixedRotation : public CModelRep<CFixedRotation> {
  public:
    static constexpr const wchar_t* kTypeName = L"FixedRotation";
    explicit CFixedRotation(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_Scoping, m_RefCoordSysId, m_RotationX, m_RotationY, m_RotationZ;
};
}  // namespace NBC

namespace NBC {

class CDisplacement : public CModelRep<CDisplacement> {
  public:
    static constexpr const wchar_t* kTypeName = L"Displacement";
    explicit CDisplacement(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // Whether the named component ("ComponentX", ..., "Magnitude") is zero: the property read
    // with the motion's quantity type, or every value of a "Table" child of that name.
    bool getComponentValue(const std::wstring& component) const;
    bool getComponentX() const { return getComponentValue(L"ComponentX"); }
    bool getComponentY() const { return getComponentValue(L"ComponentY"); }
    bool getComponentZ() const { return getComponentValue(L"ComponentZ"); }
    bool getMagnitude() const { return getComponentValue(L"Magnitude"); }
    // Presence of a direct child or a property of that name; these work on any motion object.
    static bool hasComponent(const CCAERepBase& object, const std::wstring& component);
    static bool hasComponentX(const CCAERepBase& object) { return hasComponent(object, L"ComponentX"); }
    static bool hasComponentY(const CCAERepBase& object) { return hasComponent(object, L"ComponentY"); }
    static bool hasComponentZ(const CCAERepBase& object) { return hasComponent(object, L"ComponentZ"); }
    static bool hasMagnitude(const CCAERepBase& object) { return hasComponent(object, L"Magnitude"); }
    // A Magnitude and a "Vector3D" descendant named "Direction".
    static bool getDirection(const CCAERepBase& object);
    // The quantity type of the components: "Displacement" here.
    virtual const wchar_t* motionQuantityType() const { return L"Displacement"; }

    CPropertyValue m_Caption, m_Scoping, m_RefCoordSysId, m_PhaseAngle;
};
}  // namespace NBC

namespace NBC {
// A prescribed velocity: the displacement's properties and queries, with velocity components.
class CVelocity : public CModelRep<CVelocity, CDisplacement> {
  public:
    static constexpr const wchar_t* kTypeName = L"Velocity";
    explicit CVelocity(const CIdentity& identity) : CModelRep(identity) {}
    const wchar_t* motionQuantityType() const override { return L"Velocity"; }
};
}  // namespace NBC

namespace NBC {

class CConvection : public CModelRep<CConvection> {
  public:
    static constexpr const wchar_t* kTypeName = L"Convection";
    explicit CConvection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_Scoping, m_Magnitude, m_Scalar2;
};
}  // namespace NBC

namespace NBC {

class CRadiation : public CModelRep<CRadiation> {
  public:
    static constexpr const wchar_t* kTypeName = L"Radiation";
    explicit CRadiation(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_Scoping, m_Magnitude, m_Scalar2, m_Correlation, m_Emissivity;
};
}  // namespace NBC

namespace NBC {

class CExternalLoadRep : public CModelRep<CExternalLoadRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ExternalLoad";
    explicit CExternalLoadRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // Fills the load's tables from the host in the given solver unit system. Without a host
    // provider the tables the model file carries are kept and 0 is answered.
    [[nodiscard]] int importLoadData(int solverUnits);

    CPropertyValue m_Caption, m_ExternalLoadType;
};
}  // namespace NBC

namespace NBC {

class CTable : public CModelRep<CTable> {
  public:
    static constexpr const wchar_t* kTypeName = L"Table";
    explicit CTable(const CIdentity& identity) : CModelRep(identity) {}
    void initialize() override;

    // The distinct "Time" values in ascending order, with the column's units and quantity
    // type; false when there is no "Time" column of doubles.
    bool getTimePoints(CPropertyValue& out) const;
    // The entries of a column for the first run of rows whose "Time" equals `time` exactly,
    // with the column's units and quantity type; false when the column or "Time" is missing
    // or the two differ in length.
    bool getColumnAtTimeZero(double time, const std::wstring& column, CPropertyValue& out) const;
};
}  // namespace NBC

namespace NBC {

class CLoadStep : public CModelRep<CLoadStep> {
  public:
    static constexpr const wchar_t* kTypeName = L"LoadStep";
    explicit CLoadStep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_IsActive, m_Number;
};
}  // namespace NBC

class CCouplingConditionRep : public CModelRep<CCouplingConditionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"CouplingConditionRep";
    explicit CCouplingConditionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_Scoping, m_DOFSelection, m_RefCoordSysId;
};

}  // namespace NCAERep
