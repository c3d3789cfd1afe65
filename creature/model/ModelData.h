#pragma once
// The generated surfaces' data, shared by the data files and the surface table.
#include <cstdint>

#include "creature/VertexRecord.h"
#include "creature/model/ModelCounts.h"

// One surface's triangles as one constant block: its vertex count, its triangle count, then
// three vertex indices per triangle.
template <int Triangles>
struct TriangleList {
  std::int32_t vertexCount;
  std::int32_t triangleCount;
  std::int32_t indices[3 * Triangles];
};

extern VertexRecord ScaleVertices[ScaleVertexCount];
extern VertexRecord WrinklesVertices[WrinklesVertexCount];
extern VertexRecord EyesVertices[EyesVertexCount];
extern VertexRecord HornsVertices[HornsVertexCount];
extern const TriangleList<ScaleTriangleCount> ScaleTriangles;
extern const TriangleList<WrinklesTriangleCount> WrinklesTriangles;
extern const TriangleList<EyesTriangleCount> EyesTriangles;
extern const TriangleList<HornsTriangleCount> HornsTriangles;
