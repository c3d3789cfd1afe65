#pragma once
#include "platform/Types.h"

namespace platform {

// Draws text white on black from the top left corner of the window, clipped to the rectangle
// (0, 0)-(right, bottom) in pixels, over what the frame has drawn and before the swap. Called on
// the render thread with its context current; leaves the GL state as it found it.
void DrawOverlayText(DeviceContext dc, int right, int bottom, const char* text);

}  // namespace platform
