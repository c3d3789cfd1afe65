// The monitors under the saver's window, from EnumDisplayMonitors and GetMonitorInfo, in virtual
// screen coordinates like the window's own place.
#include "platform/Monitors.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

// Read again at most this often: the render thread hears nothing of WM_DISPLAYCHANGE, and a
// monitor plugged in or out is followed within this time.
constexpr DWORD ReadEveryMs = 1000;

struct Cache {
  HWND window = nullptr;
  DWORD readAt = 0;
  bool read = false;
  std::vector<MonitorRect> monitors;  // in the window's client pixels
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorRect>*>(data)->push_back(
        {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
         static_cast<int>(r.bottom - r.top), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

void Read(Cache& cache) {
  cache.monitors.clear();
  // A preview is a child of the control panel's window: it shows one picture in full.
  if ((GetWindowLongW(cache.window, GWL_STYLE) & WS_CHILD) != 0) return;
  POINT origin{0, 0};
  if (!ClientToScreen(cache.window, &origin)) return;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&cache.monitors));
  for (MonitorRect& m : cache.monitors) {
    m.x -= origin.x;
    m.y -= origin.y;
  }
}

}  // namespace

std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height) {
  // The render thread's alone, as its device context is.
  thread_local Cache cache;
  const HWND window = WindowFromDC(static_cast<HDC>(dc));
  if (window == nullptr) return std::nullopt;
  const DWORD now = GetTickCount();
  if (!cache.read || cache.window != window || now - cache.readAt >= ReadEveryMs) {
    cache.window = window;
    cache.readAt = now;
    cache.read = true;
    Read(cache);
  }
  return ChoosePictureMonitor(cache.monitors, width, height);
}

}  // namespace platform
