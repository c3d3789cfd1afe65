#include "platform/Notify.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Notify.h"

namespace platform::x11backend {

void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam) {
  // A connection of the calling thread's own, opened for this one message: it works even when
  // the surface's connection was never made, and it does not wait for the window's thread.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  {
    x11::ErrorTrap trap(display);  // a window that is already gone is not an error here
    XEvent event = x11::EncodeWindowMessage(display, window, {message, wordParam});
    XSendEvent(display, window, False, StructureNotifyMask, &event);
  }
  XCloseDisplay(display);
}

}  // namespace platform::x11backend
