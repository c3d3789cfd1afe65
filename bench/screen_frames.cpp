// How often the picture on an X screen changes: the content changes of the root window and every
// window on it (X DAMAGE), over SECONDS. Beside a full-screen program that alone draws, that is
// its frame rate. Prints "FRAMES SECONDS", the seconds being those it actually watched.
//
//   screen_frames SECONDS
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  char* end = nullptr;
  const double seconds = argc == 2 ? std::strtod(argv[1], &end) : 0;
  if (argc != 2 || *end != '\0' || !(seconds > 0 && seconds < 86400)) {
    std::fprintf(stderr, "usage: screen_frames SECONDS\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0;
  if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "screen_frames: no X display with the DAMAGE extension\n");
    return 1;
  }
  using Clock = std::chrono::steady_clock;
  // Drawing into any window on the screen damages the root window too.
  const Damage damage = XDamageCreate(display, DefaultRootWindow(display), XDamageReportNonEmpty);
  XSync(display, False);
  const Clock::time_point start = Clock::now();
  const Clock::time_point stop =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  long frames = 0;
  while (Clock::now() < stop) {
    while (XPending(display)) {
      XEvent e;
      XNextEvent(display, &e);
      if (e.type != damageEvent + XDamageNotify) continue;
      // Emptied at once, so that the next frame reports again.
      XDamageSubtract(display, damage, None, None);
      ++frames;
    }
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 5);
  }
  const double watched = std::chrono::duration<double>(Clock::now() - start).count();
  XDamageDestroy(display, damage);
  XCloseDisplay(display);
  std::printf("%ld %.3f\n", frames, watched);
  return 0;
}
