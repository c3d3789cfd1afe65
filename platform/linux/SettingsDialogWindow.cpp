// The settings dialog on Linux is GTK's, in the GTK module; the program hands it the layout and
// logo compiled into it and the dialog procedure.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/SettingsDialog.h"
#include "platform/linux/GtkModule.h"

extern "C" {
extern const unsigned char SettingsDialogUi[];
extern const size_t SettingsDialogUi_size;
extern const unsigned char LogoBitmap[];
extern const size_t LogoBitmap_size;
}

namespace platform {
namespace {
const char* replacedLayout = nullptr;
}

void ReplaceDialogLayout(const char* text) { replacedLayout = text; }

}  // namespace platform

int RunSettingsDialog(platform::WindowHandle parent) {
  std::string reason;
  const platform::GtkModuleEntries* gtk = platform::LoadGtkModule(reason);
  if (gtk == nullptr) {
    std::fprintf(stderr, "Velmora Screen Saver: settings dialog: %s\n", reason.c_str());
    return -1;
  }
  const char* layout = platform::replacedLayout;
  const platform::DialogResources resources{
      layout ? layout : reinterpret_cast<const char*>(SettingsDialogUi),
      layout ? std::strlen(layout) : SettingsDialogUi_size, LogoBitmap, LogoBitmap_size};
  return gtk->runSettingsDialog(parent, resources, ScreenSaverConfigureDialog);
}
