// Process entry of the Linux saver: X11, or Wayland for the full-screen saver where it can.
#include <unistd.h>

#include <string>

#include "host/Shell.h"
#include "platform/Process.h"
#include "platform/posix/EndSignals.h"
#include "platform/wayland/WaylandShellModes.h"

// Before every other initialiser and any thread: a signal during start-up still closes the saver
// in order, and a locker's reset waits for the mode that answers it.
[[gnu::constructor(101)]] static void CatchEndSignalsFirst() {
  platform::CatchEndSignals();
  platform::HoldResetSignal();
}

int main(int argc, char** argv) {
  platform::PrepareProcess();
  platform::WaylandShellModes modes(platform::TakeWindowSystemFlag(argc, argv));
  const std::string tail = JoinArguments(argc, argv);
  // Only XScreenSaver's modes take SIGUSR1 as a reset; everywhere else it acts as usual.
  if (!IsHackCommandLine(tail)) platform::ReleaseResetSignal();
  const int code = ShellMain(modes, tail);
  // Nothing is torn down: the render thread ends with the process.
  _exit(code);
}
