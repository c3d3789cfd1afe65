#pragma once
// The GL surface, the frame-rate text and the window notification of one window system. A Linux
// build carries several in one program and picks one at run time (WindowSystem.h): the functions
// of platform/GlSurface.h, OverlayText.h, Notify.h and PartialPresent.h forward to the one in use.
#include <cstdint>

#include "platform/GlSurface.h"
#include "platform/PartialPresent.h"
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
  // Frames shown in part (PartialPresent.h); the last two are called only where the first said yes.
  bool (*partialPresentAvailable)(DeviceContext dc);
  PartialPresentState (*takePartialPresentState)(DeviceContext dc);
  void (*presentRect)(DeviceContext dc, int x, int y, int width, int height);
  std::optional<MonitorRect> (*pictureMonitor)(DeviceContext dc, int width, int height);
};

// Chooses the window system the saver draws on; called before its window exists. Until then the
// first of the build's table that knows windows by id is in use (the tests' windows).
void UseSurfaceBackend(const SurfaceBackend& backend);

}  // namespace platform
