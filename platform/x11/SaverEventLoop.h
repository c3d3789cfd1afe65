#pragma once
// The saver window's message loop on X11: X events, posted messages, signals, logind's sleep
// signal and the AC line poll, all turned into the shell's messages and handed to the saver's
// class procedure. It is the window system the shell's rules talk to.
#include <X11/Xlib.h>

#include <cstdint>

#include "host/ShellSystem.h"
#include "platform/posix/PostedMessages.h"
#include "platform/x11/SaverWindow.h"

namespace platform {

class SaverEventLoop : public ShellSystem {
 public:
  // closeRules false: XScreenSaver's modes, where only signals and the window's end close.
  SaverEventLoop(Display* display, SaverWindow saver, bool closeRules);

  // Creates the window's messages, runs until the window is destroyed, returns the quit code.
  int Run();

  // Any thread: queues a message for the saver window and wakes the loop.
  void Post(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam);

  ScreenPoint CursorPosition() override;
  void HideCursor() override;
  std::uint8_t AcLineStatus() override;
  void PostMessage(WindowHandle window, unsigned message, std::uintptr_t wordParam,
                   std::intptr_t longParam) override;
  void PostQuit(int code) override;
  std::intptr_t DefaultWindowProc(WindowHandle window, unsigned message, std::uintptr_t wordParam,
                                  std::intptr_t longParam) override;
  void MinimizeWindow(WindowHandle window) override;
  WindowHandle ParentWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;

 private:
  void Dispatch(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam);
  void Translate(const XEvent& event);
  void DrainPosted();
  void FailWithoutBox();

  Display* display;
  SaverWindow saver;
  bool closeRules;
  bool destroyed = false;
  // Set once the window has held the input focus: only then can it lose its activation.
  bool activated = false;
  // Set when the screen shrank past where movement is measured from: the next motion is the
  // server putting the pointer back on the screen.
  bool pointerDisplaced = false;
  bool quit = false;
  bool failed = false;  // the run ends with -1 whatever the quit message says
  int quitCode = 0;
  PostedMessages posted;
};

}  // namespace platform
