#pragma once
// The saver window's message loop, one for every Linux window system: posted messages, the end
// and reset signals, the AC line poll, logind's sleep signal and the close protocol, turned into
// the shell's messages for the window's procedure. The window system supplies its connection's
// descriptor and the steps around the poll (SaverLoop::Source); the loop is the window system
// the shell's rules talk to.
#include <cstdint>

#include "host/ShellSystem.h"
#include "platform/linux/PostedMessages.h"

namespace platform {

class SaverLoop : public ShellSystem {
 public:
  using WindowProc = std::intptr_t (*)(WindowHandle window, unsigned message,
                                       std::uintptr_t wordParam, std::intptr_t longParam);

  // The window system's half of the loop: its connection and the saver's window on it.
  class Source {
   public:
    virtual ~Source() = default;
    virtual WindowHandle Handle() = 0;
    // The connection's descriptor, polled for reading.
    virtual int EventFd() = 0;
    // Before the poll: handles the events already queued (each through loop.Dispatch) and leaves
    // the connection ready to be read.
    virtual void PrepareRead(SaverLoop& loop) = 0;
    // After the poll, with EventFd's revents: reads and handles what came, or cancels the read.
    virtual void Read(SaverLoop& loop, short revents) = 0;
    // The loop ends between PrepareRead and the poll.
    virtual void CancelRead() {}
    // Right after WM_CREATE.
    virtual void Created(SaverLoop&) {}
    // WM_CLOSE's default handling: takes the window away; false when it was gone already and
    // WM_DESTROY has been sent.
    virtual bool DestroyWindow() = 0;
    virtual ScreenPoint CursorPosition() = 0;
    virtual void HideCursor() {}
    virtual void MinimizeWindow() = 0;
    virtual WindowHandle ParentWindow() { return 0; }
    virtual bool IsWindow(WindowHandle window) = 0;
  };

  struct Options {
    // False: XScreenSaver's modes, where only signals and the window's end close, and a failed
    // start is told on stderr instead of in a box nobody could answer.
    bool closeRules = true;
    // The AC line poll and logind's sleep signal (the full-screen saver with its close rules).
    bool watchPower = false;
    std::uint32_t acPollMs = 1000;
    WindowProc proc = nullptr;          // the window's procedure (the saver's class procedure)
    void (*restartFlight)() = nullptr;  // a locker's reset, where the reset signal is caught
  };

  SaverLoop(Source& source, const Options& options) : window(source), options(options) {}

  // Sends WM_CREATE, runs until the window is destroyed and returns the quit code (-1 after a
  // failed start without close rules).
  int Run();

  // Any thread: queues a message for the window and wakes the loop.
  void Post(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam);
  // The loop's thread: hands a message to the window's procedure now, unless the loop ends.
  void Dispatch(unsigned message, std::uintptr_t wordParam, std::intptr_t longParam);
  // The loop's thread: dispatches the posted messages in order.
  void DrainPosted();
  bool Quitting() const { return quit; }
  bool CloseRules() const { return options.closeRules; }

  ScreenPoint CursorPosition() override { return window.CursorPosition(); }
  void HideCursor() override { window.HideCursor(); }
  std::uint8_t AcLineStatus() override;
  void PostMessage(WindowHandle target, unsigned message, std::uintptr_t wordParam,
                   std::intptr_t longParam) override;
  void PostQuit(int code) override;
  std::intptr_t DefaultWindowProc(WindowHandle target, unsigned message, std::uintptr_t wordParam,
                                  std::intptr_t longParam) override;
  void MinimizeWindow(WindowHandle) override { window.MinimizeWindow(); }
  WindowHandle ParentWindow(WindowHandle) override { return window.ParentWindow(); }
  bool IsWindow(WindowHandle target) override { return window.IsWindow(target); }

 private:
  void FailWithoutBox();

  Source& window;
  Options options;
  bool quit = false;
  bool failed = false;
  int quitCode = 0;
  PostedMessages posted;
};

}  // namespace platform
