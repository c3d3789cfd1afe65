#pragma once
// A surface under construction: vertices with their pattern frame, and wound triangles.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Vector2.h"
#include "base/Vector3.h"
#include "creature/VertexRecord.h"

struct Mesh {
  explicit Mesh(std::string surfaceName) : name(std::move(surfaceName)) {}

  std::string name;
  std::vector<VertexRecord> vertices;
  std::vector<std::int32_t> indices;

  // Adds a vertex whose frame follows from its outward normal alone: gridY is the surface
  // tangent in the body's cross-section plane (so its x is exactly 0) and gridX = gridY × normal
  // points toward the head, so normal = gridX × gridY.
  int AddVertex(const Vector3& position, const Vector2& gridPoint, Vector3 normal);

  // Adds triangle a, b, c wound counter-clockwise as seen from the side its vertices' normals
  // point to, swapping two corners when the given order faces the other way.
  void AddTriangle(int a, int b, int c);
  void AddQuad(int a, int b, int c, int d) {
    AddTriangle(a, b, c);
    AddTriangle(a, c, d);
  }
};

// Rounds to the six significant digits the data files hold, so that what the generator checks
// and previews is exactly what the saver compiles.
double RoundToDataPrecision(double value);
