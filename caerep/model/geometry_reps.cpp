// Defaults of the assembly, part, body, mesh, point, vector, matrix and coordinate-system properties.
#include "caerep/model/geometry_reps.h"

namespace NCAERep {

void CAssemblyAttributes::registerProperties() {
    setRegistered();
    registerProperty(L"Is2DAnalysis", false, m_Is2DAnalysis);
}

void CPartAttributes::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"ProtoReferenceId", 0u, m_ProtoReferenceId);
}

// "ProtoReferenceId" is not registered: a body without it is known to the host by its database
// id, which a registered default of 0 would hide.
void CBodyAttributes::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"GeometryType", L"Solid", m_GeometryType);
    registerProperty(L"AreNonLinearEffectsOn", true, m_AreNonLinearEffectsOn);
}

void CMeshRep::registerProperties() {
    setRegistered();
    registerProperty(L"FileName", L"", m_FileName);
}

void CGeometryRep::registerProperties() {
    setRegistered();
    registerProperty(L"FileName", L"", m_FileName);
}

void CMatrix3X3::registerProperties() {
    setRegistered();
    registerProperty(L"Values", L"NoDimension",
                     std::vector<double>{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0}, L"NoUnit", m_Values);
}

void CPoint3D::registerProperties() {
    setRegistered();
    registerProperty(L"XLoc", L"Length", 0.0, L"m", m_XLoc);
    registerProperty(L"YLoc", L"Length", 0.0, L"m", m_YLoc);
    registerProperty(L"ZLoc", L"Length", 0.0, L"m", m_ZLoc);
}

void CVector3D::registerProperties() {
    setRegistered();
    registerProperty(L"XLoc", L"NoDimension", 0.0, L"NoUnit", m_XLoc);
    registerProperty(L"YLoc", L"NoDimension", 0.0, L"NoUnit", m_YLoc);
    registerProperty(L"ZLoc", L"NoDimension", 0.0, L"NoUnit", m_ZLoc);
}

void CCoordinateSystemRep::registerProperties() {
    setRegistered();
    registerProperty(L"Caption", L"", m_Caption);
    registerProperty(L"Type", 0, m_Type);
    registerProperty(L"Param1", L"Length", 0.0, L"m", m_Param1);
    registerProperty(L"Param2", L"Length", 0.0, L"m", m_Param2);
}

void CCoordinateSystemRep::createChildren() {
    m_childMatrix3X3 = createChild(L"Matrix3X3", L"Matrix3X3");
    m_childOrigin = createChild(L"Point3D", L"Origin");
}

}  // namespace NCAERep
