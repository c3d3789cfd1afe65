#include "render/DamageDrawing.h"

#include <GL/glew.h>

#include <cstdio>

#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "creature/WingRecording.h"
#include "render/Banner.h"
#include "render/FrameDrawing.h"
#include "render/VideoInit.h"

DamageDrawing::DamageDrawing() : bounds(SurfaceTable) {}

FrameDamage::Frame DamageDrawing::BeginFrame(const FrameTime& frame, int width, int height,
                                             const ScreenRect& area, const ScreenRect& overlay,
                                             bool exposed, int bufferAge) {
  // Where the creature goes must be known before anything is cleared.
  AdvanceFrame(frame);
  std::optional<ScreenRect> creature = bounds.Project(
      ribbon, FrameWingGeometry().Vertices(), FixedCameraTransform(), area.Width(), area.Height());
  if (creature) {
    creature->left += area.left;
    creature->right += area.left;
    creature->bottom += area.bottom;
    creature->top += area.bottom;
    if (!(Intersect(*creature, area) == *creature)) ++clippedFrames;
    // Outside the picture's area it is never drawn.
    creature = Intersect(*creature, area);
  }

  FrameDamage::Input input;
  input.width = width;
  input.height = height;
  input.creature = creature;
  input.overlay = overlay;
  input.exposed = exposed;
  input.bufferAge = bufferAge;
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
  // The other monitors keep the clear colour, as whole frames leave them.
  const ScreenRect drawn = Intersect(next.dirty, area);
  if (!(drawn == next.dirty)) glScissor(drawn.left, drawn.bottom, drawn.Width(), drawn.Height());
  DrawAdvancedFrame();
  DrawBanner();
  return next;
}

void DamageDrawing::EndFrame() { glDisable(GL_SCISSOR_TEST); }

std::string DamageDrawing::Summary() const {
  char text[256];
  std::snprintf(text, sizeof text,
                "damage: %llu frames, %llu whole, %llu reaching past an edge, "
                "%llu with nothing to redraw, %.2f %% of the window redrawn on average",
                static_cast<unsigned long long>(damage.Frames()),
                static_cast<unsigned long long>(damage.WholeFrames()),
                static_cast<unsigned long long>(clippedFrames),
                static_cast<unsigned long long>(unchangedFrames), 100.0 * damage.AverageCoverage());
  return text;
}
