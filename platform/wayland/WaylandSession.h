#pragma once
// The saver's state on a Wayland compositor, shared by the window thread (which owns the
// connection's events) and the render thread (which draws on the main output's surface).
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/Types.h"
#include "platform/wayland/EglBinding.h"

struct wl_display;
struct wl_surface;
struct wl_output;
struct wl_buffer;
struct wp_viewport;
struct zwlr_layer_surface_v1;

namespace platform::wayland {

// The saver's one window as the code above the platform layer sees it.
constexpr WindowHandle SaverHandle = 1;

struct Output {
  wl_output* output = nullptr;
  std::uint32_t name = 0;
  int refreshMilliHz = 0;  // of the current mode
  int scale = 1;           // wl_output's integer scale, once its done event came
  int pendingScale = 1;    // the scale event's, until then
};

// One layer surface over one output: the creature's on the main one, the clear colour on others.
struct Cover {
  Output* output = nullptr;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  wl_buffer* buffer = nullptr;  // the clear colour: the main one's until its first frame
  bool cleared = false;
  int width = 0;
  int height = 0;
  bool main = false;
};

struct Session {
  wl_display* display = nullptr;
  egl::Binding egl;
  Cover* main = nullptr;
  // The main surface's size as the compositor last configured it.
  std::atomic<int> width{0};
  std::atomic<int> height{0};
  std::atomic<int> refreshMilliHz{0};
  // The scale of the main surface's buffers in 120ths (BufferScale.h), as the window thread
  // learns it; the render thread sizes its buffer from it between frames.
  std::atomic<int> scale120{120};
  // Where the compositor scales by fractions: the main surface's viewport, whose destination is
  // the logical size while its buffer is at device size. nullptr: integer buffer scales.
  wp_viewport* viewport = nullptr;
  // Set when the compositor closes the main surface: nothing more is drawn.
  std::atomic<bool> lost{false};
  // The render thread's messages for the window thread (a failed start).
  void (*notify)(unsigned message, std::uintptr_t wordParam) = nullptr;
};

// The session the Wayland surface backend draws through; set before the render thread starts.
void SetSession(Session* session);

}  // namespace platform::wayland
