#include "render/Scene.h"

#include <GL/glew.h>

#include <cstdint>
#include <vector>

#include "base/AppLog.h"
#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "render/ShaderSource.h"

SurfaceProgram SurfacePrograms[SurfaceProgramCount];

namespace {

constexpr int VertexShaderResource = 114;
// Fragment shader of surface k, in SurfaceTable order: Scale, Wrinkles, Eyes, Horns.
constexpr int SurfaceShaderResource[SurfaceProgramCount] = {111, 110, 112, 113};

// The attributes are bound to fixed locations before linking, 0 being gl_Vertex's. A linker may
// drop an attribute whose varyings a fragment shader never reads (Eyes reads only vNormal and
// vGlobalCoordinates, Horns only vNormal) and then reports it at -1; its bound location is kept
// for it instead, so every program is fed the same way and the unused array is simply ignored.
constexpr GLuint GridPointLocation = 1;
constexpr GLuint NormalLocation = 2;
constexpr GLuint GridXLocation = 3;
constexpr GLuint GridYLocation = 4;

int AttributeLocation(GLuint program, const char* name, GLuint bound) {
  const GLint location = glGetAttribLocation(program, name);
  return location == -1 ? static_cast<int>(bound) : location;
}

bool Compiled(GLuint shader) {
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

// Hands the text of `id` to the shader as one NUL-terminated string; false when it is missing.
bool LoadSource(GLuint shader, int id) {
  const ShaderSource source(id);
  if (!source.IsLoaded()) return false;
  glShaderSource(shader, source.count, source.strings, nullptr);
  return true;
}

// Builds program k from the shared vertex shader; 0 on success, 1 on failure.
int BuildSurfaceProgram(int k, GLuint vertexShader) {
  const GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
  if (fragmentShader == 0) {
    appLog.Write(Error, "Can not create fragment shader");
    return 1;
  }
  if (!LoadSource(fragmentShader, SurfaceShaderResource[k])) {
    appLog.Write(Error, "Can not read source for shader");
    return 1;
  }
  glCompileShader(fragmentShader);
  if (!Compiled(fragmentShader)) {
    appLog.Write(Error, "Can not compile fragment shader");
    return 1;
  }

  SurfaceProgram& p = SurfacePrograms[k];
  p.program = static_cast<int>(glCreateProgram());
  if (p.program == 0) return 1;
  const GLuint program = static_cast<GLuint>(p.program);
  glAttachShader(program, vertexShader);
  glAttachShader(program, fragmentShader);
  glBindAttribLocation(program, GridPointLocation, "aGridPoint");
  glBindAttribLocation(program, NormalLocation, "aNormal");
  glBindAttribLocation(program, GridXLocation, "aGridX");
  glBindAttribLocation(program, GridYLocation, "aGridY");
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) return 1;

  p.aGridPoint = AttributeLocation(program, "aGridPoint", GridPointLocation);
  p.aNormal = AttributeLocation(program, "aNormal", NormalLocation);
  p.aGridX = AttributeLocation(program, "aGridX", GridXLocation);
  p.aGridY = AttributeLocation(program, "aGridY", GridYLocation);
  p.uRibbonMatrixes = glGetUniformLocation(program, "uRibbonMatrixes");
  p.uRibbonVertexes = glGetUniformLocation(program, "uRibbonVertexes");
  if (p.aGridPoint == -1 || p.aNormal == -1 || p.aGridX == -1 || p.aGridY == -1 ||
      p.uRibbonMatrixes == -1 || p.uRibbonVertexes == -1)
    return 1;

  appLog.Write(Notify, "One fragment shader is OK");
  return 0;
}

// Appends one Vector3 field of every record: one block of the planar vertex buffer.
template <typename Field>
void AppendBlock(std::vector<float>& out, const Surface& s, Field field) {
  for (int i = 0; i < s.vertexCount; ++i) {
    const Vector3& v = s.vertices[i].*field;
    out.push_back(static_cast<float>(v.x));
    out.push_back(static_cast<float>(v.y));
    out.push_back(static_cast<float>(v.z));
  }
}

}  // namespace

int InitScene() {
  glClearColor(0.1f, 0.2f, 0.2f, 0.0f);

  const GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
  if (vertexShader == 0) return 1;
  if (!LoadSource(vertexShader, VertexShaderResource)) return 1;
  glCompileShader(vertexShader);
  if (!Compiled(vertexShader)) {
    appLog.Write(Error, "Can not compile vertex shader");
    return 1;
  }
  appLog.Write(Notify, "Vertex shader is OK");

  for (int k = 0; k < SurfaceProgramCount; ++k)
    if (BuildSurfaceProgram(k, vertexShader) != 0) return 1;
  appLog.Write(Notify, "All shader programs are OK");

  // The buffers must hold the fitted positions.
  Ribbon::FitModel(SurfaceTable);
  appLog.Write(Notify, "Write model to OpenGL");

  for (Surface* s = SurfaceTable; s->vertexCount != 0; ++s)
    if (UploadSurface(s) != 0) return 1;
  return 0;
}

int UploadSurface(Surface* surface) {
  const Surface& s = *surface;
  const std::size_t n = static_cast<std::size_t>(s.vertexCount);
  const std::size_t m = static_cast<std::size_t>(s.triangleCount);

  // Planar blocks: position, gridX, gridY, normal (3 floats each), then gridPoint (2 floats).
  std::vector<float> vertices;
  vertices.reserve(14 * n);
  AppendBlock(vertices, s, &VertexRecord::position);
  AppendBlock(vertices, s, &VertexRecord::gridX);
  AppendBlock(vertices, s, &VertexRecord::gridY);
  AppendBlock(vertices, s, &VertexRecord::normal);
  for (std::size_t i = 0; i < n; ++i) {
    vertices.push_back(static_cast<float>(s.vertices[i].gridPoint.x));
    vertices.push_back(static_cast<float>(s.vertices[i].gridPoint.y));
  }
  glGenBuffers(1, &surface->vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, surface->vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(56 * n), vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  const std::vector<std::uint32_t> indices(s.indices, s.indices + 3 * m);
  glGenBuffers(1, &surface->indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, surface->indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(12 * m), indices.data(),
               GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  return 0;
}
