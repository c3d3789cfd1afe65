#pragma once
// The compositor's connection and its globals: the compositor, shared memory, layer-shell, the
// first seat, the scaling protocols and every output with the refresh rate of its current mode
// and its scale.
#include <cstdint>
#include <vector>

struct wl_display;
struct wl_compositor;
struct wl_shm;
struct wl_seat;
struct zwlr_layer_shell_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;

namespace platform::wayland {

struct Output;

struct Globals {
  wl_display* display = nullptr;  // nullptr when no compositor could be reached
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  wl_seat* seat = nullptr;
  // Both or neither are used: buffers at fractional scales.
  wp_viewporter* viewporter = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale = nullptr;
  std::vector<Output*> outputs;
  // Told of each output that appears after the first round trips (nullptr: nobody listens).
  void (*outputAdded)(Output* output) = nullptr;
};

// Connects to WAYLAND_DISPLAY (or its default) on first use and reads the globals and what the
// outputs say of their modes; the same connection ever after.
Globals& Connection();

// True when the compositor can be reached and offers layer-shell.
bool LayerShellOffered();

}  // namespace platform::wayland
