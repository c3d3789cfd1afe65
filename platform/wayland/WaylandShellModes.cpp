#include "platform/wayland/WaylandShellModes.h"

#include <cstdlib>
#include <string>

#include "platform/linux/WindowSystem.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandSaver.h"
#include "platform/wayland/WaylandSurface.h"

namespace platform::wayland {
namespace {

bool DisplayNamed() {
  const char* named = std::getenv("WAYLAND_DISPLAY");
  return named != nullptr && *named != '\0';
}

// WAYLAND_DISPLAY set and its compositor offering a role for the saver's surfaces (layer-shell,
// else xdg-shell): the full-screen saver goes here, natively, before any X display.
bool CompositorOffersSaverRole() { return DisplayNamed() && SaverRoleOffered(); }

std::string WhyNot() {
  if (!DisplayNamed()) return "";  // not on a Wayland desktop: nothing to explain
  return WhyNoSaverRole();
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

extern const WindowSystem windowSystem{"wayland", true,    false, CompositorOffersSaverRole,
                                       Prepare,   WaylandSurfaceBackend, Modes, WhyNot};

}  // namespace platform::wayland
