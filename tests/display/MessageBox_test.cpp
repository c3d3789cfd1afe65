// The failure message box on X11: shown with its text and caption, dismissed by OK; on stderr
// when there is no display or no GTK module to show it with.
#include <gtest/gtest.h>

#include <gtk/gtk.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/MessageBox.h"
#include "platform/linux/GtkModule.h"

namespace {

TEST(MessageBox, WithoutADisplayOrModuleTheTextGoesToStandardError) {
  const struct {
    const char* name;
    bool display;
    const char* module;
  } cases[] = {
      {"no display", false, VELMORA_GTK_MODULE},
      {"no module", true, "/nonexistent/velmora-gtk.so"},
  };
  for (const auto& c : cases) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
      dup2(pipeEnds[1], 2);
      if (!c.display) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
      }
      platform::UseGtkModule(c.module);
      platform::ShowMessageBox(0, "Error of scene initialization", "Screen saver");
      _exit(0);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name;
    EXPECT_EQ(output, "Screen saver: Error of scene initialization\n") << c.name;
  }
}

TEST(MessageBox, ShowsTextAndCaptionUntilOk) {
  platform::UseGtkModule(VELMORA_GTK_MODULE);
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  static bool seen = false;
  g_timeout_add(300, [](gpointer) -> gboolean {
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it; it = it->next) {
      GtkWindow* window = GTK_WINDOW(it->data);
      if (!gtk_widget_get_mapped(GTK_WIDGET(window)) || !GTK_IS_MESSAGE_DIALOG(window)) continue;
      EXPECT_STREQ(gtk_window_get_title(window), "Screen saver");
      gchar* text = nullptr;
      g_object_get(window, "text", &text, nullptr);
      EXPECT_STREQ(text, "Error of scene initialization");
      g_free(text);
      seen = true;
      gtk_button_clicked(GTK_BUTTON(gtk_test_find_widget(GTK_WIDGET(window), "OK", GTK_TYPE_BUTTON)));
    }
    g_list_free(all);
    return seen ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
  }, nullptr);
  platform::ShowMessageBox(0x7ffffff0, "Error of scene initialization", "Screen saver");
  EXPECT_TRUE(seen);
}

}  // namespace
