// Process entry of the Linux saver: each mode on the window system the table chooses for it.
#include <unistd.h>

#include <string>

#include "host/Shell.h"
#include "platform/linux/EndSignals.h"
#include "platform/linux/WindowSystem.h"
#include "render/RenderThread.h"

// Before every other initialiser and any thread: a signal during start-up still closes the saver
// in order, and a locker's reset waits for the mode that answers it.
[[gnu::constructor(101)]] static void CatchEndSignalsFirst() {
  platform::CatchEndSignals();
  platform::HoldResetSignal();
}

int main(int argc, char** argv) {
  const char* preferred = platform::TakeWindowSystemFlag(platform::WindowSystems(), argc, argv);
  const std::string tail = JoinArguments(argc, argv);
  // Only XScreenSaver's modes take SIGUSR1 as a reset; everywhere else it acts as usual.
  if (!IsHackCommandLine(tail)) platform::ReleaseResetSignal();
  // Every window here may change size under the saver: a preview's host, XScreenSaver's window,
  // the screen itself, a compositor's output.
  SetFollowWindowSize(true);
  platform::LinuxShellModes modes(preferred, {RestartFlight, ApplyHackOptions});
  const int code = ShellMain(modes, tail);
  // Nothing is torn down: the render thread ends with the process.
  _exit(code);
}
