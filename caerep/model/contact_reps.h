// Contact pairs with their formulations, body-interaction groups with their detection settings, and single
// body interactions with friction, bond and breakage criteria.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/result_def_record.h"
#include "platform/com.h"

namespace NCAERep {

namespace NContact {

class CContactRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ContactRep";
    explicit CContactRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_Caption, m_Type, m_Behavior, m_Formulation, m_Restitution, m_StaticCoefficient, m_DynamicCoefficient, m_DecayConstant, m_MaximumOffset, m_Breakable;
};
}  // namespace NContact

namespace NContact {

class CPurePenalty : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"PurePenalty";
    explicit CPurePenalty(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_UseAutoNormalStiffness, m_UpdateStiffness, m_UseAutoThermalConductance, m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CAugmentedLagrange : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"AugmentedLagrange";
    explicit CAugmentedLagrange(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_UseAutoNormalStiffness, m_UpdateStiffness, m_UseAutoThermalConductance, m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CNormalLagrange : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"NormalLagrange";
    explicit CNormalLagrange(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_UseAutoThermalConductance, m_UseAutoElectricalConductance;
};
}  // namespace NContact

namespace NContact {

class CPinball : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"Pinball";
    explicit CPinball(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Type;
};
}  // namespace NContact

namespace NBodyInteractionGroup {

class CBodyInteractionGroupRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BodyInteractionGroupRep";
    explicit CBodyInteractionGroupRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_ContactDetection, m_UseBodySelfContact, m_UseElementSelfContact, m_UseContactRegion;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CTrajectoryRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"TrajectoryRep";
    explicit CTrajectoryRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Formulation;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CProximityBasedRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ProximityBasedRep";
    explicit CProximityBasedRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_DetectionZoneSizeFactor, m_TimestepSafetyFactor, m_LimitingTimestepVelocity, m_UseEdgeOnEdgeContact;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteractionGroup {

class CContactRegionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ContactRegionRep";
    explicit CContactRegionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_ContactRegionXMin, m_ContactRegionXMax, m_ContactRegionYMin, m_ContactRegionYMax, m_ContactRegionZMin, m_ContactRegionZMax;
};
}  // namespace NBodyInteractionGroup

namespace NBodyInteraction {

class CBodyInteractionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BodyInteractionRep";
    explicit CBodyInteractionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_Type;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CFrictionalRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FrictionalRep";
    explicit CFrictionalRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_StaticCoefficient, m_DynamicCoefficient, m_DecayConstant;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CBondedRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BondedRep";
    explicit CBondedRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_MaximumOffset, m_Breakable;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CForceCriteriaRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ForceCriteriaRep";
    explicit CForceCriteriaRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_NormalForceLimit, m_NormalForceExponent, m_ShearForceLimit, m_ShearForceExponent;
};
}  // namespace NBodyInteraction

namespace NBodyInteraction {

class CStressCriteriaRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"StressCriteriaRep";
    explicit CStressCriteriaRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_NormalStressLimit, m_NormalStressExponent, m_ShearStressLimit, m_ShearStressExponent;
};
}  // namespace NBodyInteraction

}  // namespace NCAERep
