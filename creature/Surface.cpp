#include "creature/Surface.h"

#include "creature/Ribbon.h"
#include "creature/model/ModelData.h"

// The counts are the generated ones that head each surface's triangle block (the model test
// checks that they agree), so the whole table is constant data, complete before any code runs.
constinit Surface SurfaceTable[SurfaceCount + 1] = {
    {ScaleVertexCount, ScaleTriangleCount, ScaleVertices, ScaleTriangles.indices},
    {WrinklesVertexCount, WrinklesTriangleCount, WrinklesVertices, WrinklesTriangles.indices},
    {EyesVertexCount, EyesTriangleCount, EyesVertices, EyesTriangles.indices},
    {HornsVertexCount, HornsTriangleCount, HornsVertices, HornsTriangles.indices},
    {},
};

void Ribbon::FitModel(Surface* surfaceTable) {
  if (surfaceTable[0].vertexCount == 0) return;
  double min = surfaceTable[0].vertices[0].position.x;
  double max = min;
  for (const Surface* s = surfaceTable; s->vertexCount != 0; ++s) {
    for (int i = 0; i < s->vertexCount; ++i) {
      const double x = s->vertices[i].position.x;
      if (x < min) min = x;
      if (x > max) max = x;
    }
  }
  if (max == min) return;
  // Uniform scaling, so normals and pattern frames stay valid: x spans 0.01 (tail) to 1.0 (head).
  const double s = 0.99 / (max - min);
  for (Surface* surface = surfaceTable; surface->vertexCount != 0; ++surface) {
    for (int i = 0; i < surface->vertexCount; ++i) {
      Vector3& p = surface->vertices[i].position;
      p.x = (p.x - min) * s + 0.01;
      p.y = p.y * s;
      p.z = p.z * s;
    }
  }
}
