#pragma once
#include <cstdint>
#include "platform/Types.h"

namespace platform {

// Posts message (1024 for a failed start) with wordParam to the window's own thread without
// waiting for it to be handled. Called on the render thread.
void NotifyWindow(WindowHandle window, unsigned message, std::uintptr_t wordParam);

}  // namespace platform
