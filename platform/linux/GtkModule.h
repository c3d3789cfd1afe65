#pragma once
// The GTK windows (settings dialog, message box) live in a module of their own, velmora-gtk.so,
// opened on first use: the saver's drawing modes never load the toolkit and its libraries. The
// module exports one function, VelmoraGtkModuleEntries, which hands out this table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"

class SettingsDialogView;

namespace platform {

// Raised whenever the table or what its functions are given changes: a module of another build
// is refused rather than called.
constexpr int GtkModuleVersion = 2;

// The dialog procedure (ScreenSaverConfigureDialog), handed in so that the module needs nothing
// of the program's code.
using DialogProcedure = bool (*)(SettingsDialogView& dialog, unsigned message,
                                 std::uintptr_t wordParam, std::intptr_t longParam);

struct DialogResources {
  const char* layout;  // GtkBuilder text
  std::size_t layoutSize;
  const unsigned char* logo;  // BMP file
  std::size_t logoSize;
};

struct GtkModuleEntries {
  int version;  // GtkModuleVersion of the module's build
  // false when there is no display to show the box on (nothing shown). dismissFd >= 0: the box
  // goes as soon as that descriptor is readable, and its bytes stay there.
  bool (*showMessageBox)(WindowHandle owner, const char* text, const char* caption,
                         int dismissFd);
  // The dialog's result, or -1 with a one-line reason on stderr when it cannot be shown.
  int (*runSettingsDialog)(WindowHandle parent, const DialogResources& resources,
                           DialogProcedure procedure);
};

// The module's table, loaded on the first call; nullptr when the module cannot be found or
// loaded, with the reason (one line) in reason. Only from the thread that shows the windows.
const GtkModuleEntries* LoadGtkModule(std::string& reason);

// Test seams; the saver never calls them.
// The module LoadGtkModule loads from now on, instead of the one beside the executable or in its
// install folder (nullptr: those again). The path must outlive its use; a module loaded before
// stays loaded.
void UseGtkModule(const char* path);
// From now on the settings dialog is built from `text` (nullptr: the embedded layout again).
// The text must outlive its use.
void ReplaceDialogLayout(const char* text);

}  // namespace platform

extern "C" const platform::GtkModuleEntries* VelmoraGtkModuleEntries();
