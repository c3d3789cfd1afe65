// The platform's GL surface functions, forwarded to the window system in use.
#include <atomic>

#include "platform/Notify.h"
#include "platform/OverlayText.h"
#include "platform/PartialPresent.h"
#include "platform/posix/GlBindings.h"
#include "platform/posix/SurfaceBackend.h"

namespace platform {
namespace {

std::atomic<const SurfaceBackend*> chosen{nullptr};

const SurfaceBackend& Active() {
  const SurfaceBackend* backend = chosen.load();
  return backend ? *backend : X11SurfaceBackend();
}

}  // namespace

void UseSurfaceBackend(const SurfaceBackend& backend) { chosen.store(&backend); }

DeviceContext AcquireDeviceContext(WindowHandle window) {
  return Active().acquireDeviceContext(window);
}
GlContext CreateGlContext(DeviceContext dc) { return Active().createGlContext(dc); }
void MakeCurrent(DeviceContext dc, GlContext context) { Active().makeCurrent(dc, context); }
void SwapBuffers(DeviceContext dc) { Active().swapBuffers(dc); }
bool SwapControlAvailable(DeviceContext dc) { return Active().swapControlAvailable(dc); }
void SetSwapInterval(DeviceContext dc, int interval) { Active().setSwapInterval(dc, interval); }
void DeleteGlContext(DeviceContext dc, GlContext context) { Active().deleteGlContext(dc, context); }
void ReleaseDeviceContext(WindowHandle window, DeviceContext dc) {
  Active().releaseDeviceContext(window, dc);
}
ScreenSize GetScreenSize(DeviceContext dc) { return Active().getScreenSize(dc); }
ScreenSize FitDrawableToWindow(DeviceContext dc) { return Active().fitDrawableToWindow(dc); }
double RefreshRate(DeviceContext dc) { return Active().refreshRate(dc); }
bool SurfaceLost(DeviceContext dc) { return Active().surfaceLost(dc); }
// Both window systems make the frame-rate font on first use, per context.
void PrepareOverlayText(DeviceContext) {}
void DrawOverlayText(DeviceContext dc, int right, int bottom, const char* text) {
  Active().drawOverlayText(dc, right, bottom, text);
}
void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam) {
  Active().notifyWindow(window, message, wordParam);
}
void ReleaseCurrentGlContext() { Active().releaseCurrent(); }
bool PartialPresentAvailable(DeviceContext dc) { return Active().partialPresentAvailable(dc); }
std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height) {
  return Active().pictureMonitor(dc, width, height);
}

}  // namespace platform
