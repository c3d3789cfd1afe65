// The monitors under the saver's window, from XRandR 1.5's monitor list: what desktops and
// window managers take for the monitors, the primary flag included.
#include <X11/extensions/Xrandr.h>

#include "platform/Monitors.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Surface.h"

namespace platform::x11backend {
namespace {

// Asked for once, before the first read, so that a change in between still arrives: the screen's
// size (RRScreenChangeNotify), a monitor lit, moved or made primary (RRNotify). The events are
// taken in with the window's own (GlSurface.cpp).
void WatchMonitors(x11::X11Surface& s) {
  s.monitorsWatched = true;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(s.display, &eventBase, &errorBase) ||
      !XRRQueryVersion(s.display, &major, &minor) || major < 1 || (major == 1 && minor < 5))
    return;
  x11::ErrorTrap trap(s.display);
  XRRSelectInput(s.display, RootWindow(s.display, s.screen),
                 RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  if (trap.End() == Success) s.randrEventBase = eventBase;
}

void ReadMonitors(x11::X11Surface& s) {
  s.monitors.clear();
  if (s.randrEventBase < 0) return;
  x11::ErrorTrap trap(s.display);
  const Window root = RootWindow(s.display, s.screen);
  int x = 0, y = 0;
  if (s.window != root) {
    // A child of another window (a preview, a host's window) shows one picture in full; so does
    // a window whose place on the root cannot be told.
    Window rootOfTree = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    const bool known = XQueryTree(s.display, s.window, &rootOfTree, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    Window child = 0;
    if (!known || parent != root ||
        !XTranslateCoordinates(s.display, s.window, root, 0, 0, &x, &y, &child)) {
      trap.End();
      return;
    }
  }
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(s.display, root, True, &count);
  for (int i = 0; monitors != nullptr && i < count; ++i) {
    const XRRMonitorInfo& m = monitors[i];
    s.monitors.push_back({m.x - x, m.y - y, m.width, m.height, m.primary != 0});
  }
  if (monitors != nullptr) XRRFreeMonitors(monitors);
  if (trap.End() != Success) s.monitors.clear();
}

}  // namespace

std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  if (s == nullptr || s->lost.load()) return std::nullopt;
  if (!s->monitorsWatched) WatchMonitors(*s);
  if (s->monitorsStale) {
    ReadMonitors(*s);
    s->monitorsStale = false;
  }
  return ChoosePictureMonitor(s->monitors, width, height);
}

}  // namespace platform::x11backend
