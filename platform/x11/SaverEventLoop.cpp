#include "platform/x11/SaverEventLoop.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>

#include "base/AppLog.h"
#include "host/SaverClassProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "platform/Clock.h"
#include "platform/posix/EndSignals.h"
#include "platform/posix/LogindWatcher.h"
#include "platform/posix/PowerSupply.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Notify.h"
#include "render/RenderThread.h"

using namespace shell;

namespace platform {
namespace {

constexpr std::uint32_t AcPollMs = 1000;

SaverEventLoop* sleepTarget = nullptr;

void OnSleep(bool starting) {
  if (sleepTarget) sleepTarget->Post(WmPowerBroadcast, starting ? PbtSuspend : PbtResumeSuspend, 0);
}

}  // namespace

SaverEventLoop::SaverEventLoop(Display* d, SaverWindow s, bool rules)
    : display(d), saver(s), closeRules(rules) {}

void SaverEventLoop::Post(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
  posted.Post({message, wordParam, longParam});
}

void SaverEventLoop::Dispatch(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam) {
  if (quit) return;
  if (message == WmUser && !closeRules) {
    FailWithoutBox();
    return;
  }
  SaverClassProc(saver.window, message, wordParam, longParam);
}

// In XScreenSaver's modes a message box would sit on the desktop or under the lock with nobody
// to answer it, and the saver would wait on it: the message goes to stderr instead, and the run
// fails once the usual close has run.
void SaverEventLoop::FailWithoutBox() {
  appLog.Write(Notify, "Exit with error");
  const char* text = appLog.UserMessage();
  std::fprintf(stderr, "velmora: %s\n", text ? text : "the saver could not start");
  failed = true;
  Dispatch(WmClose, 0, 0);
}

void SaverEventLoop::DrainPosted() {
  PostedMessages::Message next;
  while (!quit && posted.Take(next)) Dispatch(next.message, next.wordParam, next.longParam);
}

void SaverEventLoop::Translate(const XEvent& event) {
  const bool ours = event.xany.window == saver.window;
  switch (event.type) {
    case KeyPress:
      if (closeRules) Dispatch(WmKeyDown, event.xkey.keycode, 0);
      break;
    case ButtonPress:
      // Buttons 4 to 7 are the wheels: not a press the saver answers.
      if (!closeRules) break;
      if (event.xbutton.button == Button1) Dispatch(WmLButtonDown, 0, 0);
      if (event.xbutton.button == Button2) Dispatch(WmMButtonDown, 0, 0);
      if (event.xbutton.button == Button3) Dispatch(WmRButtonDown, 0, 0);
      break;
    case MotionNotify:
      if (!closeRules) break;
      if (pointerDisplaced) {
        // The server's move of a pointer that the screen shrank away from: where it landed is
        // where the user's movement counts from.
        pointerDisplaced = false;
        shellState.savedCursor = CursorPosition();
        break;
      }
      Dispatch(WmMouseMove, 0, 0);
      break;
    case FocusIn:
      if (ours && event.xfocus.detail != NotifyPointer &&
          (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed))
        activated = true;
      break;
    case FocusOut: {
      if (!closeRules || !ours || !activated || event.xfocus.detail == NotifyInferior ||
          event.xfocus.detail == NotifyPointer)
        break;
      if (event.xfocus.mode != NotifyNormal && event.xfocus.mode != NotifyWhileGrabbed) break;
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(display, &focus, &revert);
      // The activation goes to another client's window; a focus reset to None or PointerRoot
      // gives it to nobody (XWayland's window manager does that to a window the compositor
      // has not focused, just after the saver took the focus).
      if (focus != saver.window && focus > PointerRoot) Dispatch(WmActivateApp, 0, 0);
      break;
    }
    case MapNotify:
      if (!ours) break;
      if (saver.fullScreen) GrabInput(display, saver);
      Dispatch(WmShowWindow, 1, 0);
      break;
    case Expose:
      if (ours && event.xexpose.count == 0) Dispatch(WmPaint, 0, 0);
      break;
    case ConfigureNotify:
      // The preview covers its parent whatever size the parent takes, and the full-screen and
      // desktop windows the root window whatever size the screen takes (a monitor plugged in, a
      // laptop docked).
      if ((saver.parent != 0 && event.xconfigure.window == saver.parent && saver.own) ||
          ((saver.fullScreen || saver.desktop) &&
           event.xconfigure.window == DefaultRootWindow(display)))
        XMoveResizeWindow(display, saver.window, 0, 0,
                          static_cast<unsigned>(event.xconfigure.width),
                          static_cast<unsigned>(event.xconfigure.height));
      // A screen that shrinks from under the pointer (a monitor unplugged or asleep, a laptop
      // undocked): the server moves the pointer inside, after this event, and that motion is
      // not the user's.
      if (saver.fullScreen && closeRules && event.xconfigure.window == DefaultRootWindow(display)) {
        const ScreenPoint from = shellState.savedCursor;
        if (from.x >= event.xconfigure.width || from.y >= event.xconfigure.height)
          pointerDisplaced = true;
      }
      break;
    case DestroyNotify:
      // Gone under the saver (a preview's parent closed): the same orderly end as a close.
      if (event.xdestroywindow.window == saver.window) {
        destroyed = true;
        Dispatch(WmClose, 0, 0);
      }
      break;
    case ClientMessage: {
      x11::WindowMessage message;
      if (ours && x11::DecodeWindowMessage(display, event, message))
        Dispatch(message.message, message.wordParam, 0);
      break;
    }
    default:
      break;
  }
}

int SaverEventLoop::Run() {
  if (saver.fullScreen && closeRules) {
    sleepTarget = this;
    WatchLogindSleep(OnSleep);
  }

  // The render thread's messages come through the wake pipe: it may have no connection at all.
  x11::ReceiveWindowMessages(saver.window, [this](const x11::WindowMessage& m) {
    Post(m.message, m.wordParam, 0);
  });
  Dispatch(WmCreate, 0, 0);
  std::uint32_t lastAcPoll = TickCount();
  const bool pollAc = saver.fullScreen && closeRules;
  while (!quit) {
    DrainPosted();
    while (!quit && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      Translate(event);
      DrainPosted();
    }
    if (quit) break;

    int timeout = -1;
    if (pollAc) {
      const std::uint32_t since = TickCount() - lastAcPoll;
      timeout = since >= AcPollMs ? 0 : static_cast<int>(AcPollMs - since);
    }
    pollfd fds[4] = {{ConnectionNumber(display), POLLIN, 0},
                     {posted.WakeFd(), POLLIN, 0},
                     {EndSignalFd(), POLLIN, 0},
                     {ResetSignalFd(), POLLIN, 0}};
    poll(fds, 4, timeout);
    if (fds[1].revents & POLLIN) posted.ClearWake();
    // A signal, also one that came during start-up: the same close as any other.
    if ((fds[2].revents & POLLIN) && TakeEndSignals()) Post(WmClose, 0, 0);
    if ((fds[3].revents & POLLIN) && TakeResetSignals()) RestartFlight();
    if (pollAc && TickCount() - lastAcPoll >= AcPollMs) {
      lastAcPoll = TickCount();
      Post(WmPowerBroadcast, PbtPowerStatusChange, 0);
    }
  }
  x11::ReceiveWindowMessages(0, {});
  return failed ? -1 : quitCode;
}

ScreenPoint SaverEventLoop::CursorPosition() {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return {rootX, rootY};
}

void SaverEventLoop::HideCursor() {
  if (saver.fullScreen) XDefineCursor(display, saver.window, saver.invisibleCursor);
}

std::uint8_t SaverEventLoop::AcLineStatus() { return ReadAcLineStatus(); }

void SaverEventLoop::PostMessage(WindowHandle window, unsigned message, std::uintptr_t wordParam,
                                 std::intptr_t longParam) {
  // Only the saver window has a message queue here.
  if (window == saver.window) Post(message, wordParam, longParam);
}

void SaverEventLoop::PostQuit(int code) {
  quit = true;
  quitCode = code;
}

std::intptr_t SaverEventLoop::DefaultWindowProc(WindowHandle, unsigned message, std::uintptr_t,
                                                std::intptr_t) {
  if (message != WmClose) return 0;
  if (saver.own && !destroyed) {
    x11::ErrorTrap trap(display);
    XDestroyWindow(display, saver.window);
    trap.End();
  } else if (saver.window == DefaultRootWindow(display)) {
    // Drawn on directly: the desktop's background comes back in place of the last picture.
    XClearArea(display, saver.window, 0, 0, 0, 0, True);
    XFlush(display);
  }
  destroyed = true;
  // A window of XScreenSaver's stays; the saver's part in it ends the same way.
  SaverClassProc(saver.window, WmDestroy, 0, 0);
  return 0;
}

void SaverEventLoop::MinimizeWindow(WindowHandle) {
  if (!saver.own || destroyed) return;
  // No window manager iconifies an override-redirect window: it leaves the screen instead, and
  // gives up the input so that the message box can be answered.
  if (saver.fullScreen) ReleaseInput(display);
  XUnmapWindow(display, saver.window);
  XFlush(display);
}

WindowHandle SaverEventLoop::ParentWindow(WindowHandle) { return saver.parent; }

bool SaverEventLoop::IsWindow(WindowHandle window) {
  return WindowExists(display, static_cast<Window>(window));
}

}  // namespace platform
