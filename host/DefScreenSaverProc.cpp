#include "host/DefScreenSaverProc.h"

#include "host/ShellMessages.h"
#include "host/ShellState.h"
#include "host/ShellSystem.h"

using namespace shell;

namespace {

void Close(ShellSystem& system, platform::WindowHandle window) {
  system.PostMessage(window, WmClose, 0, 0);
}

// Summed over both axes; 64-bit so that no pair of 32-bit positions can overflow.
std::uint64_t Distance(ScreenPoint a, ScreenPoint b) {
  const std::int64_t dx = std::int64_t{a.x} - b.x;
  const std::int64_t dy = std::int64_t{a.y} - b.y;
  return static_cast<std::uint64_t>(dx < 0 ? -dx : dx) + static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
}

// Every power event closes except a resume from a failed suspend and a status change that left
// the AC line as it was.
bool PowerEventCloses(ShellState& state, ShellSystem& system, std::uintptr_t code,
                      std::intptr_t longParam) {
  switch (code) {
    case PbtResumeCritical:
    case PbtResumeSuspend:
    case PbtResumeStandby:
    case PbtResumeAutomatic:
      return (longParam & PbtResumeFromFailure) == 0;
    case PbtPowerStatusChange: {
      const std::uint8_t status = system.AcLineStatus();
      const bool changed = status != state.lastLineStatus;
      state.lastLineStatus = status;
      return changed;
    }
    default:
      return true;
  }
}

}  // namespace

std::intptr_t DefScreenSaverProc(platform::WindowHandle window, unsigned message,
                                 std::uintptr_t wordParam, std::intptr_t longParam) {
  ShellState& state = shellState;
  ShellSystem& system = *shellSystem;

  if (!state.isPreview && !state.isClosing) {
    if (message == WmClose) {
      if (state.isWin95Family && !system.VerifyBeforeClose(window)) {
        state.savedCursor = system.CursorPosition();
        return 0;
      }
    } else if (message == WmApp) {
      if (state.isWin95Family) {
        return system.HasPasswordVerifier() ? system.VerifyPassword(window) : 1;
      }
    } else if (!state.isCheckingPassword) {
      switch (message) {
        case WmShowWindow:
          if (wordParam != 0) system.HideCursor();
          break;
        case WmActivateApp:
          if (wordParam == 0) Close(system, window);
          break;
        case WmSetCursor:
          system.HideCursor();
          return 1;
        case WmPower:
          if (wordParam == PowerCriticalResume) Close(system, window);
          break;
        case WmKeyDown:
        case WmSysKeyDown:
        case WmLButtonDown:
        case WmRButtonDown:
        case WmMButtonDown:
          Close(system, window);
          break;
        case WmMouseMove: {
          // The position is read now: the message's own coordinates may be stale or relative.
          const ScreenPoint p = system.CursorPosition();
          if (Distance(p, state.savedCursor) > state.mouseThreshold) {
            Close(system, window);
            state.savedCursor = p;
          }
          break;
        }
        case WmPowerBroadcast:
          if (PowerEventCloses(state, system, wordParam, longParam)) Close(system, window);
          break;
        default:
          break;
      }
    }
  }

  if (state.autoPlayMessage != 0 && message == state.autoPlayMessage) {
    Close(system, window);
    return system.HasPasswordVerifier() ? 1 : 0;
  }
  return system.DefaultWindowProc(window, message, wordParam, longParam);
}
