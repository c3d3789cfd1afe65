#pragma once
// How the X11 layer answers X errors. Xlib's own handlers end the process on the first protocol
// error and on a lost server with exit(), which runs static destructors under a live render
// thread. The saver's handlers, installed by platform::PrepareProcess, do neither:
//   - a protocol error caught by an ErrorTrap goes to that trap and nowhere else;
//   - a BadWindow or BadDrawable about a render surface's window marks that surface lost (its
//     window is gone: the frame loop keeps running, but nothing is shown or swapped);
//   - any other protocol error is reported on stderr and otherwise ignored;
//   - a lost server connection runs the display-lost handler once and ends the process at once
//     with _exit(1), from whichever thread notices first.
#include <X11/Xlib.h>

#include <atomic>

namespace platform::x11 {

void InstallErrorHandlers();

// Collects the errors of the requests this thread makes on `display` while the trap lives.
// End() waits for the server's answers (XSync) and returns the first error code, or Success (0).
// Traps may nest; the innermost one on a thread catches.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  int End();

 private:
  friend int HandleError(Display*, XErrorEvent*);

  Display* display_;
  ErrorTrap* outer_;
  int code_ = Success;
  bool ended_ = false;
};

// The handler runs once, on the thread that first finds the server gone, just before the process
// ends. It may write a last log line; it must not wait for the other thread, which may be
// stopped inside Xlib.
void SetDisplayLostHandler(void (*handler)());

// A render surface's connection and window. Errors on `display` about `window` or `drawable`
// that say the window is gone set *lost.
void WatchSurface(Display* display, Window window, Window drawable, std::atomic<bool>* lost);
void UnwatchSurface(Display* display);

}  // namespace platform::x11
