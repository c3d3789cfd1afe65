#pragma once
// The saver window's class procedure: filters what the shell handles itself and forwards the
// rest to ScreenSaverProc.
#include <cstdint>

#include "platform/Types.h"

std::intptr_t SaverClassProc(platform::WindowHandle window, unsigned message,
                             std::uintptr_t wordParam, std::intptr_t longParam);
