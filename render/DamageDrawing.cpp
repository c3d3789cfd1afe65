#include "render/DamageDrawing.h"

#include <GL/glew.h>

#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "creature/WingRecording.h"
#include "render/Banner.h"
#include "render/FrameDrawing.h"

namespace {

CreatureBounds::Matrix4 ModelViewProjection() {
  CreatureBounds::Matrix4 projection{}, modelView{};
  glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
  return Multiply(projection, modelView);
}

}  // namespace

DamageDrawing::DamageDrawing() : bounds(SurfaceTable) {}

FrameDamage::Frame DamageDrawing::BeginFrame(const FrameTime& frame, int width, int height,
                                             const ScreenRect& overlay, bool exposed) {
  // Where the creature goes must be known before anything is cleared.
  AdvanceFrame(frame);
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const std::optional<ScreenRect> creature =
      bounds.Project(ribbon, FrameWingGeometry().Vertices(), ModelViewProjection(), viewport[2],
                     viewport[3]);
  if (creature && !(Intersect(*creature, {0, 0, width, height}) == *creature)) ++clippedFrames;

  FrameDamage::Input input;
  input.width = width;
  input.height = height;
  input.creature = creature;
  input.overlay = overlay;
  input.exposed = exposed;
  input.tickMs = frame.tick;
  const FrameDamage::Frame next = damage.Next(input);
  // Out of view and nothing else to change: the window already shows this frame, and a draw
  // clipped to nothing would still cost the driver every vertex.
  if (next.dirty.Empty()) {
    ++unchangedFrames;
    return next;
  }

  glEnable(GL_SCISSOR_TEST);
  glScissor(next.dirty.left, next.dirty.bottom, next.dirty.Width(), next.dirty.Height());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawAdvancedFrame();
  DrawBanner();
  return next;
}

void DamageDrawing::EndFrame() { glDisable(GL_SCISSOR_TEST); }
