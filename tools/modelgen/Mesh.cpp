#include "Mesh.h"

#include <cmath>

void Mesh::AddMirrorOf(const Mesh& other) {
  const int base = static_cast<int>(vertices.size());
  for (GenVertex v : other.vertices) {
    v.position.y = -v.position.y;
    v.normal.y = -v.normal.y;
    v.gridPoint.y = 2 * PatternMidline - v.gridPoint.y;
    vertices.push_back(v);
  }
  for (const auto& t : other.triangles) Triangle(base + t[0], base + t[2], base + t[1]);
}

void FrameFromNormal(const Vector3& normal, Vector3& gridX, Vector3& gridY) {
  const double across = std::sqrt(normal.y * normal.y + normal.z * normal.z);
  gridY = Vector3(0, normal.z / across, -normal.y / across);
  gridX = gridY.Cross(normal);
}
