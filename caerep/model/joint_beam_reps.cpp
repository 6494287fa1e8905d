// Defaults of the joint, spring and beam-connection properties and the dimensions of each cross-section.
#include "caerep/model/joint_beam_reps.h"

namespace NCAERep {

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

void NJoint::CTorsionalProperties::registerProperties() {
    setRegistered();
    registerProperty(L"TorsionalStiffness", L"RotationalStiffness", 0.0, L"N m rad^-1", m_TorsionalStiffness);
    registerProperty(L"TorsionalDamping", L"RotationalDamping", 0.0, L"N m s rad^1", m_TorsionalDamping);
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

void NBeam::CBeamCrossSection::registerProperties() {
    setRegistered();
    registerProperty(L"Area", L"Area", 0.0, L"m^2", m_Area);
    registerProperty(L"Iyy", L"MomentofInertia", 0.0, L"m^4", m_Iyy);
    registerProperty(L"Izz", L"MomentofInertia", 0.0, L"m^4", m_Izz);
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

void NBeam::CRectangleSection::registerProperties() {
    setRegistered();
    registerProperty(L"Width", L"Length", 0.0, L"m", m_Width);
    registerProperty(L"Height", L"Length", 0.0, L"m", m_Height);
}

void NBeam::CQuadrilateralSection::registerProperties() {
    setRegistered();
    registerProperty(L"CoordinateI", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateI);
    registerProperty(L"CoordinateJ", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateJ);
    registerProperty(L"CoordinateK", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateK);
    registerProperty(L"CoordinateL", L"Length", std::vector<double>(2, 0.0), L"m", m_CoordinateL);
}

void NBeam::CCircularSolidSection::registerProperties() {
    setRegistered();
    registerProperty(L"Radius", L"Length", 0.0, L"m", m_Radius);
}

void NBeam::CTubeSection::registerProperties() {
    setRegistered();
    registerProperty(L"InnerRadius", L"Length", 0.0, L"m", m_InnerRadius);
    registerProperty(L"OuterRadius", L"Length", 0.0, L"m", m_OuterRadius);
}

void NBeam::CThinWalledSection::registerProperties() {
    setRegistered();
    const auto registerLengths = [this](std::wstring_view name, std::size_t count, CPropertyValue& member) {
        if (count == 1)
            registerProperty(name, L"Length", 0.0, L"m", member);
        else
            registerProperty(name, L"Length", std::vector<double>(count, 0.0), L"m", member);
    };
    registerLengths(L"Height", 1, m_Height);
    registerLengths(L"Width", m_widthCount, m_Width);
    registerLengths(L"Thickness", m_thicknessCount, m_Thickness);
}

}  // namespace NCAERep
