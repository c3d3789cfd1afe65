#pragma once
// The saver window's own handling: the render thread on creation, the orderly release and the
// frame-rate line on close, and the report of a failed start.
#include <cstdint>

#include "platform/Types.h"

std::intptr_t ScreenSaverProc(platform::WindowHandle window, unsigned message,
                              std::uintptr_t wordParam, std::intptr_t longParam);
