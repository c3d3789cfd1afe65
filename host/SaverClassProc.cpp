#include "host/SaverClassProc.h"

#include "host/ScreenSaverProc.h"
#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"

using namespace shell;

std::intptr_t SaverClassProc(platform::WindowHandle window, unsigned message,
                             std::uintptr_t wordParam, std::intptr_t longParam) {
  ShellState& state = shellState;
  ShellSystem& system = *shellSystem;
  switch (message) {
    case WmCreate:
      system.OnWindowCreated(window);
      state.savedCursor = system.CursorPosition();
      if (!state.isPreview) system.HideCursor();
      break;
    case WmDestroy:
      system.OnWindowDestroyed(window);
      system.PostQuit(0);
      break;
    case WmSetText:
      return 0;
    case WmPaint:
      if (state.isClosing) return system.DefaultWindowProc(window, message, wordParam, longParam);
      if (!state.isPreview) system.HideCursor();
      break;
    case WmHelp:
    case WmContextMenu:
      if (state.isPreview) {
        const platform::WindowHandle parent = system.ParentWindow(window);
        if (parent != 0 && system.IsWindow(parent)) system.PostMessage(parent, message, parent, longParam);
        return 1;
      }
      break;
    case WmKeyDown:
    case WmSysKeyDown:
    case WmMouseMove:
    case WmLButtonDown:
    case WmRButtonDown:
    case WmMButtonDown:
      if (state.isClosing) return system.DefaultWindowProc(window, message, wordParam, longParam);
      break;
    case WmSysCommand:
      if (!state.isPreview) {
        // The command's low four bits are the platform's own.
        const std::uintptr_t command = wordParam & 0xFFF0;
        if (command == ScNextWindow || command == ScPrevWindow || command == ScScreenSave) return 0;
        if (command == ScMonitorPower) system.PostMessage(window, WmClose, 0, 0);
      }
      break;
    case WmTimer:
      if (state.isClosing) return 0;
      system.YieldTimeSlice();
      break;
    default:
      break;
  }
  return ScreenSaverProc(window, message, wordParam, longParam);
}
