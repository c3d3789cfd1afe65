#pragma once
#include <vector>

// A smooth curve through control points (monotone cubic Hermite, so it never overshoots them).
class Curve {
 public:
  struct Point {
    double x, y;
  };
  explicit Curve(std::vector<Point> points);

  double Value(double x) const;
  double Slope(double x) const;

 private:
  int Segment(double x) const;
  std::vector<Point> points_;
  std::vector<double> slopes_;
};
