#include "platform/x11/SaverWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11Errors.h"

namespace platform {
namespace {

constexpr char ClassName[] = "WindowsScreenSaverClass";
constexpr char FullScreenTitle[] = "Screen Saver";
constexpr long SaverEvents = KeyPressMask | ButtonPressMask | PointerMotionMask |
                             FocusChangeMask | StructureNotifyMask | ExposureMask;

void SetNames(Display* display, Window window, const char* title) {
  XClassHint hint;
  hint.res_name = const_cast<char*>("velmora");
  hint.res_class = const_cast<char*>(ClassName);
  XSetClassHint(display, window, &hint);
  XStoreName(display, window, title);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
}

Cursor MakeInvisibleCursor(Display* display, Window window) {
  static const char empty[1] = {0};
  const Pixmap blank = XCreateBitmapFromData(display, window, empty, 1, 1);
  XColor black{};
  const Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
  XFreePixmap(display, blank);
  return cursor;
}

bool IsSaverWindow(Display* display, Window window) {
  XClassHint hint{};
  bool match = false;
  if (XGetClassHint(display, window, &hint)) {
    match = hint.res_class != nullptr && std::strcmp(hint.res_class, ClassName) == 0;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
  }
  if (!match) return false;
  char* name = nullptr;
  match = XFetchName(display, window, &name) && name != nullptr &&
          std::strcmp(name, FullScreenTitle) == 0;
  if (name) XFree(name);
  return match;
}

}  // namespace

Window FindRunningSaver(Display* display) {
  // Windows may vanish while they are looked at: their errors are caught, not fatal.
  x11::ErrorTrap trap(display);
  Window root = 0, parent = 0, found = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned i = count; i-- > 0 && found == 0;) {
      if (IsSaverWindow(display, children[i])) found = children[i];
    }
    if (children) XFree(children);
  }
  trap.End();
  return found;
}

Window VirtualRoot(Display* display) {
  const Window root = DefaultRootWindow(display);
  const Atom property = XInternAtom(display, "__SWM_VROOT", False);
  x11::ErrorTrap trap(display);  // children may vanish while they are looked at
  Window rootReturn = 0, parent = 0, found = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && found == 0; ++i) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, children[i], property, 0, 1, False, AnyPropertyType, &type,
                             &format, &items, &after, &data) == Success &&
          data != nullptr && format == 32 && items == 1)
        found = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
      if (data) XFree(data);
    }
    if (children) XFree(children);
  }
  trap.End();
  return found != 0 && WindowExists(display, found) ? found : root;
}

namespace {

// A window over the whole root, which spans every monitor; None where the server refused it. The
// root's size changes reach the saver through its structure events, selected first so that no
// change is lost in between.
Window CreateRootSizedWindow(Display* display, XSetWindowAttributes& attributes,
                             unsigned long valueMask) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  XSelectInput(display, root, StructureNotifyMask);
  XWindowAttributes rootSize;
  XGetWindowAttributes(display, root, &rootSize);
  attributes.background_pixel = BlackPixel(display, screen);
  x11::ErrorTrap trap(display);
  const Window window = XCreateWindow(
      display, root, 0, 0, static_cast<unsigned>(rootSize.width),
      static_cast<unsigned>(rootSize.height), 0, CopyFromParent, InputOutput, CopyFromParent,
      valueMask | CWBackPixel, &attributes);
  return trap.End() == Success ? window : None;
}

}  // namespace

SaverWindow CreateFullScreenWindow(Display* display) {
  SaverWindow saver;
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = SaverEvents;
  const Window window =
      CreateRootSizedWindow(display, attributes, CWOverrideRedirect | CWEventMask);
  if (window == None) return saver;
  saver.window = window;
  saver.own = true;
  saver.fullScreen = true;
  SetNames(display, window, FullScreenTitle);
  saver.invisibleCursor = MakeInvisibleCursor(display, window);
  XDefineCursor(display, window, saver.invisibleCursor);
  XMapRaised(display, window);
  XFlush(display);
  return saver;
}

