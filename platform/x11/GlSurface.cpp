#include "platform/GlSurface.h"

#include <X11/extensions/Xrandr.h>

#include <csignal>

#include "platform/GlSurfaceFaults.h"
#include "platform/x11/GlxBinding.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Surface.h"

namespace platform::x11backend {
namespace {

XVisualInfo* VisualOfWindow(Display* display, const XWindowAttributes& attributes) {
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  wanted.screen = XScreenNumberOfScreen(attributes.screen);
  int count = 0;
  return XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
}

// GL needs a visual the window may not have (XScreenSaver or a preview host picked it): then
// draw into a child window of the right visual laid over the whole of it. Input still reaches
// the window, since the child selects no events and they propagate to its parent.
bool CreateChildDrawable(x11::X11Surface& s, XVisualInfo* visual) {
  x11::ErrorTrap trap(s.display);
  s.colormap = XCreateColormap(s.display, s.window, visual->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = s.colormap;
  attributes.border_pixel = 0;
  attributes.background_pixel = 0;
  // Over a root window that cannot hold GL itself, the child is a top-level window: kept from
  // the window manager and under every other window, where the root's picture would be.
  const bool onRoot = s.window == RootWindow(s.display, s.screen);
  attributes.override_redirect = onRoot;
  const unsigned width = s.drawableWidth > 0 ? s.drawableWidth : 1;
  const unsigned height = s.drawableHeight > 0 ? s.drawableHeight : 1;
  s.drawable = XCreateWindow(s.display, s.window, 0, 0, width, height, 0, visual->depth,
                             InputOutput, visual->visual,
                             CWColormap | CWBorderPixel | CWBackPixel | CWOverrideRedirect,
                             &attributes);
  XMapWindow(s.display, s.drawable);
  if (onRoot) XLowerWindow(s.display, s.drawable);
  if (trap.End() != Success) {
    if (s.drawable != 0) XDestroyWindow(s.display, s.drawable);
    if (s.colormap != 0) XFreeColormap(s.display, s.colormap);
    s.drawable = 0;
    s.colormap = 0;
    return false;
  }
  s.ownsDrawable = true;
  x11::WatchSurface(s.display, s.window, s.drawable, &s.lost);
  return true;
}

// Takes in what the server said about the window since the last call, without waiting: its
// destruction and its size. The connection selects only StructureNotifyMask on the window, so
// the queue stays short.
void PollEvents(x11::X11Surface& s) {
  while (XPending(s.display) > 0) {
    XEvent event;
    XNextEvent(s.display, &event);
    if (event.type == DestroyNotify &&
        (event.xdestroywindow.window == s.window || event.xdestroywindow.window == s.drawable)) {
      s.lost.store(true);
    } else if (event.type == ConfigureNotify && event.xconfigure.window == s.window) {
      s.windowWidth = event.xconfigure.width;
      s.windowHeight = event.xconfigure.height;
      s.monitorsStale = true;  // the window may have moved over the monitors
    } else if (event.type == Expose) {
      s.exposed = true;
    } else if (s.randrEventBase >= 0 && (event.type == s.randrEventBase + RRScreenChangeNotify ||
                                         event.type == s.randrEventBase + RRNotify)) {
      // Keeps Xlib's idea of the screen's size (DisplayWidth) current too.
      XRRUpdateConfiguration(&event);
      s.monitorsStale = true;
    }
  }
}

}  // namespace

DeviceContext AcquireDeviceContext(WindowHandle window) {
  if (window == 0) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  XWindowAttributes attributes{};
  bool reachable = false;
  {
    // The size events are asked for before the size is read, so a change in between still
    // arrives as an event. The window's own events stay with its owner; this connection only
    // learns of its end and its size.
    x11::ErrorTrap trap(display);
    XSelectInput(display, window, StructureNotifyMask);
    reachable = XGetWindowAttributes(display, window, &attributes) != 0;
    reachable = trap.End() == Success && reachable;
  }
  if (!reachable) {
    XCloseDisplay(display);
    return nullptr;
  }
  auto* s = new x11::X11Surface;
  s->display = display;
  s->screen = XScreenNumberOfScreen(attributes.screen);
  s->window = window;
  s->drawable = window;
  s->windowWidth = s->drawableWidth = attributes.width;
  s->windowHeight = s->drawableHeight = attributes.height;
  x11::WatchSurface(display, s->window, s->drawable, &s->lost);
  return s;
}

GlContext CreateGlContext(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || faults::ContextCreationFails()) return nullptr;
  XWindowAttributes attributes{};
  XVisualInfo* visual = nullptr;
  {
    x11::ErrorTrap trap(s->display);
    if (XGetWindowAttributes(s->display, s->window, &attributes) != 0)
      visual = VisualOfWindow(s->display, attributes);
    trap.End();
  }
  // A child of the root window would be a top-level window of its own, over the desktop's
  // windows: the root is drawn on directly, stencil and all, wherever its visual allows.
  const bool onRoot = attributes.root == s->window;
  if (visual != nullptr && !x11::IsGlVisualUsable(s->display, visual, onRoot)) {
    XFree(visual);
    visual = x11::ChooseGlVisual(s->display, s->screen);
    if (visual != nullptr && !CreateChildDrawable(*s, visual)) {
      XFree(visual);
      visual = nullptr;
    }
  }
  if (visual == nullptr) return nullptr;
  GlContext context = nullptr;
  {
    x11::ErrorTrap trap(s->display);
    context = glx::CreateContext(s->display, visual);
    if (trap.End() != Success && context != nullptr) {
      glx::DestroyContext(s->display, context);
      context = nullptr;
    }
  }
  XFree(visual);
  return context;
}

void MakeCurrent(DeviceContext dc, GlContext context) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return;
  x11::ErrorTrap trap(s->display);
  glx::MakeCurrent(s->display, s->drawable, context);
  // The software driver sizes its buffers here and next at a swap: partial presentation must
  // know this size, so that a change before the first frame still gets its swap.
  s->partialWidth = s->ownsDrawable ? s->drawableWidth : s->windowWidth;
  s->partialHeight = s->ownsDrawable ? s->drawableHeight : s->windowHeight;
}

