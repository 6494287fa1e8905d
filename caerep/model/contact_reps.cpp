// Defaults of the contact, formulation, detection, friction, bond and breakage-criteria properties.
#include "caerep/model/contact_reps.h"

namespace NCAERep {

void NContact::CContactRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Type", L"Bonded", m_Type);
    registerProperty(L"Behavior", L"Symmetric", m_Behavior);
    registerProperty(L"Formulation", L"PurePenalty", m_Formulation);
    registerProperty(L"Restitution", L"NoDimension", 0.0, L"NoUnit", m_Restitution);
    registerProperty(L"StaticCoefficient", L"NoDimension", 0.0, L"NoUnit", m_StaticCoefficient);
    registerProperty(L"DynamicCoefficient", L"NoDimension", 0.0, L"NoUnit", m_DynamicCoefficient);
    registerProperty(L"DecayConstant", L"NoDimension", 0.0, L"NoUnit", m_DecayConstant);
    registerProperty(L"MaximumOffset", L"Length", 1e-07, L"m", m_MaximumOffset);
    registerProperty(L"Breakable", L"No", m_Breakable);
}

void NContact::CPurePenalty::registerProperties() {
    setRegistered();
    registerProperty(L"UseAutoNormalStiffness", false, m_UseAutoNormalStiffness);
    registerProperty(L"UpdateStiffness", L"Never", m_UpdateStiffness);
    registerProperty(L"UseAutoThermalConductance", false, m_UseAutoThermalConductance);
    registerProperty(L"UseAutoElectricalConductance", false, m_UseAutoElectricalConductance);
}

void NContact::CAugmentedLagrange::registerProperties() {
    setRegistered();
    registerProperty(L"UseAutoNormalStiffness", false, m_UseAutoNormalStiffness);
    registerProperty(L"UpdateStiffness", L"Never", m_UpdateStiffness);
    registerProperty(L"UseAutoThermalConductance", false, m_UseAutoThermalConductance);
    registerProperty(L"UseAutoElectricalConductance", false, m_UseAutoElectricalConductance);
}

void NContact::CNormalLagrange::registerProperties() {
    setRegistered();
    registerProperty(L"UseAutoThermalConductance", true, m_UseAutoThermalConductance);
    registerProperty(L"UseAutoElectricalConductance", true, m_UseAutoElectricalConductance);
}

void NContact::CPinball::registerProperties() {
    setRegistered();
    registerProperty(L"Type", L"ProgramControlled", m_Type);
}

void NBodyInteractionGroup::CBodyInteractionGroupRep::registerProperties() {
    setRegistered();
    registerProperty(L"ContactDetection", L"Trajectory", m_ContactDetection);
    registerProperty(L"UseBodySelfContact", true, m_UseBodySelfContact);
    registerProperty(L"UseElementSelfContact", true, m_UseElementSelfContact);
    registerProperty(L"UseContactRegion", false, m_UseContactRegion);
}

void NBodyInteractionGroup::CTrajectoryRep::registerProperties() {
    setRegistered();
    registerProperty(L"Formulation", L"DecompositionResponse", m_Formulation);
}

void NBodyInteractionGroup::CProximityBasedRep::registerProperties() {
    setRegistered();
    registerProperty(L"DetectionZoneSizeFactor", L"NoDimension", 0.1, L"NoUnit", m_DetectionZoneSizeFactor);
    registerProperty(L"TimestepSafetyFactor", L"NoDimension", 0.2, L"NoUnit", m_TimestepSafetyFactor);
    registerProperty(L"LimitingTimestepVelocity", L"Velocity", 1e+20, L"m/s", m_LimitingTimestepVelocity);
    registerProperty(L"UseEdgeOnEdgeContact", false, m_UseEdgeOnEdgeContact);
}

void NBodyInteractionGroup::CContactRegionRep::registerProperties() {
    setRegistered();
    registerProperty(L"ContactRegionXMin", L"Length", -1e+20, L"m", m_ContactRegionXMin);
    registerProperty(L"ContactRegionXMax", L"Length", 1e+20, L"m", m_ContactRegionXMax);
    registerProperty(L"ContactRegionYMin", L"Length", -1e+20, L"m", m_ContactRegionYMin);
    registerProperty(L"ContactRegionYMax", L"Length", 1e+20, L"m", m_ContactRegionYMax);
    registerProperty(L"ContactRegionZMin", L"Length", -1e+20, L"m", m_ContactRegionZMin);
    registerProperty(L"ContactRegionZMax", L"Length", 1e+20, L"m", m_ContactRegionZMax);
}

void NBodyInteraction::CBodyInteractionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Type", L"Frictionless", m_Type);
}

void NBodyInteraction::CFrictionalRep::registerProperties() {
    setRegistered();
    registerProperty(L"StaticCoefficient", L"NoDimension", 0.0, L"NoUnit", m_StaticCoefficient);
    registerProperty(L"DynamicCoefficient", L"NoDimension", 0.0, L"NoUnit", m_DynamicCoefficient);
    registerProperty(L"DecayConstant", L"NoDimension", 0.0, L"NoUnit", m_DecayConstant);
}

void NBodyInteraction::CBondedRep::registerProperties() {
    setRegistered();
    registerProperty(L"MaximumOffset", L"Length", 1e-07, L"m", m_MaximumOffset);
    registerProperty(L"Breakable", L"No", m_Breakable);
}

void NBodyInteraction::CForceCriteriaRep::registerProperties() {
    setRegistered();
    registerProperty(L"NormalForceLimit", L"Force", 0.0, L"N", m_NormalForceLimit);
    registerProperty(L"NormalForceExponent", L"NoDimension", 1.0, L"NoUnit", m_NormalForceExponent);
    registerProperty(L"ShearForceLimit", L"Force", 0.0, L"N", m_ShearForceLimit);
    registerProperty(L"ShearForceExponent", L"NoDimension", 1.0, L"NoUnit", m_ShearForceExponent);
}

void NBodyInteraction::CStressCriteriaRep::registerProperties() {
    setRegistered();
    registerProperty(L"NormalStressLimit", L"Stress", 0.0, L"Pa", m_NormalStressLimit);
    registerProperty(L"NormalStressExponent", L"NoDimension", 1.0, L"NoUnit", m_NormalStressExponent);
    registerProperty(L"ShearStressLimit", L"Stress", 0.0, L"Pa", m_ShearStressLimit);
    registerProperty(L"ShearStressExponent", L"NoDimension", 1.0, L"NoUnit", m_ShearStressExponent);
}

}  // namespace NCAERep
