#include "platform/Process.h"

#include <X11/Xlib.h>

#include <csignal>

#include "platform/x11/X11Errors.h"

namespace platform {

void PrepareProcess() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  XInitThreads();
  x11::InstallErrorHandlers();
  // A write to a server that has gone away must surface as Xlib's connection error (handled
  // above), not as a SIGPIPE that ends the process before anything is said.
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform
