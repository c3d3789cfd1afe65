#include "platform/wayland/WaylandDisplay.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "platform/wayland/SurfaceScale.h"
#include "platform/wayland/WaylandSession.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"
// The protocol names a request's argument `namespace`, which C++ reserves.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace platform::wayland {
namespace {

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                int32_t refresh) {
  if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
  auto* o = static_cast<Output*>(data);
  o->refreshMilliHz = refresh;
  o->modeWidth = width;
  o->modeHeight = height;
}
// A scale counts once the output's done event closes the change.
void OutputDone(void* data, wl_output*) {
  auto* o = static_cast<Output*>(data);
  if (o->pendingScale == o->scale) return;
  o->scale = o->pendingScale;
  OutputScaleChanged(o);
}
void OutputScale(void* data, wl_output*, int32_t factor) {
  static_cast<Output*>(data)->pendingScale = factor > 0 ? factor : 1;
}
void OutputText(void*, wl_output*, const char*) {}
const wl_output_listener outputListener = {OutputGeometry, OutputMode, OutputDone, OutputScale,
                                           OutputText, OutputText};

// A client that does not answer xdg-shell's ping is taken for hung.
void Ping(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener wmBaseListener = {Ping};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
  auto* g = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    g->compositor = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    g->layerShell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
        registry, name, &zwlr_layer_shell_v1_interface, version < 3 ? version : 3));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    g->wmBase = static_cast<xdg_wm_base*>(
        wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    xdg_wm_base_add_listener(g->wmBase, &wmBaseListener, nullptr);
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && g->seat == nullptr) {
    g->seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5));
  } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
    g->viewporter = static_cast<wp_viewporter*>(
        wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
  } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
    g->fractionalScale = static_cast<wp_fractional_scale_manager_v1*>(
        wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    auto* o = new Output;
    o->name = name;
    o->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, version < 2 ? version : 2));
    wl_output_add_listener(o->output, &outputListener, o);
    g->outputs.push_back(o);
    if (g->outputAdded) g->outputAdded(o);
  }
}
// An output unplugged: whoever covers it lets go first, then it is released. Other globals the
// saver binds (compositor, shells, seat) do not go while a session lives.
void GlobalRemove(void* data, wl_registry*, uint32_t name) {
  auto* g = static_cast<Globals*>(data);
  const auto it = std::find_if(g->outputs.begin(), g->outputs.end(),
                               [name](const Output* o) { return o->name == name; });
  if (it == g->outputs.end()) return;
  Output* o = *it;
  g->outputs.erase(it);
  if (g->outputRemoved) g->outputRemoved(o);
  OutputGone(o);
  if (wl_output_get_version(o->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
    wl_output_release(o->output);
  else
    wl_output_destroy(o->output);
  delete o;
}
const wl_registry_listener registryListener = {Global, GlobalRemove};

bool Connect(Globals& g) {
  g.display = wl_display_connect(nullptr);
  if (g.display == nullptr) return false;
  wl_registry* registry = wl_display_get_registry(g.display);
  wl_registry_add_listener(registry, &registryListener, &g);
  // The globals, then what the outputs say of their modes and scales.
  return wl_display_roundtrip(g.display) >= 0 && wl_display_roundtrip(g.display) >= 0;
}

}  // namespace

Globals& Connection() {
  static Globals globals;
  // A connection whose first round trips failed offers nothing.
  static const bool connected =
      Connect(globals) || (globals.layerShell = nullptr, globals.wmBase = nullptr, false);
  (void)connected;
  return globals;
}

bool SaverRoleOffered() {
  static const bool offered = WhyNoSaverRole().empty();
  return offered;
}

std::string WhyNoSaverRole() {
  const Globals& g = Connection();
  return WhyNoSaverRole(g.display != nullptr, g.compositor != nullptr, g.shm != nullptr,
                        g.layerShell != nullptr, g.wmBase != nullptr);
}

std::string WhyNoSaverRole(bool connected, bool compositor, bool shm, bool layerShell,
                           bool xdgShell) {
  if (!connected) return "no Wayland compositor to connect to";
  std::string missing;
  const auto lacks = [&missing](const char* name) {
    missing += missing.empty() ? name : std::string(", ") + name;
  };
  if (!compositor) lacks("wl_compositor");
  if (!shm) lacks("wl_shm");
  if (!layerShell && !xdgShell) lacks("zwlr_layer_shell_v1 or xdg_wm_base");
  if (missing.empty()) return "";
  return "the Wayland compositor offers no " + missing;
}

}  // namespace platform::wayland
