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
  if (partial) frame.exposed = platform::TakePartialPresentState(dc).exposed;
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
}

bool FrameRenderer::Render(const FrameTime& frame) {
  const SurfaceFrame window = surface.Begin(damage.has_value(), counter != nullptr);
  if (window.lost) return false;
  if (window.width > 0 && window.height > 0 &&
      (window.width != width || window.height != height)) {
    glViewport(0, 0, window.width, window.height);
    width = window.width;
    height = window.height;
  }
  const OverlayRect text =
      counter ? FpsOverlayRect(window.screenWidth, window.screenHeight) : OverlayRect{};
  if (damage) {
    // Drawn and shown only where the frame changed; the frame-rate text lies inside that part.
    const ScreenRect overlay =
        counter ? TopLeftRect(text.right, text.bottom, height) : ScreenRect{};
    const FrameDamage::Frame next =
        damage->BeginFrame(frame, width, height, overlay, window.exposed);
    if (counter) counter->UpdateAndDraw(surface.Context(), frame.tick, text);
    damage->EndFrame();
    surface.PresentRect(next.dirty);
  } else {
    DrawFrame(frame);
    DrawBanner();
    if (counter) counter->UpdateAndDraw(surface.Context(), frame.tick, text);
    surface.PresentWhole();
  }
  return true;
}
