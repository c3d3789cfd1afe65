// The settings dialog: a GTK window built from the GtkBuilder layout it is given, whose widgets
// turn into the dialog's messages so that the program's dialog procedure decides everything.
#include <gdk/gdkkeysyms.h>

#include <cstdio>

#include "host/SettingsDialog.h"
#include "platform/linux/gtk/GtkSupport.h"

namespace platform::gtk {
namespace {

using namespace settings_dialog;

class GtkSettingsDialog final : public SettingsDialogView {
 public:
  GtkSettingsDialog(GtkWidget* window, GtkToggleButton* showFps, GtkToggleButton* enableVSync,
                    GtkWidget* ok, GtkWidget* setDefaults, DialogProcedure procedure)
      : window(window), showFps(showFps), enableVSync(enableVSync), ok(ok),
        setDefaults(setDefaults), procedure(procedure) {}

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

  void ShowMessage(const char* text, const char* caption) override {
    // GTK_MESSAGE_OTHER: no icon, as the saver's own failure box.
    GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(window), GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                            GTK_BUTTONS_OK, "%s", text ? text : "");
    gtk_window_set_title(GTK_WINDOW(box), caption ? caption : "");
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
  }

  int Run(WindowHandle parent) {
    g_signal_connect(window, "show", G_CALLBACK(OnShow), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), this);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(showFps, "toggled", G_CALLBACK(OnToggled), this);
    g_signal_connect(enableVSync, "toggled", G_CALLBACK(OnToggled), this);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnClicked), this);
    g_signal_connect(setDefaults, "clicked", G_CALLBACK(OnClicked), this);
    MakeTransientFor(window, parent);
    loop = g_main_loop_new(nullptr, FALSE);
    gtk_widget_show(window);
    gtk_widget_grab_focus(ok);
    if (!ended) g_main_loop_run(loop);
    g_main_loop_unref(loop);
    loop = nullptr;
    if (!destroyed) {
      destroyed = true;  // the handler below must not answer the dialog's own end
      gtk_widget_destroy(window);
    }
    FlushGtkEvents();
    return result;
  }

 private:
  GtkToggleButton* Box(int control) const {
    return control == ShowFpsBox ? showFps : control == EnableVSyncBox ? enableVSync : nullptr;
  }

  void Command(int control) {
    procedure(*this, settings_dialog::Command, static_cast<unsigned>(control), 0);
  }

  static void OnShow(GtkWidget*, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    self->procedure(*self, ShowWindow, 1, 0);
  }

  // The window's close button: the dialog ends without saving, and destroys itself.
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    self->procedure(*self, Close, 0, 0);
    return TRUE;
  }

  // The window destroyed from outside (another client, a session that goes): GTK destroys the
  // widget with it. The dialog ends as if its close button had been pressed: nothing is saved.
  static void OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<GtkSettingsDialog*>(data);
    if (self->destroyed) return;
    self->destroyed = true;
    if (!self->ended) self->procedure(*self, Close, 0, 0);
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
  DialogProcedure procedure;
  GMainLoop* loop = nullptr;
  bool filling = false;
  bool ended = false;
  bool destroyed = false;
  int result = 1;
};

void LoadLogo(GtkImage* image, const DialogResources& resources) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  if (gdk_pixbuf_loader_write(loader, resources.logo, resources.logoSize, nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    if (GdkPixbuf* logo = gdk_pixbuf_loader_get_pixbuf(loader)) gtk_image_set_from_pixbuf(image, logo);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
}

// The layout's object named id when it is of type, else nullptr.
template <typename T>
T* Find(GtkBuilder* builder, const char* id, GType type) {
  GObject* object = gtk_builder_get_object(builder, id);
  return object && G_TYPE_CHECK_INSTANCE_TYPE(object, type) ? reinterpret_cast<T*>(object) : nullptr;
}

int CannotShow(const char* reason, const char* detail = "") {
  std::fprintf(stderr, "Velmora Screen Saver: settings dialog: %s%s\n", reason, detail);
  return -1;
}

}  // namespace

int RunSettingsDialog(WindowHandle parent, const DialogResources& resources,
                      DialogProcedure procedure) {
  if (!gtk_init_check(nullptr, nullptr)) return CannotShow("no display");
  GtkBuilder* builder = gtk_builder_new();
  GError* error = nullptr;
  if (!gtk_builder_add_from_string(builder, resources.layout,
                                   static_cast<gsize>(resources.layoutSize), &error)) {
    CannotShow("layout: ", error->message);
    g_error_free(error);
    g_object_unref(builder);
    return -1;
  }
  auto* window = Find<GtkWidget>(builder, "dialog", GTK_TYPE_WINDOW);
  auto* showFps = Find<GtkToggleButton>(builder, "showFps", GTK_TYPE_TOGGLE_BUTTON);
  auto* enableVSync = Find<GtkToggleButton>(builder, "enableVSync", GTK_TYPE_TOGGLE_BUTTON);
  auto* ok = Find<GtkWidget>(builder, "ok", GTK_TYPE_BUTTON);
  auto* setDefaults = Find<GtkWidget>(builder, "setDefaults", GTK_TYPE_BUTTON);
  if (!window || !showFps || !enableVSync || !ok || !setDefaults) {
    if (window) gtk_widget_destroy(window);  // a toplevel outlives its builder
    g_object_unref(builder);
    return CannotShow("layout: a window, button or check box is missing");
  }
  if (auto* logo = Find<GtkImage>(builder, "logo", GTK_TYPE_IMAGE)) LoadLogo(logo, resources);
  GtkSettingsDialog dialog(window, showFps, enableVSync, ok, setDefaults, procedure);
  const int result = dialog.Run(parent);
  g_object_unref(builder);
  return result;
}

}  // namespace platform::gtk
