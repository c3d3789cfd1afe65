// The four fragment shaders drawn on a small quad with chosen frames and pattern coordinates,
// read back pixel by pixel. The ribbon is the straight, fresh one, so the vertex shader leaves
// model points where they are.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/GlTestContext.h"
#include "platform/Resources.h"

namespace {

struct Colour {
  double r, g, b;
};

struct V3 {
  double x, y, z;
};
V3 Normal(V3 v) {
  const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / l, v.y / l, v.z / l};
}
double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Attribute locations this test feeds; 0 is gl_Vertex's.
constexpr GLuint GridPointAt = 1, NormalAt = 2, GridXAt = 3, GridYAt = 4;

GLuint Compile(GLenum kind, const char* text) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status != GL_TRUE) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    ADD_FAILURE() << "shader does not compile: " << log;
  }
  return shader;
}

class SurfaceShaders : public testing::Test {
 protected:
  GlTestContext gl;

  // Builds the program of the vertex shader and fragment shader `id`, with the fresh ribbon.
  GLuint Program(int id) {
    const GLuint program = glCreateProgram();
    glAttachShader(program, Compile(GL_VERTEX_SHADER, platform::FindShaderText(114)));
    glAttachShader(program, Compile(GL_FRAGMENT_SHADER, platform::FindShaderText(id)));
    glBindAttribLocation(program, GridPointAt, "aGridPoint");
    glBindAttribLocation(program, NormalAt, "aNormal");
    glBindAttribLocation(program, GridXAt, "aGridX");
    glBindAttribLocation(program, GridYAt, "aGridY");
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    EXPECT_EQ(status, GL_TRUE) << "program " << id << " does not link";
    glUseProgram(program);
    float matrixes[180] = {}, vertexes[60] = {};
    for (int i = 0; i < 20; ++i) {
      matrixes[9 * i] = matrixes[9 * i + 4] = matrixes[9 * i + 8] = 1;
      vertexes[3 * i] = 1.0f - 0.05f * static_cast<float>(i);
    }
    glUniformMatrix3fv(glGetUniformLocation(program, "uRibbonMatrixes"), 20, GL_FALSE, matrixes);
    glUniform3fv(glGetUniformLocation(program, "uRibbonVertexes"), 20, vertexes);
    return program;
  }

  // Draws a small quad at model (0.5, 0, 0) facing the camera, with one frame and pattern
  // coordinate for all its fragments, and returns the colour at its centre.
  Colour Shade(int id, double gx, double gy, V3 normal, V3 gridX, V3 gridY) {
    Program(id);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glVertexAttrib2f(GridPointAt, static_cast<float>(gx), static_cast<float>(gy));
    glVertexAttrib3f(NormalAt, float(normal.x), float(normal.y), float(normal.z));
    glVertexAttrib3f(GridXAt, float(gridX.x), float(gridX.y), float(gridX.z));
    glVertexAttrib3f(GridYAt, float(gridY.x), float(gridY.y), float(gridY.z));
    glBegin(GL_QUADS);
    glVertex3f(0.45f, -0.05f, 0);
    glVertex3f(0.55f, -0.05f, 0);
    glVertex3f(0.55f, 0.05f, 0);
    glVertex3f(0.45f, 0.05f, 0);
    glEnd();
    const GlTestContext::WindowPoint w = gl.Project(0.5, 0, 0);
    const GlTestContext::Rgba p = gl.ReadPixel(static_cast<int>(w.x), static_cast<int>(w.y));
    return {p.r / 255.0, p.g / 255.0, p.b / 255.0};
  }
};

// One 8-bit step and a little: the frame buffer rounds.
constexpr double Step = 1.5 / 255;

void ExpectColour(Colour got, Colour want) {
  EXPECT_NEAR(got.r, std::min(want.r, 1.0), Step);
  EXPECT_NEAR(got.g, std::min(want.g, 1.0), Step);
  EXPECT_NEAR(got.b, std::min(want.b, 1.0), Step);
}

// The shared lighting term at model point (0.5, 0, 0), where the quad's centre lies.
Colour Lit(V3 n, Colour base, double specularColour, double power) {
  const V3 light{0, -1, 0};
  const double value = Dot(n, light);
  double diffuse = 0, specular = 0;
  if (value < 0) {
    diffuse = -value;
    const V3 view = Normal({0.5, 0, -4});
    const double r = 2 * value * Dot(n, view) - Dot(light, view);
    if (r > 0) specular = std::pow(r, power);
  }
  const double k = 0.5 + 0.5 * diffuse;
  const double s = specularColour * specular;
  return {base.r * k + s, base.g * k + s, base.b * k + s};
}

const V3 Down{0, -1, 0}, Up{0, 1, 0}, Towards{0, 0, 1};

