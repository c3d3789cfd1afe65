#include "render/CreatureBounds.h"

#include <algorithm>
#include <cmath>

#include "creature/Surface.h"

namespace {

// Grows a window-coordinate box by projected points; fails on a point at or behind the eye.
class Projection {
 public:
  Projection(const CreatureBounds::Matrix4& m, int width, int height)
      : m(m), width(width), height(height) {}

  bool Add(const Vector3& p) {
    const double w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
    if (!(w > 1e-9)) return false;
    const double x = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]) / w;
    const double y = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]) / w;
    // Window coordinates, held to a little beyond the viewport so the casts below stay in range.
    const double wx = std::clamp((x + 1) * 0.5 * width, -4.0, width + 4.0);
    const double wy = std::clamp((y + 1) * 0.5 * height, -4.0, height + 4.0);
    minX = std::min(minX, wx);
    maxX = std::max(maxX, wx);
    minY = std::min(minY, wy);
    maxY = std::max(maxY, wy);
    return true;
  }

  ScreenRect Rect(int margin) const {
    if (minX > maxX) return {};
    return {static_cast<int>(std::floor(minX)) - margin, static_cast<int>(std::floor(minY)) - margin,
            static_cast<int>(std::ceil(maxX)) + 1 + margin,
            static_cast<int>(std::ceil(maxY)) + 1 + margin};
  }

 private:
  const CreatureBounds::Matrix4& m;
  int width, height;
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
};

// The node the vertex shader places a model point of this x on (node 0 at the head).
int NodeOf(double x) {
  const double slot = std::floor((1 - x) * Ribbon::NumberOfNodes);
  return static_cast<int>(std::clamp(slot, 0.0, Ribbon::NumberOfNodes - 1.0));
}

}  // namespace

CreatureBounds::CreatureBounds(const Surface* table) {
  for (int k = 0; table[k].vertexCount != 0; ++k) {
    for (int i = 0; i < table[k].vertexCount; ++i) {
      const Vector3& p = table[k].vertices[i].position;
      // The shader picks the node in single precision: a point on a boundary may go to either
      // neighbour, so both carry it.
      const int node = NodeOf(p.x);
      for (int n = std::max(node - 1, 0); n <= std::min(node + 1, Ribbon::NumberOfNodes - 1); ++n) {
        Extent& e = extents[static_cast<std::size_t>(n)];
        if (!e.any) e = {p.y, p.y, p.z, p.z, true};
        e.minY = std::min(e.minY, p.y);
        e.maxY = std::max(e.maxY, p.y);
        e.minZ = std::min(e.minZ, p.z);
        e.maxZ = std::max(e.maxZ, p.z);
      }
    }
  }
}

std::optional<ScreenRect> CreatureBounds::Project(const Ribbon& ribbon,
                                                  const std::vector<Vector3>& wingVertices,
                                                  const Matrix4& mvp, int width, int height) const {
  Projection projection(mvp, width, height);
  for (int n = 0; n < Ribbon::NumberOfNodes; ++n) {
    const Extent& e = extents[static_cast<std::size_t>(n)];
    if (!e.any) continue;
    const RibbonNode& node = ribbon.Node(n);
    // A point of this node lies at position + forward·a + side·y + up·z with a in
    // [-spacing, 0]: inside the box of these eight corners, whatever the axes' lengths.
    for (int corner = 0; corner < 8; ++corner) {
      const double a = (corner & 1) ? -Ribbon::NodeSpacing : 0.0;
      const double y = (corner & 2) ? e.maxY : e.minY;
      const double z = (corner & 4) ? e.maxZ : e.minZ;
      if (!projection.Add(node.position + node.forward * a + node.side * y + node.up * z))
        return std::nullopt;
    }
  }
  for (const Vector3& v : wingVertices) {
    if (!projection.Add(v)) return std::nullopt;
  }
  return projection.Rect(MarginPixels);
}

CreatureBounds::Matrix4 Multiply(const CreatureBounds::Matrix4& a,
                                 const CreatureBounds::Matrix4& b) {
  CreatureBounds::Matrix4 r{};
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) r[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
  return r;
}
