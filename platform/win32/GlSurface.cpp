#include "platform/GlSurface.h"

#include <GL/glew.h>
#include <GL/wglew.h>
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "platform/GlSurfaceFaults.h"

namespace platform {
namespace {

HDC Dc(DeviceContext dc) { return static_cast<HDC>(dc); }
HGLRC Rc(GlContext rc) { return static_cast<HGLRC>(rc); }

bool Serves(const PIXELFORMATDESCRIPTOR& f) {
  const DWORD needed = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  return (f.dwFlags & needed) == needed && f.iPixelType == PFD_TYPE_RGBA && f.cRedBits >= 8 &&
         f.cGreenBits >= 8 && f.cBlueBits >= 8 && f.cDepthBits >= 8;
}

// The driver's closest format may carry a stencil nobody asked for, which software rasterizers
// pay for in every depth clear. Then the same kind of format (colour and depth bits, the same
// acceleration) without one is taken where the device has it; otherwise the driver's choice.
int WithoutStencil(HDC dc, int chosen) {
  PIXELFORMATDESCRIPTOR c{};
  const int count = DescribePixelFormat(dc, chosen, sizeof c, &c);
  if (count <= 0 || c.cStencilBits == 0 || !Serves(c)) return chosen;
  const DWORD kind = PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
  for (int i = 1; i <= count; ++i) {
    PIXELFORMATDESCRIPTOR f{};
    if (DescribePixelFormat(dc, i, sizeof f, &f) == 0) continue;
    if (Serves(f) && f.cStencilBits == 0 && f.cAccumBits == 0 && f.cColorBits == c.cColorBits &&
        f.cDepthBits == c.cDepthBits && (f.dwFlags & kind) == (c.dwFlags & kind))
      return i;
  }
  return chosen;
}

}  // namespace

DeviceContext AcquireDeviceContext(WindowHandle window) {
  return GetDC(reinterpret_cast<HWND>(window));
}

GlContext CreateGlContext(DeviceContext dc) {
  if (faults::ContextCreationFails()) return nullptr;
  // Exactly this request: OpenGL and double buffering (no draw-to-window flag), RGBA, 24 colour
  // bits, 8 depth bits and no stencil; the driver picks the closest format it has.
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int index = WithoutStencil(Dc(dc), ChoosePixelFormat(Dc(dc), &pfd));
  SetPixelFormat(Dc(dc), index, &pfd);
  return wglCreateContext(Dc(dc));
}

void MakeCurrent(DeviceContext dc, GlContext context) { wglMakeCurrent(Dc(dc), Rc(context)); }

void SwapBuffers(DeviceContext dc) {
  if (faults::SwapFaults())
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  faults::WaitWhileSwapStalls();
  ::SwapBuffers(Dc(dc));
  faults::CountSwap();
}

bool SwapControlAvailable(DeviceContext) {
  return !faults::SwapControlHidden() && WGLEW_EXT_swap_control;
}

void SetSwapInterval(DeviceContext, int interval) {
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  auto proc = reinterpret_cast<SwapIntervalProc>(
      reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (proc != nullptr) proc(interval);
  faults::RecordSwapInterval(interval);
}

void DeleteGlContext(DeviceContext, GlContext context) { wglDeleteContext(Rc(context)); }

void ReleaseDeviceContext(WindowHandle window, DeviceContext dc) {
  ReleaseDC(reinterpret_cast<HWND>(window), Dc(dc));
}

ScreenSize GetScreenSize(DeviceContext dc) {
  return {GetDeviceCaps(Dc(dc), HORZRES), GetDeviceCaps(Dc(dc), VERTRES)};
}

// 0 and 1 both mean the hardware's default rate, which the device does not tell: unknown.
double RefreshRate(DeviceContext dc) {
  const int rate = GetDeviceCaps(Dc(dc), VREFRESH);
  return rate > 1 ? rate : 0;
}

ScreenSize FitDrawableToWindow(DeviceContext dc) {
  RECT r{};
  GetClientRect(WindowFromDC(Dc(dc)), &r);
  return {r.right - r.left, r.bottom - r.top};
}

bool SurfaceLost(DeviceContext dc) { return IsWindow(WindowFromDC(Dc(dc))) == 0; }

}  // namespace platform
