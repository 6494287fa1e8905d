// The host's geometry as the boundary-condition collectors see it: bodies with their placement
// and topology, faces and edges with the surfaces and curves under them. Points, parameters
// and vectors handed to or answered by a body's curves and surfaces are in that body's own
// frame (the frame its placement describes); callers turn them to and from global coordinates.
#pragma once

#include "foundation/vector3.h"
#include "platform/com.h"

// Curve kinds an edge reports.
constexpr int kHostCurveLine = 1;
// A circle: its curve also answers IHostCircle.
constexpr int kHostCurveCircle = 4;
// Surface kinds a face reports.
constexpr int kHostSurfacePlane = 1;
// A cylinder: its surface also answers IHostCylinder.
constexpr int kHostSurfaceCylinder = 2;
// A surface whose normal is to be read with IHostSurface::GetEvaluatedNormal.
constexpr int kHostSurfaceEvaluated = 9;

struct IHostCurve : IUnknown {
    static constexpr IID kIid = MakeGuid("5178a586-1760-46bd-8578-488b31b59210");
    static constexpr const IID& iid() { return kIid; }

    // Parameter of the curve point closest to `point`.
    [[nodiscard]] virtual HRESULT GetClosestParameter(const Vector3& point, double& parameter) = 0;
    [[nodiscard]] virtual HRESULT GetFirstDerivative(double parameter, Vector3& derivative) = 0;

  protected:
    ~IHostCurve() = default;
};

// Answered by the curve of a kHostCurveCircle edge.
struct IHostCircle : IUnknown {
    static constexpr IID kIid = MakeGuid("bcd211f9-b542-49f9-b27c-60a522fd4fa4");
    static constexpr const IID& iid() { return kIid; }

    // Unit vector normal to the circle's plane.
    [[nodiscard]] virtual HRESULT GetAxisDirection(Vector3& axis) = 0;

  protected:
    ~IHostCircle() = default;
};

struct IHostSurface : IUnknown {
    static constexpr IID kIid = MakeGuid("b3a20e1d-2e92-406a-81d2-115ee7d124f8");
    static constexpr const IID& iid() { return kIid; }

    // Parameters (u, v) of the surface point closest to `point`.
    [[nodiscard]] virtual HRESULT GetClosestParameters(const Vector3& point, double& u, double& v) = 0;
    // Unit normal at (u, v); on a closed surface it points away from the enclosed side.
    [[nodiscard]] virtual HRESULT GetNormal(double u, double v, Vector3& normal) = 0;
    // The same normal by the host's evaluator; the only reliable query on kHostSurfaceEvaluated.
    [[nodiscard]] virtual HRESULT GetEvaluatedNormal(double u, double v, Vector3& normal) = 0;

  protected:
    ~IHostSurface() = default;
};

// Answered by the surface of a kHostSurfaceCylinder face.
struct IHostCylinder : IUnknown {
    static constexpr IID kIid = MakeGuid("21dd320c-ada5-4920-9fe2-6adc7b74dfa2");
    static constexpr const IID& iid() { return kIid; }

    [[nodiscard]] virtual HRESULT GetAxisDirection(Vector3& axis) = 0;

  protected:
    ~IHostCylinder() = default;
};

struct IHostEdge : IUnknown {
    static constexpr IID kIid = MakeGuid("673a791f-daed-409f-bad0-f35a7b52fa19");
    static constexpr const IID& iid() { return kIid; }

    [[nodiscard]] virtual HRESULT GetCurveType(int& type) = 0;
    [[nodiscard]] virtual HRESULT GetCurve(ComPtr<IHostCurve>& out) = 0;

  protected:
    ~IHostEdge() = default;
};

struct IHostFace : IUnknown {
    static constexpr IID kIid = MakeGuid("27ca5e00-1cbc-40cc-920d-879e7714bcf6");
    static constexpr const IID& iid() { return kIid; }

    [[nodiscard]] virtual HRESULT GetSurfaceType(int& type) = 0;
    [[nodiscard]] virtual HRESULT GetSurface(ComPtr<IHostSurface>& out) = 0;

  protected:
    ~IHostFace() = default;
};

// A body's topology: its faces, edges and vertices by index.
struct IHostTopology : IUnknown {
    static constexpr IID kIid = MakeGuid("c3f4064d-ecc3-4285-b19a-362b9f3e2f39");
    static constexpr const IID& iid() { return kIid; }

    // The entity at an index: a face answers IHostFace, an edge IHostEdge. S_FALSE with null for
    // an entity that is neither (a vertex); E_INVALIDARG for an index the body does not have.
    [[nodiscard]] virtual HRESULT GetEntity(int index, ComPtr<IUnknown>& out) = 0;

  protected:
    ~IHostTopology() = default;
};

// A 4x4 affine transform: column 0 is the x axis, column 1 the y axis, column 2 the z axis and
// column 3 the origin of the frame it places; row 3 is (0, 0, 0, 1).
struct IHostTransform : IUnknown {
    static constexpr IID kIid = MakeGuid("c4691504-993e-42f8-a0fd-1675ee98053a");
    static constexpr const IID& iid() { return kIid; }

    // E_INVALIDARG for a row or column outside 0..3.
    [[nodiscard]] virtual HRESULT GetEntry(int row, int column, double& value) = 0;

  protected:
    ~IHostTransform() = default;
};

struct IHostBody : IUnknown {
    static constexpr IID kIid = MakeGuid("870af269-58d4-4aaf-bf3b-a7a98be89adf");
    static constexpr const IID& iid() { return kIid; }

    // Where the body's own frame lies in the global frame.
    [[nodiscard]] virtual HRESULT GetPlacement(ComPtr<IHostTransform>& out) = 0;
    // Index in the body's topology of a geometric entity; E_INVALIDARG when the body has no
    // entity of that id.
    [[nodiscard]] virtual HRESULT GetEntityIndex(int entityId, int& index) = 0;
    [[nodiscard]] virtual HRESULT GetTopology(ComPtr<IHostTopology>& out) = 0;

  protected:
    ~IHostBody() = default;
};

// The geometry object handed out for the model's geometry representation.
struct IHostGeometry : IUnknown {
    static constexpr IID kIid = MakeGuid("5a1d86c5-2d62-4b1e-893e-816b8b0ae8be");
    static constexpr const IID& iid() { return kIid; }

    // E_INVALIDARG when the host knows no body of that id.
    [[nodiscard]] virtual HRESULT GetBody(int bodyId, ComPtr<IHostBody>& out) = 0;

  protected:
    ~IHostGeometry() = default;
};