void SwapBuffers(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || s->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  glx::SwapBuffers(s->display, s->drawable);
  faults::CountSwap();
}

bool SwapControlAvailable(DeviceContext dc) {
  return dc != nullptr && !faults::SwapControlHidden() && glx::SwapControlAvailable();
}

void SetSwapInterval(DeviceContext dc, int interval) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return;
  // A value the driver refuses (a negative one) is its answer to give; it ends nothing here.
  x11::ErrorTrap trap(s->display);
  if (glx::SetSwapInterval(s->display, s->drawable, interval)) faults::RecordSwapInterval(interval);
}

void DeleteGlContext(DeviceContext dc, GlContext context) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || context == nullptr) return;
  x11::ErrorTrap trap(s->display);
  glx::DestroyContext(s->display, context);
}

void ReleaseDeviceContext(WindowHandle, DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return;
  x11::UnwatchSurface(s->display);
  {
    x11::ErrorTrap trap(s->display);
    if (s->ownsDrawable) XDestroyWindow(s->display, s->drawable);
    if (s->colormap != 0) XFreeColormap(s->display, s->colormap);
  }
  XCloseDisplay(s->display);
  delete s;
}

ScreenSize GetScreenSize(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return {};
  return {DisplayWidth(s->display, s->screen), DisplayHeight(s->display, s->screen)};
}

ScreenSize FitDrawableToWindow(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return {};
  PollEvents(*s);
  if (s->lost.load()) return {};
  if (s->ownsDrawable &&
      (s->windowWidth != s->drawableWidth || s->windowHeight != s->drawableHeight)) {
    x11::ErrorTrap trap(s->display);
    XResizeWindow(s->display, s->drawable, s->windowWidth, s->windowHeight);
  }
  s->drawableWidth = s->windowWidth;
  s->drawableHeight = s->windowHeight;
  return {s->drawableWidth, s->drawableHeight};
}

bool SurfaceLost(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr) return true;
  // A round trip first, so that a window destroyed by now is known before the frame starts:
  // Mesa's software driver sizes its buffers from a geometry query that, for a vanished window,
  // returns garbage, and drawing into those buffers crashes it.
  XSync(s->display, False);
  PollEvents(*s);
  return s->lost.load();
}

}  // namespace platform::x11backend
