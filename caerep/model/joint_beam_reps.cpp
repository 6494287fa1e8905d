#include "caerep/model/joint_beam_reps.h"

namespace NCAERep {

void NJoint::CJointRep::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NJoint::CJointRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"ReferenceXenPoint", 0u, m_ReferenceXenPoint);
    registerProperty(L"MobileXenPoint", 0u, m_MobileXenPoint);
    registerProperty(L"Type", L"Fixed", m_Type);
    registerProperty(L"ScopingType", L"BodyToBody", m_ScopingType);
    registerProperty(L"DOFMask", 0u, m_DOFMask);
    registerProperty(L"MeshReferenceId", 0u, m_MeshReferenceId);
}

void NJoint::CJointStop::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NJoint::CTorsionalProperties::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NJoint::CTorsionalProperties::registerProperties() {
    setRegistered();
    registerProperty(L"TorsionalStiffness", L"RotationalStiffness", 0.0, L"N m rad^-1", m_TorsionalStiffness);
    registerProperty(L"TorsionalDamping", L"RotationalDamping", 0.0, L"N m s rad^1", m_TorsionalDamping);
}

void CSpringRep::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void CSpringRep::registerProperties() {
    setRegistered();
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"ReferenceXenPoint", 0u, m_ReferenceXenPoint);
    registerProperty(L"MobileXenPoint", 0u, m_MobileXenPoint);
    registerProperty(L"Type", L"Longitudinal", m_Type);
    registerProperty(L"ScopingType", L"BodyToBody", m_ScopingType);
    registerProperty(L"PreloadType", L"None", m_PreloadType);
    registerProperty(L"MeshReferenceId", 0u, m_MeshReferenceId);
}

void CBeamConnectionRep::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void CBeamConnectionRep::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"CrossSectionType", L"Circular", m_CrossSectionType);
    registerProperty(L"Radius", L"Length", 0.0, L"m", m_Radius);
    registerProperty(L"ReferenceXenPoint", 0u, m_ReferenceXenPoint);
    registerProperty(L"MobileXenPoint", 0u, m_MobileXenPoint);
    registerProperty(L"Scoping", std::vector<std::wstring>{}, m_Scoping);
    registerProperty(L"ScopingType", L"BodyToBody", m_ScopingType);
    registerProperty(L"MaterialName", L"", m_MaterialName);
    registerProperty(L"MeshReferenceId", 0u, m_MeshReferenceId);
}

void NBeam::CBeamCrossSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CBeamCrossSection::registerProperties() {
    setRegistered();
    registerProperty(L"Area", L"Area", 0.0, L"m^2", m_Area);
    registerProperty(L"Iyy", L"MomentofInertia", 0.0, L"m^4", m_Iyy);
    registerProperty(L"Izz", L"MomentofInertia", 0.0, L"m^4", m_Izz);
}

void NBeam::CArbitrarySection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CArbitrarySection::registerProperties() {
    setRegistered();
    registerProperty(L"Area", L"Area", 0.0, L"m^2", m_Area);
    registerProperty(L"Iyy", L"MomentofInertia", 0.0, L"m^4", m_Iyy);
    registerProperty(L"Iyz", L"MomentofInertia", 0.0, L"m^4", m_Iyz);
    registerProperty(L"Izz", L"MomentofInertia", 0.0, L"m^4", m_Izz);
    registerProperty(L"Warping", L"MomentofInertia", 0.0, L"m^4", m_Warping);
    registerProperty(L"Torsion", L"Angle", 0.0, L"radian", m_Torsion);
    registerProperty(L"Centroid", L"Length", std::vector<double>(2, 0.0), L"m", m_Centroid);
    registerProperty(L"ShearCenter", L"Length", std::vector<double>(2, 0.0), L"m", m_ShearCenter);
}

void NBeam::CRectangleSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CRectangleSection::registerProperties() {
    setRegistered();
    registerProperty(L"Width", L"Length", 0.0, L"m", m_Width);
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
}

void NBeam::CQuadrilateralSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CQuadrilateralSection::registerProperties() {
    setRegistered();
    registerProperty(L"CoordinateI", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateI);
    registerProperty(L"CoordinateJ", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateJ);
    registerProperty(L"CoordinateK", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateK);
    registerProperty(L"CoordinateL", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateL);
}

void NBeam::CCircularSolidSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CCircularSolidSection::registerProperties() {
    setRegistered();
    registerProperty(L"Radius", L"Length", 0.0, L"m", m_Radius);
}

void NBeam::CTubeSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CTubeSection::registerProperties() {
    setRegistered();
    registerProperty(L"InnerRadius", L"Length", 0.0, L"m", m_InnerRadius);
    registerProperty(L"OuterRadius", L"Length", 0.0, L"m", m_OuterRadius);
}

void NBeam::CChannelSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CChannelSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", std::vector<double>(2, 0.0), L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(3, 0.0), L"m", m_Thickness);
}

void NBeam::CZSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CZSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", std::vector<double>(2, 0.0), L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(3, 0.0), L"m", m_Thickness);
}

void NBeam::CISection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CISection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", std::vector<double>(2, 0.0), L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(3, 0.0), L"m", m_Thickness);
}

void NBeam::CLSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CLSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", 0.0, L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(2, 0.0), L"m", m_Thickness);
}

void NBeam::CTSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CTSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", 0.0, L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(2, 0.0), L"m", m_Thickness);
}

void NBeam::CHatsSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CHatsSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", std::vector<double>(3, 0.0), L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(5, 0.0), L"m", m_Thickness);
}

void NBeam::CHollowRectangeSection::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void NBeam::CHollowRectangeSection::registerProperties() {
    setRegistered();
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
    registerProperty(L"Width", L"Length", 0.0, L"m", m_Width);
    registerProperty(L"Thickness", L"Length", std::vector<double>(4, 0.0), L"m", m_Thickness);
}

}  // namespace NCAERep
