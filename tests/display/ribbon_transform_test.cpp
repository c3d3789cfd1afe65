// The vertex shader and Ribbon::TransformVertex / TransformNormal place a bent model alike: the
// shader's bent positions and normals are captured with transform feedback and compared with
// the processor's.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "creature/Ribbon.h"
#include "platform/Resources.h"
#include "support/GlTestContext.h"

namespace {

GLuint Compile(GLenum kind, int id) {
  const GLuint shader = glCreateShader(kind);
  const char* text = platform::FindShaderText(id);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  return shader;
}

// A ribbon whose head has swung round a curve while rolling, so that every node has its own
// frame.
void Bend(Ribbon& ribbon) {
  for (int k = 1; k <= 60; ++k) {
    const double a = 0.12 * k;
    const Vector3 head(1 + 0.6 * std::sin(a), 0.6 * (1 - std::cos(a)), 0.015 * k);
    const Vector3 up(0, std::sin(0.04 * k), std::cos(0.04 * k));
    ribbon.MoveHead(head, up);
  }
}

struct ModelPoint {
  float x, y, z;
};

TEST(RibbonTransform, ShaderAndProcessorBendTheModelAlike) {
  GlTestContext gl;
  ASSERT_TRUE(gl.Ok());
  if (!GLEW_VERSION_3_0) GTEST_SKIP() << "no transform feedback";

  Ribbon ribbon;
  Bend(ribbon);

  // Points across the body at x away from node boundaries, where a different node would turn
  // the y and z offsets by a different frame; and points on the spine at the boundaries, where
  // either node gives the same spot.
  std::vector<ModelPoint> points;
  for (int k = 0; k < 199; ++k) {
    const double x = 0.01 + 0.99 * (k + 0.5) / 199;
    const double frac = std::fmod(1 - x, 0.05);
    if (frac < 1e-3 || frac > 0.05 - 1e-3) continue;
    points.push_back({float(x), float(0.1 * std::sin(7.0 * k)), float(0.12 * std::cos(5.0 * k))});
  }
  const std::size_t firstOnSpine = points.size();
  // Every boundary; the processor is given the double itself, where t * 20 and the offset
  // behind the node round closest to disagreeing.
  const std::vector<double> spine{1.0, 0.95, 0.9, 0.85, 0.8, 0.75, 0.7, 0.65, 0.6, 0.55, 0.5, 0.45,
                                  0.4, 0.35, 0.3, 0.25, 0.2, 0.15, 0.1, 0.05, 0.525, 0.01};
  for (double x : spine) points.push_back({float(x), 0, 0});
  std::vector<float> normals;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double t = 0.37 * static_cast<double>(i);
    normals.insert(normals.end(), {float(std::cos(t)), float(std::sin(t) * 0.6), float(std::sin(t) * 0.8)});
  }

  const GLuint program = glCreateProgram();
  glAttachShader(program, Compile(GL_VERTEX_SHADER, 114));
  glAttachShader(program, Compile(GL_FRAGMENT_SHADER, 113));
  const char* captured[] = {"vGlobalCoordinates", "vNormal"};
  glTransformFeedbackVaryings(program, 2, captured, GL_INTERLEAVED_ATTRIBS);
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  ASSERT_EQ(linked, GL_TRUE);
  glUseProgram(program);
  glUniformMatrix3fv(glGetUniformLocation(program, "uRibbonMatrixes"), Ribbon::NumberOfNodes,
                     GL_FALSE, ribbon.GetMatrixes());
  glUniform3fv(glGetUniformLocation(program, "uRibbonVertexes"), Ribbon::NumberOfNodes,
               ribbon.GetVertexes());

  const GLsizei count = static_cast<GLsizei>(points.size());
  GLuint feedback = 0;
  glGenBuffers(1, &feedback);
  glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, feedback);
  glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, 6 * sizeof(float) * count, nullptr, GL_STATIC_READ);
  glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, feedback);

  const GLint normal = glGetAttribLocation(program, "aNormal");
  ASSERT_NE(normal, -1);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, points.data());
  glEnableVertexAttribArray(normal);
  glVertexAttribPointer(normal, 3, GL_FLOAT, GL_FALSE, 0, normals.data());
  glEnable(GL_RASTERIZER_DISCARD);
  glBeginTransformFeedback(GL_POINTS);
  glDrawArrays(GL_POINTS, 0, count);
  glEndTransformFeedback();
  glDisable(GL_RASTERIZER_DISCARD);
  glDisableVertexAttribArray(normal);
  glDisableClientState(GL_VERTEX_ARRAY);

  std::vector<float> out(6 * points.size());
  glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 6 * sizeof(float) * count, out.data());
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  for (std::size_t i = 0; i < points.size(); ++i) {
    const ModelPoint& p = points[i];
    SCOPED_TRACE(testing::Message() << "model point " << p.x << ", " << p.y << ", " << p.z);
    Vector3 where, turned;
    const double x = i >= firstOnSpine ? spine[i - firstOnSpine] : p.x;
    ribbon.TransformVertex(Vector3(x, p.y, p.z), where, x);
    ribbon.TransformNormal(Vector3(normals[3 * i], normals[3 * i + 1], normals[3 * i + 2]), turned,
                           x);
    // Single precision on coordinates of a few units.
    const double tolerance = 4e-6 * (1 + std::fabs(where.x) + std::fabs(where.y) + std::fabs(where.z));
    EXPECT_NEAR(out[6 * i + 0], where.x, tolerance);
    EXPECT_NEAR(out[6 * i + 1], where.y, tolerance);
    EXPECT_NEAR(out[6 * i + 2], where.z, tolerance);
    if (i >= firstOnSpine) continue;  // at a boundary the two may turn by neighbouring nodes
    EXPECT_NEAR(out[6 * i + 3], turned.x, 4e-6);
    EXPECT_NEAR(out[6 * i + 4], turned.y, 4e-6);
    EXPECT_NEAR(out[6 * i + 5], turned.z, 4e-6);
  }
}

}  // namespace
