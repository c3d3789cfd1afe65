#pragma once
#include <string>

#include "render/CreatureBounds.h"
#include "render/FrameDamage.h"
#include "render/FrameTime.h"

// Draws frames into a back buffer that keeps its contents between frames (or holds a frame of
// known age, whose later changes are drawn again), clearing and drawing
// only the part that changed (FrameDamage), with the scissor test on that part. The caller then
// draws the frame-rate text (it lies inside the part) and presents the part.
class DamageDrawing {
 public:
  // After scene initialisation, with the context current.
  DamageDrawing();

  // Advances the frame, clears the frame's dirty rectangle of a `width` x `height` drawable and
  // draws the creature and the banner inside it. The picture fills `area`, the viewport (the
  // whole drawable, or one monitor's part of it); nothing is drawn outside it. `overlay` is
  // the frame-rate text's rectangle, empty when it is not shown. The scissor test stays on until
  // EndFrame. `bufferAge`: how many frames old the back buffer is (FrameDamage::Input).
  FrameDamage::Frame BeginFrame(const FrameTime& frame, int width, int height,
                                const ScreenRect& area, const ScreenRect& overlay, bool exposed,
                                int bufferAge = 1);
  void EndFrame();

  const FrameDamage& Damage() const { return damage; }
  // Frames whose creature reached past an edge of the picture.
  std::uint64_t ClippedFrames() const { return clippedFrames; }
  // Frames in which nothing changed (the creature out of view), so nothing was drawn.
  std::uint64_t UnchangedFrames() const { return unchangedFrames; }
  // "damage: N frames, W whole, ..." for people and the tests that read it.
  std::string Summary() const;

 private:
  CreatureBounds bounds;
  FrameDamage damage;
  std::uint64_t clippedFrames = 0;
  std::uint64_t unchangedFrames = 0;
};
