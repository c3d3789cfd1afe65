#pragma once
// One frame of the saver, drawn and shown: the one call the render thread, the snapshot tool and
// the benchmarks make. The frame steps the flight, decides what changed, draws the creature, its
// wings, the banner and the frame-rate text, and has the surface show the frame whole or the
// part that changed. A window that spans several monitors gets the picture on one of them, the
// clear colour on the others.
#include <optional>

#include "platform/GlSurface.h"
#include "platform/Monitors.h"
#include "render/DamageDrawing.h"
#include "render/FpsCounter.h"
#include "render/FrameTime.h"

// Everything a frame knows of its window, taken in once at its start.
struct SurfaceFrame {
  bool lost = false;  // the window is gone: nothing may be drawn on it
  // The drawable's size in pixels, which the viewport follows; 0 x 0 keeps the last size.
  int width = 0;
  int height = 0;
  // The screen's size, which sizes the frame-rate text (a tenth of it each way).
  int screenWidth = 0;
  int screenHeight = 0;
  // Partial frames only: the window lost part of its picture since the last frame.
  bool exposed = false;
  // Partial frames only: how many frames old the back buffer is (FrameDamage::Input).
  int bufferAge = 1;
};

// Where a frame is shown.
class FrameSurface {
 public:
  virtual ~FrameSurface() = default;

  // The frame's first call and its only source of the window's state. It takes in the window
  // system's news in the one order that is right: the window's end first (a driver must not
  // draw on a drawable that is gone), then its size, then, for a partial frame, exposure and the
  // size the driver last learnt. `screen` asks for the screen's size too.
  virtual SurfaceFrame Begin(bool partial, bool screen) = 0;
  // Right after Begin: the monitor whose rectangle of a `width` x `height` drawable the picture
  // fills (platform/Monitors.h); nullopt, the whole drawable.
  virtual std::optional<platform::MonitorRect> PictureMonitor(int width, int height) = 0;
  // Whether a rectangle of the back buffer can be shown while the buffer keeps its contents.
  // Asked once, with the context current, before the first Begin.
  virtual bool CanPresentPartially() = 0;
  virtual void PresentWhole() = 0;
  // Shows the rectangle without waiting for the display; an empty one shows nothing but is a
  // frame shown all the same.
  virtual void PresentRect(const ScreenRect& rect) = 0;
  // The device context the frame-rate text is drawn on.
  virtual platform::DeviceContext Context() const = 0;
};

// The saver window's surface (platform/GlSurface.h, PartialPresent.h) on its device context.
class DeviceSurface final : public FrameSurface {
 public:
  // With `followWindow` the drawable takes the window's size every frame (the modes whose
  // window may be resized); otherwise it keeps the size the context started with.
  DeviceSurface(platform::DeviceContext dc, bool followWindow) : dc(dc), follow(followWindow) {}

  SurfaceFrame Begin(bool partial, bool screen) override;
  std::optional<platform::MonitorRect> PictureMonitor(int width, int height) override {
    return platform::PictureMonitor(dc, width, height);
  }
  bool CanPresentPartially() override;
  void PresentWhole() override;
  void PresentRect(const ScreenRect& rect) override;
  platform::DeviceContext Context() const override { return dc; }

 private:
  platform::DeviceContext dc;
  bool follow;
};

// How frames are shown. Automatic: in part where the renderer draws with the processor (there
// clearing and showing the whole window costs far more than the creature) and the surface can;
// whole elsewhere.
enum class Presentation { Automatic, Whole, Partial };

// The part of a `width` x `height` drawable the picture fills, in GL's window coordinates: the
// monitor's rectangle (given from the top left corner), or the whole drawable.
ScreenRect PictureArea(const std::optional<platform::MonitorRect>& monitor, int width, int height);

class FrameRenderer {
 public:
  // After scene initialisation, with the context current. `counter` measures and draws the
  // frame-rate text; nullptr shows none. Partial asks for partial frames wherever the surface
  // can show them.
  FrameRenderer(FrameSurface& surface, FpsCounter* counter, Presentation presentation);

  // Draws and shows the frame at `frame`'s time. False when the window is gone: nothing was
  // drawn or shown, and the flight did not move.
  bool Render(const FrameTime& frame);

  bool Partial() const { return damage.has_value(); }
  // What partial frames did so far; nullptr when frames are whole.
  const DamageDrawing* Damage() const { return damage ? &*damage : nullptr; }

 private:
  FrameSurface& surface;
  FpsCounter* counter;
  std::optional<DamageDrawing> damage;
  // The drawable's size, and the viewport: the picture's area, set whenever it changes.
  int width = 0;
  int height = 0;
  ScreenRect viewport;
};
