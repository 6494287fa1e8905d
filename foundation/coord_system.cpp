// Axes built from two directions, cylindrical and spherical local coordinates, rotation angles, streaming.
#include "foundation/coord_system.h"

#include <cmath>

#include "foundation/constants.h"
#include "foundation/jx_stream.h"

CoordSystemSafe::CoordSystemSafe(std::int32_t type, const Matrix3& axes, const Vector3& origin, double param1,
                                 double param2, std::uint32_t flags, std::int32_t id)
    : axes_(axes), origin_(origin), param1_(param1), param2_(param2), type_(type), flags_(flags), id_(id) {}

void CoordSystemSafe::Reset() { *this = CoordSystemSafe(); }

HRESULT CoordSystemSafe::SetAxes(const Vector3& a, int axisA, const Vector3& b, int axisB) {
    axes_ = Matrix3::Identity();
    if (axisA == axisB || axisA < 0 || axisA > 2 || axisB < 0 || axisB > 2) return E_FAIL;
    Vector3 first = a;
    if (FAILED(first.Normalize())) return E_FAIL;
    Vector3 second = b - first * first.Dot(b);
    if (second.Length() <= kZeroLengthTolerance * (1.0 + b.Length()) || FAILED(second.Normalize()))
        return E_FAIL;
    const int third = 3 - axisA - axisB;
    // e[k] = e[i] x e[j] holds for the cyclic order (i, j, k); the other order flips the sign.
    const bool cyclic = axisB == (axisA + 1) % 3;
    axes_.row[axisA] = first;
    axes_.row[axisB] = second;
    axes_.row[third] = cyclic ? first.Cross(second) : second.Cross(first);
    return S_OK;
}

Vector3 CoordSystemSafe::ToLocal(const Vector3& global) const {
    const Vector3 c = axes_.Multiply(global - origin_);
    switch (type_) {
        case kCoordCylindrical:
            return {std::hypot(c.x, c.y), std::atan2(c.y, c.x) * kDegreesPerRadian, c.z};
        case kCoordSpherical: {
            const double r = c.Length();
            const double polar = r > 0.0 ? std::acos(std::fmax(-1.0, std::fmin(1.0, c.z / r))) : 0.0;
            return {r, std::atan2(c.y, c.x) * kDegreesPerRadian, polar * kDegreesPerRadian};
        }
        default:
            return c;
    }
}

void CoordSystemSafe::ToLocalCoordinates(const Vector3& global, Vector3& local) const {
    local = ToLocal(global);
}

void CoordSystemSafe::TransformVectorToGlobalAtPoint(const Vector3& vector, const Vector3& point,
                                                     Vector3& out) const {
    Vector3 local = vector;
    if (type_ == kCoordCylindrical || type_ == kCoordSpherical) {
        const Vector3 c = axes_.Multiply(point - origin_);
        const double theta = (c.x == 0.0 && c.y == 0.0) ? 0.0 : std::atan2(c.y, c.x);
        const double ct = std::cos(theta), st = std::sin(theta);
        if (type_ == kCoordCylindrical) {
            local = {vector.x * ct - vector.y * st, vector.x * st + vector.y * ct, vector.z};
        } else {
            const double r = c.Length();
            const double phi = r > 0.0 ? std::acos(std::fmax(-1.0, std::fmin(1.0, c.z / r))) : 0.0;
            const double cp = std::cos(phi), sp = std::sin(phi);
            const Vector3 radial{sp * ct, sp * st, cp};
            const Vector3 azimuthal{-st, ct, 0.0};
            const Vector3 polar{cp * ct, cp * st, -sp};
            local = radial * vector.x + azimuthal * vector.y + polar * vector.z;
        }
    }
    out = axes_.MultiplyTransposed(local);
}

void CoordSystemSafe::GetRotationAngles(double* angles) const {
    if (!angles) return;
    // Columns of the rotation are the axes: R(row, col) = axes_.row[col] component row.
    const Vector3& x = axes_.row[0];
    const Vector3& y = axes_.row[1];
    const Vector3& z = axes_.row[2];
    const double cosB = std::hypot(x.x, x.y);
    double a, b, c;
    if (cosB > 1e-12) {
        a = std::atan2(y.z, z.z);
        b = std::atan2(-x.z, cosB);
        c = std::atan2(x.y, x.x);
    } else {  // the x axis is along global Z: only the sum of the other two angles is defined
        a = 0.0;
        b = std::atan2(-x.z, cosB);
        c = std::atan2(-y.x, y.y);
    }
    angles[0] = a * kDegreesPerRadian;
    angles[1] = b * kDegreesPerRadian;
    angles[2] = c * kDegreesPerRadian;
}

std::array<double, 3> CoordSystemSafe::GetRotationAngles() const {
    std::array<double, 3> angles{};
    GetRotationAngles(angles.data());
    return angles;
}

bool CoordSystemSafe::IsAlignedWithGlobalAxes(double toleranceDegrees) const {
    if (type_ != kCoordCartesian) return false;
    if (GetXAxis().IsZero() || GetYAxis().IsZero()) return false;
    return AngleBetweenVectors(GetXAxis(), Vector3{1, 0, 0}) <= toleranceDegrees &&
           AngleBetweenVectors(GetYAxis(), Vector3{0, 1, 0}) <= toleranceDegrees;
}

bool CoordSystemSafe::Save(JXStream& stream) const {
    double values[14];
    for (int i = 0; i < 3; ++i) axes_.row[i].ToArray(values + 3 * i);
    origin_.ToArray(values + 9);
    values[12] = param1_;
    values[13] = param2_;
    return stream.WriteDoubles(values, 14) && stream.WriteInt32(type_) && stream.WriteUInt32(flags_) &&
           stream.WriteInt32(id_);
}

bool CoordSystemSafe::Load(JXStream& stream) {
    double values[14];
    std::int32_t type = 0, id = 0;
    std::uint32_t flags = 0;
    if (!stream.ReadDouble(values, 14) || !stream.ReadInt32(&type) || !stream.ReadUInt32(&flags) ||
        !stream.ReadInt32(&id)) {
        Reset();
        return false;
    }
    for (int i = 0; i < 3; ++i) axes_.row[i] = Vector3(values + 3 * i);
    origin_ = Vector3(values + 9);
    param1_ = values[12];
    param2_ = values[13];
    type_ = type;
    flags_ = flags;
    id_ = id;
    return true;
}
