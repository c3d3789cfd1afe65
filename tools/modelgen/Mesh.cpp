#include "Mesh.h"

#include <cstdio>
#include <cstdlib>

double RoundToDataPrecision(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  const double rounded = std::strtod(text, nullptr);
  return rounded == 0 ? 0.0 : rounded;  // no negative zero in the data
}

int Mesh::AddVertex(const Vector3& position, const Vector2& gridPoint, Vector3 normal) {
  normal.Normalize();
  Vector3 gridY = Normalized(Vector3(0, normal.z, -normal.y));
  Vector3 gridX = Normalized(gridY.Cross(normal));
  auto r = RoundToDataPrecision;
  vertices.emplace_back(r(position.x), r(position.y), r(position.z), r(gridPoint.x), r(gridPoint.y),
                        r(normal.x), r(normal.y), r(normal.z), r(gridX.x), r(gridX.y), r(gridX.z),
                        0.0, r(gridY.y), r(gridY.z));
  return static_cast<int>(vertices.size()) - 1;
}

void Mesh::AddTriangle(int a, int b, int c) {
  const Vector3& pa = vertices[a].position;
  const Vector3& pb = vertices[b].position;
  const Vector3& pc = vertices[c].position;
  const Vector3 facing = (pb - pa).Cross(pc - pa);
  if (facing.Length() == 0) return;  // a sliver at a pole adds nothing to the picture
  const Vector3 normals = vertices[a].normal + vertices[b].normal + vertices[c].normal;
  if (facing.Dot(normals) < 0) std::swap(b, c);
  indices.insert(indices.end(), {a, b, c});
}
