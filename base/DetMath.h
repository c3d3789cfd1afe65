#pragma once
#include <cmath>

// Sine and cosine built from + - * / and floor only, so the model and the flight come out bit for
// bit the same with every C library (the last bits of libm's sin and cos differ between
// platforms).
namespace det {

constexpr double Pi = 3.14159265358979323846;

// Taylor series on [-pi/4, pi/4]; the error there is below 1e-16.
inline double SinSeries(double r) {
  const double r2 = r * r;
  double term = r, sum = r;
  for (int k = 1; k <= 10; ++k) {
    term *= -r2 / ((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}

inline double CosSeries(double r) {
  const double r2 = r * r;
  double term = 1, sum = 1;
  for (int k = 1; k <= 10; ++k) {
    term *= -r2 / ((2 * k - 1) * (2 * k));
    sum += term;
  }
  return sum;
}

// Reduces a to r + q * pi/2 with |r| <= pi/4.
inline void Reduce(double a, double& r, int& quadrant) {
  const double q = std::floor(a / (Pi / 2) + 0.5);
  r = a - q * (Pi / 2);
  const long long qi = static_cast<long long>(q);
  quadrant = static_cast<int>(((qi % 4) + 4) % 4);
}

inline double Sin(double a) {
  double r;
  int q;
  Reduce(a, r, q);
  switch (q) {
    case 0: return SinSeries(r);
    case 1: return CosSeries(r);
    case 2: return -SinSeries(r);
    default: return -CosSeries(r);
  }
}

inline double Cos(double a) {
  double r;
  int q;
  Reduce(a, r, q);
  switch (q) {
    case 0: return CosSeries(r);
    case 1: return -SinSeries(r);
    case 2: return -CosSeries(r);
    default: return SinSeries(r);
  }
}

}  // namespace det

namespace det {

// atan2 by two argument halvings (atan t = 2 atan(t / (1 + sqrt(1 + t^2)))) and a series.
inline double Atan(double t) {
  if (t > 1) return Pi / 2 - Atan(1 / t);
  if (t < -1) return -Pi / 2 - Atan(1 / t);
  for (int i = 0; i < 2; ++i) t = t / (1 + std::sqrt(1 + t * t));
  const double t2 = t * t;
  double term = t, sum = t;
  for (int k = 1; k <= 12; ++k) {
    term *= -t2;
    sum += term / (2 * k + 1);
  }
  return 4 * sum;
}

inline double Atan2(double y, double x) {
  if (x > 0) return Atan(y / x);
  if (x < 0) return y >= 0 ? Atan(y / x) + Pi : Atan(y / x) - Pi;
  return y > 0 ? Pi / 2 : (y < 0 ? -Pi / 2 : 0);
}

}  // namespace det
