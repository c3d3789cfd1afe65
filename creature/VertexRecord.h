#pragma once
#include "base/Vector2.h"
#include "base/Vector3.h"

// One model vertex: its point, its pattern coordinate and its local frame.
struct VertexRecord {
  Vector3 position;
  Vector2 gridPoint;
  Vector3 normal;
  Vector3 gridX;
  Vector3 gridY;

  constexpr VertexRecord(double px, double py, double pz, double gu, double gv, double nx, double ny,
                         double nz, double xx, double xy, double xz, double yx, double yy,
                         double yz)
      : position(px, py, pz),
        gridPoint(gu, gv),
        normal(nx, ny, nz),
        gridX(xx, xy, xz),
        gridY(yx, yy, yz) {}
};
