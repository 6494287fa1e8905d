// Joints with their stops and torsional properties, springs, beam connections and the beam cross-sections.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/result_def_record.h"
#include "platform/com.h"

namespace NCAERep {

namespace NJoint {

class CJointRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"JointRep";
    explicit CJointRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_ReferenceXenPoint, m_MobileXenPoint, m_Type, m_ScopingType, m_DOFMask, m_MeshReferenceId;
};
}  // namespace NJoint

namespace NJoint {

class CJointStop : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"JointStop";
    explicit CJointStop(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};
}  // namespace NJoint

namespace NJoint {

class CTorsionalProperties : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"TorsionalProperties";
    explicit CTorsionalProperties(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_TorsionalStiffness, m_TorsionalDamping;
};
}  // namespace NJoint


class CSpringRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"SpringRep";
    explicit CSpringRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Scoping, m_ReferenceXenPoint, m_MobileXenPoint, m_Type, m_ScopingType, m_PreloadType, m_MeshReferenceId;
};


class CBeamConnectionRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BeamConnectionRep";
    explicit CBeamConnectionRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Caption, m_CrossSectionType, m_Radius, m_ReferenceXenPoint, m_MobileXenPoint, m_Scoping, m_ScopingType, m_MaterialName, m_MeshReferenceId;
};

namespace NBeam {

class CBeamCrossSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"BeamCrossSection";
    explicit CBeamCrossSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Area, m_Iyy, m_Izz;
};
}  // namespace NBeam

namespace NBeam {

class CArbitrarySection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ArbitrarySection";
    explicit CArbitrarySection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Area, m_Iyy, m_Iyz, m_Izz, m_Warping, m_Torsion, m_Centroid, m_ShearCenter;
};
}  // namespace NBeam

namespace NBeam {

class CRectangleSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"RectangleSection";
    explicit CRectangleSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Width, m_Height;
};
}  // namespace NBeam

namespace NBeam {

class CQuadrilateralSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"QuadrilateralSection";
    explicit CQuadrilateralSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_CoordinateI, m_CoordinateJ, m_CoordinateK, m_CoordinateL;
};
}  // namespace NBeam

namespace NBeam {

class CCircularSolidSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"CircularSolidSection";
    explicit CCircularSolidSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Radius;
};
}  // namespace NBeam

namespace NBeam {

class CTubeSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"TubeSection";
    explicit CTubeSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_InnerRadius, m_OuterRadius;
};
}  // namespace NBeam

namespace NBeam {

class CChannelSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ChannelSection";
    explicit CChannelSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CZSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ZSection";
    explicit CZSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CISection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ISection";
    explicit CISection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CLSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"LSection";
    explicit CLSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CTSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"TSection";
    explicit CTSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CHatsSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"HatsSection";
    explicit CHatsSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

namespace NBeam {

class CHollowRectangeSection : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"HollowRectangeSection";
    explicit CHollowRectangeSection(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Height, m_Width, m_Thickness;
};
}  // namespace NBeam

}  // namespace NCAERep
