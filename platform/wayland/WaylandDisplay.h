#pragma once
// The compositor's connection and its globals: the compositor, shared memory, the two shells
// the saver's surfaces can take a role from (layer-shell, xdg-shell), the first seat, the scaling
// protocols and every output with its current mode and scale, as outputs come and go.
#include <cstdint>
#include <string>
#include <vector>

struct wl_display;
struct wl_compositor;
struct wl_shm;
struct wl_seat;
struct zwlr_layer_shell_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;
struct xdg_wm_base;

namespace platform::wayland {

struct Output;

struct Globals {
  wl_display* display = nullptr;  // nullptr when no compositor could be reached
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_seat* seat = nullptr;
  // Both or neither are used: buffers at fractional scales.
  wp_viewporter* viewporter = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale = nullptr;
  std::vector<Output*> outputs;
  // Told of each output that appears after the first round trips (nullptr: nobody listens).
  void (*outputAdded)(Output* output) = nullptr;
  // Told of an output whose global went, before it is released and freed (nullptr: nobody
  // listens). It is out of `outputs` by then.
  void (*outputRemoved)(Output* output) = nullptr;
};

// Connects to WAYLAND_DISPLAY (or its default) on first use and reads the globals and what the
// outputs say of their modes; the same connection ever after.
Globals& Connection();

// True when the compositor can be reached and offers a role for the saver's surfaces:
// layer-shell's overlay layer, else xdg-shell's full-screen toplevel.
bool SaverRoleOffered();

// Why no role can be had, for the user: no compositor, or the protocols it lacks; empty when
// one can. The words for the globals found (pure, for the tests).
std::string WhyNoSaverRole();
std::string WhyNoSaverRole(bool connected, bool compositor, bool shm, bool layerShell,
                           bool xdgShell);

}  // namespace platform::wayland
