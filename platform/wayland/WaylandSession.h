#pragma once
// The saver's state on a Wayland compositor, shared by the window thread (which owns the
// connection's events) and the render thread (which draws on the main output's surface).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Types.h"
#include "platform/wayland/EglBinding.h"

struct wl_display;
struct wl_surface;
struct wl_output;
struct wl_buffer;
struct wp_viewport;
struct zwlr_layer_surface_v1;
struct xdg_surface;
struct xdg_toplevel;

namespace platform::wayland {

// The saver's one window as the code above the platform layer sees it.
constexpr WindowHandle SaverHandle = 1;

struct Output {
  wl_output* output = nullptr;
  std::uint32_t name = 0;
  int refreshMilliHz = 0;  // of the current mode
  int scale = 1;           // wl_output's integer scale, once its done event came
  int pendingScale = 1;    // the scale event's, until then
  int modeWidth = 0;       // the current mode, in device pixels
  int modeHeight = 0;
};

// One surface over one output: the creature's on the main one, the clear colour on others. Its
// role is a layer surface, or an xdg toplevel made full screen on the output.
struct Cover {
  Output* output = nullptr;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  int pendingWidth = 0;  // the toplevel's size until its surface's configure
  int pendingHeight = 0;
  wl_buffer* buffer = nullptr;  // the clear colour: the main one's until its first frame
  bool cleared = false;
  int width = 0;
  int height = 0;
  bool main = false;
};

struct Session {
  wl_display* display = nullptr;
  egl::Binding egl;
  // The cover the creature is drawn on, and the surface the render thread's EGL window is on;
  // both under mainLock. When the main cover's output goes, the window thread moves `main` to
  // another cover (nullptr: none left) and the render thread follows at its next frame. The
  // surface it let go of is destroyed by whichever thread comes last: the window thread when
  // nothing draws on it, else the render thread once it has moved (`dropDrawn`).
  std::mutex mainLock;
  Cover* main = nullptr;
  wl_surface* drawn = nullptr;
  bool dropDrawn = false;
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
  // Set when no cover is left to draw on: nothing more is drawn.
  std::atomic<bool> lost{false};
  // The render thread's messages for the window thread (a failed start).
  void (*notify)(unsigned message, std::uintptr_t wordParam) = nullptr;
};

// What the compositor does to a cover, as its role reports it.
struct CoverEvents {
  void (*gone)(Cover* cover);  // took it away (its output went): the cover is to be dropped
  void (*closeAsked)();        // asked the saver to close (a toplevel's close)
};

// A role for the covers: what xdg-shell and layer-shell each do to cover an output.
struct CoverRole {
  // Covers the output: the creature's surface when main, the clear colour's otherwise.
  Cover* (*cover)(Session& session, Output* output, bool main, const CoverEvents& events);
  // Unmaps the surface (the message box goes over the desktop); the cover stays.
  void (*hide)(Cover* cover);
  // Takes the role away and frees the cover's own objects; its surface stays the caller's.
  void (*drop)(Cover* cover);
};

// The session the Wayland surface backend draws through; set before the render thread starts.
void SetSession(Session* session);

}  // namespace platform::wayland
