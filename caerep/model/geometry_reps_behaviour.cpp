// What the geometry classes answer beyond their properties: host handles, axes and points.
#include "caerep/core/cae_database.h"
#include "caerep/model/geometry_reps.h"

namespace NCAERep {

namespace {
double Coordinate(const CCAERepBase& object, int axis) {
    static const wchar_t* const kNames[] = {L"XLoc", L"YLoc", L"ZLoc"};
    double v = 0.0;
    object.getProperty(kNames[axis < 0 ? 0 : axis > 2 ? 2 : axis]).getValue(v);
    return v;
}
}  // namespace

bool CBodyAttributes::getAreNonLinearEffectsOn() const {
    bool on = false;
    getProperty(L"AreNonLinearEffectsOn").getValue(on);
    return on;
}

HRESULT CMeshRep::getMesh(ComPtr<IUnknown>& out) {
    out = nullptr;
    if (!m_mesh && getDatabase()) {
        if (IHostModelProvider* host = getDatabase()->getHostProvider()) {
            ComPtr<IUnknown> mesh;
            if (SUCCEEDED(host->getMesh(*this, mesh))) m_mesh = mesh;
        }
    }
    out = m_mesh;
    return out ? S_OK : E_FAIL;
}

HRESULT CGeometryRep::getGeometry(ComPtr<IUnknown>& out) {
    out = nullptr;
    if (!m_geometry && getDatabase()) {
        if (IHostModelProvider* host = getDatabase()->getHostProvider()) {
            ComPtr<IUnknown> geometry;
            if (SUCCEEDED(host->getGeometry(*this, geometry))) m_geometry = geometry;
        }
    }
    out = m_geometry;
    return out ? S_OK : E_FAIL;
}

bool CMatrix3X3::getRow(int row, double out[3]) const {
    if (row < 0 || row > 2) return false;
    const auto* values = std::get_if<std::vector<double>>(&findProperty(L"Values")->storage());
    if (!values || values->size() != 9) return false;
    for (int i = 0; i < 3; ++i) out[i] = (*values)[3 * row + i];
    return true;
}

double CPoint3D::getCoordinate(int axis) const { return Coordinate(*this, axis); }
double CVector3D::getCoordinate(int axis) const { return Coordinate(*this, axis); }

std::unique_ptr<CVector3D> CCoordinateSystemRep::getAxis(int row) const {
    auto* matrix = dynamic_cast<const CMatrix3X3*>(getChild(L"Matrix3X3", L"Matrix3X3"));
    double r[3];
    if (!matrix || !matrix->getRow(row, r)) return nullptr;
    auto axis = std::make_unique<CVector3D>(CIdentity(L"Vector3D", L"Vector3D", -1));
    axis->initialize();
    CPropertyValue v;
    static const wchar_t* const kNames[] = {L"XLoc", L"YLoc", L"ZLoc"};
    for (int i = 0; i < 3; ++i) {
        v.setValue(r[i], L"NoDimension", L"NoUnit");
        axis->setProperty(kNames[i], v);
    }
    return axis;
}

}  // namespace NCAERep
