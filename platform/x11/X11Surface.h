#pragma once
// What a platform::DeviceContext points to on X11, for the X11 layer's own files (the frame-rate
// font needs the connection).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <vector>

#include "platform/Monitors.h"
#include "platform/Types.h"

namespace platform::x11 {

struct X11Surface {
  // The render thread's own connection; only that thread uses it until the window thread
  // releases the surface after joining it.
  Display* display = nullptr;
  int screen = 0;
  // The window the saver was given.
  Window window = 0;
  // Where GL draws: the window itself when its visual serves, otherwise a child window covering
  // it, created with a visual that does (ownsDrawable).
  Window drawable = 0;
  bool ownsDrawable = false;
  Colormap colormap = 0;
  // The window's size as last reported, and the drawable's as last set.
  int windowWidth = 0;
  int windowHeight = 0;
  int drawableWidth = 0;
  int drawableHeight = 0;
  // Set by the error handler when the server says the window is gone.
  std::atomic<bool> lost{false};
  // The drawable was exposed (once it watches for that) and the frame loop has not yet heard.
  bool exposed = false;
  // The drawable's size as the driver last learnt it (at the context's make-current, then when
  // partial presentation last looked).
  int partialWidth = 0;
  int partialHeight = 0;
  // The monitors in the window's pixels (Monitors.cpp); none for a window that is not the root
  // or a child of it. Read again once the window or the screen's layout changed.
  std::vector<MonitorRect> monitors;
  bool monitorsStale = true;
  bool monitorsWatched = false;
  int randrEventBase = -1;  // where XRandR's events are watched on this connection; -1 nowhere
};

inline X11Surface* SurfaceOf(DeviceContext dc) { return static_cast<X11Surface*>(dc); }

}  // namespace platform::x11
