#pragma once
// The window thread's X connection.
#include <X11/Xlib.h>

namespace platform {

// Opened on first use; nullptr when no display can be opened.
Display* ShellDisplay();

// True when id names an existing window; an id that names none is an answer, never an error.
bool WindowExists(Display* display, Window id);

}  // namespace platform
