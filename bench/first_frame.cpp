// Time from process start to the first swapped frame, and peak resident memory, of two programs
// that draw on a window they are given: the floor (frame_floor) and the saver (velmora
// --window-id). Each run gets a fresh mapped window; the clock starts just before fork, and the
// first frame is the first change of the window's contents (X damage) that shows the saver's
// clear colour in its corner. The program then runs on for a while so that its peak memory
// covers steady frames, is sent SIGTERM, and its peak resident set is read from wait4.
// Beside the time, the processor time the program's threads had used by then (from
// /proc/PID/task/*/schedstat): on a shared machine that is steadier than the time.
// Runs alternate floor and saver (ABBA).
//
//   first_frame [--runs N] [--settle SECONDS] [--size WxH] FLOOR_COMMAND SAVER_COMMAND
//
// Each command is one argument, words separated by blanks; %w stands for the window id.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"

namespace {

using bench::Median;
using bench::Words;
using Clock = std::chrono::steady_clock;

struct Result {
  double firstFrameMs = -1;  // -1: no frame within the time allowed
  double processorMs = 0;    // used by all the program's threads up to its first frame
  double peakRssMiB = 0;
};

// The saver's clear colour (0.1, 0.2, 0.2) in 8 bits, either way of rounding.
bool IsClearColour(unsigned long pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r >= 24 && r <= 27 && g >= 50 && g <= 52 && b >= 50 && b <= 52;
}

// Processor time of every thread of pid so far, in milliseconds.
double ThreadsProcessorMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double ns = 0;
  if (DIR* dir = opendir(tasks.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
      double onCpu = 0;
      if (stat >> onCpu) ns += onCpu;
    }
    closedir(dir);
  }
  return ns / 1e6;
}

class Observer {
 public:
  Observer(int width, int height) : width_(width), height_(height) {
    display_ = XOpenDisplay(nullptr);
    if (display_ && !XDamageQueryExtension(display_, &damageEvent_, &damageError_)) {
      XCloseDisplay(display_);
      display_ = nullptr;
    }
  }
  ~Observer() {
    if (display_) XCloseDisplay(display_);
  }
  bool Ok() const { return display_ != nullptr; }

  Result Run(const std::string& command, double settleSeconds) {
    Result result;
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                              width_, height_, 0, 0, WhitePixel(display_, 0));
    XSelectInput(display_, window, StructureNotifyMask);
    XMapWindow(display_, window);
    for (XEvent e;;) {
      XNextEvent(display_, &e);
      if (e.type == MapNotify) break;
    }
    // Reports whenever the contents change, child windows included.
    const Damage damage = XDamageCreate(display_, window, XDamageReportNonEmpty);
    XSync(display_, False);
    XDamageSubtract(display_, damage, None, None);
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
    }

    std::vector<std::string> words = Words(command, window);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
      execvp(argv[0], argv.data());
      std::perror(argv[0]);
      _exit(127);
    }
    if (child > 0) {
      result.firstFrameMs = WaitForClearColour(window, damage, start, child);
      result.processorMs = ThreadsProcessorMs(child);
      std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
      kill(child, SIGTERM);
      int status = 0;
      rusage usage{};
      wait4(child, &status, 0, &usage);
      result.peakRssMiB = usage.ru_maxrss / 1024.0;
    }
    XDamageDestroy(display_, damage);
    XDestroyWindow(display_, window);
    XSync(display_, False);
    return result;
  }

 private:
  // Milliseconds from start to the first damage that shows the clear colour, or -1 after 30 s
  // or when the child ended first.
  double WaitForClearColour(Window window, Damage damage, Clock::time_point start, pid_t child) {
    const Clock::time_point end = start + std::chrono::seconds(30);
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    while (Clock::now() < end) {
      while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type != damageEvent_ + XDamageNotify) continue;
        const Clock::time_point seen = Clock::now();
        XDamageSubtract(display_, damage, None, None);
        if (XImage* image = XGetImage(display_, window, 2, 2, 1, 1, AllPlanes, ZPixmap)) {
          const unsigned long pixel = XGetPixel(image, 0, 0);
          XDestroyImage(image);
          if (IsClearColour(pixel)) {
            return std::chrono::duration<double, std::milli>(seen - start).count();
          }
        }
      }
      if (waitpid(child, nullptr, WNOHANG) == child) return -1;
      poll(&fd, 1, 100);
    }
    return -1;
  }

  Display* display_ = nullptr;
  int damageEvent_ = 0;
  int damageError_ = 0;
  int width_;
  int height_;
};

