// One face or edge of a host body as the boundary-condition pre-pass asks it for directions at
// mesh nodes: the body's placement, the entity's surface or curve and, on a cylinder face or a
// circle edge, the axis. Node positions go in and directions come out in global components.
#pragma once

#include <string>

#include "foundation/coord_system.h"
#include "host/geometry.h"
#include "host/selection_resolver.h"
#include "platform/com.h"

class EntityGeometry {
  public:
    // Takes the entity of the selection from its body: S_OK, or a failure with `problem`
    // saying which part the host could not give.
    [[nodiscard]] HRESULT Open(IHostGeometry* geometry, const SelectedEntity& entity, std::wstring& problem);

    bool IsFace() const { return static_cast<bool>(face_); }
    bool IsEdge() const { return static_cast<bool>(edge_); }
    // A cylinder face or a circle edge: the frame's Z axis is the axis there.
    bool IsAxial() const { return axial_; }
    const CoordSystemSafe& GetPlacement() const { return placement_; }

    // The frame at the global point, X along the normal: the face normal, or the edge normal
    // in the plane of the edge's body. Z is the axis on an axial entity; otherwise the frame is
    // completed from a vector perpendicular to the face normal or from the edge tangent. In
    // the plane every axis stays in the model's plane or along global Z. E_FAIL when the host
    // gives no finite direction there.
    [[nodiscard]] HRESULT FrameAt(const Vector3& point, bool inPlane, CoordSystemSafe& frame) const;

  private:
    [[nodiscard]] HRESULT FaceNormalAt(const Vector3& local, Vector3& normal) const;
    [[nodiscard]] HRESULT EdgeTangentAt(const Vector3& local, Vector3& tangent) const;

    CoordSystemSafe placement_;
    ComPtr<IHostFace> face_;
    ComPtr<IHostEdge> edge_;
    ComPtr<IHostSurface> surface_;
    ComPtr<IHostCurve> curve_;
    int geometryType_ = 0;
    bool axial_ = false;
    Vector3 axis_;
};
