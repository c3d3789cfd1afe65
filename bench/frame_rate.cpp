// Frame rate of the saver's own render thread (video and scene initialisation, then the frame
// loop: FrameRenderer, the creature, banner, optional frame-rate text and swap) against the floor of
// FloorSurface.h, side by side on one window: rounds alternate floor and saver (ABBA), each
// counting swaps over the same number of seconds after a warm-up. The ratio is the figure.
//
//   frame_rate WINDOW_ID [--seconds S] [--rounds R] [--fps] [--whole-frames] [--only floor|saver]
//
// --only runs one side alone, for a profiler. --whole-frames has the saver draw and swap every
// frame whole, as where the driver cannot show part of a frame.
// The window is any mapped window (tools/xtestwindow 1024 768); the swap interval is 0 for both.
// Beside the rate, each run reports the processor time per frame of this process (all its
// threads, the driver's included) and, when tests/with-xvfb started the server, of the X server
// (which takes every swapped frame as an image): on a shared machine that cost is steadier than
// the rate, and its ratio is printed too.
// Each saver round starts a new flight, so that rounds compare like with like: a creature that
// has flown out of view leaves nothing to draw, and frames in which nothing changed (counted,
// as they are frames shown) cost next to nothing where only the changes are drawn.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/SettingsStore.h"
#include "bench/FloorSurface.h"
#include "platform/GlSurfaceFaults.h"
#include "platform/Process.h"
#include "platform/RenderThread.h"
#include "render/RenderThread.h"
#include "render/VideoInit.h"

namespace {

using Clock = std::chrono::steady_clock;

FloorSurface floorSurface;
std::atomic<bool> floorFailed{false};

unsigned FloorProc(platform::WindowHandle window) {
  if (!floorSurface.Open(window)) {
    floorFailed = true;  // a window that is no GL surface: no need to wait for a frame
    return 0;
  }
  while (!platform::RenderThreadStopRequested()) floorSurface.Frame();
  return 0;
}

// Processor seconds used so far by this process, and by the X server (0 when unknown).
double ProcessSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ServerSeconds() {
  const char* pid = std::getenv("VELMORA_XVFB_PID");
  if (pid == nullptr) return 0;
  std::ifstream stat(std::string("/proc/") + pid + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  // The fields after the command name's closing parenthesis; utime and stime are 14 and 15.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i >= 14) ticks += std::atof(field.c_str());
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Rate {
  double fps = -1;            // -1: nothing drawn
  double processMsPerFrame = 0;
  double serverMsPerFrame = 0;
  double CostMs() const { return processMsPerFrame + serverMsPerFrame; }
};

// Waits for the first swap of the thread just started; false after timeoutSeconds without one.
bool WaitForFirstSwap(std::uint64_t before, int timeoutSeconds) {
  const Clock::time_point end = Clock::now() + std::chrono::seconds(timeoutSeconds);
  while (platform::SwapCount() == before) {
    if (Clock::now() > end || floorFailed) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

Rate Run(bool saver, platform::WindowHandle window, double seconds) {
  const std::uint64_t start = platform::SwapCount();
  Rate rate;
  if (saver) RestartFlight();
  if (!platform::StartRenderThread(saver ? RenderThreadProc : FloorProc, window)) return rate;
  if (WaitForFirstSwap(start, 30)) {
    // Shader variants, caches and the first long frame settle in the first second.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::uint64_t before = platform::SwapCount();
    const Clock::time_point from = Clock::now();
    const double process = ProcessSeconds(), server = ServerSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const std::uint64_t after = platform::SwapCount();
    const double elapsed = std::chrono::duration<double>(Clock::now() - from).count();
    const double frames = static_cast<double>(after - before);
    if (frames > 0) {
      rate.fps = frames / elapsed;
      rate.processMsPerFrame = (ProcessSeconds() - process) * 1000 / frames;
      rate.serverMsPerFrame = (ServerSeconds() - server) * 1000 / frames;
    }
  }
  platform::StopRenderThread();
  if (saver) {
    platform::DeleteGlContext(videoContext.deviceContext, videoContext.glContext);
    platform::ReleaseDeviceContext(window, videoContext.deviceContext);
    videoContext.deviceContext = nullptr;
    videoContext.glContext = nullptr;
  } else {
    floorSurface.Close(window);
  }
  return rate;
}

void Print(const char* name, const Rate& r) {
  std::printf("%s %.1f fps (%.3f + %.3f ms processor per frame)", name, r.fps,
              r.processMsPerFrame, r.serverMsPerFrame);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int Usage() {
  std::fprintf(stderr,
               "usage: frame_rate WINDOW_ID [--seconds S] [--rounds R] [--fps] "
               "[--whole-frames] [--only floor|saver]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::PrepareProcess();
  if (argc < 2) return Usage();
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) return Usage();
  double seconds = 10;
  int rounds = 3;
  bool overlay = false;
  const char* only = nullptr;
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--fps")) {
      overlay = true;
    } else if (!std::strcmp(argv[i], "--whole-frames")) {
      platform::SetPresentFaults({.hideCopySubBuffer = true});
    } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--only") && i + 1 < argc &&
               (!std::strcmp(argv[i + 1], "floor") || !std::strcmp(argv[i + 1], "saver"))) {
      only = argv[++i];
    } else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else {
      return Usage();
    }
  }
  if (!(seconds > 0) || rounds < 1) return Usage();

  // The stored settings do not matter here: no retrace wait, the overlay only when asked.
  settingsStore.Set("EnableVSync", 0);
  settingsStore.Set("EnableFPS", overlay ? 1 : 0);

  if (only != nullptr) {
    const bool saver = !std::strcmp(only, "saver");
    for (int r = 0; r < rounds; ++r) {
      const Rate rate = Run(saver, window, seconds);
      if (rate.fps <= 0) return 1;
      std::printf("round %d: ", r + 1);
      Print(only, rate);
      std::printf("\n");
    }
    return 0;
  }

  std::vector<double> floorRates, saverRates, ratios, costRatios;
  for (int r = 0; r < rounds; ++r) {
    // ABBA: drift in the machine's load falls on both sides alike.
    const bool saverFirst = r % 2 == 1;
    const Rate a = Run(saverFirst, window, seconds);
    const Rate b = Run(!saverFirst, window, seconds);
    const Rate& floor = saverFirst ? b : a;
    const Rate& saver = saverFirst ? a : b;
    if (floor.fps <= 0 || saver.fps <= 0) {
      std::fprintf(stderr, "frame_rate: round %d drew nothing (%s)\n", r + 1,
                   floor.fps <= 0 ? "floor" : "saver");
      return 1;
    }
    floorRates.push_back(floor.fps);
    saverRates.push_back(saver.fps);
    ratios.push_back(saver.fps / floor.fps);
    costRatios.push_back(floor.CostMs() / saver.CostMs());
    std::printf("round %d: ", r + 1);
    Print("floor", floor);
    std::printf(", ");
    Print("saver", saver);
    std::printf(", ratio %.3f, by processor time %.3f\n", ratios.back(), costRatios.back());
    std::fflush(stdout);
  }
  std::printf("median: floor %.1f fps, saver %.1f fps, ratio %.3f (min %.3f, max %.3f)\n",
              Median(floorRates), Median(saverRates), Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("by processor time per frame: ratio %.3f (min %.3f, max %.3f)\n",
              Median(costRatios), *std::min_element(costRatios.begin(), costRatios.end()),
              *std::max_element(costRatios.begin(), costRatios.end()));
  return 0;
}
