#include "platform/MessageBox.h"

#include <cstdio>
#include <string>

#include "platform/linux/EndSignals.h"
#include "platform/linux/GtkModule.h"

namespace platform {

void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) {
  std::string reason;
  const GtkModuleEntries* gtk = LoadGtkModule(reason);
  // A signal to end takes the box away, so that it never outlives the saver.
  if (gtk && gtk->showMessageBox(owner, text, caption, EndSignalFd())) return;
  // No display or no toolkit to show it with: the text still reaches whoever started the program.
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
}

}  // namespace platform
