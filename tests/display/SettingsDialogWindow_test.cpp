// The GTK settings dialog driven through its widgets, its window's close request and the real
// keyboard (xdotool), against the process's own store and a private configuration folder.
#include <gtest/gtest.h>
// Xlib after GoogleTest: its macros (None, Bool) would break GoogleTest's headers.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "base/SettingsStore.h"
#include "host/SettingsDialog.h"
#include "platform/linux/GtkModule.h"
#include "support/TempConfig.h"

namespace {

const std::string Group = "[Software\\Korvantel\\Velmora Screen Saver]\n";
const std::string Saved = Group + "EnableFPS=0\nEnableVSync=1\n";

GtkWindow* FindDialog() {
  GList* all = gtk_window_list_toplevels();
  GtkWindow* found = nullptr;
  for (GList* it = all; it; it = it->next) {
    GtkWindow* window = GTK_WINDOW(it->data);
    if (gtk_widget_get_mapped(GTK_WIDGET(window)) && g_strcmp0(gtk_window_get_title(window), "Dialog") == 0)
      found = window;
  }
  g_list_free(all);
  return found;
}

GtkWidget* Find(GtkWindow* dialog, const char* label, GType type) {
  return gtk_test_find_widget(GTK_WIDGET(dialog), label, type);
}

bool Checked(GtkWindow* dialog, const char* label) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Find(dialog, label, GTK_TYPE_CHECK_BUTTON)));
}

// Runs the dialog, calling step once it is on the screen; a dialog that is still open after ten
// seconds is closed and the test fails.
int RunWith(std::function<void(GtkWindow*)> step, platform::WindowHandle parent = 0) {
  struct Context {
    std::function<void(GtkWindow*)> step;
    bool done = false;
  } context{std::move(step)};
  g_timeout_add(300, [](gpointer data) -> gboolean {
    auto* c = static_cast<Context*>(data);
    if (GtkWindow* dialog = FindDialog()) {
      c->done = true;
      c->step(dialog);
      return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
  }, &context);
  const guint watchdog = g_timeout_add(10000, [](gpointer) -> gboolean {
    ADD_FAILURE() << "the dialog did not close";
    if (GtkWindow* dialog = FindDialog()) gtk_window_close(dialog);
    return G_SOURCE_REMOVE;
  }, nullptr);
  const int result = RunSettingsDialog(parent);
  g_source_remove(watchdog);
  EXPECT_TRUE(context.done);
  return result;
}

class SettingsDialogWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    platform::UseGtkModule(VELMORA_GTK_MODULE);
    settingsStore.Load();
    settingsStore.ResetToDefaults();
  }
  TempConfig config;
};

TEST_F(SettingsDialogWindow, ShowFpsThenSetDefaultsThenOkStoresTheDefaults) {
  TempConfig::Write(config.UserFile(), Group + "EnableFPS=1\nEnableVSync=0\n");
  settingsStore.Load();
  const int result = RunWith([](GtkWindow* dialog) {
    EXPECT_TRUE(Checked(dialog, "Show FPS"));
    EXPECT_FALSE(Checked(dialog, "Enable VSync control"));
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "Show FPS", GTK_TYPE_CHECK_BUTTON)));
    int fps = 1;
    settingsStore.Get("EnableFPS", fps);
    EXPECT_EQ(fps, 0);
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "Set Defaults", GTK_TYPE_BUTTON)));
    EXPECT_FALSE(Checked(dialog, "Show FPS"));
    if (const char* shot = std::getenv("VELMORA_DIALOG_SCREENSHOT")) {
      while (gtk_events_pending()) gtk_main_iteration();
      std::system((std::string("import -window root '") + shot + "'").c_str());
    }
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "OK", GTK_TYPE_BUTTON)));
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()), Saved);
}

// A save that fails shows a box owned by the dialog; once it is answered the dialog ends with 1.
TEST_F(SettingsDialogWindow, AFailedSaveIsToldInABox) {
  const auto blocker = config.Root() / "blocker";
  TempConfig::Write(blocker, "x");
  config.SetHome((blocker / "home").string());
  static std::string told;
  told.clear();
  const int result = RunWith([](GtkWindow* dialog) {
    g_timeout_add(300, [](gpointer owner) -> gboolean {
      GList* all = gtk_window_list_toplevels();
      for (GList* it = all; it; it = it->next) {
        GtkWindow* window = GTK_WINDOW(it->data);
        if (!GTK_IS_MESSAGE_DIALOG(window) || !gtk_widget_get_mapped(GTK_WIDGET(window))) continue;
        EXPECT_EQ(gtk_window_get_transient_for(window), owner);
        gchar* text = nullptr;
        g_object_get(window, "text", &text, nullptr);
        told = std::string(gtk_window_get_title(window)) + ": " + (text ? text : "");
        g_free(text);
        gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_OK);
      }
      g_list_free(all);
      return told.empty() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
    }, dialog);
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "Show FPS", GTK_TYPE_CHECK_BUTTON)));
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "OK", GTK_TYPE_BUTTON)));
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(told, "Screen saver: The settings could not be saved.");
}

TEST_F(SettingsDialogWindow, CloseButtonStoresNothing) {
  const int result = RunWith([](GtkWindow* dialog) {
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "Show FPS", GTK_TYPE_CHECK_BUTTON)));
    gtk_window_close(dialog);  // the window manager's close request
  });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(std::filesystem::exists(config.UserFile()));
}

