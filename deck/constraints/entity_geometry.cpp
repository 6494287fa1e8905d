// Opening a face or edge of a host body, and the node frame from its normal, tangent or axis at a point.
#include "deck/constraints/entity_geometry.h"

#include <cmath>

namespace {

bool IsFiniteDirection(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && !v.IsZero();
}

// The placement's axes and origin: columns 0, 1 and 3 of the host's transform.
[[nodiscard]] HRESULT ReadPlacement(IHostTransform* transform, CoordSystemSafe& placement) {
    double columns[3][3] = {};
    const int kColumns[3] = {0, 1, 3};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            if (FAILED(transform->GetEntry(row, kColumns[c], columns[c][row]))) return E_FAIL;
    const Vector3 x(columns[0]), y(columns[1]), origin(columns[2]);
    if (!IsFiniteDirection(x) || !IsFiniteDirection(y) || !std::isfinite(origin.x) ||
        !std::isfinite(origin.y) || !std::isfinite(origin.z))
        return E_FAIL;
    if (FAILED(placement.SetAxes(x, 0, y, 1))) return E_FAIL;
    placement.SetOrigin(origin);
    return S_OK;
}

}  // namespace

HRESULT EntityGeometry::Open(IHostGeometry* geometry, const SelectedEntity& entity, std::wstring& problem) {
    const std::wstring entityText = L"entity " + std::to_wstring(entity.id);
    const std::wstring bodyText = L"body " + std::to_wstring(entity.bodyId);
    ComPtr<IHostBody> body;
    if (!geometry || FAILED(geometry->GetBody(entity.bodyId, body)) || !body) {
        problem = L"the host geometry knows no " + bodyText + L" of " + entityText;
        return E_FAIL;
    }
    ComPtr<IHostTransform> transform;
    if (FAILED(body->GetPlacement(transform)) || !transform ||
        FAILED(ReadPlacement(transform.Get(), placement_))) {
        problem = L"the host geometry gives no usable placement of " + bodyText;
        return E_FAIL;
    }
    int index = -1;
    ComPtr<IHostTopology> topology;
    ComPtr<IUnknown> shape;
    if (FAILED(body->GetEntityIndex(static_cast<int>(entity.id), index)) ||
        FAILED(body->GetTopology(topology)) || !topology || FAILED(topology->GetEntity(index, shape))) {
        problem = L"the host geometry knows no " + entityText + L" on " + bodyText;
        return E_FAIL;
    }
    face_ = shape.As<IHostFace>();
    edge_ = face_ ? ComPtr<IHostEdge>() : shape.As<IHostEdge>();
    HRESULT hr = S_OK;
    Vector3 axis;
    if (face_) {
        hr = face_->GetSurfaceType(geometryType_);
        if (SUCCEEDED(hr)) hr = face_->GetSurface(surface_);
        axial_ = geometryType_ == kHostSurfaceCylinder;
        if (SUCCEEDED(hr) && surface_ && axial_) {
            const ComPtr<IHostCylinder> cylinder = surface_.As<IHostCylinder>();
            hr = cylinder ? cylinder->GetAxisDirection(axis) : E_NOINTERFACE;
        }
        if (!surface_) hr = E_FAIL;
    } else if (edge_) {
        hr = edge_->GetCurveType(geometryType_);
        if (SUCCEEDED(hr)) hr = edge_->GetCurve(curve_);
        axial_ = geometryType_ == kHostCurveCircle;
        if (SUCCEEDED(hr) && curve_ && axial_) {
            const ComPtr<IHostCircle> circle = curve_.As<IHostCircle>();
            hr = circle ? circle->GetAxisDirection(axis) : E_NOINTERFACE;
        }
        if (!curve_) hr = E_FAIL;
    }
    if (FAILED(hr) || (axial_ && !IsFiniteDirection(axis))) {
        problem = L"the host geometry gives no usable " + std::wstring(face_ ? L"surface" : L"curve") +
                  L" of " + entityText;
        return E_FAIL;
    }
    axis_ = placement_.DirectionToGlobal(axis);
    return S_OK;
}

HRESULT EntityGeometry::FaceNormalAt(const Vector3& local, Vector3& normal) const {
    double u = 0.0, v = 0.0;
    if (FAILED(surface_->GetClosestParameters(local, u, v))) return E_FAIL;
    const HRESULT hr = geometryType_ == kHostSurfaceEvaluated ? surface_->GetEvaluatedNormal(u, v, normal)
                                                              : surface_->GetNormal(u, v, normal);
    if (FAILED(hr) || !IsFiniteDirection(normal)) return E_FAIL;
    return normal.Normalize();
}

HRESULT EntityGeometry::EdgeTangentAt(const Vector3& local, Vector3& tangent) const {
    double parameter = 0.0;
    if (FAILED(curve_->GetClosestParameter(local, parameter)) ||
        FAILED(curve_->GetFirstDerivative(parameter, tangent)) || !IsFiniteDirection(tangent))
        return E_FAIL;
    return tangent.Normalize();
}

HRESULT EntityGeometry::FrameAt(const Vector3& point, bool inPlane, CoordSystemSafe& frame) const {
    frame = CoordSystemSafe();
    const Vector3 local = placement_.ToLocal(point);
    if (face_) {
        Vector3 normal;
        if (FAILED(FaceNormalAt(local, normal))) return E_FAIL;
        const Vector3 globalNormal = placement_.DirectionToGlobal(normal);
        return frame.SetAxes(globalNormal, 0, axial_ ? axis_ : PerpendicularVector(globalNormal), 2);
    }
    if (!edge_) return E_FAIL;
    Vector3 tangent;
    if (FAILED(EdgeTangentAt(local, tangent))) return E_FAIL;
    // The normal in the plane of the edge's body: the tangent turned about the body's z axis.
    Vector3 normal = placement_.DirectionToGlobal({tangent.y, -tangent.x, 0.0});
    if (inPlane) {
        // A plane model keeps every node axis in its plane or along global Z.
        normal.z = 0.0;
        if (FAILED(normal.Normalize())) return E_FAIL;
        return frame.SetAxes(normal, 0, {0.0, 0.0, 1.0}, 2);
    }
    if (FAILED(normal.Normalize())) return E_FAIL;
    if (axial_) return frame.SetAxes(normal, 0, axis_, 2);
    return frame.SetAxes(normal, 0, placement_.DirectionToGlobal(tangent), 1);
}
