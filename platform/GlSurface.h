#pragma once
// The saver window as an OpenGL drawing surface. The render thread calls these in the order of
// video initialisation; the window thread releases the two handles when the saver closes.
#include "platform/Types.h"

namespace platform {

// The window's device context (GetDC). On X11 this opens the render thread's own X connection.
// Returns nullptr when the window cannot be reached.
DeviceContext AcquireDeviceContext(WindowHandle window);

// Chooses the pixel format (RGBA, double-buffered, 24 colour bits, at least 8 depth bits) and
// creates a rendering context for it; nullptr when either fails.
GlContext CreateGlContext(DeviceContext dc);

void MakeCurrent(DeviceContext dc, GlContext context);
void SwapBuffers(DeviceContext dc);

// The platform binding's swap-control extension, as GLEW reports it after glewInit.
bool SwapControlAvailable(DeviceContext dc);
void SetSwapInterval(DeviceContext dc, int interval);

// Releases, called by the window thread after the render thread has stopped.
void DeleteGlContext(DeviceContext dc, GlContext context);
void ReleaseDeviceContext(WindowHandle window, DeviceContext dc);

// Size in pixels of the screen the device context draws on (HORZRES, VERTRES).
struct ScreenSize {
  int width = 0;
  int height = 0;
};
ScreenSize GetScreenSize(DeviceContext dc);

// Gives the drawable the window's current size (for the modes whose window may resize: a child
// drawable is resized, an EGL window told) and returns that size in pixels; {} once the window
// is gone. Takes in the window system's news first, as SurfaceLost does.
ScreenSize FitDrawableToWindow(DeviceContext dc);

// The refresh rate in hertz of the display the surface is shown on; 0 when the display reports
// none. The frame loop paces itself by it where the swap does not wait for the display.
double RefreshRate(DeviceContext dc);

// True once the window has gone away under the saver (a preview's host closed, say). The frame
// loop then draws nothing more: a driver may not cope with a drawable that no longer exists.
bool SurfaceLost(DeviceContext dc);

}  // namespace platform
