#include "platform/MessageBox.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>

#include "platform/x11/GtkSupport.h"

namespace platform {

void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) {
  if (!gtk_init_check(nullptr, nullptr)) {
    // No display to show it on: the text still reaches whoever started the program.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return;
  }
  // GTK_MESSAGE_OTHER: the box carries no icon.
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_OK, "%s", text ? text : "");
  gtk_window_set_title(GTK_WINDOW(box), caption ? caption : "");
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  MakeTransientFor(box, owner);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  FlushGtkEvents();
}

}  // namespace platform