// OK writes only the box the user changed, into the user's file as it is at that moment: the
// machine's value is not copied there, and what another program wrote meanwhile stays.
TEST_F(SettingsDialogWindow, OkWritesOnlyTheChangeOverWhatIsOnDiskThen) {
  TempConfig::Write(config.SystemFile(), Group + "EnableFPS=1\n");
  settingsStore.Load();
  static TempConfig* shared;
  shared = &config;
  const int result = RunWith([](GtkWindow* dialog) {
    EXPECT_TRUE(Checked(dialog, "Show FPS"));  // the machine's 1
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "Enable VSync control", GTK_TYPE_CHECK_BUTTON)));
    TempConfig::Write(shared->UserFile(), Group + "EnableFPS=0\n");  // another program
    gtk_button_clicked(GTK_BUTTON(Find(dialog, "OK", GTK_TYPE_BUTTON)));
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()), Group + "EnableFPS=0\nEnableVSync=0\n");

  // OK without a change leaves the user's file as it was, here none at all.
  std::filesystem::remove(config.UserFile());
  settingsStore.ResetToDefaults();
  settingsStore.Load();
  EXPECT_EQ(RunWith([](GtkWindow* dialog) {
              gtk_button_clicked(GTK_BUTTON(Find(dialog, "OK", GTK_TYPE_BUTTON)));
            }),
            1);
  EXPECT_FALSE(std::filesystem::exists(config.UserFile()));
}

TEST_F(SettingsDialogWindow, KeyboardEscapeResetsAndEnterSaves) {
  TempConfig::Write(config.UserFile(), Group + "EnableFPS=-1\nEnableVSync=0\n");
  settingsStore.Load();
  const int result = RunWith([](GtkWindow* dialog) {
    EXPECT_FALSE(Checked(dialog, "Show FPS"));  // -1 draws no text, so shows cleared
    EXPECT_FALSE(Checked(dialog, "Enable VSync control"));
    const Window id = GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(dialog)));
    // Escape first (the dialog stays), then Enter on the check box that has the focus.
    gtk_widget_grab_focus(Find(dialog, "Show FPS", GTK_TYPE_CHECK_BUTTON));
    const std::string keys = "xdotool windowfocus --sync " + std::to_string(id) +
                             " key --delay 100 Escape sleep 0.3 key Return";
    g_spawn_command_line_async(keys.c_str(), nullptr);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(TempConfig::Read(config.UserFile()), Saved);
}

TEST_F(SettingsDialogWindow, TransientForItsParentAndUnharmedByABadOne) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
  XSync(display, False);
  const int result = RunWith([parent](GtkWindow* dialog) {
    Window owner = 0;
    EXPECT_TRUE(XGetTransientForHint(gdk_x11_display_get_xdisplay(gdk_display_get_default()),
                                     GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(dialog))), &owner));
    EXPECT_EQ(owner, parent);
    gtk_window_close(dialog);
  }, parent);
  EXPECT_EQ(result, 1);
  XDestroyWindow(display, parent);
  XSync(display, False);
  EXPECT_EQ(RunWith([](GtkWindow* dialog) { gtk_window_close(dialog); }, parent), 1);
  EXPECT_EQ(RunWith([](GtkWindow* dialog) { gtk_window_close(dialog); }, 0x7ffffff0), 1);
}

// What cannot be shown ends with -1 and one line on stderr, and shows no window.
TEST_F(SettingsDialogWindow, ALayoutOrModuleThatFailsEndsWithMinusOne) {
  const struct {
    const char* name;
    const char* layout;
    const char* module;
    const char* line;
  } cases[] = {
      {"not a layout", "<interface><object", VELMORA_GTK_MODULE,
       "Velmora Screen Saver: settings dialog: layout: "},
      {"no check boxes", "<interface><object class=\"GtkWindow\" id=\"dialog\"/></interface>",
       VELMORA_GTK_MODULE, "Velmora Screen Saver: settings dialog: layout: "},
      {"check box of a wrong type",
       "<interface><object class=\"GtkWindow\" id=\"dialog\"/><object class=\"GtkLabel\" "
       "id=\"showFps\"/></interface>",
       VELMORA_GTK_MODULE, "Velmora Screen Saver: settings dialog: layout: "},
      {"no module", nullptr, "/nonexistent/velmora-gtk.so",
       "Velmora Screen Saver: settings dialog: cannot load /nonexistent/velmora-gtk.so: "},
  };
  for (const auto& c : cases) {
    platform::ReplaceDialogLayout(c.layout);
    platform::UseGtkModule(c.module);
    std::FILE* capture = std::tmpfile();
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(fileno(capture), 2);
    const int result = RunSettingsDialog(0);
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string output(4096, '\0');
    std::rewind(capture);
    output.resize(std::fread(output.data(), 1, output.size(), capture));
    std::fclose(capture);
    EXPECT_EQ(result, -1) << c.name;
    EXPECT_EQ(output.rfind(c.line, 0), 0u) << c.name << ": " << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << c.name << ": " << output;
    EXPECT_EQ(FindDialog(), nullptr) << c.name;
  }
  platform::ReplaceDialogLayout(nullptr);
}

}  // namespace
