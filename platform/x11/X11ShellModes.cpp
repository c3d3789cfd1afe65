#include "platform/x11/X11ShellModes.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstdlib>

#include "base/AppLog.h"
#include "host/SaverClassProc.h"
#include "host/ShellState.h"
#include "platform/linux/EndSignals.h"
#include "platform/linux/PowerSupply.h"
#include "platform/x11/X11SaverEvents.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Notify.h"

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

// XScreenSaver's modes own neither input nor locking: no close rules, the window's end or
// SIGTERM close.
void PrepareHackRun(const HackOptions& options, const SaverHooks& hooks) {
  if (hooks.applyHackOptions) hooks.applyHackOptions(options);
  CatchResetSignal();  // a locker's SIGUSR1 restarts the flight
  shellState.isPreview = true;
}

int RunLoop(Display* display, const SaverWindow& saver, bool closeRules, const SaverHooks& hooks) {
  if (saver.window == 0) return 0;
  shellState.mainWindow = saver.window;
  // Static: the loop outlives the run, since the process ends with _exit right after it.
  static X11SaverEvents* events = nullptr;
  static SaverLoop* loop = nullptr;
  events = new X11SaverEvents(display, saver);
  SaverLoop::Options options;
  options.closeRules = closeRules;
  options.watchPower = saver.fullScreen && closeRules;
  options.proc = SaverClassProc;
  options.restartFlight = hooks.restartFlight;
  loop = new SaverLoop(*events, options);
  shellSystem = loop;
  // The render thread's messages come through the wake pipe: it may have no connection at all.
  x11::ReceiveWindowMessages(saver.window, [](const x11::WindowMessage& m) {
    loop->Post(m.message, m.wordParam, 0);
  });
  const int code = loop->Run();
  x11::ReceiveWindowMessages(0, {});
  return code;
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
    return RunLoop(display, CreatePreviewWindow(display, static_cast<Window>(parent)), true, hooks);
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
  return RunLoop(display, CreateFullScreenWindow(display), true, hooks);
}

// The settings dialog is the toolkit's, on no window system of the saver's.
int X11ShellModes::RunSettingsDialog(WindowHandle) { return -1; }

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
    PrepareHackRun(options, hooks);
    return RunLoop(display, CreateDesktopWindow(display), false, hooks);
  }
  return RunOnWindow(target, options);
}

int X11ShellModes::RunOnWindow(WindowHandle window, const HackOptions& options) {
  Display* display = DisplayOrSay();
  if (display == nullptr) return -1;
  PrepareHackRun(options, hooks);
  return RunLoop(display, AdoptWindow(display, static_cast<Window>(window)), false, hooks);
}

}  // namespace platform
