// The uploaded creature drawn bent along a ribbon, surface by surface, through frame drawing's own
// surface drawing: each surface is fed its own model fields and shows in the picture, and a copy
// is kept for a person to look at (scene_draw.ppm in the working folder).
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "render/FrameDrawing.h"
#include "render/Scene.h"
#include "support/GlTestContext.h"

namespace {

double At(const Vector3& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }

// What surface drawing fed the program, read back from the state it leaves: each attribute array
// holds, vertex by vertex, the model field of its name, and is disabled again; the ribbon's last
// node reached the program's uniform arrays.
void ExpectFedFromTheModel(const Surface& s, const SurfaceProgram& p, const float* matrixes,
                           const float* vertexes) {
  struct Feed {
    const char* name;
    int location;  // -1: gl_Vertex
    int components;
    double (*value)(const VertexRecord& r, int c);
  };
  const Feed feeds[] = {
      {"gl_Vertex", -1, 3, [](const VertexRecord& r, int c) { return At(r.position, c); }},
      {"aGridX", p.aGridX, 3, [](const VertexRecord& r, int c) { return At(r.gridX, c); }},
      {"aGridY", p.aGridY, 3, [](const VertexRecord& r, int c) { return At(r.gridY, c); }},
      {"aNormal", p.aNormal, 3, [](const VertexRecord& r, int c) { return At(r.normal, c); }},
      {"aGridPoint", p.aGridPoint, 2,
       [](const VertexRecord& r, int c) { return c == 0 ? r.gridPoint.x : r.gridPoint.y; }},
  };
  for (const Feed& f : feeds) {
    SCOPED_TRACE(f.name);
    GLint size = 0, type = 0, stride = 0, buffer = 0, enabled = 0;
    void* pointer = nullptr;
    if (f.location < 0) {
      glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &size);
      glGetIntegerv(GL_VERTEX_ARRAY_TYPE, &type);
      glGetIntegerv(GL_VERTEX_ARRAY_STRIDE, &stride);
      glGetIntegerv(GL_VERTEX_ARRAY_BUFFER_BINDING, &buffer);
      enabled = glIsEnabled(GL_VERTEX_ARRAY);
      glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    } else {
      const auto at = static_cast<GLuint>(f.location);
      glGetVertexAttribiv(at, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
      glGetVertexAttribiv(at, GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
      glGetVertexAttribiv(at, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
      glGetVertexAttribiv(at, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
      glGetVertexAttribiv(at, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
      glGetVertexAttribPointerv(at, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    }
    EXPECT_EQ(enabled, GL_FALSE);
    ASSERT_EQ(buffer, static_cast<GLint>(s.vertexBuffer));
    ASSERT_EQ(size, f.components);
    ASSERT_EQ(type, GL_FLOAT);
    ASSERT_TRUE(stride == 0 || stride == f.components * 4);
    const auto offset = reinterpret_cast<std::uintptr_t>(pointer);
    const std::size_t count = static_cast<std::size_t>(f.components) * s.vertexCount;
    GLint bytes = 0;
    glBindBuffer(GL_ARRAY_BUFFER, s.vertexBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    ASSERT_LE(offset + 4 * count, static_cast<std::uintptr_t>(bytes));
    std::vector<float> fed(count);
    glGetBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset),
                       static_cast<GLsizeiptr>(4 * count), fed.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    int wrong = 0;
    for (int i = 0; i < s.vertexCount; ++i)
      for (int c = 0; c < f.components; ++c)
        if (fed[static_cast<std::size_t>(i) * f.components + c] !=
            static_cast<float>(f.value(s.vertices[i], c)))
          ++wrong;
    EXPECT_EQ(wrong, 0);
  }

  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  ASSERT_EQ(current, p.program);
  const int last = Ribbon::NumberOfNodes - 1;
  const std::string index = "[" + std::to_string(last) + "]";
  float node[9] = {};
  glGetUniformfv(current, glGetUniformLocation(current, ("uRibbonVertexes" + index).c_str()), node);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(node[c], vertexes[3 * last + c]);
  glGetUniformfv(current, glGetUniformLocation(current, ("uRibbonMatrixes" + index).c_str()), node);
  for (int c = 0; c < 9; ++c) EXPECT_EQ(node[c], matrixes[9 * last + c]);
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
    DrawSurface(SurfaceTable[k], SurfacePrograms[k], m, v);
    EXPECT_GT(Drawn(gl), 20) << "surface " << k << " draws nothing";
    ExpectFedFromTheModel(SurfaceTable[k], SurfacePrograms[k], m, v);
  }

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (int k = 0; k < count; ++k) DrawSurface(SurfaceTable[k], SurfacePrograms[k], m, v);
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
