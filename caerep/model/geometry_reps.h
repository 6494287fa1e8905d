// The geometry side of the model: the attribute tree of assembly, parts and bodies, the mesh and geometry
// handles of the host, coordinate systems, points, vectors and 3x3 matrices.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/model_rep.h"
#include "platform/com.h"

namespace NCAERep {

class CGeometryAttributes : public CModelRep<CGeometryAttributes> {
  public:
    static constexpr const wchar_t* kTypeName = L"GeometryAttributes";
    explicit CGeometryAttributes(const CIdentity& identity) : CModelRep(identity) {}
};

class CAssemblyAttributes : public CModelRep<CAssemblyAttributes> {
  public:
    static constexpr const wchar_t* kTypeName = L"AssemblyAttributes";
    explicit CAssemblyAttributes(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Is2DAnalysis;
};

class CPartAttributes : public CModelRep<CPartAttributes> {
  public:
    static constexpr const wchar_t* kTypeName = L"PartAttributes";
    explicit CPartAttributes(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Caption, m_ProtoReferenceId;
};

class CBodyAttributes : public CModelRep<CBodyAttributes> {
  public:
    static constexpr const wchar_t* kTypeName = L"BodyAttributes";
    explicit CBodyAttributes(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    bool getAreNonLinearEffectsOn() const;

    CPropertyValue m_Caption, m_GeometryType, m_AreNonLinearEffectsOn;
};

class CMeshRep : public CModelRep<CMeshRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"MeshRep";
    explicit CMeshRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // The host mesh (a new reference): the one set on the object, else the database's host
    // provider is asked once. E_FAIL and null when there is none.
    [[nodiscard]] HRESULT getMesh(ComPtr<IUnknown>& out);
    void setMesh(ComPtr<IUnknown> mesh) { m_mesh = std::move(mesh); }

  private:
    ComPtr<IUnknown> m_mesh;

  public:
    CPropertyValue m_FileName;
};

class CGeometryRep : public CModelRep<CGeometryRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"GeometryRep";
    explicit CGeometryRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // The host geometry (a new reference), found as for the mesh.
    [[nodiscard]] HRESULT getGeometry(ComPtr<IUnknown>& out);
    void setGeometry(ComPtr<IUnknown> geometry) { m_geometry = std::move(geometry); }

  private:
    ComPtr<IUnknown> m_geometry;

  public:
    CPropertyValue m_FileName;
};

class CMatrix3X3 : public CModelRep<CMatrix3X3> {
  public:
    static constexpr const wchar_t* kTypeName = L"Matrix3X3";
    explicit CMatrix3X3(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // Row i (0 to 2) of the row-major values; false when the values are not nine doubles.
    bool getRow(int row, double out[3]) const;

    CPropertyValue m_Values;
};

class CPoint3D : public CModelRep<CPoint3D> {
  public:
    static constexpr const wchar_t* kTypeName = L"Point3D";
    explicit CPoint3D(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    // "XLoc", "YLoc" or "ZLoc" for axis 0, 1 or 2, as stored.
    double getCoordinate(int axis) const;

    CPropertyValue m_XLoc, m_YLoc, m_ZLoc;
};

class CVector3D : public CModelRep<CVector3D> {
  public:
    static constexpr const wchar_t* kTypeName = L"Vector3D";
    explicit CVector3D(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    double getCoordinate(int axis) const;

    CPropertyValue m_XLoc, m_YLoc, m_ZLoc;
};

class CCoordinateSystemRep : public CModelRep<CCoordinateSystemRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"CoordinateSystemRep";
    explicit CCoordinateSystemRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;
    void createChildren() override;

    // A new, unattached vector holding row 0, 1 or 2 of the axis matrix; null when the matrix
    // is missing or malformed.
    std::unique_ptr<CVector3D> getXAxis() const { return getAxis(0); }
    std::unique_ptr<CVector3D> getYAxis() const { return getAxis(1); }
    std::unique_ptr<CVector3D> getZAxis() const { return getAxis(2); }
    std::unique_ptr<CVector3D> getAxis(int row) const;

    CPropertyValue m_Caption, m_Type, m_Param1, m_Param2;
    // Fixed children (owned by the database).
    CCAERepBase* m_childMatrix3X3 = nullptr;
    CCAERepBase* m_childOrigin = nullptr;
};

}  // namespace NCAERep
