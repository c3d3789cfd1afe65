#pragma once
#include <array>
#include <string>
#include <vector>

#include "base/Vector2.h"
#include "base/Vector3.h"

// A surface as the generator builds it, before its numbers are rounded for the data files.
struct GenVertex {
  Vector3 position;
  Vector2 gridPoint;
  Vector3 normal;  // unit, outward
};

struct Mesh {
  std::string name;
  std::vector<GenVertex> vertices;
  std::vector<std::array<int, 3>> triangles;  // counter-clockwise seen from outside

  int Add(const GenVertex& v) {
    vertices.push_back(v);
    return static_cast<int>(vertices.size()) - 1;
  }
  void Triangle(int a, int b, int c) { triangles.push_back({a, b, c}); }
  // Appends the mirror image across the x-z plane (y negated), wound the other way round so that
  // it still faces outward.
  void AddMirrorOf(const Mesh& other);
};

// The only frame the data allows for a normal: gridY lies in the cross-section (x = 0) and is
// perpendicular to the normal, gridX = gridY x normal has a positive x, normal = gridX x gridY.
void FrameFromNormal(const Vector3& normal, Vector3& gridX, Vector3& gridY);

// The creature, in its surface order: Scale, Wrinkles, Eyes, Horns.
std::vector<Mesh> BuildCreature();

// Pattern units per model unit, and the gridPoint.y of the body's top midline.
constexpr double PatternScale = 1.2;
constexpr double PatternMidline = 6.0;
