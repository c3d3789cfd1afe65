// How fast the desktop comes back: starts the full-screen saver again and again, waits until it
// is drawing, sends one input through XTEST (a key press, or the pointer moved 5 pixels) and
// measures from the moment the input is sent to (a) the saver's window gone from the screen
// (its UnmapNotify or DestroyNotify, seen through the root's substructure events) and (b) the
// process ended (its pidfd turns readable). Median and worst of each, per kind of input.
//
//   close_latency [--runs N] [--input key|pointer|both] [--frames K] [--load N] SAVER_COMMAND
//
// SAVER_COMMAND is one argument, words separated by blanks (velmora /s). Drawing means K
// (default 10) changes of the window's contents seen through X DAMAGE. --input both (the
// default) alternates the kinds. --load N runs N busy processes beside it for the whole run.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr char SaverClass[] = "WindowsScreenSaverClass";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The saver's window may be gone by the time it is asked about; that is no fault here.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

bool IsSaverWindow(Display* display, Window window) {
  XClassHint hint{};
  if (!XGetClassHint(display, window, &hint)) return false;
  const bool saver = hint.res_class && std::strcmp(hint.res_class, SaverClass) == 0;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return saver;
}

struct Close {
  double goneMs = -1;   // -1: not within the time allowed
  double endedMs = -1;
  double frameMs = 0;   // the saver's frame interval just before the input
  bool cleanExit = false;
};

class Runner {
 public:
  explicit Runner(Display* display) : display_(display) {
    root_ = DefaultRootWindow(display_);
    XSelectInput(display_, root_, SubstructureNotifyMask);
    const Screen* screen = DefaultScreenOfDisplay(display_);
    centreX_ = screen->width / 2;
    centreY_ = screen->height / 2;
    shift_ = XKeysymToKeycode(display_, XK_Shift_L);
  }

  // Empty message on success.
  std::string Run(const std::string& command, bool key, int frames, Close& close) {
    XTestFakeMotionEvent(display_, -1, centreX_, centreY_, CurrentTime);
    XSync(display_, False);
    Drain();
    const pid_t child = bench::Start(command, 0);
    if (child < 0) return "cannot start";
    const int pidfd = bench::OpenPidFd(child);
    if (pidfd < 0) {
      Kill(child, -1);
      return "no pidfd";
    }
    std::string failure = Measure(pidfd, key, frames, close);
    if (key) XTestFakeKeyEvent(display_, shift_, False, CurrentTime);
    XSync(display_, False);
    if (!failure.empty() || close.endedMs < 0) {
      Kill(child, pidfd);
      if (failure.empty()) failure = "did not end within 5 s";
    } else {
      int status = 0;
      waitpid(child, &status, 0);
      close.cleanExit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      close_(pidfd);
    }
    Drain();
    return failure;
  }

 private:
  std::string Measure(int pidfd, bool key, int frames, Close& close) {
    const Window saver = WaitForSaverWindow(pidfd);
    if (saver == 0) return "no saver window within 30 s";
    if (!WaitForFrames(saver, pidfd, frames, close.frameMs)) return "drew no frames within 30 s";

    const Clock::time_point sent = Clock::now();
    if (key) {
      XTestFakeKeyEvent(display_, shift_, True, CurrentTime);
    } else {
      XTestFakeRelativeMotionEvent(display_, 5, 0, CurrentTime);
    }
    XFlush(display_);
    const Clock::time_point end = sent + std::chrono::seconds(5);
    while ((close.goneMs < 0 || close.endedMs < 0) && Clock::now() < end) {
      while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        const bool gone = (e.type == UnmapNotify && e.xunmap.window == saver) ||
                          (e.type == DestroyNotify && e.xdestroywindow.window == saver);
        if (gone && close.goneMs < 0) close.goneMs = Ms(Clock::now() - sent);
      }
      pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {pidfd, POLLIN, 0}};
      poll(fds, 2, 50);
      if ((fds[1].revents & POLLIN) && close.endedMs < 0) close.endedMs = Ms(Clock::now() - sent);
    }
    return close.goneMs < 0 ? "window stayed for 5 s" : "";
  }

  Window WaitForSaverWindow(int pidfd) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end) {
      while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == MapNotify && IsSaverWindow(display_, e.xmap.window)) return e.xmap.window;
      }
      if (!WaitFor(pidfd)) return 0;
    }
    return 0;
  }

  // Waits for the given number of content changes; frameMs is their mean interval.
  bool WaitForFrames(Window saver, int pidfd, int frames, double& frameMs) {
    const Damage damage = XDamageCreate(display_, saver, XDamageReportNonEmpty);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(30);
    Clock::time_point first{};
    int seen = 0;
    while (seen < frames && Clock::now() < end) {
      while (XPending(display_) && seen < frames) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type != damageEvent_ + XDamageNotify) continue;
        XDamageSubtract(display_, damage, None, None);
        if (seen++ == 0) first = Clock::now();
      }
      if (seen < frames && !WaitFor(pidfd)) break;
    }
    if (seen > 1) frameMs = Ms(Clock::now() - first) / (seen - 1);
    XDamageDestroy(display_, damage);
    XSync(display_, False);
    return seen >= frames;
  }

  // Waits up to 100 ms for X events; false once the child has ended.
  bool WaitFor(int pidfd) {
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {pidfd, POLLIN, 0}};
    poll(fds, 2, 100);
    return !(fds[1].revents & POLLIN);
  }

  void Kill(pid_t child, int pidfd) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    if (pidfd >= 0) close_(pidfd);
  }
  static void close_(int fd) { ::close(fd); }

  void Drain() {
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
    }
  }

 public:
  int damageEvent_ = 0;

 private:
  Display* display_;
  Window root_ = 0;
  int centreX_ = 0, centreY_ = 0;
  KeyCode shift_ = 0;
};

