#pragma once
#include "base/Vector3.h"

// A 3x3 matrix stored as three columns, column 0 first; never by rows.
struct Matrix3 {
  Vector3 column[3];

  constexpr Vector3 Transform(const Vector3& v) const {
    return column[0] * v.x + column[1] * v.y + column[2] * v.z;
  }

  // Nine floats, column 0's x, y, z first: what glUniformMatrix3fv reads with transpose false.
  void WriteForOpenGL(float* out) const {
    for (int c = 0; c < 3; ++c) {
      out[3 * c + 0] = static_cast<float>(column[c].x);
      out[3 * c + 1] = static_cast<float>(column[c].y);
      out[3 * c + 2] = static_cast<float>(column[c].z);
    }
  }
};
