// Scene initialisation on a test window: the log lines of a good and a failed start, the four
// programs and their locations, the buffers' layout, and the whole creature drawn bent.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/AppLog.h"
#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "platform/linux/ShaderResources.h"
#include "render/Scene.h"
#include "support/GlTestContext.h"

namespace {

// The log beside this test executable, read from the point where a test began.
class LogTail {
 public:
  LogTail() : start_(Read().size()) {}
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(Read().substr(start_));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

 private:
  static std::string Read() {
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::ifstream in(std::string(path, static_cast<std::size_t>(n)) + ".log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t start_;
};

void ForgetPrograms() {
  for (SurfaceProgram& p : SurfacePrograms) p = SurfaceProgram{};
  for (Surface* s = SurfaceTable; s->vertexCount != 0; ++s) s->vertexBuffer = s->indexBuffer = 0;
}

bool Linked(int program) {
  GLint status = 0;
  if (program != 0) glGetProgramiv(static_cast<GLuint>(program), GL_LINK_STATUS, &status);
  return status == GL_TRUE;
}

TEST(InitScene, LogsEveryStageAndBuildsFourProgramsWithAllLocations) {
  GlTestContext gl;
  ASSERT_TRUE(gl.Ok());
  ForgetPrograms();
  const LogTail log;
  ASSERT_EQ(InitScene(), 0);
  const std::vector<std::string> want = {
      "   Notify : Vertex shader is OK",          "   Notify : One fragment shader is OK",
      "   Notify : One fragment shader is OK",    "   Notify : One fragment shader is OK",
      "   Notify : One fragment shader is OK",    "   Notify : All shader programs are OK",
      "   Notify : Write model to OpenGL",
  };
  EXPECT_EQ(log.Lines(), want);

  float clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.1f);
  EXPECT_FLOAT_EQ(clear[1], 0.2f);
  EXPECT_FLOAT_EQ(clear[2], 0.2f);
  EXPECT_FLOAT_EQ(clear[3], 0.0f);

  for (const SurfaceProgram& p : SurfacePrograms) {
    EXPECT_TRUE(Linked(p.program));
    EXPECT_NE(p.uRibbonMatrixes, -1);
    EXPECT_NE(p.uRibbonVertexes, -1);
    // Every attribute has its own location, none of them gl_Vertex's, even where the linker
    // found it unused (Eyes, Horns).
    const int a[] = {p.aGridPoint, p.aNormal, p.aGridX, p.aGridY};
    for (int i = 0; i < 4; ++i) {
      EXPECT_GT(a[i], 0);
      for (int j = 0; j < i; ++j) EXPECT_NE(a[i], a[j]);
    }
  }

  // The buffers of the real model: 56 bytes per vertex, 12 per triangle, positions fitted.
  for (const Surface* s = SurfaceTable; s->vertexCount != 0; ++s) {
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, s->vertexBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 56 * s->vertexCount);
    float first[3] = {};
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof first, first);
    EXPECT_FLOAT_EQ(first[0], static_cast<float>(s->vertices[0].position.x));
    EXPECT_GE(first[0], 0.01f - 1e-6f);
    EXPECT_LE(first[0], 1.0f + 1e-6f);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s->indexBuffer);
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 12 * s->triangleCount);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}

TEST(InitScene, StopsAtTheFirstFragmentShaderThatDoesNotCompile) {
  GlTestContext gl;
  ASSERT_TRUE(gl.Ok());
  ForgetPrograms();
  platform::ReplaceShaderText(112, "void main() { gl_FragColor = undeclared; }");
  const LogTail log;
  const int result = InitScene();
  platform::RestoreShaderTexts();
  EXPECT_EQ(result, 1);
  const std::vector<std::string> want = {
      "   Notify : Vertex shader is OK",
      "   Notify : One fragment shader is OK",
      "   Notify : One fragment shader is OK",
      "(!)Error : Can not compile fragment shader",
  };
  EXPECT_EQ(log.Lines(), want);
  EXPECT_TRUE(Linked(SurfacePrograms[0].program));
  EXPECT_TRUE(Linked(SurfacePrograms[1].program));
  EXPECT_EQ(SurfacePrograms[2].program, 0);
  EXPECT_EQ(SurfaceTable[0].vertexBuffer, 0u);  // nothing uploaded
}

