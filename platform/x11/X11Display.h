#pragma once
// The window thread's X connection, and a scope that catches X errors instead of ending the
// process, so that a window id naming no window is an answer rather than a crash.
#include <X11/Xlib.h>

namespace platform {

// Opened on first use; nullptr when no display can be opened. Installs error handlers that never
// end the process on a protocol error, and end it at once (_exit) when the server goes away.
Display* ShellDisplay();

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  // Waits for the server to answer everything sent so far; true when no error came back.
  bool Ok();

 private:
  Display* display;
};

// True when id names an existing window.
bool WindowExists(Display* display, Window id);

}  // namespace platform
