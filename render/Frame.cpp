#include "render/Frame.h"

#include <GL/glew.h>

#include "platform/PartialPresent.h"
#include "render/Banner.h"
#include "render/FrameDrawing.h"

SurfaceFrame DeviceSurface::Begin(bool partial, bool screen) {
  SurfaceFrame frame;
  // Reads the server's news with a round trip: a window destroyed while the last frame was
  // drawn is known here, and the size and exposure read below come from the same events.
  if (platform::SurfaceLost(dc)) {
    frame.lost = true;
    return frame;
  }
  if (follow) {
    const platform::ScreenSize size = platform::FitDrawableToWindow(dc);
    frame.width = size.width;
    frame.height = size.height;
  }
  // Also swaps once where the driver has yet to learn a new size: a partial frame drawn into a
  // back buffer of the old size would show garbage.
  if (partial) {
    const platform::PartialPresentState state = platform::TakePartialPresentState(dc);
    frame.exposed = state.exposed;
    frame.bufferAge = state.bufferAge;
  }
  if (screen) {
    const platform::ScreenSize size = platform::GetScreenSize(dc);
    frame.screenWidth = size.width;
    frame.screenHeight = size.height;
  }
  return frame;
}

bool DeviceSurface::CanPresentPartially() { return platform::PartialPresentAvailable(dc); }

void DeviceSurface::PresentWhole() { platform::SwapBuffers(dc); }

void DeviceSurface::PresentRect(const ScreenRect& rect) {
  platform::PresentRect(dc, rect.left, rect.bottom, rect.Width(), rect.Height());
}

ScreenRect PictureArea(const std::optional<platform::MonitorRect>& monitor, int width,
                       int height) {
  if (!monitor) return {0, 0, width, height};
  return {monitor->x, height - monitor->y - monitor->height, monitor->x + monitor->width,
          height - monitor->y};
}

FrameRenderer::FrameRenderer(FrameSurface& surface_, FpsCounter* counter_,
                             Presentation presentation)
    : surface(surface_), counter(counter_) {
  const bool partial =
      presentation == Presentation::Partial ||
      (presentation == Presentation::Automatic && IsSoftwareRenderer(platform::RendererName()));
  if (partial && surface.CanPresentPartially()) damage.emplace();
  // The size the context started with, read once; the surface reports every change after.
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
  this->viewport = {viewport[0], viewport[1], viewport[0] + viewport[2], viewport[1] + viewport[3]};
}

bool FrameRenderer::Render(const FrameTime& frame) {
  const SurfaceFrame window = surface.Begin(damage.has_value(), counter != nullptr);
  if (window.lost) return false;
  if (window.width > 0 && window.height > 0) {
    width = window.width;
    height = window.height;
  }
  // The picture keeps its own proportions on one monitor; the viewport maps it there.
  const ScreenRect area = PictureArea(surface.PictureMonitor(width, height), width, height);
  const bool whole = area == ScreenRect{0, 0, width, height};
  const bool moved = !(area == viewport);
  if (moved) {
    glViewport(area.left, area.bottom, area.Width(), area.Height());
    viewport = area;
  }
  // A tenth of the screen, or of the monitor the picture is on.
  OverlayRect text;
  if (counter)
    text = whole ? FpsOverlayRect(window.screenWidth, window.screenHeight)
                 : FpsOverlayRect(area.Width(), area.Height());
  if (damage) {
    // Drawn and shown only where the frame changed; the frame-rate text lies inside that part.
    // A picture that moved to another monitor leaves its old place: the frame is whole.
    const ScreenRect overlay = counter ? TopLeftRect(text.right, text.bottom, area) : ScreenRect{};
    const FrameDamage::Frame next =
        damage->BeginFrame(frame, width, height, area, overlay, window.exposed || moved,
                           window.bufferAge);
    if (counter) counter->UpdateAndDraw(surface.Context(), frame.tick, text);
    damage->EndFrame();
    surface.PresentRect(next.dirty);
  } else if (whole) {
    DrawFrame(frame);
    DrawBanner();
    if (counter) counter->UpdateAndDraw(surface.Context(), frame.tick, text);
    surface.PresentWhole();
  } else {
    // The other monitors show the clear colour; nothing drawn may reach them (a line's end
    // pixel may lie just past the viewport).
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(area.left, area.bottom, area.Width(), area.Height());
    AdvanceFrame(frame);
    DrawAdvancedFrame();
    DrawBanner();
    if (counter) counter->UpdateAndDraw(surface.Context(), frame.tick, text);
    glDisable(GL_SCISSOR_TEST);
    surface.PresentWhole();
  }
  return true;
}
