#include "creature/Surface.h"

#include "creature/Ribbon.h"
#include "creature/model/ModelData.h"

// The counts are copied from each surface's triangle block, which is constant data and so
// complete before this table is built.
Surface SurfaceTable[SurfaceCount + 1] = {
    {ScaleTriangles.vertexCount, ScaleTriangles.triangleCount, ScaleVertices,
     ScaleTriangles.indices},
    {WrinklesTriangles.vertexCount, WrinklesTriangles.triangleCount, WrinklesVertices,
     WrinklesTriangles.indices},
    {EyesTriangles.vertexCount, EyesTriangles.triangleCount, EyesVertices, EyesTriangles.indices},
    {HornsTriangles.vertexCount, HornsTriangles.triangleCount, HornsVertices,
     HornsTriangles.indices},
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
