#pragma once
#include <cstdint>
#include <optional>

// A rectangle of window pixels in OpenGL's window coordinates: x to the right, y up from the
// bottom row, right and top exclusive. Empty when it has no pixel.
struct ScreenRect {
  int left = 0;
  int bottom = 0;
  int right = 0;
  int top = 0;

  bool Empty() const { return right <= left || top <= bottom; }
  int Width() const { return Empty() ? 0 : right - left; }
  int Height() const { return Empty() ? 0 : top - bottom; }
  bool operator==(const ScreenRect&) const = default;
};

// The smallest rectangle holding both; an empty one adds nothing.
ScreenRect Union(const ScreenRect& a, const ScreenRect& b);
// The part of `a` inside `b`; empty when they do not meet.
ScreenRect Intersect(const ScreenRect& a, const ScreenRect& b);

// The frame-rate text's rectangle (right x bottom pixels from the top left corner) in window
// coordinates of a window `height` pixels high.
ScreenRect TopLeftRect(int right, int bottom, int height);
// The same from the top left corner of `area`, a part of the window.
ScreenRect TopLeftRect(int right, int bottom, const ScreenRect& area);

// True for renderers that draw with the processor (Mesa's llvmpipe, softpipe and the classic
// software rasterizer): there every cleared and presented pixel costs processor time.
bool IsSoftwareRenderer(const char* rendererName);

// Decides, frame by frame, which part of the window a frame must clear, draw and present so that
// the window shows exactly what whole frames show. The back buffer keeps what earlier frames
// drew outside that part: the clear colour and the banner, which never change, everywhere the
// creature was not. So a frame must redraw where the creature is now and where it was in the
// frame before (to erase it), and the frame-rate text where it is or was shown.
class FrameDamage {
 public:
  // A whole frame at least this often, so that a picture spoiled by anything unseen is mended.
  static constexpr std::uint32_t WholeFrameEveryMs = 1000;

  struct Input {
    int width = 0;   // the drawable's size in pixels
    int height = 0;
    // Where the creature is this frame; nullopt when it cannot be bounded (a point behind the
    // eye), which makes the frame whole.
    std::optional<ScreenRect> creature;
    ScreenRect overlay;    // the frame-rate text's rectangle; empty when it is not shown
    bool exposed = false;  // the window lost part of what it showed
    std::uint32_t tickMs = 0;
    // How many frames old the back buffer's picture is: 1 where it keeps the last frame (a
    // copy to the window), more where the driver cycles through buffers, 0 when unknown.
    int bufferAge = 1;
  };
  struct Frame {
    ScreenRect dirty;    // what to clear, draw and present
    bool whole = false;  // dirty is the whole window
  };

  Frame Next(const Input& input);

  // The share of the window's pixels the frames so far redrew, on average (0 before any frame),
  // and how many frames were whole.
  double AverageCoverage() const { return frames == 0 ? 0.0 : coverageSum / frames; }
  std::uint64_t Frames() const { return frames; }
  std::uint64_t WholeFrames() const { return wholeFrames; }

 private:
  bool started = false;
  int width = 0;
  int height = 0;
  ScreenRect previousCreature;
  ScreenRect previousOverlay;
  // What each of the last buffers shown changed, the latest first: a buffer of age n lacks the
  // changes of the n - 1 frames shown since it was drawn. A frame that shows nothing is not a
  // buffer shown, so it leaves this alone.
  static constexpr int KeptChanges = 4;
  ScreenRect changes[KeptChanges];
  int keptChanges = 0;
  std::uint32_t lastWholeTick = 0;
  double coverageSum = 0;
  std::uint64_t frames = 0;
  std::uint64_t wholeFrames = 0;
};
