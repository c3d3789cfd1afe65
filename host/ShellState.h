#pragma once
// The shell's one process-wide record. The Windows 95 family's password fields are kept as flags
// here; the modules and function pointers behind them belong to the Win32 layer.
#include <cstdint>

#include "platform/Types.h"

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct ShellState {
  platform::WindowHandle mainWindow = 0;
  bool isPreview = false;
  bool isClosing = false;           // the password verifier approved a close
  bool isCheckingPassword = false;  // the password verifier is running
  unsigned autoPlayMessage = 0;     // "QueryCancelAutoPlay", or 0 when not registered
  bool isWin95Family = false;
  ScreenPoint savedCursor;          // where mouse movement is measured from
  std::uint32_t mouseThreshold = 4; // the largest movement that does not close
  std::uint8_t lastLineStatus = 255;
  std::uint32_t lastPasswordCheck = 0xFFFFFFFF;
};

extern ShellState shellState;
