// Frame rate of the saver's own render thread (video and scene initialisation, then the frame
// loop: DrawFrame, the banner, the optional frame-rate text, the swap) against the floor of
// FloorSurface.h, side by side on one window: rounds alternate floor and saver (ABBA), each
// counting swaps over the same number of seconds after a warm-up. The ratio is the figure.
//
//   frame_rate WINDOW_ID [--seconds S] [--rounds R] [--fps] [--only floor|saver]
//
// --only runs one side alone, for a profiler.
// The window is any mapped window (tools/xtestwindow 1024 768); the swap interval is 0 for both.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
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
bool floorOpened = false;

unsigned FloorProc(platform::WindowHandle window) {
  floorOpened = floorSurface.Open(window);
  while (floorOpened && !platform::RenderThreadStopRequested()) floorSurface.Frame();
  return 0;
}

// Waits for the first swap of the thread just started; false after timeoutSeconds without one.
bool WaitForFirstSwap(std::uint64_t before, int timeoutSeconds) {
  const Clock::time_point end = Clock::now() + std::chrono::seconds(timeoutSeconds);
  while (platform::SwapCount() == before) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Frames per second of one run; -1 when it drew nothing.
double Run(bool saver, platform::WindowHandle window, double seconds) {
  const std::uint64_t start = platform::SwapCount();
  if (!platform::StartRenderThread(saver ? RenderThreadProc : FloorProc, window)) return -1;
  double fps = -1;
  if (WaitForFirstSwap(start, 30)) {
    // Shader variants, caches and the first long frame settle in the first second.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::uint64_t before = platform::SwapCount();
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const std::uint64_t after = platform::SwapCount();
    const double elapsed = std::chrono::duration<double>(Clock::now() - from).count();
    fps = static_cast<double>(after - before) / elapsed;
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
  return fps;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int Usage() {
  std::fprintf(stderr,
               "usage: frame_rate WINDOW_ID [--seconds S] [--rounds R] [--fps] "
               "[--only floor|saver]\n");
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
      const double fps = Run(saver, window, seconds);
      if (fps <= 0) return 1;
      std::printf("round %d: %s %.1f fps\n", r + 1, only, fps);
    }
    return 0;
  }

  std::vector<double> floorRates, saverRates, ratios;
  for (int r = 0; r < rounds; ++r) {
    // ABBA: drift in the machine's load falls on both sides alike.
    const bool saverFirst = r % 2 == 1;
    const double a = Run(saverFirst, window, seconds);
    const double b = Run(!saverFirst, window, seconds);
    const double floorFps = saverFirst ? b : a;
    const double saverFps = saverFirst ? a : b;
    if (floorFps <= 0 || saverFps <= 0) {
      std::fprintf(stderr, "frame_rate: round %d drew nothing (%s)\n", r + 1,
                   floorFps <= 0 ? "floor" : "saver");
      return 1;
    }
    floorRates.push_back(floorFps);
    saverRates.push_back(saverFps);
    ratios.push_back(saverFps / floorFps);
    std::printf("round %d: floor %.1f fps, saver %.1f fps, ratio %.3f\n", r + 1, floorFps,
                saverFps, saverFps / floorFps);
    std::fflush(stdout);
  }
  std::printf("median: floor %.1f fps, saver %.1f fps, ratio %.3f (min %.3f, max %.3f)\n",
              Median(floorRates), Median(saverRates), Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  return 0;
}
