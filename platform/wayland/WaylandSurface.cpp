#include "platform/wayland/WaylandSurface.h"

#include <wayland-client.h>
#include <wayland-egl.h>

#include <csignal>

#include "platform/GlSurfaceFaults.h"
#include "platform/wayland/BufferScale.h"
#include "platform/wayland/OverlayFont.h"
#include "platform/wayland/WaylandSession.h"
#include "viewporter-client-protocol.h"

namespace platform::wayland {
namespace {

Session* session = nullptr;

// What a DeviceContext points to on Wayland: the main surface as an EGL window, its buffer in
// device pixels.
struct Drawable {
  wl_egl_window* window = nullptr;
  EGLSurface surface = EGL_NO_SURFACE;
  GlContext context = nullptr;  // the one last made current, kept over a move
  int width = 0;  // the buffer's
  int height = 0;
  int logicalWidth = 0;  // the surface's, as the compositor configured it
  int logicalHeight = 0;
  int scale120 = ScaleUnit;
  // The buffer's size changed: its scale (or viewport) goes with the next swap's commit, which
  // attaches the first buffer of that size.
  bool scaleToCommit = true;
};

Drawable* Of(DeviceContext dc) { return static_cast<Drawable*>(dc); }

// Sizes the buffer from the session's logical size and scale; true when it changed.
bool FollowSize(Drawable* d) {
  const int logicalWidth = session->width.load() > 0 ? session->width.load() : 1;
  const int logicalHeight = session->height.load() > 0 ? session->height.load() : 1;
  int scale120 = session->scale120.load();
  // Without a viewport only whole scales can be told to the compositor.
  if (session->viewport == nullptr) scale120 = TextScale(scale120) * ScaleUnit;
  if (logicalWidth == d->logicalWidth && logicalHeight == d->logicalHeight &&
      scale120 == d->scale120 && d->width > 0)
    return false;
  d->logicalWidth = logicalWidth;
  d->logicalHeight = logicalHeight;
  d->scale120 = scale120;
  d->width = BufferLength(logicalWidth, scale120);
  d->height = BufferLength(logicalHeight, scale120);
  d->scaleToCommit = true;
  return true;
}

DeviceContext Acquire(WindowHandle window) {
  if (window != SaverHandle || session == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(session->mainLock);
  if (session->main == nullptr) return nullptr;
  auto* d = new Drawable;
  FollowSize(d);
  d->window = wl_egl_window_create(session->main->surface, d->width, d->height);
  if (d->window == nullptr) {
    delete d;
    return nullptr;
  }
  session->drawn = session->main->surface;
  return d;
}

// The surface the EGL window was on is let go of; destroyed here when its cover has gone.
// Called under mainLock.
void LetGoOfDrawn() {
  if (session->dropDrawn && session->drawn != nullptr) wl_surface_destroy(session->drawn);
  session->dropDrawn = false;
  session->drawn = nullptr;
}

// The main cover's output went and the creature moved to another cover: the drawing follows it
// onto that cover's surface, with the same context. On the render thread, between frames.
void FollowMain(Drawable* d) {
  std::lock_guard<std::mutex> lock(session->mainLock);
  if (session->main == nullptr || session->main->surface == session->drawn) return;
  // The new surface's buffer is sized afresh, its scale committed with its first buffer; where
  // the move fails, the old window is resized at the next frame as it would be anyway.
  d->width = 0;
  FollowSize(d);
  wl_egl_window* window = wl_egl_window_create(session->main->surface, d->width, d->height);
  if (window == nullptr) {
    d->width = 0;
    return;
  }
  const EGLSurface surface = egl::CreateSurface(session->egl, window);
  if (surface == EGL_NO_SURFACE) {
    wl_egl_window_destroy(window);
    d->width = 0;
    return;
  }
  egl::MakeCurrent(session->egl, surface, static_cast<EGLContext>(d->context));
  if (d->surface != EGL_NO_SURFACE) egl::DestroySurface(session->egl, d->surface);
  wl_egl_window_destroy(d->window);
  LetGoOfDrawn();
  d->window = window;
  d->surface = surface;
  session->drawn = session->main->surface;
}

GlContext CreateContext(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || faults::ContextCreationFails()) return nullptr;
  if (d->surface == EGL_NO_SURFACE) d->surface = egl::CreateSurface(session->egl, d->window);
  if (d->surface == EGL_NO_SURFACE) return nullptr;
  const EGLContext context = egl::CreateContext(session->egl);
  return context == EGL_NO_CONTEXT ? nullptr : context;
}

void MakeCurrent(DeviceContext dc, GlContext context) {
  Drawable* d = Of(dc);
  if (d == nullptr) return;
  d->context = context;
  egl::MakeCurrent(session->egl, d->surface, static_cast<EGLContext>(context));
}

// Requests that must go with the swap's commit.
void BeforeCommit(Drawable* d) {
  if (d->scaleToCommit) {
    // Requests of the render thread's, in order before the swap's attach and commit; the window
    // thread replaces the viewport when the creature moves.
    std::lock_guard<std::mutex> lock(session->mainLock);
    if (session->viewport != nullptr) {
      wp_viewport_set_destination(session->viewport, d->logicalWidth, d->logicalHeight);
    } else {
      wl_surface_set_buffer_scale(session->main->surface, d->scale120 / ScaleUnit);
    }
    d->scaleToCommit = false;
  }
}

void Swap(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  BeforeCommit(d);
  egl::SwapBuffers(session->egl, d->surface);
  faults::CountSwap();
}

bool SwapControl(DeviceContext dc) { return dc != nullptr && !faults::SwapControlHidden(); }

// The swap never waits for the compositor: it sends no frame callbacks to a surface it does not
// show, and a close must not wait on such a swap. The frame loop's pacer holds the output's rate.
void SetInterval(DeviceContext dc, int interval) {
  if (dc == nullptr) return;
  faults::RecordSwapInterval(interval);
  egl::SetSwapInterval(session->egl, 0);
}

void DeleteContext(DeviceContext dc, GlContext context) {
  if (dc == nullptr || context == nullptr) return;
  egl::DestroyContext(session->egl, static_cast<EGLContext>(context));
}

void Release(WindowHandle, DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr) return;
  if (d->surface != EGL_NO_SURFACE) egl::DestroySurface(session->egl, d->surface);
  wl_egl_window_destroy(d->window);
  delete d;
  std::lock_guard<std::mutex> lock(session->mainLock);
  LetGoOfDrawn();
}

// In device pixels, as the frame-rate text is drawn.
ScreenSize ScreenOf(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr) return {};
  return {d->width, d->height};
}

