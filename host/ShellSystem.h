#pragma once
// What the shell's window rules ask of the window system. Each platform's shell installs one
// (shellSystem); the tests install a fake and feed events straight into the rules.
#include <cstdint>

#include "host/ShellState.h"
#include "platform/Types.h"

class ShellSystem {
 public:
  virtual ~ShellSystem() = default;

  // The pointer position in screen coordinates.
  virtual ScreenPoint CursorPosition() = 0;
  virtual void HideCursor() = 0;
  // 0 off line, 1 on line, 255 unknown.
  virtual std::uint8_t AcLineStatus() = 0;
  // Queues a message for the window; it is handled later by the window's procedure.
  virtual void PostMessage(platform::WindowHandle window, unsigned message,
                           std::uintptr_t wordParam, std::intptr_t longParam) = 0;
  // Ends the message loop once the current message is handled.
  virtual void PostQuit(int code) = 0;
  // The platform's own default handling (on WM_CLOSE: destroy the window).
  virtual std::intptr_t DefaultWindowProc(platform::WindowHandle window, unsigned message,
                                          std::uintptr_t wordParam, std::intptr_t longParam) = 0;
  // Minimises the window (the platform's CloseWindow); it is not destroyed.
  virtual void MinimizeWindow(platform::WindowHandle window) = 0;
  virtual platform::WindowHandle ParentWindow(platform::WindowHandle window) = 0;
  virtual bool IsWindow(platform::WindowHandle window) = 0;

  // Platform features without a counterpart everywhere; the defaults do nothing.
  virtual void OnWindowCreated(platform::WindowHandle) {}    // input-method detaching
  virtual void OnWindowDestroyed(platform::WindowHandle) {}  // and its restoring
  virtual void YieldTimeSlice() {}
  // Windows 95 family: the password check before a close, and the verifier itself.
  virtual bool VerifyBeforeClose(platform::WindowHandle) { return true; }
  virtual bool HasPasswordVerifier() { return false; }
  virtual std::intptr_t VerifyPassword(platform::WindowHandle) { return 1; }
};

// The running platform's window system; set by the platform shell before a window exists.
extern ShellSystem* shellSystem;
