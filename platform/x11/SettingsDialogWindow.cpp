// The settings dialog on X11: a GTK window built from the embedded GtkBuilder file, whose
// widgets turn into the dialog's messages so that the shared dialog logic decides everything.
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <cstdio>

#include "host/SettingsDialog.h"
#include "platform/x11/GtkSupport.h"

extern "C" {
extern const unsigned char SettingsDialogUi[];
extern const size_t SettingsDialogUi_size;
extern const unsigned char LogoBitmap[];
extern const size_t LogoBitmap_size;
}

namespace {

using namespace settings_dialog;

class GtkSettingsDialog final : public SettingsDialogView {
 public:
  explicit GtkSettingsDialog(GtkBuilder* builder)
      : window(GTK_WIDGET(gtk_builder_get_object(builder, "dialog"))),
        showFps(GTK_TOGGLE_BUTTON(gtk_builder_get_object(builder, "showFps"))),
        enableVSync(GTK_TOGGLE_BUTTON(gtk_builder_get_object(builder, "enableVSync"))),
        ok(GTK_WIDGET(gtk_builder_get_object(builder, "ok"))),
        setDefaults(GTK_WIDGET(gtk_builder_get_object(builder, "setDefaults"))) {}

  bool IsChecked(int control) override {
    GtkToggleButton* box = Box(control);
    return box && gtk_toggle_button_get_active(box);
  }

  void SetChecked(int control, bool checked) override {
    GtkToggleButton* box = Box(control);
    if (!box) return;
    // GTK reports a programmatic change as a toggle; the dialog's own fill is no click.
    filling = true;
    gtk_toggle_button_set_active(box, checked);
    filling = false;
  }

  void EndDialog(int value) override {
    result = value;
    ended = true;
    if (loop) g_main_loop_quit(loop);
  }

  int Run(platform::WindowHandle parent) {
    g_signal_connect(window, "show", G_CALLBACK(OnShow), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(showFps, "toggled", G_CALLBACK(OnToggled), this);
    g_signal_connect(enableVSync, "toggled", G_CALLBACK(OnToggled), this);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnClicked), this);
    g_signal_connect(setDefaults, "clicked", G_CALLBACK(OnClicked), this);
    platform::MakeTransientFor(window, parent);
    loop = g_main_loop_new(nullptr, FALSE);
    gtk_widget_show(window);
    gtk_widget_grab_focus(ok);
    if (!ended) g_main_loop_run(loop);
    g_main_loop_unref(loop);
    loop = nullptr;
    gtk_widget_destroy(window);
    platform::FlushGtkEvents();
    return result;
  }

 private:
  GtkToggleButton* Box(int control) const {
    return control == ShowFpsBox ? showFps : control == EnableVSyncBox ? enableVSync : nullptr;
  }

  void Command(int control) {
    ScreenSaverConfigureDialog(*this, settings_dialog::Command, static_cast<unsigned>(control), 0);
  }

  static void OnShow(GtkWidget*, gpointer self) {
    ScreenSaverConfigureDialog(*static_cast<GtkSettingsDialog*>(self), ShowWindow, 1, 0);
  }

  // The window's close button: the dialog ends without saving, and destroys itself.
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    ScreenSaverConfigureDialog(*static_cast<GtkSettingsDialog*>(self), Close, 0, 0);
    return TRUE;
  }

  static void OnToggled(GtkToggleButton* box, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    if (self->filling) return;
    self->Command(box == self->showFps ? ShowFpsBox : EnableVSyncBox);
  }

  static void OnClicked(GtkWidget* button, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    self->Command(button == self->ok ? OkButton : SetDefaultsButton);
  }

  // Keys as a dialog box handles them: Escape is command 2; Enter presses the focused push
  // button, or else the default button OK.
  static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
    switch (event->keyval) {
      case GDK_KEY_Escape:
        self->Command(SetDefaultsButton);
        return TRUE;
      case GDK_KEY_Return:
      case GDK_KEY_KP_Enter:
      case GDK_KEY_ISO_Enter: {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(self->window));
        if (focus == self->setDefaults) return FALSE;
        self->Command(OkButton);
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  GtkWidget* window;
  GtkToggleButton* showFps;
  GtkToggleButton* enableVSync;
  GtkWidget* ok;
  GtkWidget* setDefaults;
  GMainLoop* loop = nullptr;
  bool filling = false;
  bool ended = false;
  int result = 1;
};

void LoadLogo(GtkBuilder* builder) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  if (gdk_pixbuf_loader_write(loader, LogoBitmap, LogoBitmap_size, nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    if (GdkPixbuf* logo = gdk_pixbuf_loader_get_pixbuf(loader))
      gtk_image_set_from_pixbuf(GTK_IMAGE(gtk_builder_get_object(builder, "logo")), logo);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
}

}  // namespace

int RunSettingsDialog(platform::WindowHandle parent) {
  if (!gtk_init_check(nullptr, nullptr)) {
    // No dialog ran: the status of a refused start, not the dialog's own 1.
    std::fprintf(stderr, "Velmora Screen Saver: no display for the settings dialog\n");
    return -1;
  }
  GtkBuilder* builder = gtk_builder_new();
  GError* error = nullptr;
  if (!gtk_builder_add_from_string(builder, reinterpret_cast<const char*>(SettingsDialogUi),
                                   static_cast<gsize>(SettingsDialogUi_size), &error)) {
    std::fprintf(stderr, "Velmora Screen Saver: settings dialog: %s\n", error->message);
    g_error_free(error);
    g_object_unref(builder);
    return -1;
  }
  LoadLogo(builder);
  GtkSettingsDialog dialog(builder);
  const int result = dialog.Run(parent);
  g_object_unref(builder);
  return result;
}
