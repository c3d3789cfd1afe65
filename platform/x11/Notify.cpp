#include "platform/Notify.h"

#include <mutex>
#include <utility>

#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Notify.h"

namespace platform {
namespace {

std::mutex receiverLock;
Window receiverWindow = 0;
std::function<void(const x11::WindowMessage&)> receiver;

}  // namespace

namespace x11 {

void ReceiveWindowMessages(Window window, std::function<void(const WindowMessage&)> receive) {
  std::lock_guard lock(receiverLock);
  receiverWindow = receive ? window : 0;
  receiver = std::move(receive);
}

}  // namespace x11

namespace x11backend {

void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam) {
  {
    std::lock_guard lock(receiverLock);
    if (receiver && window == receiverWindow) {
      receiver({message, wordParam});
      return;
    }
  }
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

}  // namespace x11backend
}  // namespace platform
