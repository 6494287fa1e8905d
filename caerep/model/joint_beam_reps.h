// Joints with their stops and torsional properties, springs, beam connections and the beam cross-sections.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"

namespace NCAERep {

namespace NJoint {

class CJointRep : public CModelRep<CJointRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"JointRep";
    explicit CJointRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_ReferenceXenPoint, m_MobileXenPoint, m_Type, m_ScopingType, m_DOFMask,
        m_MeshReferenceId;
};
}  // namespace NJoint

namespace NJoint {

class CJointStop : public CModelRep<CJointStop> {
  public:
    static constexpr const wchar_t* kTypeName = L"JointStop";
    explicit CJointStop(const CIdentity& identity) : CModelRep(identity) {}
};
}  // namespace NJoint

namespace NJoint {

class CTorsionalProperties : public CModelRep<CTorsionalProperties> {
  public:
    static constexpr const wchar_t* kTypeName = L"TorsionalProperties";
    explicit CTorsionalProperties(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_TorsionalStiffness, m_TorsionalDamping;
};
}  // namespace NJoint

class CSpringRep : public CModelRep<CSpringRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"SpringRep";
    explicit CSpringRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Scoping, m_ReferenceXenPoint, m_MobileXenPoint, m_Type, m_ScopingType, m_PreloadType,
        m_MeshReferenceId;
};

class CBeamConnectionRep : public CModelRep<CBeamConnectionRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"BeamConnectionRep";
    explicit CBeamConnectionRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_CrossSectionType, m_Radius, m_ReferenceXenPoint, m_MobileXenPoint, m_Scoping,
        m_ScopingType, m_MaterialName, m_MeshReferenceId;
};

namespace NBeam {

class CBeamCrossSection : public CModelRep<CBeamCrossSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"BeamCrossSection";
    explicit CBeamCrossSection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Area, m_Iyy, m_Izz;
};
}  // namespace NBeam

namespace NBeam {

class CArbitrarySection : public CModelRep<CArbitrarySection> {
  public:
    static constexpr const wchar_t* kTypeName = L"ArbitrarySection";
    explicit CArbitrarySection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Area, m_Iyy, m_Iyz, m_Izz, m_Warping, m_Torsion, m_Centroid, m_ShearCenter;
};
}  // namespace NBeam

namespace NBeam {

class CRectangleSection : public CModelRep<CRectangleSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"RectangleSection";
    explicit CRectangleSection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Width, m_Height;
};
}  // namespace NBeam

namespace NBeam {

class CQuadrilateralSection : public CModelRep<CQuadrilateralSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"QuadrilateralSection";
    explicit CQuadrilateralSection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_CoordinateI, m_CoordinateJ, m_CoordinateK, m_CoordinateL;
};
}  // namespace NBeam

namespace NBeam {

class CCircularSolidSection : public CModelRep<CCircularSolidSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"CircularSolidSection";
    explicit CCircularSolidSection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Radius;
};
}  // namespace NBeam

namespace NBeam {

class CTubeSection : public CModelRep<CTubeSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"TubeSection";
    explicit CTubeSection(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_InnerRadius, m_OuterRadius;
};
}  // namespace NBeam

namespace NBeam {

// The thin-walled profiles share a height, flange widths and wall thicknesses; they differ in
// how many widths and thicknesses they have. A count of one is kept as a single value, a larger
// count as a list.
class CThinWalledSection : public CCAERepBase {
  public:
    void registerProperties() override;

    CPropertyValue m_Height, m_Width, m_Thickness;

  protected:
    CThinWalledSection(const CIdentity& identity, std::size_t widths, std::size_t thicknesses)
        : CCAERepBase(identity), m_widthCount(widths), m_thicknessCount(thicknesses) {}

  private:
    std::size_t m_widthCount, m_thicknessCount;
};
}  // namespace NBeam

namespace NBeam {

class CChannelSection : public CModelRep<CChannelSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"ChannelSection";
    explicit CChannelSection(const CIdentity& identity) : CModelRep(identity, 2, 3) {}
};
}  // namespace NBeam

namespace NBeam {

class CZSection : public CModelRep<CZSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"ZSection";
    explicit CZSection(const CIdentity& identity) : CModelRep(identity, 2, 3) {}
};
}  // namespace NBeam

namespace NBeam {

class CISection : public CModelRep<CISection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"ISection";
    explicit CISection(const CIdentity& identity) : CModelRep(identity, 2, 3) {}
};
}  // namespace NBeam

namespace NBeam {

class CLSection : public CModelRep<CLSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"LSection";
    explicit CLSection(const CIdentity& identity) : CModelRep(identity, 1, 2) {}
};
}  // namespace NBeam

namespace NBeam {

class CTSection : public CModelRep<CTSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"TSection";
    explicit CTSection(const CIdentity& identity) : CModelRep(identity, 1, 2) {}
};
}  // namespace NBeam

namespace NBeam {

class CHatsSection : public CModelRep<CHatsSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"HatsSection";
    explicit CHatsSection(const CIdentity& identity) : CModelRep(identity, 3, 5) {}
};
}  // namespace NBeam

namespace NBeam {

class CHollowRectangeSection : public CModelRep<CHollowRectangeSection, CThinWalledSection> {
  public:
    static constexpr const wchar_t* kTypeName = L"HollowRectangeSection";
    explicit CHollowRectangeSection(const CIdentity& identity) : CModelRep(identity, 1, 4) {}
};
}  // namespace NBeam

}  // namespace NCAERep
