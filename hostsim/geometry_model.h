// The simulated host's geometry: analytic faces and edges (planes, cylinders, circles, lines)
// and vertices, grouped into placed bodies. Built once when the case is read, then only read.
#pragma once

#include <map>
#include <vector>

#include "foundation/vector3.h"
#include "host/geometry.h"

class HostSimGeometry {
  public:
    enum class Kind { kPlane, kCylinder, kCircle, kLine, kVertex };

    // One entity in its body's frame. `point` is the plane's point, the cylinder's axis point,
    // the circle's centre, the line's point or the vertex; `direction` (unit length) the
    // plane's normal, the cylinder's or circle's axis or the line's direction.
    struct Entity {
        int id = 0;
        Kind kind = Kind::kPlane;
        Vector3 point;
        Vector3 direction{0, 0, 1};
        double radius = 0.0;

        bool IsFace() const { return kind == Kind::kPlane || kind == Kind::kCylinder; }
        bool IsEdge() const { return kind == Kind::kLine || kind == Kind::kCircle; }
        // The surface kind of a face or the curve kind of an edge (host/geometry.h).
        int TypeCode() const;

        // Faces: plane (u, v) are the in-plane coordinates; cylinder (u, v) are the angle
        // round the axis and the height along it.
        void ClosestSurfaceParameters(const Vector3& p, double& u, double& v) const;
        Vector3 SurfaceNormal(double u, double v) const;
        // Edges: a line is point + t * direction; a circle's parameter is the angle.
        double ClosestCurveParameter(const Vector3& p) const;
        Vector3 CurveDerivative(double t) const;

      private:
        // The in-plane axes of the angle: e1 = PerpendicularVector(direction), e2 = direction x e1.
        void AngleAxes(Vector3& e1, Vector3& e2) const;
    };

    struct Body {
        int id = 0;
        // Unit axes and origin of the body's frame in global coordinates.
        Vector3 xAxis{1, 0, 0};
        Vector3 yAxis{0, 1, 0};
        Vector3 origin;
        // The topology: an entity's index is its position here.
        std::vector<int> entities;

        // Entry (row, column) of the 4x4 placement: columns x, y, z = x cross y, origin.
        double PlacementEntry(int row, int column) const;
    };

    // Both replace an entity or body of the same id.
    void SetEntity(const Entity& entity) { entities_[entity.id] = entity; }
    void SetBody(const Body& body) { bodies_[body.id] = body; }

    const Entity* FindEntity(int id) const;
    const Body* FindBody(int id) const;
    bool Empty() const { return entities_.empty() && bodies_.empty(); }

  private:
    std::map<int, Entity> entities_;
    std::map<int, Body> bodies_;
};
