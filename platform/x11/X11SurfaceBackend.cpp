// The X11 window system's surface functions as a backend: GlSurface.cpp, RefreshRate.cpp,
// OverlayText.cpp and Notify.cpp define them in platform::x11backend.
#include "platform/posix/SurfaceBackend.h"
#include "platform/x11/GlxBinding.h"

namespace platform::x11backend {

DeviceContext AcquireDeviceContext(WindowHandle window);
GlContext CreateGlContext(DeviceContext dc);
void MakeCurrent(DeviceContext dc, GlContext context);
void SwapBuffers(DeviceContext dc);
bool SwapControlAvailable(DeviceContext dc);
void SetSwapInterval(DeviceContext dc, int interval);
void DeleteGlContext(DeviceContext dc, GlContext context);
void ReleaseDeviceContext(WindowHandle window, DeviceContext dc);
ScreenSize GetScreenSize(DeviceContext dc);
ScreenSize FitDrawableToWindow(DeviceContext dc);
double RefreshRate(DeviceContext dc);
bool SurfaceLost(DeviceContext dc);
void DrawOverlayText(DeviceContext dc, int right, int bottom, const char* text);
void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam);
bool PartialPresentAvailable(DeviceContext dc);
std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height);

}  // namespace platform::x11backend

namespace platform {

const SurfaceBackend& X11SurfaceBackend() {
  namespace x = x11backend;
  static const SurfaceBackend backend{
      x::AcquireDeviceContext, x::CreateGlContext,      x::MakeCurrent,
      x::SwapBuffers,          x::SwapControlAvailable, x::SetSwapInterval,
      x::DeleteGlContext,      x::ReleaseDeviceContext, x::GetScreenSize,
      x::FitDrawableToWindow,      x::RefreshRate,          x::SurfaceLost,
      x::DrawOverlayText,      x::NotifyWindow,         glx::ReleaseCurrent,
      x::PartialPresentAvailable, x::PictureMonitor};
  return backend;
}

}  // namespace platform
