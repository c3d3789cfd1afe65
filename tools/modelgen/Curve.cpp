#include "Curve.h"

#include <cmath>

Curve::Curve(std::vector<Point> points) : points_(std::move(points)), slopes_(points_.size()) {
  const int n = static_cast<int>(points_.size());
  std::vector<double> secant(n - 1);
  for (int i = 0; i + 1 < n; ++i)
    secant[i] = (points_[i + 1].y - points_[i].y) / (points_[i + 1].x - points_[i].x);
  slopes_[0] = secant[0];
  slopes_[n - 1] = secant[n - 2];
  for (int i = 1; i + 1 < n; ++i) {
    // Fritsch-Carlson: flat at a local extreme, a harmonic mean of the two secants elsewhere.
    if (secant[i - 1] * secant[i] <= 0) {
      slopes_[i] = 0;
    } else {
      const double a = secant[i - 1], b = secant[i];
      slopes_[i] = 2 * a * b / (a + b);
    }
  }
}

int Curve::Segment(double x) const {
  int i = 0;
  while (i + 2 < static_cast<int>(points_.size()) && x > points_[i + 1].x) ++i;
  return i;
}

double Curve::Value(double x) const {
  const int i = Segment(x);
  const Point& p = points_[i];
  const Point& q = points_[i + 1];
  const double h = q.x - p.x, t = (x - p.x) / h;
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * p.y + (t3 - 2 * t2 + t) * h * slopes_[i] +
         (-2 * t3 + 3 * t2) * q.y + (t3 - t2) * h * slopes_[i + 1];
}

double Curve::Slope(double x) const {
  const int i = Segment(x);
  const Point& p = points_[i];
  const Point& q = points_[i + 1];
  const double h = q.x - p.x, t = (x - p.x) / h;
  const double t2 = t * t;
  return ((6 * t2 - 6 * t) * p.y + (-6 * t2 + 6 * t) * q.y) / h +
         (3 * t2 - 4 * t + 1) * slopes_[i] + (3 * t2 - 2 * t) * slopes_[i + 1];
}
