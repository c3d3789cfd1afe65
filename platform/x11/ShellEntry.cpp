// Process entry of the X11 saver.
#include <unistd.h>

#include "host/Shell.h"
#include "platform/Process.h"
#include "platform/posix/EndSignals.h"
#include "platform/x11/X11ShellModes.h"

// Before every other initialiser: a signal during start-up still closes the saver in order.
[[gnu::constructor(101)]] static void CatchEndSignalsFirst() { platform::CatchEndSignals(); }

int main(int argc, char** argv) {
  platform::PrepareProcess();
  platform::X11ShellModes modes;
  const int code = ShellMain(modes, JoinArguments(argc, argv));
  // Nothing is torn down: the render thread ends with the process.
  _exit(code);
}
