// Process entry of the Linux saver: each mode on the window system the table chooses for it.
#include <unistd.h>

#include "host/Shell.h"
#include "platform/linux/EndSignals.h"
#include "platform/linux/WindowSystem.h"
#include "render/RenderThread.h"

// Before every other initialiser: a signal during start-up still closes the saver in order.
[[gnu::constructor(101)]] static void CatchEndSignalsFirst() { platform::CatchEndSignals(); }

int main(int argc, char** argv) {
  const char* preferred = platform::TakeWindowSystemFlag(platform::WindowSystems(), argc, argv);
  // Every window here may change size under the saver: a preview's host, XScreenSaver's window,
  // the screen itself, a compositor's output.
  SetFollowWindowSize(true);
  platform::LinuxShellModes modes(preferred, {RestartFlight, ApplyHackOptions});
  const int code = ShellMain(modes, JoinArguments(argc, argv));
  // Nothing is torn down: the render thread ends with the process.
  _exit(code);
}
