// The platform's GL surface functions, forwarded to the window system in use.
#include <GL/glew.h>

#include <atomic>

#include "platform/GlSurfaceFaults.h"
#include "platform/Notify.h"
#include "platform/OverlayText.h"
#include "platform/PartialPresent.h"
#include "platform/linux/GlBindings.h"
#include "platform/linux/SurfaceBackend.h"
#include "platform/linux/WindowSystem.h"

namespace platform {
namespace {

std::atomic<const SurfaceBackend*> chosen{nullptr};

const SurfaceBackend& Active() {
  if (const SurfaceBackend* backend = chosen.load()) return *backend;
  static const SurfaceBackend& fallback = []() -> const SurfaceBackend& {
    for (const WindowSystem* system : WindowSystems())
      if (system->windows) return system->surface();
    return WindowSystems().front()->surface();
  }();
  return fallback;
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
bool PartialPresentAvailable(DeviceContext dc) {
  return !faults::CopySubBufferHidden() && Active().partialPresentAvailable(dc);
}
PartialPresentState TakePartialPresentState(DeviceContext dc) {
  return Active().takePartialPresentState(dc);
}
void PresentRect(DeviceContext dc, int x, int y, int width, int height) {
  Active().presentRect(dc, x, y, width, height);
}

// The same GL query on every binding.
const char* RendererName() {
  if (faults::HardwareRendererShown()) return "Test graphics card";
  const GLubyte* name = glGetString(GL_RENDERER);
  return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}
std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height) {
  return Active().pictureMonitor(dc, width, height);
}

}  // namespace platform
