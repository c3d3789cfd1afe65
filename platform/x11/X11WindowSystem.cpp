// X11 in the table of window systems: every kind of window, the surface of GlSurface.cpp,
// RefreshRate.cpp, OverlayText.cpp, Notify.cpp and PartialPresent.cpp (platform::x11backend).
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>

#include "platform/linux/WindowSystem.h"
#include "platform/x11/GlxBinding.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11ShellModes.h"

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
PartialPresentState TakePartialPresentState(DeviceContext dc);
void PresentRect(DeviceContext dc, int x, int y, int width, int height);
std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height);

}  // namespace platform::x11backend

namespace platform::x11 {
namespace {

const SurfaceBackend& Surface() {
  namespace x = x11backend;
  static const SurfaceBackend backend{
      x::AcquireDeviceContext,    x::CreateGlContext,      x::MakeCurrent,
      x::SwapBuffers,             x::SwapControlAvailable, x::SetSwapInterval,
      x::DeleteGlContext,         x::ReleaseDeviceContext, x::GetScreenSize,
      x::FitDrawableToWindow,     x::RefreshRate,          x::SurfaceLost,
      x::DrawOverlayText,         x::NotifyWindow,         glx::ReleaseCurrent,
      x::PartialPresentAvailable, x::TakePartialPresentState, x::PresentRect,
      x::PictureMonitor};
  return backend;
}

// Only whether a display is named: opening it would be an Xlib call before XInitThreads.
bool DisplayNamed() {
  const char* named = std::getenv("DISPLAY");
  return named != nullptr && *named != '\0';
}

void Prepare() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  XInitThreads();
  InstallErrorHandlers();
  // A write to a server that has gone away must surface as Xlib's connection error (handled
  // above), not as a SIGPIPE that ends the process before anything is said.
  std::signal(SIGPIPE, SIG_IGN);
}

ShellModes& Modes(const SaverHooks& hooks) {
  static X11ShellModes modes(hooks);
  return modes;
}

}  // namespace

extern const WindowSystem windowSystem{"x11", true, true, DisplayNamed, Prepare, Surface, Modes};

}  // namespace platform::x11
