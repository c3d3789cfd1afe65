#include "platform/x11/X11Errors.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace platform::x11 {
namespace {

thread_local ErrorTrap* activeTrap = nullptr;

std::atomic<void (*)()> displayLostHandler{nullptr};
std::atomic<bool> displayLost{false};

struct WatchedSurface {
  Display* display = nullptr;
  Window window = 0;
  Window drawable = 0;
  std::atomic<bool>* lost = nullptr;
};
// A process has one render surface; a few more slots serve tests that open several in turn.
constexpr int WatchedSurfaceSlots = 8;
WatchedSurface watched[WatchedSurfaceSlots];
// Never held while calling Xlib, so taking it inside the error handler cannot deadlock.
std::mutex watchedMutex;

bool MarkSurfaceLost(Display* display, const XErrorEvent& error) {
  if (error.error_code != BadWindow && error.error_code != BadDrawable && error.error_code < 128)
    return false;
  std::lock_guard lock(watchedMutex);
  for (WatchedSurface& s : watched) {
    if (s.display == display && (error.resourceid == s.window || error.resourceid == s.drawable)) {
      s.lost->store(true);
      return true;
    }
  }
  return false;
}

int HandleIOError(Display*) {
  // Only the first thread to get here ends the process; any other waits for that end.
  if (displayLost.exchange(true)) {
    for (;;) pause();
  }
  if (void (*handler)() = displayLostHandler.load()) handler();
  _exit(1);
}

}  // namespace

int HandleError(Display* display, XErrorEvent* error) {
  for (ErrorTrap* trap = activeTrap; trap != nullptr; trap = trap->outer_) {
    if (trap->display_ == display) {
      if (trap->code_ == Success) trap->code_ = error->error_code;
      return 0;
    }
  }
  if (MarkSurfaceLost(display, *error)) return 0;
  char text[160] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "velmora: X error %d (%s), request %d.%d, resource 0x%lx\n",
               error->error_code, text, error->request_code, error->minor_code,
               error->resourceid);
  return 0;
}

void InstallErrorHandlers() {
  XSetErrorHandler(HandleError);
  XSetIOErrorHandler(HandleIOError);
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), outer_(activeTrap) {
  activeTrap = this;
}

ErrorTrap::~ErrorTrap() {
  End();
  activeTrap = outer_;
}

int ErrorTrap::End() {
  if (!ended_) {
    ended_ = true;
    if (display_ != nullptr) XSync(display_, False);
  }
  return code_;
}

void SetDisplayLostHandler(void (*handler)()) { displayLostHandler.store(handler); }

void WatchSurface(Display* display, Window window, Window drawable, std::atomic<bool>* lost) {
  std::lock_guard lock(watchedMutex);
  WatchedSurface* slot = nullptr;
  for (WatchedSurface& s : watched) {
    if (s.display == display) slot = &s;
    if (slot == nullptr && s.display == nullptr) slot = &s;
  }
  if (slot != nullptr) *slot = {display, window, drawable, lost};
}

void UnwatchSurface(Display* display) {
  std::lock_guard lock(watchedMutex);
  for (WatchedSurface& s : watched) {
    if (s.display == display) s = {};
  }
}

}  // namespace platform::x11
