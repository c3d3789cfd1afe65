#pragma once

namespace platform {

// Readies the process for the platform layer. Call it first in main, before any other platform
// call and before any library that may talk to the display (GTK, GLX) is touched.
// X11: makes Xlib thread-safe (the render thread has its own connection), installs X error
// handlers that never end the process over a protocol error, and ends the process promptly and
// quietly when the X server goes away. Win32: nothing.
void PrepareProcess();

}  // namespace platform
