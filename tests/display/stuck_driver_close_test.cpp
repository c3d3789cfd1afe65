// The real X11 saver, full screen, whose driver gets stuck in a swap: a close still ends it
// within the stop's limit, the window and its grabs go, and the log says why.
#include <gtest/gtest.h>
// Xlib after GoogleTest: its macros (None, Bool) would break GoogleTest's headers.
#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/AppLog.h"
#include "host/Shell.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/RenderThread.h"
#include "platform/linux/EndSignals.h"
#include "platform/x11/SaverWindow.h"
#include "platform/x11/X11ShellModes.h"

namespace {

using namespace std::chrono_literals;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(StuckDriverClose, ASignalEndsTheSaverWhileItsSwapNeverReturns) {
  platform::CatchEndSignals();
  std::atomic<bool> returned{false};
  bool stalled = false;
  std::thread user([&] {
    stalled = WaitFor([] { return platform::SwapCount() >= 3; }, 60s);
    platform::SetGlSurfaceFaults({.stallSwap = true});
    stalled = stalled && WaitFor(platform::SwapStalled, 10s);
    kill(getpid(), SIGTERM);
    // A close that waits for the driver would wait for ever: let the driver go after a while,
    // so that the test ends and reports it.
    WaitFor([&] { return returned.load(); }, 30s);
    if (!returned) platform::SetGlSurfaceFaults({});
  });
  platform::X11ShellModes modes;
  const int code = ShellMain(modes, std::string_view("/s"));
  const bool stillStuck = platform::SwapStalled();
  returned = true;
  user.join();
  ASSERT_TRUE(stalled) << "no frame got stuck";
  EXPECT_TRUE(stillStuck) << "the close waited until the driver let go";
  EXPECT_EQ(code, 0);

  // The desktop is back: no saver window, and another client may grab the keyboard and pointer.
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(platform::FindRunningSaver(display), 0u);
  const Window root = DefaultRootWindow(display);
  EXPECT_EQ(XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  EXPECT_EQ(XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                         None, CurrentTime),
            GrabSuccess);
  XCloseDisplay(display);

  std::vector<std::string> lines;
  std::ifstream file(LogPathForModule());
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "(!)Error : The render thread did not stop: its contexts are left to the process's end");
  EXPECT_EQ(lines.back().rfind("   Notify : FPS = ", 0), 0u) << lines.back();

  // Let the driver go: the thread then ends on the stop it was given.
  platform::SetGlSurfaceFaults({});
  EXPECT_TRUE(platform::StopRenderThread());
}

}  // namespace
