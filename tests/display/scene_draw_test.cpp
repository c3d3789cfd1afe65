// The uploaded creature drawn bent along a ribbon, surface by surface, fed the way frame drawing
// feeds the programs: the picture shows each surface, and a copy is kept for a person to look at
// (scene_draw.ppm in the working folder).
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "render/Scene.h"
#include "support/GlTestContext.h"

namespace {

// Draws surface k with its program, the ribbon's arrays and the planar buffer offsets.
void DrawSurface(int k, const float* matrixes, const float* vertexes, int nodes) {
  const Surface& s = SurfaceTable[k];
  const SurfaceProgram& p = SurfacePrograms[k];
  const auto at = [&](int bytesPerVertex) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytesPerVertex) * s.vertexCount);
  };
  glUseProgram(static_cast<GLuint>(p.program));
  glUniformMatrix3fv(p.uRibbonMatrixes, nodes, GL_FALSE, matrixes);
  glUniform3fv(p.uRibbonVertexes, nodes, vertexes);
  glBindBuffer(GL_ARRAY_BUFFER, s.vertexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.indexBuffer);
  glVertexPointer(3, GL_FLOAT, 0, nullptr);
  glVertexAttribPointer(p.aGridX, 3, GL_FLOAT, GL_FALSE, 0, at(12));
  glVertexAttribPointer(p.aGridY, 3, GL_FLOAT, GL_FALSE, 0, at(24));
  glVertexAttribPointer(p.aNormal, 3, GL_FLOAT, GL_FALSE, 0, at(36));
  glVertexAttribPointer(p.aGridPoint, 2, GL_FLOAT, GL_FALSE, 0, at(48));
  glEnableClientState(GL_VERTEX_ARRAY);
  for (int a : {p.aNormal, p.aGridX, p.aGridY, p.aGridPoint}) glEnableVertexAttribArray(a);
  glDrawElements(GL_TRIANGLES, 3 * s.triangleCount, GL_UNSIGNED_INT, nullptr);
  glDisableClientState(GL_VERTEX_ARRAY);
  for (int a : {p.aNormal, p.aGridX, p.aGridY, p.aGridPoint}) glDisableVertexAttribArray(a);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glUseProgram(0);
}

// Pixels that differ from the clear colour (0.1, 0.2, 0.2).
int Drawn(const GlTestContext& gl) {
  int n = 0;
  for (const GlTestContext::Rgba& p : gl.ReadPixels())
    if (std::abs(p.r - 26) > 2 || std::abs(p.g - 51) > 2 || std::abs(p.b - 51) > 2) ++n;
  return n;
}

TEST(SceneDraw, TheCreatureDrawsBentAlongTheRibbon) {
  GlTestContext gl(640, 480);
  ASSERT_TRUE(gl.Ok());
  ASSERT_EQ(InitScene(), 0);

  // Head at the right, seen from a little above, the body swinging through an S.
  Ribbon ribbon;
  const Vector3 up = Normalized(Vector3(0, 1, 0.6));
  ribbon.Reset(Vector3(-0.5, 0, 0), up, Vector3(1, 0, 0));
  for (int k = 1; k <= 20; ++k)
    ribbon.MoveHead(Vector3(-0.5 + 0.05 * k, 0.12 * std::sin(0.3 * k), 0), up);
  const float* m = ribbon.GetMatrixes();
  const float* v = ribbon.GetVertexes();

  int count = 0;
  for (const Surface* s = SurfaceTable; s->vertexCount != 0; ++s) ++count;
  ASSERT_EQ(count, SurfaceCount);
  for (int k = 0; k < count; ++k) {
    SCOPED_TRACE(k);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawSurface(k, m, v, Ribbon::NumberOfNodes);
    EXPECT_GT(Drawn(gl), 20) << "surface " << k << " draws nothing";
  }

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (int k = 0; k < count; ++k) DrawSurface(k, m, v, Ribbon::NumberOfNodes);
  EXPECT_GT(Drawn(gl), 640 * 480 / 50);
  // The hide's colours: red scale crowns and blue ground, and the horns' yellow.
  int red = 0, yellow = 0;
  for (const GlTestContext::Rgba& p : gl.ReadPixels()) {
    if (p.r > 100 && p.r > 2 * p.b && p.g < 60) ++red;
    if (p.r > 100 && p.g > 100 && p.b < p.r / 2) ++yellow;
  }
  EXPECT_GT(red, 50);
  EXPECT_GT(yellow, 5);
  EXPECT_TRUE(gl.SavePpm("scene_draw.ppm"));
}

}  // namespace
