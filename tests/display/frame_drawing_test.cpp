// Whole frames drawn by the saver's own frame drawing on a test window at the fixed camera.
#include "render/FrameDrawing.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "creature/Ribbon.h"
#include "render/Banner.h"
#include "render/Scene.h"
#include "render/VideoInit.h"
#include "support/GlTestContext.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

// Every allocation of this executable goes through here, so a frame that allocates is seen.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

void ExpectNear(const Vector3& a, const Vector3& b, double tolerance = 1e-12) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

void ExpectStaticsUnmirrored() {
  const FrameWings& w = FrameDrawingWings();
  EXPECT_EQ(w.wingAnchor.x, 0.6);
  EXPECT_EQ(w.wingAnchor.y, 0.05);
  EXPECT_EQ(w.wingAnchor.z, 0.03);
  EXPECT_EQ(w.alongBody.x, 1.0);
  EXPECT_EQ(w.acrossBody.y, 1.0);
  EXPECT_EQ(w.acrossBody.x + w.acrossBody.z + w.alongBody.y + w.alongBody.z, 0.0);
}

class FrameDrawing : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    gl = new GlTestContext(320, 240);
    ASSERT_TRUE(gl->Ok());
    ASSERT_EQ(CreateBannerTexture(), 0);
    ASSERT_EQ(InitScene(), 0);
  }
  static void TearDownTestSuite() { delete gl; }
  static GlTestContext* gl;
};
GlTestContext* FrameDrawing::gl = nullptr;

// Runs first: the ribbon is still the straight one the autopilot starts with, and no time passes.
TEST_F(FrameDrawing, WingRootsOnAStraightBodyMirrorAcrossIt) {
  FrameTime still;
  DrawFrame(still);
  const FrameWings& w = FrameDrawingWings();
  const RibbonNode& node = ribbon.Node(8);  // model x 0.6
  const Vector3 centre = (w.first.Root() + w.second.Root()) * 0.5;
  const Vector3 offset = (w.first.Root() - w.second.Root()) * 0.5;
  ExpectNear(centre, node.position + node.up * 0.03);
  ExpectNear(offset, node.side * 0.05);
  ExpectNear(w.first.Axis(), node.forward);
  ExpectNear(w.second.Axis(), node.forward);
  ExpectNear(w.second.Lateral(), w.first.Lateral() * -1.0);
  ExpectNear(w.second.Normal(), w.first.Normal() * -1.0);
  ExpectStaticsUnmirrored();
}

TEST_F(FrameDrawing, StaticsStayUnmirroredAndFramesAllocateNothing) {
  FrameTime frame;
  for (int i = 0; i < 300; ++i) {  // let the driver build whatever it builds on first use
    frame.Advance(frame.tick + 16);
    DrawFrame(frame);
    DrawBanner();
  }
  allocations = 0;
  counting = true;
  for (int i = 0; i < 1000; ++i) {
    frame.Advance(frame.tick + (i % 7) * 9);
    DrawFrame(frame);
    DrawBanner();
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
  ExpectStaticsUnmirrored();
  // The wings' clocks moved with the frames; both wings were drawn every frame.
  EXPECT_GE(FrameDrawingWings().first.ClockMs(), 300 * 16);
  EXPECT_GE(FrameDrawingWings().second.ClockMs(), 300 * 16);
  GLint program = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  EXPECT_EQ(program, 0);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace

// Partial frames bound the creature with the camera computed once; it must be GL's own, to the
// bit, or a bound could miss a pixel the frame draws.
TEST_F(FrameDrawing, ComputedCameraIsTheOneGlHolds) {
  SetFixedCamera();
  CameraMatrix projection{}, modelView{};
  glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
  const CameraMatrix held = Multiply(projection, modelView);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(FixedCameraTransform()[i], held[i]) << "entry " << i;
}
