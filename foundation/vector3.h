// Three-component vectors and the angle tests the deck writers use.
#pragma once

#include "platform/com.h"

struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vector3() = default;
    constexpr Vector3(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}
    // From three doubles (a point or direction array).
    explicit Vector3(const double* values) : x(values[0]), y(values[1]), z(values[2]) {}

    // out = this x other (right-handed); answers out.
    Vector3& CrossProduct(const Vector3& other, Vector3& out) const;
    Vector3 Cross(const Vector3& other) const;
    double Dot(const Vector3& other) const { return x * other.x + y * other.y + z * other.z; }
    double Length() const;
    // this - other, component by component.
    Vector3 Subtract(const Vector3& other) const { return {x - other.x, y - other.y, z - other.z}; }
    // Scales to unit length in place; a vector of length at most kZeroLengthTolerance is left
    // unchanged and the answer is E_FAIL.
    [[nodiscard]] HRESULT Normalize();
    // Scales to unit length in place, however short the vector; only a vector of length
    // exactly 0 is left as it is. Answers the vector.
    Vector3& NormalizeUnlessZero();
    // A unit-length copy; a vector too short to scale comes back unchanged.
    Vector3 Normalized() const;
    bool IsZero() const;
    // Component i; below 0 gives x, above 2 gives z.
    double GetComponent(int i) const { return i <= 0 ? x : i == 1 ? y : z; }
    void SetComponent(int i, double value);
    void ToArray(double* out) const;

    friend Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3 operator-(const Vector3& a) { return {-a.x, -a.y, -a.z}; }
    friend Vector3 operator*(const Vector3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
    friend Vector3 operator*(double s, const Vector3& a) { return {a.x * s, a.y * s, a.z * s}; }
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

// Axis number 0, 1, 2 (X, Y, Z); ++ steps to the cyclic successor.
class AxisIndex {
  public:
    constexpr AxisIndex() = default;
    // Values outside 0..2 are taken modulo 3.
    constexpr explicit AxisIndex(int value) : value_(((value % 3) + 3) % 3) {}
    constexpr int GetValue() const { return value_; }
    constexpr AxisIndex& operator++() {
        value_ = (value_ + 1) % 3;
        return *this;
    }
    constexpr AxisIndex Next() const { return AxisIndex(value_ + 1); }
    friend constexpr bool operator==(AxisIndex, AxisIndex) = default;

  private:
    int value_ = 0;
};

// Angle between a and b in degrees, 0..180; 0 when either has zero length.
double AngleBetweenVectors(const Vector3& a, const Vector3& b);
// True when the angle between a and b, or between a and -b, is 0 within toleranceDegrees.
// A zero vector is parallel to everything.
bool AreVectorsParallel(const Vector3& a, const Vector3& b, double toleranceDegrees);
// True when the angle between a and b is 90 within toleranceDegrees; never for a zero vector.
bool AreVectorsPerpendicular(const Vector3& a, const Vector3& b, double toleranceDegrees);
// A unit vector perpendicular to v; the zero vector when v has zero length.
Vector3 PerpendicularVector(const Vector3& v);