TEST(InitScene, MissingOrBrokenTextsFailWithTheirOwnLineOrNone) {
  GlTestContext gl;
  ASSERT_TRUE(gl.Ok());
  struct Case {
    int id;
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {114, nullptr, {}},
      {114, "void main() { gl_Position = nothing; }", {"(!)Error : Can not compile vertex shader"}},
      {111, nullptr, {"   Notify : Vertex shader is OK", "(!)Error : Can not read source for shader"}},
      // A vertex shader without the ribbon's uniforms links, but cannot be fed: no line.
      {114, "void main() { gl_Position = gl_Vertex; }", {"   Notify : Vertex shader is OK"}},
      // A fragment shader reading a varying nobody writes does not link: no line either.
      {113, "varying vec3 vMissing; void main() { gl_FragColor = vec4(vMissing, 1.0); }",
       {"   Notify : Vertex shader is OK", "   Notify : One fragment shader is OK",
        "   Notify : One fragment shader is OK", "   Notify : One fragment shader is OK"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ForgetPrograms();
    platform::ReplaceShaderText(c.id, c.text);
    const LogTail log;
    EXPECT_EQ(InitScene(), 1);
    platform::RestoreShaderTexts();
    EXPECT_EQ(log.Lines(), c.lines);
  }
}

// One vertex buffer laid out in blocks, and the index triples unchanged.
TEST(UploadSurface, WritesPlanarBlocksAndThreeIndicesPerTriangle) {
  GlTestContext gl;
  ASSERT_TRUE(gl.Ok());
  VertexRecord records[] = {
      {0.1, 0.2, 0.3, 10, 11, 0, 0, 1, 1, 0, 0, 0, 1, 0},
      {0.4, 0.5, 0.6, 12, 13, 0, -1, 0, 0.6, 0, 0.8, 0, 0, 1},
      {0.7, 0.8, 0.9, 14, 15, 1, 0, 0, 0.8, 0.6, 0, 0, 0.5, -0.5},
  };
  const std::int32_t indices[] = {0, 1, 2, 2, 1, 0};
  Surface s;
  s.vertexCount = 3;
  s.triangleCount = 2;
  s.vertices = records;
  s.indices = indices;
  ASSERT_EQ(UploadSurface(&s), 0);
  ASSERT_NE(s.vertexBuffer, 0u);
  ASSERT_NE(s.indexBuffer, 0u);
  GLint bound = -1;  // both bindings are left at 0
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);

  float v[42] = {};
  GLint size = 0;
  glBindBuffer(GL_ARRAY_BUFFER, s.vertexBuffer);
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  ASSERT_EQ(size, 56 * 3);
  glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof v, v);
  const float want[42] = {
      0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f,  // position
      1, 0, 0, 0.6f, 0, 0.8f, 0.8f, 0.6f, 0,                  // gridX: float 3·N is gridX.x
      0, 1, 0, 0, 0, 1, 0, 0.5f, -0.5f,                       // gridY
      0, 0, 1, 0, -1, 0, 1, 0, 0,                             // normal
      10, 11, 12, 13, 14, 15,                                 // gridPoint
  };
  for (int i = 0; i < 42; ++i) EXPECT_EQ(v[i], want[i]) << "float " << i;

  std::uint32_t triples[6] = {};
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.indexBuffer);
  glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  ASSERT_EQ(size, 12 * 2);
  glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof triples, triples);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(triples[i], static_cast<std::uint32_t>(indices[i]));
}

}  // namespace
