// Geometry, body, placement, topology, face, edge, surface and curve objects, each holding the geometry.
#include "hostsim/geometry_objects.h"

#include <algorithm>

#include "platform/com_object.h"

namespace {

using Geometry = std::shared_ptr<const HostSimGeometry>;
using Entity = HostSimGeometry::Entity;

// Every object handed out holds the geometry, so an entity outlives the geometry object that
// led to it as long as the caller holds its face, edge, curve or surface.
template <class Derived, class... Extra>
class SurfaceObject : public ComObject<Derived, IHostSurface, Extra...> {
  public:
    SurfaceObject(Geometry geometry, const Entity* entity)
        : geometry_(std::move(geometry)), entity_(entity) {}

    [[nodiscard]] HRESULT GetClosestParameters(const Vector3& point, double& u, double& v) override {
        entity_->ClosestSurfaceParameters(point, u, v);
        return S_OK;
    }
    [[nodiscard]] HRESULT GetNormal(double u, double v, Vector3& normal) override {
        normal = entity_->SurfaceNormal(u, v);
        return S_OK;
    }
    [[nodiscard]] HRESULT GetEvaluatedNormal(double u, double v, Vector3& normal) override {
        return GetNormal(u, v, normal);
    }

  protected:
    Geometry geometry_;
    const Entity* entity_;
};

class PlaneSurface final : public SurfaceObject<PlaneSurface> {
  public:
    using SurfaceObject::SurfaceObject;
};

class CylinderSurface final : public SurfaceObject<CylinderSurface, IHostCylinder> {
  public:
    using SurfaceObject::SurfaceObject;
    [[nodiscard]] HRESULT GetAxisDirection(Vector3& axis) override {
        axis = entity_->direction;
        return S_OK;
    }
};

template <class Derived, class... Extra>
class CurveObject : public ComObject<Derived, IHostCurve, Extra...> {
  public:
    CurveObject(Geometry geometry, const Entity* entity) : geometry_(std::move(geometry)), entity_(entity) {}

    [[nodiscard]] HRESULT GetClosestParameter(const Vector3& point, double& parameter) override {
        parameter = entity_->ClosestCurveParameter(point);
        return S_OK;
    }
    [[nodiscard]] HRESULT GetFirstDerivative(double parameter, Vector3& derivative) override {
        derivative = entity_->CurveDerivative(parameter);
        return S_OK;
    }

  protected:
    Geometry geometry_;
    const Entity* entity_;
};

class LineCurve final : public CurveObject<LineCurve> {
  public:
    using CurveObject::CurveObject;
};

class CircleCurve final : public CurveObject<CircleCurve, IHostCircle> {
  public:
    using CurveObject::CurveObject;
    [[nodiscard]] HRESULT GetAxisDirection(Vector3& axis) override {
        axis = entity_->direction;
        return S_OK;
    }
};

class FaceObject final : public ComObject<FaceObject, IHostFace> {
  public:
    FaceObject(Geometry geometry, const Entity* entity) : geometry_(std::move(geometry)), entity_(entity) {}

    [[nodiscard]] HRESULT GetSurfaceType(int& type) override {
        type = entity_->TypeCode();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetSurface(ComPtr<IHostSurface>& out) override {
        if (entity_->kind == HostSimGeometry::Kind::kCylinder)
            out = MakeComObject<CylinderSurface>(geometry_, entity_);
        else
            out = MakeComObject<PlaneSurface>(geometry_, entity_);
        return out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    Geometry geometry_;
    const Entity* entity_;
};

class EdgeObject final : public ComObject<EdgeObject, IHostEdge> {
  public:
    EdgeObject(Geometry geometry, const Entity* entity) : geometry_(std::move(geometry)), entity_(entity) {}

    [[nodiscard]] HRESULT GetCurveType(int& type) override {
        type = entity_->TypeCode();
        return S_OK;
    }
    [[nodiscard]] HRESULT GetCurve(ComPtr<IHostCurve>& out) override {
        if (entity_->kind == HostSimGeometry::Kind::kCircle)
            out = MakeComObject<CircleCurve>(geometry_, entity_);
        else
            out = MakeComObject<LineCurve>(geometry_, entity_);
        return out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    Geometry geometry_;
    const Entity* entity_;
};

class TransformObject final : public ComObject<TransformObject, IHostTransform> {
  public:
    TransformObject(Geometry geometry, const HostSimGeometry::Body* body)
        : geometry_(std::move(geometry)), body_(body) {}

    [[nodiscard]] HRESULT GetEntry(int row, int column, double& value) override {
        if (row < 0 || row > 3 || column < 0 || column > 3) return E_INVALIDARG;
        value = body_->PlacementEntry(row, column);
        return S_OK;
    }

  private:
    Geometry geometry_;
    const HostSimGeometry::Body* body_;
};

class TopologyObject final : public ComObject<TopologyObject, IHostTopology> {
  public:
    TopologyObject(Geometry geometry, const HostSimGeometry::Body* body)
        : geometry_(std::move(geometry)), body_(body) {}

    [[nodiscard]] HRESULT GetEntity(int index, ComPtr<IUnknown>& out) override {
        out = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= body_->entities.size()) return E_INVALIDARG;
        // The reader refuses a body that names an unknown entity.
        const Entity* entity = geometry_->FindEntity(body_->entities[index]);
        if (entity->IsFace())
            out = MakeComObject<FaceObject>(geometry_, entity);
        else if (entity->IsEdge())
            out = MakeComObject<EdgeObject>(geometry_, entity);
        else
            return S_FALSE;
        return out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    Geometry geometry_;
    const HostSimGeometry::Body* body_;
};

class BodyObject final : public ComObject<BodyObject, IHostBody> {
  public:
    BodyObject(Geometry geometry, const HostSimGeometry::Body* body)
        : geometry_(std::move(geometry)), body_(body) {}

    [[nodiscard]] HRESULT GetPlacement(ComPtr<IHostTransform>& out) override {
        out = MakeComObject<TransformObject>(geometry_, body_);
        return out ? S_OK : E_OUTOFMEMORY;
    }
    [[nodiscard]] HRESULT GetEntityIndex(int entityId, int& index) override {
        const auto& ids = body_->entities;
        const auto it = std::find(ids.begin(), ids.end(), entityId);
        if (it == ids.end()) return E_INVALIDARG;
        index = static_cast<int>(it - ids.begin());
        return S_OK;
    }
    [[nodiscard]] HRESULT GetTopology(ComPtr<IHostTopology>& out) override {
        out = MakeComObject<TopologyObject>(geometry_, body_);
        return out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    Geometry geometry_;
    const HostSimGeometry::Body* body_;
};

class GeometryObject final : public ComObject<GeometryObject, IHostGeometry> {
  public:
    explicit GeometryObject(Geometry geometry) : geometry_(std::move(geometry)) {}

    [[nodiscard]] HRESULT GetBody(int bodyId, ComPtr<IHostBody>& out) override {
        out = nullptr;
        const HostSimGeometry::Body* body = geometry_->FindBody(bodyId);
        if (!body) return E_INVALIDARG;
        out = MakeComObject<BodyObject>(geometry_, body);
        return out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    Geometry geometry_;
};

}  // namespace

ComPtr<IHostGeometry> CreateHostSimGeometryObject(std::shared_ptr<const HostSimGeometry> geometry) {
    if (!geometry) return nullptr;
    return MakeComObject<GeometryObject>(std::move(geometry));
}
