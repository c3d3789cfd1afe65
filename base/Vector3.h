#pragma once
#include <cmath>

// A 3-D vector in double precision. Laid out as three contiguous doubles, so an array of
// Vector3 is an array of doubles.
struct Vector3 {
  double x = 0;
  double y = 0;
  double z = 0;

  constexpr Vector3() = default;
  constexpr Vector3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

  constexpr Vector3 operator-(const Vector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
  constexpr Vector3 operator+(const Vector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
  constexpr Vector3 operator*(double s) const { return {x * s, y * s, z * s}; }
  // One reciprocal, then three products: the rounding callers see is that of a · (1 / s).
  constexpr Vector3 operator/(double s) const {
    const double r = 1.0 / s;
    return {x * r, y * r, z * r};
  }
  constexpr Vector3& operator+=(const Vector3& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  constexpr Vector3& operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }

  double Length() const { return std::sqrt(x * x + y * y + z * z); }
  constexpr double Dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }
  // This vector is the left operand: a.Cross(b) = a × b.
  constexpr Vector3 Cross(const Vector3& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }

  // In place. A zero vector becomes (1, 0, 0), so normalising never fails.
  Vector3& Normalize() {
    const double length = Length();
    if (length == 0) {
      *this = {1, 0, 0};
      return *this;
    }
    const double r = 1.0 / length;
    x *= r;
    y *= r;
    z *= r;
    return *this;
  }
};

// Returns the normalised copy of v (see Vector3::Normalize).
inline Vector3 Normalized(Vector3 v) { return v.Normalize(); }
