#include "platform/x11/X11Display.h"

#include "platform/x11/X11Errors.h"

namespace platform {

Display* ShellDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

bool WindowExists(Display* display, Window id) {
  if (display == nullptr || id == 0) return false;
  x11::ErrorTrap trap(display);
  XWindowAttributes attributes;
  const Status status = XGetWindowAttributes(display, id, &attributes);
  return trap.End() == Success && status != 0;
}

}  // namespace platform
