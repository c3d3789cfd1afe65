#include "platform/x11/X11Errors.h"

#include <poll.h>
#include <signal.h>
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
// The watched connections' sockets, for the crash handler, which may take no lock.
std::atomic<int> watchedSockets[WatchedSurfaceSlots];

struct sigaction previousSegv {}, previousBus {};

// True when a watched connection's server has closed it. Async-signal-safe.
bool ServerGone() {
  for (std::atomic<int>& socket : watchedSockets) {
    pollfd p{socket.load(), POLLRDHUP, 0};
    if (p.fd > 0 && poll(&p, 1, 0) == 1 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR))) return true;
  }
  return false;
}

// Mesa's GLX set-up does not check every reply it waits for: a server that dies in the middle
// leaves it reading what never came, and it crashes before Xlib notices the lost connection. A
// crash with the server gone therefore takes the lost-server end; any other goes on to the
// handler there was before (a sanitizer's) or the default, core and all.
void HandleCrash(int signal, siginfo_t* info, void*) {
  if (displayLost.load()) {
    for (;;) pause();  // the thread that found the server gone ends the process
  }
  if (ServerGone()) _exit(1);
  sigaction(signal, signal == SIGBUS ? &previousBus : &previousSegv, nullptr);
  // A fault repeats on return; a signal sent by kill is sent again.
  if (info->si_code <= 0) raise(signal);
}

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
  // Once: a second install would keep this handler as the one to fall back to.
  static std::once_flag crashHandler;
  std::call_once(crashHandler, [] {
    struct sigaction crash {};
    crash.sa_sigaction = HandleCrash;
    crash.sa_flags = SA_SIGINFO;
    sigemptyset(&crash.sa_mask);
    sigaction(SIGSEGV, &crash, &previousSegv);
    sigaction(SIGBUS, &crash, &previousBus);
  });
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
  if (slot == nullptr) return;
  *slot = {display, window, drawable, lost};
  watchedSockets[slot - watched].store(ConnectionNumber(display));
}

void UnwatchSurface(Display* display) {
  std::lock_guard lock(watchedMutex);
  for (WatchedSurface& s : watched) {
    if (s.display != display) continue;
    watchedSockets[&s - watched].store(-1);
    s = {};
  }
}

}  // namespace platform::x11