std::vector<pid_t> StartLoad(int count) {
  std::vector<pid_t> load;
  for (int i = 0; i < count; ++i) {
    const pid_t busy = fork();
    if (busy == 0) {
      for (;;) asm volatile("" ::: "memory");  // spins without being optimised away
    }
    if (busy > 0) load.push_back(busy);
  }
  return load;
}

void Summarise(const char* kind, const std::vector<Close>& closes) {
  if (closes.empty()) return;
  std::vector<double> gone, ended, frame;
  for (const Close& c : closes) {
    gone.push_back(c.goneMs);
    ended.push_back(c.endedMs);
    frame.push_back(c.frameMs);
  }
  std::printf("%s, %zu closes: window gone median %.1f ms, worst %.1f; process ended median "
              "%.1f ms, worst %.1f (frame interval before the input: median %.1f ms)\n",
              kind, closes.size(), bench::Median(gone), bench::Worst(gone), bench::Median(ended),
              bench::Worst(ended), bench::Median(frame));
}

int Usage() {
  std::fprintf(stderr, "usage: close_latency [--runs N] [--input key|pointer|both] [--frames K] "
                       "[--load N] SAVER_COMMAND\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 50, frames = 10, load = 0;
  std::string input = "both", command;
  for (int i = 1; i < argc; ++i) {
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!std::strcmp(argv[i], "--runs") && next) {
      runs = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--frames") && next) {
      frames = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--load") && next) {
      load = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--input") && next) {
      input = argv[++i];
    } else if (argv[i][0] != '-' && command.empty()) {
      command = argv[i];
    } else {
      return Usage();
    }
  }
  if (bench::Words(command, 0).empty() || runs < 1 || frames < 1 || load < 0 || load > 64 ||
      (input != "key" && input != "pointer" && input != "both")) {
    return Usage();
  }
  Display* display = XOpenDisplay(nullptr);
  int event = 0, error = 0, major = 0, minor = 0, damageEvent = 0, damageError = 0;
  if (!display || !XTestQueryExtension(display, &event, &error, &major, &minor) ||
      !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "close_latency: no X display with the XTEST and DAMAGE extensions\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  Runner runner(display);
  runner.damageEvent_ = damageEvent;
  const std::vector<pid_t> busy = StartLoad(load);
  std::vector<Close> keys, pointers;
  int failures = 0, unclean = 0;
  for (int r = 0; r < runs; ++r) {
    const bool key = input == "key" || (input == "both" && r % 2 == 0);
    Close close;
    const std::string failure = runner.Run(command, key, frames, close);
    if (!failure.empty()) {
      std::printf("run %d %s: %s\n", r + 1, key ? "key" : "pointer", failure.c_str());
      ++failures;
      continue;
    }
    if (!close.cleanExit) ++unclean;
    (key ? keys : pointers).push_back(close);
    std::printf("run %d %s: window gone %.1f ms, process ended %.1f ms%s\n", r + 1,
                key ? "key" : "pointer", close.goneMs, close.endedMs,
                close.cleanExit ? "" : " (exit status not 0)");
    std::fflush(stdout);
  }
  for (pid_t p : busy) {
    kill(p, SIGKILL);
    waitpid(p, nullptr, 0);
  }
  std::vector<Close> all = keys;
  all.insert(all.end(), pointers.begin(), pointers.end());
  Summarise("key", keys);
  Summarise("pointer", pointers);
  if (!keys.empty() && !pointers.empty()) Summarise("all", all);
  if (load > 0) std::printf("beside %d busy processes\n", load);
  if (failures || unclean) {
    std::printf("%d of %d runs failed, %d ended with a status other than 0\n", failures, runs,
                unclean);
    return 1;
  }
  XCloseDisplay(display);
  return 0;
}
