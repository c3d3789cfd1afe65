#include "platform/x11/X11SaverEvents.h"

#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Errors.h"
#include "platform/x11/X11Notify.h"

using namespace shell;

namespace platform {

void X11SaverEvents::Translate(SaverLoop& loop, const XEvent& event) {
  const bool closeRules = loop.CloseRules();
  const bool ours = event.xany.window == saver.window;
  switch (event.type) {
    case KeyPress:
      if (closeRules) loop.Dispatch(WmKeyDown, event.xkey.keycode, 0);
      break;
    case ButtonPress:
      // Buttons 4 to 7 are the wheels: not a press the saver answers.
      if (!closeRules) break;
      if (event.xbutton.button == Button1) loop.Dispatch(WmLButtonDown, 0, 0);
      if (event.xbutton.button == Button2) loop.Dispatch(WmMButtonDown, 0, 0);
      if (event.xbutton.button == Button3) loop.Dispatch(WmRButtonDown, 0, 0);
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
      loop.Dispatch(WmMouseMove, 0, 0);
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
      if (focus != saver.window && focus > PointerRoot) loop.Dispatch(WmActivateApp, 0, 0);
      break;
    }
    case MapNotify:
      if (!ours) break;
      if (saver.fullScreen) GrabInput(display, saver);
      loop.Dispatch(WmShowWindow, 1, 0);
      break;
    case Expose:
      if (ours && event.xexpose.count == 0) loop.Dispatch(WmPaint, 0, 0);
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
        loop.Dispatch(WmClose, 0, 0);
      }
      break;
    case ClientMessage: {
      x11::WindowMessage message;
      if (ours && x11::DecodeWindowMessage(display, event, message))
        loop.Dispatch(message.message, message.wordParam, 0);
      break;
    }
    default:
      break;
  }
}

void X11SaverEvents::PrepareRead(SaverLoop& loop) {
  while (!loop.Quitting() && XPending(display)) {
    XEvent event;
    XNextEvent(display, &event);
    Translate(loop, event);
    loop.DrainPosted();
  }
}

ScreenPoint X11SaverEvents::CursorPosition() {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return {rootX, rootY};
}

void X11SaverEvents::HideCursor() {
  if (saver.fullScreen) XDefineCursor(display, saver.window, saver.invisibleCursor);
}

bool X11SaverEvents::DestroyWindow() {
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
  return true;
}

void X11SaverEvents::MinimizeWindow() {
  if (!saver.own || destroyed) return;
  // No window manager iconifies an override-redirect window: it leaves the screen instead, and
  // gives up the input so that the message box can be answered.
  if (saver.fullScreen) ReleaseInput(display);
  XUnmapWindow(display, saver.window);
  XFlush(display);
}

bool X11SaverEvents::IsWindow(WindowHandle window) {
  return WindowExists(display, static_cast<Window>(window));
}

}  // namespace platform
