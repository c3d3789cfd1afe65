#include "platform/wayland/WaylandShellModes.h"

#include <cstdlib>
#include <cstring>

#include "platform/wayland/WaylandSaver.h"

namespace platform {

WindowSystem TakeWindowSystemFlag(int& argc, char** argv) {
  WindowSystem chosen = WindowSystem::Choose;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--wayland") == 0) {
      chosen = WindowSystem::Wayland;
    } else if (std::strcmp(argv[i], "--x11") == 0) {
      chosen = WindowSystem::X11;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return chosen;
}

int WaylandShellModes::RunSaverWindow(WindowHandle parent) {
  if (parent == 0) {
    const char* named = std::getenv("WAYLAND_DISPLAY");
    if (system == WindowSystem::Wayland ||
        (system == WindowSystem::Choose && named != nullptr && *named != '\0' &&
         wayland::LayerShellOffered()))
      return wayland::RunSaver();
  }
  return X11ShellModes::RunSaverWindow(parent);
}

}  // namespace platform
