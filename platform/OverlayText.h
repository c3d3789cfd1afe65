#pragma once
#include "platform/Types.h"

namespace platform {

// Makes the overlay's font for the current GL context, where the platform makes it ahead of use.
// Called once in video initialisation, with the context current.
void PrepareOverlayText(DeviceContext dc);

// Draws text white on black from the top left corner of the viewport (the window's, or that of
// the monitor the picture is on), clipped to the rectangle (0, 0)-(right, bottom) in pixels from
// that corner, over what the frame has drawn and before the swap. Called on the render thread
// with its context current; leaves the GL state as it found it.
void DrawOverlayText(DeviceContext dc, int right, int bottom, const char* text);

}  // namespace platform
