#pragma once
// The GL surface, the frame-rate text and the window notification of one window system. A Unix
// build carries several (X11, Wayland) in one program and picks one at run time: the functions of
// platform/GlSurface.h, OverlayText.h and Notify.h forward to the one in use.
#include <cstdint>

#include "platform/GlSurface.h"
#include "platform/Monitors.h"

namespace platform {

struct SurfaceBackend {
  DeviceContext (*acquireDeviceContext)(WindowHandle window);
  GlContext (*createGlContext)(DeviceContext dc);
  void (*makeCurrent)(DeviceContext dc, GlContext context);
  void (*swapBuffers)(DeviceContext dc);
  bool (*swapControlAvailable)(DeviceContext dc);
  void (*setSwapInterval)(DeviceContext dc, int interval);
  void (*deleteGlContext)(DeviceContext dc, GlContext context);
  void (*releaseDeviceContext)(WindowHandle window, DeviceContext dc);
  ScreenSize (*getScreenSize)(DeviceContext dc);
  ScreenSize (*fitDrawableToWindow)(DeviceContext dc);
  double (*refreshRate)(DeviceContext dc);
  bool (*surfaceLost)(DeviceContext dc);
  void (*drawOverlayText)(DeviceContext dc, int right, int bottom, const char* text);
  void (*notifyWindow)(WindowHandle window, unsigned message, std::uintptr_t wordParam);
  // Lets go of the calling thread's current context of this binding, if any.
  void (*releaseCurrent)();
  // Whether frames may be shown in part (PartialPresent.h); the other partial-presentation
  // functions are the X11 backend's own, called only where this said yes.
  bool (*partialPresentAvailable)(DeviceContext dc);
  std::optional<MonitorRect> (*pictureMonitor)(DeviceContext dc, int width, int height);
};

// X11's, the one in use until another is chosen.
const SurfaceBackend& X11SurfaceBackend();

// Chooses the window system the saver draws on; called before its window exists.
void UseSurfaceBackend(const SurfaceBackend& backend);

}  // namespace platform
