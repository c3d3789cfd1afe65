#include "platform/x11/X11Display.h"

#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

// Errors of the connection inside an ErrorTrap are counted; errors elsewhere (a window destroyed
// under the saver, a drawable gone while the render thread finishes its frame) are ignored.
std::atomic<Display*> trapped{nullptr};
std::atomic<int> trappedErrors{0};

int OnError(Display* display, XErrorEvent*) {
  if (display == trapped.load()) ++trappedErrors;
  return 0;
}

int OnIoError(Display*) {
  // The server is gone: nothing can be drawn or closed any more. The log is complete up to here.
  _exit(1);
}

}  // namespace

Display* ShellDisplay() {
  static Display* display = [] {
    XSetErrorHandler(OnError);
    XSetIOErrorHandler(OnIoError);
    return XOpenDisplay(nullptr);
  }();
  return display;
}

ErrorTrap::ErrorTrap(Display* d) : display(d) {
  XSync(display, False);
  trappedErrors = 0;
  trapped = display;
}

ErrorTrap::~ErrorTrap() {
  XSync(display, False);
  trapped = nullptr;
}

bool ErrorTrap::Ok() {
  XSync(display, False);
  return trappedErrors.load() == 0;
}

bool WindowExists(Display* display, Window id) {
  if (display == nullptr || id == 0) return false;
  ErrorTrap trap(display);
  XWindowAttributes attributes;
  const Status status = XGetWindowAttributes(display, id, &attributes);
  return trap.Ok() && status != 0;
}

}  // namespace platform
