#pragma once
// X11's half of the saver's loop (platform/linux/SaverLoop.h): the window's X events turned into
// the shell's messages, and the window's end.
#include <X11/Xlib.h>

#include "platform/linux/SaverLoop.h"
#include "platform/x11/SaverWindow.h"

namespace platform {

class X11SaverEvents : public SaverLoop::Source {
 public:
  X11SaverEvents(Display* display, SaverWindow saver) : display(display), saver(saver) {}

  WindowHandle Handle() override { return saver.window; }
  int EventFd() override { return ConnectionNumber(display); }
  void PrepareRead(SaverLoop& loop) override;
  void Read(SaverLoop&, short) override {}  // read by the next PrepareRead's XPending
  bool DestroyWindow() override;
  ScreenPoint CursorPosition() override;
  void HideCursor() override;
  void MinimizeWindow() override;
  WindowHandle ParentWindow() override { return saver.parent; }
  bool IsWindow(WindowHandle window) override;

 private:
  void Translate(SaverLoop& loop, const XEvent& event);

  Display* display;
  SaverWindow saver;
  bool destroyed = false;
  // Set once the window has held the input focus: only then can it lose its activation.
  bool activated = false;
  // Set when the screen shrank past where movement is measured from: the next motion is the
  // server putting the pointer back on the screen.
  bool pointerDisplaced = false;
};

}  // namespace platform
