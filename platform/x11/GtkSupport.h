#pragma once
// Small helpers shared by the GTK windows of the X11 layer.
#include <gtk/gtk.h>

#include "platform/Types.h"

namespace platform {

// Realises window and marks it transient for the X window owner (a window of another client
// or of this process's own X connection). Nothing happens for 0 or an id that names no window.
void MakeTransientFor(GtkWidget* window, WindowHandle owner);

// Runs GTK's pending work, so that a destroyed window is gone from the screen before the caller
// goes on.
void FlushGtkEvents();

}  // namespace platform
