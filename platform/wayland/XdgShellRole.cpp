#include "platform/wayland/XdgShellRole.h"

#include <wayland-client.h>

#include "platform/wayland/LayerShellRole.h"
#include "platform/wayland/WaylandDisplay.h"
#include "xdg-shell-client-protocol.h"

namespace platform::wayland {
namespace {

// What a cover's listeners need beyond the cover.
struct Role {
  Cover* cover;
  Session* session;
  CoverEvents events;
};

// The toplevel's size comes first, its surface's configure closes the sequence.
void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  Cover* c = static_cast<Role*>(data)->cover;
  c->pendingWidth = width;
  c->pendingHeight = height;
}
// The user asked the compositor to close the window (a key binding, its menu): an end as by input.
void ToplevelClose(void* data, xdg_toplevel*) {
  auto* r = static_cast<Role*>(data);
  if (r->events.closeAsked) r->events.closeAsked();
}
const xdg_toplevel_listener toplevelListener = {ToplevelConfigure, ToplevelClose, nullptr,
                                                nullptr};

void SurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto* r = static_cast<Role*>(data);
  Cover* c = r->cover;
  xdg_surface_ack_configure(surface, serial);
  // A size of 0 leaves it to the client: the output's whole mode.
  const int width = c->pendingWidth > 0 ? c->pendingWidth : c->output->modeWidth;
  const int height = c->pendingHeight > 0 ? c->pendingHeight : c->output->modeHeight;
  ShowConfigured(c, *r->session, width, height);
}
const xdg_surface_listener surfaceListener = {SurfaceConfigure};

Cover* CoverOutput(Session& session, Output* output, bool main, const CoverEvents& events) {
  const Globals& globals = Connection();
  Cover* c = NewCover(output, main);
  auto* role = new Role{c, &session, events};
  c->xdgSurface = xdg_wm_base_get_xdg_surface(globals.wmBase, c->surface);
  xdg_surface_add_listener(c->xdgSurface, &surfaceListener, role);
  c->toplevel = xdg_surface_get_toplevel(c->xdgSurface);
  xdg_toplevel_add_listener(c->toplevel, &toplevelListener, role);
  xdg_toplevel_set_title(c->toplevel, "Screen Saver");
  xdg_toplevel_set_app_id(c->toplevel, "velmora");
  xdg_toplevel_set_fullscreen(c->toplevel, output->output);
  // No buffer until the first configure, which maps it with the clear colour.
  wl_surface_commit(c->surface);
  return c;
}

void DropCover(Cover* c) {
  delete static_cast<Role*>(xdg_surface_get_user_data(c->xdgSurface));
  xdg_toplevel_destroy(c->toplevel);
  xdg_surface_destroy(c->xdgSurface);
  c->toplevel = nullptr;
  c->xdgSurface = nullptr;
  ReleaseClearBuffer(c);
}

}  // namespace

const CoverRole xdgShellRole{CoverOutput, HideCover, DropCover};

}  // namespace platform::wayland