TEST_F(SurfaceShaders, FacingAwayFromTheLightKeepsHalfTheBaseColour) {
  ASSERT_TRUE(gl.Ok());
  // A normal pointing down, or across the light (value exactly 0), gets no light at all.
  ExpectColour(Shade(112, 0, 0, Down, {1, 0, 0}, {0, 0, 1}), {0.2, 0.2, 0.2});
  ExpectColour(Shade(112, 0, 0, Towards, {1, 0, 0}, {0, 1, 0}), {0.2, 0.2, 0.2});
  ExpectColour(Shade(110, 0.35, 0, Down, {1, 0, 0}, {0, 0, 1}), {0.15, 0.15, 0.5});
  // Horns: 0.3 of Color facing away, the whole of it lit from straight above.
  ExpectColour(Shade(113, 0, 0, Down, {1, 0, 0}, {0, 0, 1}), {0.3, 0.3, 0.12});
  ExpectColour(Shade(113, 0, 0, Up, {1, 0, 0}, {0, 0, -1}), {1.0, 1.0, 0.4});
  // An unnormalised normal is normalised first: half up, half towards the viewer.
  ExpectColour(Shade(113, 0, 0, {0, 3, 3}, {1, 0, 0}, {0, 1, -1}),
               {0.3 + 0.7 * std::sqrt(0.5), 0.3 + 0.7 * std::sqrt(0.5), 0.4 * (0.3 + 0.7 * std::sqrt(0.5))});
}

TEST_F(SurfaceShaders, LitSurfacesGetDiffuseLightAndTheHighlightTowardsTheViewer) {
  ASSERT_TRUE(gl.Ok());
  // Tilted up and towards the viewer, the highlight is strong but stays below 1 in red/green.
  const V3 n = Normal({0, 1, 2});
  const V3 gridY = Normal({0, 2, -1});  // (1, 0, 0) x gridY = n
  ExpectColour(Shade(112, 0, 0, n, {1, 0, 0}, gridY), Lit(n, {0.4, 0.4, 0.4}, 1.0, 16));
  ExpectColour(Shade(110, 0.35, 0, n, {1, 0, 0}, gridY), Lit(n, {0.3, 0.3, 1.0}, 0.6, 4));
  // Scale off its scales (on a rim): background blue, lit with power 8.
  ExpectColour(Shade(111, 0.0, 0.3, n, {1, 0, 0}, gridY), Lit(n, {0.3, 0.3, 1.0}, 0.6, 8));
}

TEST_F(SurfaceShaders, ScaleIsPureScaleColorAtTheCentreAndBackgroundOnTheRim) {
  ASSERT_TRUE(gl.Ok());
  const V3 x{1, 0, 0}, y{0, 0, 1};  // x cross y = (0, -1, 0): facing away, half the base colour
  ExpectColour(Shade(111, 0.3, 0.3, Down, x, y), {0.5, 0, 0});
  ExpectColour(Shade(111, 2.7, 0.3, Down, x, y), {0.5, 0, 0});  // even column 4
  // Odd columns are shifted by half a row: their centre is at y = 0.4 (0.9 after the shift),
  // and y = 0, on the rim of an unshifted scale, lies well inside a shifted one.
  ExpectColour(Shade(111, 0.9, 0.4, Down, x, y), {0.5, 0, 0});
  EXPECT_GT(Shade(111, 0.9, 0.0, Down, x, y).r, 0.3);
  // On the rim of the ellipse (a = 0) and outside it: pure background.
  ExpectColour(Shade(111, 0.0, 0.3, Down, x, y), {0.15, 0.15, 0.5});
  ExpectColour(Shade(111, 0.3, 0.0, Down, x, y), {0.15, 0.15, 0.5});
  // A quarter of the way to the rim: the colour blends by the bump normal's z.
  const double a = 0.75, b = 0.15 / 0.36, d = std::sqrt(a + 16 * 0.04 * b * b);
  const double z = std::sqrt(a) / d;
  ExpectColour(Shade(111, 0.45, 0.3, Down, x, y),
               {0.5 * (0.3 + 0.7 * z), 0.5 * 0.3 * (1 - z), 0.5 * (1 - z)});
}

TEST_F(SurfaceShaders, WrinklesAreUntiltedInTheMiddleOfAGroove) {
  ASSERT_TRUE(gl.Ok());
  // The normal lies across the light, so any tilt towards gridX's -y shows as light.
  const V3 gridX{0, -1, 0}, gridY{1, 0, 0};  // gridX cross gridY = (0, 0, 1)
  const Colour unlit{0.15, 0.15, 0.5};
  ExpectColour(Shade(110, 0.35, 0, Towards, gridX, gridY), unlit);
  ExpectColour(Shade(110, 0.35 + 0.7 * 3, 0, Towards, gridX, gridY), unlit);
  // Before the middle the normal tilts against gridX, that is up: lit. After it, down: unlit.
  const V3 tilted = Normal({0, 0.35, 2});
  ExpectColour(Shade(110, 0.0, 0, Towards, gridX, gridY), Lit(tilted, {0.3, 0.3, 1.0}, 0.6, 4));
  ExpectColour(Shade(110, 0.6, 0, Towards, gridX, gridY), unlit);
}

}  // namespace
