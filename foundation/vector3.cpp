// Vector3 arithmetic (cross product, length, normalising) and the parallel and perpendicular tests.
#include "foundation/vector3.h"

#include <algorithm>
#include <cmath>

#include "foundation/constants.h"

Vector3& Vector3::CrossProduct(const Vector3& o, Vector3& out) const {
    out = Vector3{y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    return out;
}

Vector3 Vector3::Cross(const Vector3& other) const {
    Vector3 out;
    return CrossProduct(other, out);
}

double Vector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

bool Vector3::IsZero() const { return Length() <= kZeroLengthTolerance; }

HRESULT Vector3::Normalize() {
    const double length = Length();
    if (!(length > kZeroLengthTolerance)) return E_FAIL;
    x /= length;
    y /= length;
    z /= length;
    return S_OK;
}

Vector3& Vector3::NormalizeUnlessZero() {
    const double length = Length();
    if (length != 0.0) {
        x /= length;
        y /= length;
        z /= length;
    }
    return *this;
}

Vector3 Vector3::Normalized() const {
    Vector3 v = *this;
    (void)v.Normalize();  // a vector too short to scale is answered as it is
    return v;
}

void Vector3::SetComponent(int i, double value) { (i <= 0 ? x : i == 1 ? y : z) = value; }

void Vector3::ToArray(double* out) const {
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

double AngleBetweenVectors(const Vector3& a, const Vector3& b) {
    const double la = a.Length();
    const double lb = b.Length();
    if (la <= kZeroLengthTolerance || lb <= kZeroLengthTolerance) return 0.0;
    // atan2 of |a x b| and a . b stays accurate near 0 and 180 degrees, where acos does not.
    return std::atan2(a.Cross(b).Length(), a.Dot(b)) * kDegreesPerRadian;
}

bool AreVectorsParallel(const Vector3& a, const Vector3& b, double toleranceDegrees) {
    return AngleBetweenVectors(a, b) <= toleranceDegrees || AngleBetweenVectors(a, -b) <= toleranceDegrees;
}

bool AreVectorsPerpendicular(const Vector3& a, const Vector3& b, double toleranceDegrees) {
    if (a.IsZero() || b.IsZero()) return false;
    return std::fabs(AngleBetweenVectors(a, b) - 90.0) <= toleranceDegrees;
}

Vector3 PerpendicularVector(const Vector3& v) {
    if (v.IsZero()) return Vector3{};
    // Crossing with the global axis least aligned with v keeps the result well conditioned.
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    Vector3 axis = ax <= ay && ax <= az ? Vector3{1, 0, 0} : ay <= az ? Vector3{0, 1, 0} : Vector3{0, 0, 1};
    Vector3 p = v.Cross(axis);
    (void)p.Normalize();  // cannot fail: v is not zero and not along the axis
    return p;
}
