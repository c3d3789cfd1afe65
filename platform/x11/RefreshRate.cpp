#include <X11/extensions/Xrandr.h>

#include "platform/GlSurface.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Surface.h"

namespace platform::x11backend {
namespace {

double ModeRate(const XRRModeInfo& mode) {
  if (mode.dotClock == 0 || mode.hTotal == 0 || mode.vTotal == 0) return 0;
  double rate = static_cast<double>(mode.dotClock) /
                (static_cast<double>(mode.hTotal) * static_cast<double>(mode.vTotal));
  if (mode.modeFlags & RR_Interlace) rate *= 2;
  if (mode.modeFlags & RR_DoubleScan) rate /= 2;
  return rate;
}

bool Contains(const XRRCrtcInfo& crtc, int x, int y) {
  return x >= crtc.x && y >= crtc.y && x < crtc.x + static_cast<int>(crtc.width) &&
         y < crtc.y + static_cast<int>(crtc.height);
}

}  // namespace

// The current mode of the monitor under the window's centre (or of the first lit monitor when
// the window is on none), from XRandR. Servers without monitors of their own, Xvfb among them,
// report a mode without timings: 0, unknown.
double RefreshRate(DeviceContext dc) {
  x11::X11Surface* s = x11::SurfaceOf(dc);
  int eventBase = 0, errorBase = 0;
  if (s == nullptr || s->lost.load() || !XRRQueryExtension(s->display, &eventBase, &errorBase))
    return 0;
  x11::ErrorTrap trap(s->display);
  const Window root = RootWindow(s->display, s->screen);
  int x = 0, y = 0;
  Window child = 0;
  if (XTranslateCoordinates(s->display, s->window, root, s->windowWidth / 2, s->windowHeight / 2,
                            &x, &y, &child) == False)
    x = y = -1;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(s->display, root);
  if (resources == nullptr) return 0;
  RRMode first = None, under = None;
  for (int i = 0; i < resources->ncrtc && under == None; ++i) {
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(s->display, resources, resources->crtcs[i]);
    if (crtc == nullptr) continue;
    if (crtc->mode != None) {
      if (first == None) first = crtc->mode;
      if (Contains(*crtc, x, y)) under = crtc->mode;
    }
    XRRFreeCrtcInfo(crtc);
  }
  const RRMode chosen = under != None ? under : first;
  double rate = 0;
  for (int i = 0; i < resources->nmode; ++i)
    if (resources->modes[i].id == chosen) rate = ModeRate(resources->modes[i]);
  XRRFreeScreenResources(resources);
  return trap.End() == Success ? rate : 0;
}

}  // namespace platform::x11backend
