#include "platform/wayland/LayerShellRole.h"

#include <wayland-client.h>

#include <cstdint>

#include "platform/wayland/ShmBuffer.h"
#include "platform/wayland/WaylandDisplay.h"
// The protocol names a request's argument `namespace`, which C++ reserves.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace platform::wayland {
namespace {

// The clear colour of the frame, (26, 51, 51), for the outputs without the creature.
constexpr std::uint32_t ClearPixel = 0xFF1A3333;

wl_buffer* ClearBuffer(wl_shm* shm, int width, int height) {
  ShmBuffer b = CreateShmBuffer(shm, width, height, "velmora-cover");
  if (b.pixels != nullptr) {
    auto* p = reinterpret_cast<std::uint32_t*>(b.pixels);
    for (std::size_t i = 0; i < b.size / 4; ++i) p[i] = ClearPixel;
  }
  UnmapShmBuffer(b);
  return b.buffer;
}

// What a cover's listener needs beyond the cover.
struct Role {
  Cover* cover;
  Session* session;
  CoverEvents events;
};

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                    uint32_t height) {
  auto* r = static_cast<Role*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  ShowConfigured(r->cover, *r->session, static_cast<int>(width), static_cast<int>(height));
}
// Its output went, or the compositor ends the saver's surfaces: the saver decides what that means.
void LayerClosed(void* data, zwlr_layer_surface_v1*) {
  auto* r = static_cast<Role*>(data);
  if (r->events.gone) r->events.gone(r->cover);
}
const zwlr_layer_surface_v1_listener layerListener = {LayerConfigure, LayerClosed};

Cover* CoverOutput(Session& session, Output* output, bool main, const CoverEvents& events) {
  const Globals& globals = Connection();
  Cover* c = NewCover(output, main);
  c->layer = zwlr_layer_shell_v1_get_layer_surface(globals.layerShell, c->surface, output->output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "velmora");
  zwlr_layer_surface_v1_set_anchor(c->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_size(c->layer, 0, 0);
  zwlr_layer_surface_v1_set_exclusive_zone(c->layer, -1);  // over panels too
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      c->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  zwlr_layer_surface_v1_add_listener(c->layer, &layerListener,
                                     new Role{c, &session, events});
  wl_surface_commit(c->surface);
  return c;
}

void DropCover(Cover* c) {
  delete static_cast<Role*>(zwlr_layer_surface_v1_get_user_data(c->layer));
  zwlr_layer_surface_v1_destroy(c->layer);
  c->layer = nullptr;
  ReleaseClearBuffer(c);
}

}  // namespace

Cover* NewCover(Output* output, bool main) {
  auto* c = new Cover;
  c->output = output;
  c->main = main;
  c->surface = wl_compositor_create_surface(Connection().compositor);
  return c;
}

void ShowConfigured(Cover* c, Session& session, int width, int height) {
  const bool resized = width != c->width || height != c->height;
  c->width = width;
  c->height = height;
  // Every cover is opaque all over, so the compositor never blends what lies beneath it. In
  // surface coordinates, the logical size whatever the buffer's scale; it goes with the next
  // commit, the render thread's swap on the main cover.
  if (resized) {
    wl_region* region = wl_compositor_create_region(Connection().compositor);
    wl_region_add(region, 0, 0, c->width, c->height);
    wl_surface_set_opaque_region(c->surface, region);
    wl_region_destroy(region);
  }
  if (c->main) {
    // The render thread resizes its window and commits with its next frame. The first
    // configure comes before that thread starts: until its first frame (seconds with a software
    // driver), the clear colour hides the desktop.
    session.width.store(c->width);
    session.height.store(c->height);
    if (c->cleared) return;
  } else if (c->buffer != nullptr) {
    // The clear colour at this size is shown already: the commit acknowledges the configure and
    // keeps the buffer, so the compositor has nothing new to composite.
    if (!resized) {
      wl_surface_commit(c->surface);
      return;
    }
    wl_buffer_destroy(c->buffer);
  }
  c->buffer = ClearBuffer(Connection().shm, c->width > 0 ? c->width : 1, c->height > 0 ? c->height : 1);
  c->cleared = true;
  wl_surface_attach(c->surface, c->buffer, 0, 0);
  wl_surface_damage(c->surface, 0, 0, INT32_MAX, INT32_MAX);
  wl_surface_commit(c->surface);
}

void ReleaseClearBuffer(Cover* c) {
  if (c->buffer != nullptr) wl_buffer_destroy(c->buffer);
  c->buffer = nullptr;
}

void HideCover(Cover* c) {
  wl_surface_attach(c->surface, nullptr, 0, 0);
  wl_surface_commit(c->surface);
  // Shown again, the cover needs a buffer again.
  ReleaseClearBuffer(c);
}

const CoverRole layerShellRole{CoverOutput, HideCover, DropCover};

}  // namespace platform::wayland
