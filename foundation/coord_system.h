// The coordinate frame value type: an orthonormal axis triple with an origin, a frame type,
// two shape parameters, flags and a serial id.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/vector3.h"
#include "platform/com.h"

class JXStream;

enum CoordSystemType : std::int32_t {
    kCoordCartesian = 0,
    kCoordCylindrical = 1,
    kCoordSpherical = 2,
    kCoordToroidal = 3,
};

// Rows are the frame's x, y and z axes in global components.
struct Matrix3 {
    Vector3 row[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static Matrix3 Identity() { return {}; }
    // The matrix applied to a column vector: (row0 . v, row1 . v, row2 . v).
    Vector3 Multiply(const Vector3& v) const { return {row[0].Dot(v), row[1].Dot(v), row[2].Dot(v)}; }
    // The transposed matrix applied to v: row0 * v.x + row1 * v.y + row2 * v.z.
    Vector3 MultiplyTransposed(const Vector3& v) const { return row[0] * v.x + row[1] * v.y + row[2] * v.z; }
    friend bool operator==(const Matrix3&, const Matrix3&) = default;
};

class CoordSystemSafe {
  public:
    // The global frame: origin 0, identity axes, Cartesian, parameters, flags and id 0.
    CoordSystemSafe() = default;
    // A frame from its parts; the axes are taken as given (rows x, y, z).
    CoordSystemSafe(std::int32_t type, const Matrix3& axes, const Vector3& origin, double param1 = 0.0,
                    double param2 = 0.0, std::uint32_t flags = 0, std::int32_t id = 0);

    // Back to the global frame (id, flags and parameters to 0 as well).
    void Reset();

    std::int32_t GetType() const { return type_; }
    void SetType(std::int32_t type) { type_ = type; }
    bool IsCartesian() const { return type_ == kCoordCartesian; }
    bool IsCylindrical() const { return type_ == kCoordCylindrical; }
    std::int32_t GetId() const { return id_; }
    void SetId(std::int32_t id) { id_ = id; }
    std::uint32_t GetFlags() const { return flags_; }
    void SetFlags(std::uint32_t flags) { flags_ = flags; }
    double GetParam1() const { return param1_; }
    double GetParam2() const { return param2_; }
    void SetParams(double param1, double param2) {
        param1_ = param1;
        param2_ = param2;
    }

    const Vector3& GetOrigin() const { return origin_; }
    void SetOrigin(const Vector3& origin) { origin_ = origin; }
    const Matrix3& GetFrame() const { return axes_; }
    // Sets the three axes as given (no orthonormalisation).
    void SetFrame(const Matrix3& axes) { axes_ = axes; }
    const Vector3& GetXAxis() const { return axes_.row[0]; }
    const Vector3& GetYAxis() const { return axes_.row[1]; }
    const Vector3& GetZAxis() const { return axes_.row[2]; }
    const Vector3& GetAxis(AxisIndex axis) const { return axes_.row[axis.GetValue()]; }

    // Orients the frame from two axis directions (indices 0 x, 1 y, 2 z), keeping the origin:
    // axis A along a, axis B along the part of b perpendicular to a, the third axis completing
    // a right-handed frame. E_FAIL with identity axes when the indices are equal or out of
    // range, a vector has zero length, or the two are parallel.
    [[nodiscard]] HRESULT SetAxes(const Vector3& a, int axisA, const Vector3& b, int axisB);

    // The global point in the frame's own coordinates: Cartesian x, y, z; cylindrical r,
    // angle in degrees, z; spherical r, azimuth in degrees, polar angle from z in degrees.
    // A toroidal frame answers Cartesian coordinates.
    void ToLocalCoordinates(const Vector3& global, Vector3& local) const;
    Vector3 ToLocal(const Vector3& global) const;
    // A vector given in the frame's components at a global point turned into global
    // components: Cartesian x, y, z; cylindrical radial, tangential, axial; spherical radial,
    // azimuthal, polar. On the axis (no defined angle) the angle is taken as 0.
    void TransformVectorToGlobalAtPoint(const Vector3& vector, const Vector3& point, Vector3& out) const;
    // A Cartesian direction in the frame's axes turned into global components.
    Vector3 DirectionToGlobal(const Vector3& local) const { return axes_.MultiplyTransposed(local); }
    // A point in the frame's Cartesian axes turned into global coordinates.
    Vector3 PointToGlobal(const Vector3& local) const { return origin_ + DirectionToGlobal(local); }

    // The rotation of the axes as angles in degrees about global X, Y and Z (axes =
    // Rz(c) Ry(b) Rx(a) applied to the global axes); nothing when angles is null.
    void GetRotationAngles(double* angles) const;
    std::array<double, 3> GetRotationAngles() const;
    // True when the frame is Cartesian and its x and y axes lie within toleranceDegrees of the
    // global X and Y axes.
    bool IsAlignedWithGlobalAxes(double toleranceDegrees) const;

    // Stream record: the nine axis components (x, y, z axis), origin, param1, param2 as
    // doubles; then type (int32), flags (uint32) and id (int32).
    bool Save(JXStream& stream) const;
    // Reads the record; on failure the frame is reset and the answer is false.
    bool Load(JXStream& stream);

    friend bool operator==(const CoordSystemSafe&, const CoordSystemSafe&) = default;

  private:
    Matrix3 axes_;
    Vector3 origin_;
    double param1_ = 0.0;
    double param2_ = 0.0;
    std::int32_t type_ = kCoordCartesian;
    std::uint32_t flags_ = 0;
    std::int32_t id_ = 0;
};

using CoordinateFrame = CoordSystemSafe;

// One user coordinate system of the model: the host's id, its frame and the frame number the
// deck gives it (0 = not written).
struct CoordinateSystemData {
    std::int32_t id = 0;
    CoordSystemSafe frame;
    std::int32_t deckFrameNumber = 0;
};
