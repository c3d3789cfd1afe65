#include "platform/wayland/WaylandSurface.h"

#include <GL/gl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <csignal>
#include <cmath>
#include <memory>
#include <optional>

#include "platform/GlSurfaceFaults.h"
#include "platform/wayland/BufferScale.h"
#include "platform/wayland/OverlayFont.h"
#include "platform/wayland/RenderQueue.h"
#include "platform/wayland/ShmFrames.h"
#include "platform/wayland/WaylandDisplay.h"
#include "platform/wayland/WaylandSession.h"
#include "viewporter-client-protocol.h"

namespace platform::wayland {
namespace {

Session* session = nullptr;

// What a DeviceContext points to on Wayland: the main surface as an EGL window, or drawn
// offscreen and shown through buffers of the saver's own (ShmFrames.h); its buffer in device
// pixels.
struct Drawable {
  wl_egl_window* window = nullptr;
  EGLSurface surface = EGL_NO_SURFACE;
  std::optional<RenderQueue> queue;  // the frame callbacks' and own buffers' events
  wl_surface* target = nullptr;      // the surface drawn on, wrapped onto that queue
  wl_shm* shm = nullptr;             // the same for the own buffers' factory
  std::unique_ptr<ShmFrames> copies;
  bool paced = true;  // commits wait for the compositor's frame callbacks (the swap interval)
  // The next frame is whole: the surface drawn on is new and shows nothing of the framebuffer,
  // or the buffer's scale changed and goes with the next commit.
  bool wholeNext = false;
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
  d->queue.emplace(session->display);
  d->target = static_cast<wl_surface*>(d->queue->Wrap(session->main->surface));
  session->drawn = session->main->surface;
  return d;
}

// The render thread's wrappers go before the queue they are on, and a wrapper before its surface.
void DropTarget(Drawable* d) {
  d->queue->ForgetFrame();
  if (d->target != nullptr) wl_proxy_wrapper_destroy(d->target);
  d->target = nullptr;
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
  if (d->copies) {
    // The framebuffer stays; only where the copies go changes.
    d->copies->Resize(d->width, d->height);
    d->copies->SurfaceChanged();
    d->wholeNext = true;
  } else {
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
    d->window = window;
    d->surface = surface;
  }
  DropTarget(d);
  LetGoOfDrawn();
  d->target = static_cast<wl_surface*>(d->queue->Wrap(session->main->surface));
  session->drawn = session->main->surface;
}

// Where EGL's swap cannot name what changed, frames are drawn offscreen and copied into the
// saver's own buffers: then the compositor learns what changed. (In practice that EGL is Mesa's
// software path, which copies every frame into shared memory itself.) With the context current
// and no surface; false when it cannot be so.
bool StartCopies(Drawable* d, EGLContext context) {
  if ((session->egl.bufferAge && session->egl.swapWithDamage != nullptr) ||
      !session->egl.surfaceless || !egl::MakeCurrent(session->egl, EGL_NO_SURFACE, context))
    return false;
  d->shm = static_cast<wl_shm*>(d->queue->Wrap(Connection().shm));
  auto copies = std::make_unique<ShmFrames>(*d->queue, d->shm);
  if (d->shm == nullptr || !copies->Resize(d->width, d->height)) {
    copies.reset();
    egl::ReleaseCurrent();
    return false;
  }
  // No window surface sets the viewport: the frame's first one is the framebuffer's.
  glViewport(0, 0, d->width, d->height);
  d->copies = std::move(copies);
  return true;
}

// Elsewhere the surface drawn on becomes an EGL window.
bool StartWindow(Drawable* d) {
  if (d->window == nullptr) {
    std::lock_guard<std::mutex> lock(session->mainLock);
    d->window = wl_egl_window_create(session->drawn, d->width, d->height);
  }
  if (d->window != nullptr) d->surface = egl::CreateSurface(session->egl, d->window);
  return d->surface != EGL_NO_SURFACE;
}

GlContext CreateContext(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || faults::ContextCreationFails()) return nullptr;
  const EGLContext context = egl::CreateContext(session->egl);
  if (context == EGL_NO_CONTEXT) return nullptr;
  if (d->copies || d->surface != EGL_NO_SURFACE || StartCopies(d, context) || StartWindow(d))
    return context;
  egl::DestroyContext(session->egl, context);
  return nullptr;
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

std::int64_t PeriodUs() {
  const int milliHz = session->refreshMilliHz.load();
  return milliHz >= 1000 && milliHz <= 1000000 ? std::llround(1e9 / milliHz) : 16667;
}

// Shows the framebuffer's rectangle (GL's window coordinates) through the saver's own buffers,
// paced on the compositor's frame callbacks.
void ShowCopy(Drawable* d, int x, int y, int width, int height) {
  if (d->paced) d->queue->WaitForFrame(PeriodUs());
  if (!d->copies->Attach(d->target, x, y, width, height, RenderQueue::NowUs() + PeriodUs()))
    return;
  BeforeCommit(d);
  if (d->paced) d->queue->RequestFrame(d->target);
  wl_surface_commit(d->target);
  wl_display_flush(session->display);
}

// EGL's swap commits: the frame callback asked for here goes with it.
void BeforeSwap(Drawable* d) {
  if (d->paced) d->queue->WaitForFrame(PeriodUs());
  BeforeCommit(d);
  if (d->paced) d->queue->RequestFrame(d->target);
}

void Swap(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  if (d->copies) {
    ShowCopy(d, 0, 0, d->width, d->height);
  } else {
    BeforeSwap(d);
    egl::SwapBuffers(session->egl, d->surface);
  }
  faults::CountSwap();
}

bool SwapControl(DeviceContext dc) { return dc != nullptr && !faults::SwapControlHidden(); }

// EGL's swap never waits for the compositor: it sends no frame callbacks to a surface it does not
// show, and a close must not wait on such a swap. With an interval, the frames wait for the
// callbacks themselves, with a deadline (RenderQueue.h); without, nothing paces them.
void SetInterval(DeviceContext dc, int interval) {
  if (dc == nullptr) return;
  faults::RecordSwapInterval(interval);
  egl::SetSwapInterval(session->egl, 0);
  Of(dc)->paced = interval > 0;
}

void DeleteContext(DeviceContext dc, GlContext context) {
  if (dc == nullptr || context == nullptr) return;
  egl::DestroyContext(session->egl, static_cast<EGLContext>(context));
}

void Release(WindowHandle, DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr) return;
  if (d->surface != EGL_NO_SURFACE) egl::DestroySurface(session->egl, d->surface);
  if (d->window != nullptr) wl_egl_window_destroy(d->window);
  d->copies.reset();
  if (d->shm != nullptr) wl_proxy_wrapper_destroy(d->shm);
  std::lock_guard<std::mutex> lock(session->mainLock);
  DropTarget(d);
  delete d;
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
  if (session->width.load() > 0 && session->height.load() > 0 && FollowSize(d)) {
    if (d->copies) {
      d->copies->Resize(d->width, d->height);
      d->wholeNext = true;
    } else {
      wl_egl_window_resize(d->window, d->width, d->height, 0, 0);
    }
  }
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
// changed, or where frames are drawn offscreen: the frame redraws what changed since its buffer
// was drawn and damages only that rectangle, so the compositor composites no more than that.
// Elsewhere a back buffer's contents are undefined after a swap, and frames stay whole.
bool PartialPresent(DeviceContext dc) {
  return dc != nullptr && (Of(dc)->copies || (session->egl.bufferAge &&
                                              session->egl.swapWithDamage != nullptr));
}

// After FitDrawable's resize: the age is of a buffer of the frame's size (a new one is 0).
PartialPresentState PartialState(DeviceContext dc) {
  Drawable* d = Of(dc);
  PartialPresentState state;
  if (d == nullptr || session->lost.load()) return state;
  state.width = d->width;
  state.height = d->height;
  // The framebuffer keeps the last frame.
  state.bufferAge = d->copies ? (d->wholeNext ? 0 : 1) : egl::BufferAge(session->egl, d->surface);
  d->wholeNext = false;
  return state;
}

void PresentRect(DeviceContext dc, int x, int y, int width, int height) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
  // Nothing changed: no buffer is shown, and the back buffer keeps its age. The own buffers
  // may still owe the compositor a change no buffer was free for.
  if (d->copies) ShowCopy(d, x, y, width, height);
  if (width > 0 && height > 0) {
    if (!d->copies) {
      BeforeSwap(d);
      egl::SwapBuffersWithDamage(session->egl, d->surface, x, y, width, height);
    }
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
