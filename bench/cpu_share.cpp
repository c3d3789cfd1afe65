// What a program drawing into one window costs per second: the processor share of its process
// (every thread, from /proc) and the frames it shows (content changes of the window, seen through
// the X DAMAGE extension), over the same stretch after it has settled. Used to set the saver at
// its default settings beside other GL screen savers on the same server. With --server, the X
// server's share over the same stretch too (it copies every frame a program shows), and the sum:
// run on a server of its own, where nothing else draws.
//
//   cpu_share WINDOW [--seconds N] [--settle S] [--server PID] NAME=COMMAND ...
//
// Each COMMAND is blank-separated words, %w standing for WINDOW; they run one after the other.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/ChildProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Counts the window's content changes until `end`; false when the child ended first.
bool CountFrames(Display* display, int damageEvent, Damage damage, int pidfd, Clock::time_point end,
                 int& frames) {
  while (Clock::now() < end) {
    while (XPending(display)) {
      XEvent e;
      XNextEvent(display, &e);
      // Events of an earlier program's damage object may still be queued.
      if (e.type != damageEvent + XDamageNotify ||
          reinterpret_cast<XDamageNotifyEvent&>(e).damage != damage)
        continue;
      XDamageSubtract(display, damage, None, None);
      ++frames;
    }
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {pidfd, POLLIN, 0}};
    poll(fds, 2, 20);
    if (fds[1].revents & POLLIN) return false;
  }
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: cpu_share WINDOW [--seconds N] [--settle S] [--server PID] NAME=COMMAND ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const unsigned long window = std::strtoul(argv[1], nullptr, 0);
  double seconds = 10, settle = 2;
  pid_t server = 0;
  int first = 2;
  for (; first + 1 < argc && argv[first][0] == '-'; first += 2) {
    if (!std::strcmp(argv[first], "--seconds")) seconds = std::atof(argv[first + 1]);
    else if (!std::strcmp(argv[first], "--settle")) settle = std::atof(argv[first + 1]);
    else if (!std::strcmp(argv[first], "--server")) server = std::atoi(argv[first + 1]);
    else return Usage();
  }
  if (server < 0 || (server > 0 && bench::ProcessorSeconds(server) < 0)) {
    std::fprintf(stderr, "cpu_share: no process %d to measure as the X server\n", server);
    return 1;
  }
  if (window == 0 || seconds <= 0 || settle < 0 || first >= argc) return Usage();
  Display* display = XOpenDisplay(nullptr);
  int damageEvent = 0, damageError = 0;
  if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "cpu_share: no X display with the DAMAGE extension\n");
    return 1;
  }
  int failures = 0;
  for (int i = first; i < argc; ++i) {
    char* equals = std::strchr(argv[i], '=');
    if (equals == nullptr) return Usage();
    const std::string name(argv[i], static_cast<std::size_t>(equals - argv[i]));
    const pid_t child = bench::Start(equals + 1, window);
    const int pidfd = child > 0 ? bench::OpenPidFd(child) : -1;
    if (pidfd < 0) return 1;
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    int frames = 0;
    bool running = CountFrames(display, damageEvent, damage, pidfd,
                               Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(settle)),
                               frames);
    frames = 0;
    const Clock::time_point start = Clock::now();
    const double before = bench::ProcessorSeconds(child);
    const double serverBefore = server > 0 ? bench::ProcessorSeconds(server) : 0;
    running = running && CountFrames(display, damageEvent, damage, pidfd,
                                     start + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(seconds)),
                                     frames);
    const double used = bench::ProcessorSeconds(child) - before;
    const double serverUsed = server > 0 ? bench::ProcessorSeconds(server) - serverBefore : 0;
    const double wall = Seconds(Clock::now() - start);
    XDamageDestroy(display, damage);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    close(pidfd);
    if (!running) {
      std::printf("%-10s ended before the measurement did\n", name.c_str());
      ++failures;
      continue;
    }
    if (server > 0) {
      // Per frame as well: on a loaded machine a program may get less than it asks for.
      std::printf("%-10s %.3f program + %.3f X server = %.3f of a processor, %.1f frames/s, "
                  "%.2f ms a frame\n",
                  name.c_str(), used / wall, serverUsed / wall, (used + serverUsed) / wall,
                  frames / wall, frames ? (used + serverUsed) * 1000 / frames : 0.0);
    } else {
      std::printf("%-10s %.3f of a processor, %.1f frames/s, %.2f ms of processor a frame\n",
                  name.c_str(), used / wall, frames / wall, frames ? used * 1000 / frames : 0.0);
    }
    std::fflush(stdout);
  }
  XCloseDisplay(display);
  return failures ? 1 : 0;
}