bool CompositingManagerRuns(Display* display) {
  char name[32];
  std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(display));
  return XGetSelectionOwner(display, XInternAtom(display, name, False)) != None;
}

SaverWindow CreateDesktopWindow(Display* display) {
  SaverWindow saver;
  // It follows the root's size as the full-screen window does.
  XSetWindowAttributes attributes{};
  attributes.event_mask = StructureNotifyMask | ExposureMask;
  const Window window = CreateRootSizedWindow(display, attributes, CWEventMask);
  if (window == None) return saver;
  saver.window = window;
  saver.own = true;
  saver.desktop = true;
  SetNames(display, window, "Desktop");
  const Atom atom = XA_ATOM;
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), atom, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
  const Atom states[] = {XInternAtom(display, "_NET_WM_STATE_BELOW", False),
                         XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                         XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), atom, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(states), 3);
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = False;  // the focus stays with the user's windows
  XSetWMHints(display, window, &hints);
  // Lowered before it is mapped, so that without a window manager too it never shows above
  // another window, not even for a moment; a window manager keeps desktop windows lowest.
  XLowerWindow(display, window);
  XMapWindow(display, window);
  XFlush(display);
  return saver;
}

SaverWindow CreatePreviewWindow(Display* display, Window parent) {
  SaverWindow saver;
  XWindowAttributes size{};
  {
    x11::ErrorTrap trap(display);
    // The parent's size changes and its end reach the saver through its structure events,
    // selected first so that no change is lost between reading the size and watching it.
    XSelectInput(display, parent, StructureNotifyMask);
    const Status status = XGetWindowAttributes(display, parent, &size);
    if (trap.End() != Success || status == 0) return saver;
  }
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
  attributes.event_mask = StructureNotifyMask | ExposureMask;
  x11::ErrorTrap trap(display);
  const Window window = XCreateWindow(
      display, parent, 0, 0, static_cast<unsigned>(size.width > 0 ? size.width : 1),
      static_cast<unsigned>(size.height > 0 ? size.height : 1), 0, CopyFromParent, InputOutput,
      CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  if (trap.End() != Success) return saver;
  saver.window = window;
  saver.parent = parent;
  saver.own = true;
  SetNames(display, window, "Preview");
  XMapWindow(display, window);
  XFlush(display);
  return saver;
}

SaverWindow AdoptWindow(Display* display, Window window) {
  SaverWindow saver;
  x11::ErrorTrap trap(display);
  // Its end is the only event the saver needs from a window it does not own.
  XSelectInput(display, window, StructureNotifyMask);
  if (trap.End() != Success) return saver;
  saver.window = window;
  return saver;
}

bool TakeInput(Display* display, unsigned waitMs) {
  constexpr unsigned StepMs = 20;
  const Window root = DefaultRootWindow(display);
  bool keyboard = false, pointer = false;
  for (unsigned waited = 0;; waited += StepMs) {
    // Held on the root window until the saver's window is mapped, which then takes them over.
    if (!keyboard)
      keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync,
                               CurrentTime) == GrabSuccess;
    if (!pointer)
      pointer = XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                             CurrentTime) == GrabSuccess;
    if ((keyboard && pointer) || waited >= waitMs) break;
    usleep(StepMs * 1000);
  }
  if (keyboard && pointer) return true;
  ReleaseInput(display);
  return false;
}

bool GrabInput(Display* display, const SaverWindow& saver) {
  const int keyboard =
      XGrabKeyboard(display, saver.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  const int pointer = XGrabPointer(display, saver.window, True,
                                   ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                   GrabModeAsync, None, saver.invisibleCursor, CurrentTime);
  XSetInputFocus(display, saver.window, RevertToParent, CurrentTime);
  return keyboard == GrabSuccess && pointer == GrabSuccess;
}

void ReleaseInput(Display* display) {
  XUngrabKeyboard(display, CurrentTime);
  XUngrabPointer(display, CurrentTime);
  XFlush(display);
}

}  // namespace platform
