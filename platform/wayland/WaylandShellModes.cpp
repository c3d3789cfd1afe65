#include "platform/wayland/WaylandShellModes.h"

#include <cstdlib>

#include "platform/linux/WindowSystem.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandSaver.h"
#include "platform/wayland/WaylandSurface.h"

namespace platform::wayland {
namespace {

// WAYLAND_DISPLAY set and its compositor offering layer-shell: the full-screen saver goes here.
bool CompositorOffersLayerShell() {
  const char* named = std::getenv("WAYLAND_DISPLAY");
  return named != nullptr && *named != '\0' && LayerShellOffered();
}

void Prepare() {}

ShellModes& Modes(const SaverHooks&) {
  static WaylandShellModes modes;
  return modes;
}

}  // namespace

int WaylandShellModes::RunSaverWindow(WindowHandle parent) {
  return parent == 0 ? RunSaver() : -1;
}

extern const WindowSystem windowSystem{"wayland",     true,   false, CompositorOffersLayerShell,
                                       Prepare,       WaylandSurfaceBackend, Modes};

}  // namespace platform::wayland