// The compositor's size and scale are taken on the render thread, between frames: a change
// resizes the buffer, and the frame drawn next is whole at the new size.
ScreenSize FitDrawable(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return {};
  FollowMain(d);
  std::lock_guard<std::mutex> lock(session->mainLock);  // FollowSize reads the viewport
  if (session->width.load() > 0 && session->height.load() > 0 && FollowSize(d))
    wl_egl_window_resize(d->window, d->width, d->height, 0, 0);
  return {d->width, d->height};
}

// The glyphs grow with the scale, so the text keeps its size to the eye.
void DrawText(DeviceContext dc, int right, int bottom, const char* text) {
  Drawable* d = Of(dc);
  DrawOverlayText(d ? TextScale(d->scale120) : 1, right, bottom, text);
}

double Refresh(DeviceContext) { return session ? session->refreshMilliHz.load() / 1000.0 : 0; }

bool Lost(DeviceContext dc) { return dc == nullptr || session->lost.load(); }

// Partial frames where EGL says how old each back buffer is and tells the compositor what a swap
// changed: the frame redraws what changed since its buffer was drawn and damages only that
// rectangle, so the compositor composites no more than that. Elsewhere a back
// buffer's contents are undefined after a swap, and frames stay whole.
bool PartialPresent(DeviceContext dc) {
  return dc != nullptr && session->egl.bufferAge && session->egl.swapWithDamage != nullptr;
}

// After FitDrawable's resize: the age is of a buffer of the frame's size (a new one is 0).
PartialPresentState PartialState(DeviceContext dc) {
  Drawable* d = Of(dc);
  PartialPresentState state;
  if (d == nullptr || session->lost.load()) return state;
  state.width = d->width;
  state.height = d->height;
  state.bufferAge = egl::BufferAge(session->egl, d->surface);
  return state;
}

void PresentRect(DeviceContext dc, int x, int y, int width, int height) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  // Nothing changed: no buffer is shown, and the back buffer keeps its age.
  if (width > 0 && height > 0) {
    BeforeCommit(d);
    egl::SwapBuffersWithDamage(session->egl, d->surface, x, y, width, height);
    faults::CountPartialPresent(width, height);
  }
  faults::CountSwap();
}

// Every output has a surface of its own, the size of that output.
std::optional<MonitorRect> WholeSurface(DeviceContext, int, int) { return std::nullopt; }

void Notify(WindowHandle, unsigned message, std::uintptr_t wordParam) {
  if (session && session->notify) session->notify(message, wordParam);
}

}  // namespace

void SetSession(Session* s) { session = s; }

const SurfaceBackend& WaylandSurfaceBackend() {
  static const SurfaceBackend backend{
      Acquire,       CreateContext, MakeCurrent,     Swap,       SwapControl,
      SetInterval,   DeleteContext, Release,         ScreenOf,   FitDrawable,
      Refresh,       Lost,          DrawText,        Notify,     egl::ReleaseCurrent,
      PartialPresent, PartialState,  PresentRect,     WholeSurface};
  return backend;
}

}  // namespace platform::wayland
