#pragma once

// A 2-D point of the hide's pattern coordinates, in double precision.
struct Vector2 {
  double x = 0;
  double y = 0;

  constexpr Vector2() = default;
  constexpr Vector2(double x_, double y_) : x(x_), y(y_) {}
};
