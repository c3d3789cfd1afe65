// The creature's screen rectangle must hold every pixel the creature can touch, or a partial
// frame leaves a piece of it behind. Checked against the vertex shader's own rule, computed in
// single precision as the card computes it, through the saver's fixed camera, over a long flight.
#include "render/CreatureBounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "base/Random.h"
#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "creature/WingRecording.h"
#include "render/FrameDrawing.h"

namespace {

constexpr int Width = 1024, Height = 768;

// gluPerspective(21, 1.3333333, 0.01, 100) times gluLookAt from (0, 0, 4) toward the origin.
CreatureBounds::Matrix4 SaverCamera() {
  const double f = 1 / std::tan(21.0 * 3.14159265358979323846 / 360), n = 0.01, far = 100;
  const CreatureBounds::Matrix4 projection{f / 1.3333333, 0, 0, 0, 0, f, 0, 0, 0, 0,
                                           (far + n) / (n - far), -1, 0, 0,
                                           2 * far * n / (n - far), 0};
  const CreatureBounds::Matrix4 view{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -4, 1};
  return Multiply(projection, view);
}

// Window coordinates of a point, as the viewport maps the clip coordinates.
void ToWindow(const CreatureBounds::Matrix4& m, const Vector3& p, double& x, double& y) {
  const double w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
  x = ((m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]) / w + 1) * 0.5 * Width;
  y = ((m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]) / w + 1) * 0.5 * Height;
}

// Where the vertex shader puts a model point, in its single precision.
Vector3 ShaderPlace(const Vector3& point, const float* matrixes, const float* vertexes) {
  const float vx = static_cast<float>(point.x), vy = static_cast<float>(point.y),
              vz = static_cast<float>(point.z);
  const float inverseX = 1.0f - vx;
  const float slot = std::floor(inverseX / 0.05f);
  const int node = static_cast<int>(slot);
  const float offset = slot * 0.05f - inverseX;
  const float* m = matrixes + 9 * node;
  const float* v = vertexes + 3 * node;
  return {v[0] + m[0] * offset + m[3] * vy + m[6] * vz, v[1] + m[1] * offset + m[4] * vy + m[7] * vz,
          v[2] + m[2] * offset + m[5] * vy + m[8] * vz};
}

TEST(CreatureBounds, HoldsEveryVertexOfBodyAndWingsThroughALongFlight) {
  Ribbon::FitModel(SurfaceTable);
  const CreatureBounds bounds(SurfaceTable);
  const CreatureBounds::Matrix4 camera = SaverCamera();
  SeedRandom(3);
  FrameTime frame;
  double widthSum = 0;
  int edgeFrames = 0;
  const int frames = 1500;
  for (int n = 0; n < frames; ++n) {
    frame.Advance(frame.tick + 16);
    AdvanceFrame(frame);
    const std::vector<Vector3>& wings = FrameWingGeometry().Vertices();
    const std::optional<ScreenRect> rect = bounds.Project(ribbon, wings, camera, Width, Height);
    ASSERT_TRUE(rect.has_value()) << "frame " << n;
    widthSum += rect->Width();
    edgeFrames += rect->left < 0 || rect->bottom < 0 || rect->right > Width || rect->top > Height;
    // Inside with a pixel to spare, the card rounding differently from this check; a point off
    // the window draws nothing.
    const auto expectInside = [&](const Vector3& p, const char* what) {
      double x, y;
      ToWindow(camera, p, x, y);
      if (x < 0 || x > Width || y < 0 || y > Height) return;
      ASSERT_TRUE(x >= rect->left + 1 && x <= rect->right - 1 && y >= rect->bottom + 1 &&
                  y <= rect->top - 1)
          << what << " at " << x << "," << y << " outside " << rect->left << "," << rect->bottom
          << "-" << rect->right << "," << rect->top << " in frame " << n;
    };
    const float* matrixes = ribbon.GetMatrixes();
    const float* vertexes = ribbon.GetVertexes();
    for (int k = 0; SurfaceTable[k].vertexCount != 0; ++k) {
      for (int i = 0; i < SurfaceTable[k].vertexCount; ++i)
        expectInside(ShaderPlace(SurfaceTable[k].vertices[i].position, matrixes, vertexes), "body");
    }
    for (const Vector3& v : wings) expectInside(v, "wing");
  }
  // Useful as well as safe: on average far narrower than the window, and the flight does reach
  // the edges, where the rectangle runs past the window.
  EXPECT_LT(widthSum / frames, Width / 3.0);
  EXPECT_GT(edgeFrames, 0);
}

TEST(CreatureBounds, NoRectangleForAPointAtOrBehindTheEye) {
  Ribbon::FitModel(SurfaceTable);
  const CreatureBounds bounds(SurfaceTable);
  Ribbon spine;
  spine.Reset({0, 0, 0}, {0, 0, 1}, {1, 0, 0});
  EXPECT_TRUE(bounds.Project(spine, {}, SaverCamera(), Width, Height).has_value());
  EXPECT_FALSE(bounds.Project(spine, {{0.1, 0, 4.0}}, SaverCamera(), Width, Height));  // a wing at the eye
  spine.Reset({0, 0, 4.5}, {0, 1, 0}, {0, 0, 1});  // flown past the camera
  EXPECT_FALSE(bounds.Project(spine, {}, SaverCamera(), Width, Height));
}

}  // namespace
