#pragma once
// The GTK module's windows and the helpers they share. Only the module includes this.
#include <gtk/gtk.h>

#include "platform/linux/GtkModule.h"

namespace platform::gtk {

// Realises window and marks it transient for the X window owner (a window of another client
// or of this process's own X connection). Nothing happens for 0 or an id that names no window.
void MakeTransientFor(GtkWidget* window, WindowHandle owner);

// Runs GTK's pending work, so that a destroyed window is gone from the screen before the caller
// goes on.
void FlushGtkEvents();

// The table's entries (see GtkModuleEntries).
bool ShowMessageBox(WindowHandle owner, const char* text, const char* caption, int dismissFd);
int RunSettingsDialog(WindowHandle parent, const DialogResources& resources,
                      DialogProcedure procedure);

}  // namespace platform::gtk
