// Type codes, surface and curve parameters, normals and tangents of analytic entities, and body placement.
#include "hostsim/geometry_model.h"

#include <cmath>

int HostSimGeometry::Entity::TypeCode() const {
    switch (kind) {
        case Kind::kPlane:
            return kHostSurfacePlane;
        case Kind::kCylinder:
            return kHostSurfaceCylinder;
        case Kind::kCircle:
            return kHostCurveCircle;
        case Kind::kLine:
            return kHostCurveLine;
        case Kind::kVertex:
            break;
    }
    return 0;
}

void HostSimGeometry::Entity::AngleAxes(Vector3& e1, Vector3& e2) const {
    e1 = PerpendicularVector(direction);
    e2 = direction.Cross(e1);
}

void HostSimGeometry::Entity::ClosestSurfaceParameters(const Vector3& p, double& u, double& v) const {
    Vector3 e1, e2;
    AngleAxes(e1, e2);
    const Vector3 d = p - point;
    if (kind == Kind::kCylinder) {
        u = std::atan2(d.Dot(e2), d.Dot(e1));
        v = d.Dot(direction);
        return;
    }
    u = d.Dot(e1);
    v = d.Dot(e2);
}

Vector3 HostSimGeometry::Entity::SurfaceNormal(double u, double) const {
    if (kind != Kind::kCylinder) return direction;
    Vector3 e1, e2;
    AngleAxes(e1, e2);
    return e1 * std::cos(u) + e2 * std::sin(u);
}

double HostSimGeometry::Entity::ClosestCurveParameter(const Vector3& p) const {
    const Vector3 d = p - point;
    if (kind != Kind::kCircle) return d.Dot(direction);
    Vector3 e1, e2;
    AngleAxes(e1, e2);
    return std::atan2(d.Dot(e2), d.Dot(e1));
}

Vector3 HostSimGeometry::Entity::CurveDerivative(double t) const {
    if (kind != Kind::kCircle) return direction;
    Vector3 e1, e2;
    AngleAxes(e1, e2);
    return direction.Cross(e1 * std::cos(t) + e2 * std::sin(t)) * radius;
}

double HostSimGeometry::Body::PlacementEntry(int row, int column) const {
    if (row == 3) return column == 3 ? 1.0 : 0.0;
    const Vector3 columns[4] = {xAxis, yAxis, xAxis.Cross(yAxis), origin};
    return columns[column].GetComponent(row);
}

const HostSimGeometry::Entity* HostSimGeometry::FindEntity(int id) const {
    const auto it = entities_.find(id);
    return it == entities_.end() ? nullptr : &it->second;
}

const HostSimGeometry::Body* HostSimGeometry::FindBody(int id) const {
    const auto it = bodies_.find(id);
    return it == bodies_.end() ? nullptr : &it->second;
}
