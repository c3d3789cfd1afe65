#include "platform/x11/X11ShellModes.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>

#include "base/AppLog.h"
#include "base/SettingsStore.h"
#include "host/SettingsDialog.h"
#include "host/ShellState.h"
#include "render/RenderThread.h"
#include "platform/posix/EndSignals.h"
#include "platform/posix/PowerSupply.h"
#include "platform/x11/SaverEventLoop.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Errors.h"

namespace platform {
namespace {

// Said once: a mode that finds no display says so and fails, however often it looks.
Display* DisplayOrSay() {
  Display* display = ShellDisplay();
  static bool said = false;
  if (display == nullptr && !said) {
    std::fprintf(stderr, "velmora: cannot open the X display\n");
    said = true;
  }
  return display;
}

// How long a full-screen start waits for another client to let go of the keyboard and pointer.
constexpr unsigned InputWaitMs = 1000;

// An InputOnly window exists but can hold no picture, nor a child that shows one.
bool IsInputOnly(Display* display, Window window) {
  x11::ErrorTrap trap(display);
  XWindowAttributes attributes{};
  const Status status = XGetWindowAttributes(display, window, &attributes);
  return trap.End() == Success && status != 0 && attributes.c_class == InputOnly;
}

// A preview inside a root window, or the virtual root a desktop puts over it, would be a window
// over the whole screen that no key or click ends.
bool IsRootWindow(Display* display, Window window) {
  for (int screen = 0; screen < ScreenCount(display); ++screen)
    if (window == RootWindow(display, screen)) return true;
  return window == VirtualRoot(display);
}

// In memory only: nothing in a saver run writes the settings back.
void OverrideForThisRun(const HackOptions& options) {
  if (options.showFps) settingsStore.Set("EnableFPS", 1);
  if (options.noVSync) settingsStore.Set("EnableVSync", 0);
}

// XScreenSaver's modes own neither input nor locking: no close rules, the window's end or
// SIGTERM close.
void PrepareHackRun(const HackOptions& options) {
  OverrideForThisRun(options);
  CatchResetSignal();  // a locker's SIGUSR1 restarts the flight
  shellState.isPreview = true;
  SetFollowWindowSize(true);  // XScreenSaver may resize its window
}

int RunLoop(Display* display, const SaverWindow& saver, bool closeRules) {
  if (saver.window == 0) return 0;
  shellState.mainWindow = saver.window;
  // Static: the loop outlives the run, since the process ends with _exit right after it.
  static SaverEventLoop* loop = nullptr;
  loop = new SaverEventLoop(display, saver, closeRules);
  shellSystem = loop;
  return loop->Run();
}

}  // namespace

bool X11ShellModes::IsWindow(WindowHandle window) {
  return WindowExists(DisplayOrSay(), static_cast<Window>(window));
}

WindowHandle X11ShellModes::ForegroundWindow() {
  Display* display = ShellDisplay();
  if (display == nullptr) return 0;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  WindowHandle active = 0;
  if (XGetWindowProperty(display, DefaultRootWindow(display),
                         XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0, 1, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && count == 1 && format == 32) {
    active = *reinterpret_cast<unsigned long*>(data);
  }
  if (data) XFree(data);
  if (active == 0) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus > PointerRoot) active = focus;
  }
  return active;
}

int X11ShellModes::RunSaverWindow(WindowHandle parent) {
  Display* display = DisplayOrSay();
  if (display == nullptr) return -1;
  // The preview window takes every size its host takes, the full-screen window the screen's.
  SetFollowWindowSize(true);
  if (parent != 0) {
    if (IsInputOnly(display, static_cast<Window>(parent))) {
      std::fprintf(stderr, "velmora: window %lu is input-only and cannot show a preview\n",
                   static_cast<unsigned long>(parent));
      return -1;
    }
    if (IsRootWindow(display, static_cast<Window>(parent))) {
      std::fprintf(stderr, "velmora: window %lu is a root window and cannot host a preview\n",
                   static_cast<unsigned long>(parent));
      return -1;
    }
    shellState.isPreview = true;
    return RunLoop(display, CreatePreviewWindow(display, static_cast<Window>(parent)), true);
  }
  if (const Window running = FindRunningSaver(display)) {
    XRaiseWindow(display, running);
    XFlush(display);
    return 0;
  }
  shellState.lastLineStatus = ReadAcLineStatus();
  if (!TakeInput(display, InputWaitMs)) {
    appLog.Write(Error, "Keyboard and mouse are held by another program: the screen is not covered");
    return 0;
  }
  return RunLoop(display, CreateFullScreenWindow(display), true);
}

int X11ShellModes::RunSettingsDialog(WindowHandle parent) {
  ReleaseEndSignals();  // the dialog ends on a signal as any program does
  return ::RunSettingsDialog(parent);
}

int X11ShellModes::RunOnRoot(const HackOptions& options) {
  Display* display = DisplayOrSay();
  if (display == nullptr) return -1;
  // XScreenSaver names the window it wants drawn on; without it, the desktop's background: the
  // root window or the virtual root a desktop puts over it, under every other window.
  if (const char* named = std::getenv("XSCREENSAVER_WINDOW")) {
    const std::optional<std::uint32_t> id = ParseWindowId(named);
    if (id && WindowExists(display, *id)) return RunOnWindow(*id, options);
  }
  const Window target = VirtualRoot(display);
  // A compositing manager paints the root window's picture over every other window: the saver
  // draws on a desktop window of its own instead, below them all.
  if (target == DefaultRootWindow(display) && CompositingManagerRuns(display)) {
    PrepareHackRun(options);
    return RunLoop(display, CreateDesktopWindow(display), false);
  }
  return RunOnWindow(target, options);
}

int X11ShellModes::RunOnWindow(WindowHandle window, const HackOptions& options) {
  Display* display = DisplayOrSay();
  if (display == nullptr) return -1;
  PrepareHackRun(options);
  return RunLoop(display, AdoptWindow(display, static_cast<Window>(window)), false);
}

void X11ShellModes::ShowHackUsage() { std::fprintf(stderr, "%s\n", HackUsage); }

}  // namespace platform
