// The failure message box: GTK's message dialog with one OK button and no icon.
#include <glib-unix.h>

#include "platform/linux/gtk/GtkSupport.h"

namespace platform::gtk {
namespace {

struct Dismissal {
  GtkWidget* box;
  guint source;
};

// The descriptor became readable (a signal to end): the box goes, so that the caller can close.
gboolean Dismiss(gint, GIOCondition, gpointer data) {
  auto* dismissal = static_cast<Dismissal*>(data);
  dismissal->source = 0;
  gtk_dialog_response(GTK_DIALOG(dismissal->box), GTK_RESPONSE_DELETE_EVENT);
  return G_SOURCE_REMOVE;
}

}  // namespace

bool ShowMessageBox(WindowHandle owner, const char* text, const char* caption, int dismissFd) {
  if (!gtk_init_check(nullptr, nullptr)) return false;
  // GTK_MESSAGE_OTHER: the box carries no icon.
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_OK, "%s", text ? text : "");
  gtk_window_set_title(GTK_WINDOW(box), caption ? caption : "");
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  MakeTransientFor(box, owner);
  Dismissal dismissal{box, 0};
  if (dismissFd >= 0) dismissal.source = g_unix_fd_add(dismissFd, G_IO_IN, Dismiss, &dismissal);
  gtk_dialog_run(GTK_DIALOG(box));
  // The user answered first: the source must not outlive the box it would dismiss.
  if (dismissal.source != 0) g_source_remove(dismissal.source);
  gtk_widget_destroy(box);
  FlushGtkEvents();
  return true;
}

}  // namespace platform::gtk
