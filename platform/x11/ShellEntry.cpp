// Process entry of the Linux saver: X11, or Wayland for the full-screen saver where it can.
#include <unistd.h>

#include "host/Shell.h"
#include "platform/Process.h"
#include "platform/posix/EndSignals.h"
#include "platform/wayland/WaylandShellModes.h"

// Before every other initialiser: a signal during start-up still closes the saver in order.
[[gnu::constructor(101)]] static void CatchEndSignalsFirst() { platform::CatchEndSignals(); }

int main(int argc, char** argv) {
  platform::PrepareProcess();
  platform::WaylandShellModes modes(platform::TakeWindowSystemFlag(argc, argv));
  const int code = ShellMain(modes, JoinArguments(argc, argv));
  // Nothing is torn down: the render thread ends with the process.
  _exit(code);
}
