#pragma once
// What a platform::DeviceContext points to on X11, for the X11 layer's own files (the frame-rate
// font needs the connection; the shell may pick a GL visual for the windows it creates).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>

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
};

// What every way of presenting a frame does around it: the swap's test seams before (a fault, a
// stall), the count of swaps after.
void BeforePresent();
void CountPresent();

inline X11Surface* SurfaceOf(DeviceContext dc) { return static_cast<X11Surface*>(dc); }

// A visual of `screen` with RGBA, double buffering, 8 bits per colour, at least 8 depth bits and
// the smallest stencil there is (none where the server offers such a visual), or nullptr. The caller frees it with XFree.
XVisualInfo* ChooseGlVisual(Display* display, int screen);

// True when `visual` offers what the saver needs (the same rules as ChooseGlVisual, and no
// stencil unless allowed: a window whose visual has one is drawn through a covering child of a
// chosen visual, except the root window, where such a child would be a top-level window).
bool IsGlVisualUsable(Display* display, XVisualInfo* visual, bool stencilAllowed = false);

}  // namespace platform::x11