void Summarise(const char* name, const std::vector<Result>& results) {
  std::vector<double> ms, cpu, rss;
  for (const Result& r : results) {
    ms.push_back(r.firstFrameMs);
    cpu.push_back(r.processorMs);
    rss.push_back(r.peakRssMiB);
  }
  std::printf("%s: first frame median %.1f ms (min %.1f, max %.1f), processor %.1f ms (min %.1f, "
              "max %.1f), peak RSS median %.1f MiB (min %.1f, max %.1f)\n",
              name, Median(ms), *std::min_element(ms.begin(), ms.end()),
              *std::max_element(ms.begin(), ms.end()), Median(cpu),
              *std::min_element(cpu.begin(), cpu.end()), *std::max_element(cpu.begin(), cpu.end()),
              Median(rss),
              *std::min_element(rss.begin(), rss.end()),
              *std::max_element(rss.begin(), rss.end()));
}

int Usage() {
  std::fprintf(stderr,
               "usage: first_frame [--runs N] [--settle SECONDS] [--size WxH] FLOOR_COMMAND "
               "SAVER_COMMAND\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 10, width = 1024, height = 768;
  double settle = 1.5;
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!std::strcmp(argv[i], "--runs") && next) {
      runs = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--settle") && next) {
      settle = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--size") && next &&
               std::sscanf(next, "%dx%d", &width, &height) == 2) {
      ++i;
    } else if (argv[i][0] != '-') {
      commands.push_back(argv[i]);
    } else {
      return Usage();
    }
  }
  if (commands.size() != 2 || Words(commands[0], 1).empty() || Words(commands[1], 1).empty() ||
      runs < 1 || !(settle >= 0) || width < 16 || height < 16 ||
      width > 8192 || height > 8192) {
    return Usage();
  }
  Observer observer(width, height);
  if (!observer.Ok()) {
    std::fprintf(stderr, "first_frame: no X display with the DAMAGE extension\n");
    return 1;
  }
  std::vector<Result> floor, saver;
  for (int r = 0; r < runs; ++r) {
    const bool saverFirst = r % 2 == 1;
    for (int side = 0; side < 2; ++side) {
      const bool isSaver = (side == 0) == saverFirst;
      const Result result = observer.Run(commands[isSaver ? 1 : 0], settle);
      if (result.firstFrameMs < 0) {
        std::fprintf(stderr, "first_frame: %s drew no frame\n", isSaver ? "saver" : "floor");
        return 1;
      }
      (isSaver ? saver : floor).push_back(result);
      std::printf("run %d %s: first frame %.1f ms (processor %.1f ms), peak RSS %.1f MiB\n",
                  r + 1, isSaver ? "saver" : "floor", result.firstFrameMs, result.processorMs,
                  result.peakRssMiB);
      std::fflush(stdout);
    }
  }
  Summarise("floor", floor);
  Summarise("saver", saver);
  std::vector<double> lead, cpuLead;
  for (int r = 0; r < runs; ++r) {
    lead.push_back(saver[r].firstFrameMs - floor[r].firstFrameMs);
    cpuLead.push_back(saver[r].processorMs - floor[r].processorMs);
  }
  std::printf("saver after floor: median %.1f ms (min %.1f, max %.1f); processor %.1f ms more "
              "(min %.1f, max %.1f)\n",
              Median(lead), *std::min_element(lead.begin(), lead.end()),
              *std::max_element(lead.begin(), lead.end()), Median(cpuLead),
              *std::min_element(cpuLead.begin(), cpuLead.end()),
              *std::max_element(cpuLead.begin(), cpuLead.end()));
  return 0;
}
