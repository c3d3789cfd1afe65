#pragma once
// The shell's default processing of the saver window's messages, and with it the close rules:
// cursor movement beyond the threshold, a key or mouse button, loss of activation, power events.
#include <cstdint>

#include "platform/Types.h"

// What ScreenSaverProc hands every message to. Reads and updates shellState; talks to the window
// system through shellSystem. A close is a WM_CLOSE posted to the window.
std::intptr_t DefScreenSaverProc(platform::WindowHandle window, unsigned message,
                                 std::uintptr_t wordParam, std::intptr_t longParam);
