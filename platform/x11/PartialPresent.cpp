#include "platform/PartialPresent.h"

#include <GL/glew.h>

#include <csignal>

#include "platform/GlSurfaceFaults.h"
#include "platform/x11/GlxBinding.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Surface.h"

namespace platform::x11backend {

PartialPresentState TakePartialPresentState(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return {};
  // The events were read by the frame's check for a lost window, just before.
  PartialPresentState state;
  state.width = s->ownsDrawable ? s->drawableWidth : s->windowWidth;
  state.height = s->ownsDrawable ? s->drawableHeight : s->windowHeight;
  state.exposed = s->exposed;
  s->exposed = false;
  if (s->partialWidth != 0 && (state.width != s->partialWidth || state.height != s->partialHeight) &&
      !s->lost.load()) {
    // The software driver learns a drawable's new size only at a swap: without one, the frame
    // would be drawn into a back buffer of the old size. The back buffer holds the picture the
    // window already shows, so the swap shows nothing new.
    x11::ErrorTrap trap(s->display);
    glx::SwapBuffers(s->display, s->drawable);
  }
  s->partialWidth = state.width;
  s->partialHeight = state.height;
  return state;
}

void PresentRect(DeviceContext dc, int x, int y, int width, int height) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || s->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  // A frame in which nothing changed is shown by copying nothing; it is a frame all the same.
  if (width > 0 && height > 0) {
    glx::CopySubBuffer(s->display, s->drawable, x, y, width, height);
    faults::CountPartialPresent(width, height);
  }
  faults::CountSwap();
}

bool PartialPresentAvailable(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || !glx::CopySubBufferAvailable()) return false;
  // What the window lost must be drawn again whole: this connection hears of it on the drawable
  // it draws on, adding to whatever it already listens for there.
  x11::ErrorTrap trap(s->display);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(s->display, s->drawable, &attributes) == 0) return false;
  XSelectInput(s->display, s->drawable, attributes.your_event_mask | ExposureMask);
  return trap.End() == Success;
}

}  // namespace platform::x11backend
