#include "platform/wayland/WaylandSurface.h"

#include <wayland-client.h>
#include <wayland-egl.h>

#include <csignal>

#include "platform/GlSurfaceFaults.h"
#include "platform/wayland/OverlayFont.h"
#include "platform/wayland/WaylandSession.h"

namespace platform::wayland {
namespace {

Session* session = nullptr;

// What a DeviceContext points to on Wayland: the main surface as an EGL window.
struct Drawable {
  wl_egl_window* window = nullptr;
  EGLSurface surface = EGL_NO_SURFACE;
  GlContext context = nullptr;  // the one last made current, kept over a move
  int width = 0;
  int height = 0;
};

Drawable* Of(DeviceContext dc) { return static_cast<Drawable*>(dc); }

DeviceContext Acquire(WindowHandle window) {
  if (window != SaverHandle || session == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(session->mainLock);
  if (session->main == nullptr) return nullptr;
  auto* d = new Drawable;
  d->width = session->width.load() > 0 ? session->width.load() : 1;
  d->height = session->height.load() > 0 ? session->height.load() : 1;
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
  const int width = session->width.load() > 0 ? session->width.load() : 1;
  const int height = session->height.load() > 0 ? session->height.load() : 1;
  wl_egl_window* window = wl_egl_window_create(session->main->surface, width, height);
  if (window == nullptr) return;
  const EGLSurface surface = egl::CreateSurface(session->egl, window);
  if (surface == EGL_NO_SURFACE) {
    wl_egl_window_destroy(window);
    return;
  }
  egl::MakeCurrent(session->egl, surface, static_cast<EGLContext>(d->context));
  if (d->surface != EGL_NO_SURFACE) egl::DestroySurface(session->egl, d->surface);
  wl_egl_window_destroy(d->window);
  LetGoOfDrawn();
  d->window = window;
  d->surface = surface;
  d->width = width;
  d->height = height;
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

void Swap(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return;
  if (faults::SwapFaults()) std::raise(SIGSEGV);
  faults::WaitWhileSwapStalls();
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

ScreenSize ScreenOf(DeviceContext dc) {
  if (dc == nullptr) return {};
  return {session->width.load(), session->height.load()};
}

// The compositor's size is taken on the render thread, between frames.
ScreenSize FitDrawable(DeviceContext dc) {
  Drawable* d = Of(dc);
  if (d == nullptr || session->lost.load()) return {};
  FollowMain(d);
  const int width = session->width.load();
  const int height = session->height.load();
  if (width > 0 && height > 0 && (width != d->width || height != d->height)) {
    wl_egl_window_resize(d->window, width, height, 0, 0);
    d->width = width;
    d->height = height;
  }
  return {d->width, d->height};
}

double Refresh(DeviceContext) { return session ? session->refreshMilliHz.load() / 1000.0 : 0; }

bool Lost(DeviceContext dc) { return dc == nullptr || session->lost.load(); }

// A layer surface's buffers are the compositor's to show: frames stay whole.
bool NoPartialPresent(DeviceContext) { return false; }
PartialPresentState NoPartialState(DeviceContext) { return {}; }
void NoPresentRect(DeviceContext, int, int, int, int) {}

void Notify(WindowHandle, unsigned message, std::uintptr_t wordParam) {
  if (session && session->notify) session->notify(message, wordParam);
}

}  // namespace

void SetSession(Session* s) { session = s; }

const SurfaceBackend& WaylandSurfaceBackend() {
  static const SurfaceBackend backend{
      Acquire,       CreateContext, MakeCurrent,     Swap,       SwapControl,
      SetInterval,   DeleteContext, Release,         ScreenOf,   FitDrawable,
      Refresh,       Lost,          DrawOverlayText, Notify,     egl::ReleaseCurrent,
      NoPartialPresent, NoPartialState, NoPresentRect};
  return backend;
}

}  // namespace platform::wayland
