// Names, defaults and units of the support, load, convection, radiation, table and load-step properties.
#include "caerep/model/bc_reps.h"

namespace NCAERep {

void NBC::CSupport::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
}

void NBC::CFixedRotation::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
    registerProperty(L"RotationX", L"Fixed", m_RotationX);
    registerProperty(L"RotationY", L"Fixed", m_RotationY);
    registerProperty(L"RotationZ", L"Fixed", m_RotationZ);
}

void NBC::CDisplacement::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
    registerProperty(L"PhaseAngle", L"Angle", 0.0, L"rad", m_PhaseAngle);
}

void NBC::CConvection::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Magnitude", L"Temperature", 0.0, L"K", m_Magnitude);
    registerProperty(L"Scalar2", L"HeatTransferCoefficient", 0.0, L"W m^-2 K^-1", m_Scalar2);
}

void NBC::CRadiation::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"Magnitude", L"Temperature", 0.0, L"K", m_Magnitude);
    registerProperty(L"Scalar2", L"NoDimension", 0.0, L"NoUnit", m_Scalar2);
    registerProperty(L"Correlation", L"ToAmbient", m_Correlation);
    registerProperty(L"Emissivity", L"NoDimension", 1.0, L"NoUnit", m_Emissivity);
}

void NBC::CExternalLoadRep::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"ExternalLoadType", L"", m_ExternalLoadType);
}

void NBC::CTable::initialize() {
    // One class serves both table types; an "sTable" keeps its name.
    if (typeName() != L"sTable") setTypeName(kTypeName);
    registerProperties();
}

void NBC::CLoadStep::registerProperties() {
    setRegistered();
    registerProperty(L"IsActive", std::vector<bool>{}, m_IsActive);
    registerProperty(L"Number", std::vector<int>{}, m_Number);
}

void CCouplingConditionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"DOFSelection", L"DOFDisplacementX", m_DOFSelection);
    registerProperty(L"RefCoordSysId", 0u, m_RefCoordSysId);
}

}  // namespace NCAERep
