// Contact pairs with their formulations, body-interaction groups with their detection settings, and single
// body interactions with friction, bond and breakage criteria.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"

namespace NCAERep {

namespace NContact {

class CContactRep : public CModelRep<CContactRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ContactRep";
    explicit CContactRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_Caption, m_Type, m_Behavior, m_Formulation, m_Restitution,
        m_StaticCoefficient, m_DynamicCoefficient, m_DecayConstant, m_MaximumOffset, m_Breakable;
};
}  // namespace NContact

namespace NContact {

class CPurePenalty : public CModelRep<CPurePenalty> {
  public:
    static constexpr const wchar_t* kTypeName = L"PurePenalty";
    explicit CPurePenalty(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_UseAutoNormalStiffness, m_UpdateStiffness, m_UseAutoThermalConductance,
        m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CAugmentedLagrange : public CModelRep<CAugmentedLagrange> {
  public:
    static constexpr const wchar_t* kTypeName = L"AugmentedLagrange";
    explicit CAugmentedLagrange(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_UseAutoNormalStiffness, m_UpdateStiffness, m_UseAutoThermalConductance,
        m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CNormalLagrange : public CModelRep<CNormalLagrange> {
  public:
    static constexpr const wchar_t* kTypeName = L"NormalLagrange";
    explicit CNormalLagrange(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_UseAutoThermalConductance, m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CPinball : public CModelRep<CPinball> {
  public:
    static constexpr const wchar_t* kTypeName = L"Pinball";
    explicit CPinball(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Type;
};
}  // namespace NContact

namespace NBodyInteractionGroup {

class CBodyInteractionGroupRep : public CModelRep<CBodyInteractionGroupRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"BodyInteractionGroupRep";
    explicit CBodyInteractionGroupRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_ContactDetection, m_UseBodySelfContact, m_UseElementSelfContact, m_UseContactRegion;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CTrajectoryRep : public CModelRep<CTrajectoryRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"TrajectoryRep";
    explicit CTrajectoryRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Formulation;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CProximityBasedRep : public CModelRep<CProximityBasedRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ProximityBasedRep";
    explicit CProximityBasedRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_DetectionZoneSizeFactor, m_TimestepSafetyFactor, m_LimitingTimestepVelocity,
        m_UseEdgeOnEdgeContact;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CContactRegionRep : public CModelRep<CContactRegionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ContactRegionRep";
    explicit CContactRegionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_ContactRegionXMin, m_ContactRegionXMax, m_ContactRegionYMin, m_ContactRegionYMax,
        m_ContactRegionZMin, m_ContactRegionZMax;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteraction {

class CBodyInteractionRep : public CModelRep<CBodyInteractionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"BodyInteractionRep";
    explicit CBodyInteractionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_Type;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CFrictionalRep : public CModelRep<CFrictionalRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"FrictionalRep";
    explicit CFrictionalRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_StaticCoefficient, m_DynamicCoefficient, m_DecayConstant;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CBondedRep : public CModelRep<CBondedRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"BondedRep";
    explicit CBondedRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_MaximumOffset, m_Breakable;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CForceCriteriaRep : public CModelRep<CForceCriteriaRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ForceCriteriaRep";
    explicit CForceCriteriaRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_NormalForceLimit, m_NormalForceExponent, m_ShearForceLimit, m_ShearForceExponent;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CStressCriteriaRep : public CModelRep<CStressCriteriaRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"StressCriteriaRep";
    explicit CStressCriteriaRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_NormalStressLimit, m_NormalStressExponent, m_ShearStressLimit, m_ShearStressExponent;
};
}  // namespace NBodyInteraction

}  // namespace NCAERep
