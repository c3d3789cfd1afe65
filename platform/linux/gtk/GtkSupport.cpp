#include "platform/linux/gtk/GtkSupport.h"

#include <gdk/gdkx.h>

namespace platform::gtk {

void MakeTransientFor(GtkWidget* window, WindowHandle owner) {
  gtk_widget_realize(window);
  if (owner == 0) return;
  GdkDisplay* display = gtk_widget_get_display(window);
  if (!GDK_IS_X11_DISPLAY(display)) return;
  // The foreign window look-up traps the X error of an id that names no window.
  GdkWindow* parent =
      gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(owner));
  if (!parent) return;
  gdk_window_set_transient_for(gtk_widget_get_window(window), parent);
  g_object_set_data_full(G_OBJECT(window), "velmora-owner", parent, g_object_unref);
}

void FlushGtkEvents() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace platform::gtk

// The module's one exported symbol.
extern "C" [[gnu::visibility("default")]] const platform::GtkModuleEntries*
VelmoraGtkModuleEntries() {
  using namespace platform;
  static const GtkModuleEntries entries{GtkModuleVersion, gtk::ShowMessageBox,
                                        gtk::RunSettingsDialog};
  return &entries;
}
