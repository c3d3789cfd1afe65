#pragma once
#include <cstdint>

#include "creature/VertexRecord.h"

// One drawable part of the creature; a vertexCount of 0 ends the SurfaceTable.
struct Surface {
  int vertexCount = 0;
  int triangleCount = 0;
  VertexRecord* vertices = nullptr;  // rewritten in place once, when the model is fitted
  const std::int32_t* indices = nullptr;  // 3 · triangleCount vertex indices
  unsigned vertexBuffer = 0;  // OpenGL buffer names, 0 until uploaded
  unsigned indexBuffer = 0;
};

// Scale, Wrinkles, Eyes, Horns, then the terminating entry.
constexpr int SurfaceCount = 4;
extern Surface SurfaceTable[SurfaceCount + 1];
