// Heap allocations per frame of the saver's frame loop over a long run, with the real video and
// scene initialisation on a window and the render thread's frame (FrameRenderer: the creature,
// the banner, the optional frame-rate text, the swap or the partial present). Two counts:
// operator new anywhere in the process (the C++ side, ours: it must stay at zero), and every
// malloc, calloc and realloc, split into those made inside the drawing calls, inside the swap,
// and on other threads (the driver's).
//
//   frame_allocations WINDOW_ID [--seconds S] [--fps] [--whole-frames]
//
// --whole-frames draws and swaps every frame whole, as where the driver cannot show part of one.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/SettingsStore.h"
#include "platform/Clock.h"
#include "platform/GlSurface.h"
#include "platform/Process.h"
#include "render/FpsCounter.h"
#include "render/Frame.h"
#include "render/FrameTime.h"
#include "render/VideoInit.h"

namespace {

enum Phase { Outside, Drawing, Swapping, PhaseCount };

std::atomic<bool> counting{false};
std::atomic<long> newCalls{0};
std::atomic<long> mallocCalls{0};
// The frame loop's own thread, by phase; what is left over was made on other threads.
long mallocsIn[PhaseCount] = {};
thread_local Phase phase = Outside;

void CountMalloc() {
  if (!counting.load(std::memory_order_relaxed)) return;
  mallocCalls.fetch_add(1, std::memory_order_relaxed);
  if (phase != Outside) ++mallocsIn[phase];
}

}  // namespace

// glibc's own entry points stay reachable under these names, so every library's calls can be
// counted and passed on.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) noexcept {
  CountMalloc();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  CountMalloc();
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
  CountMalloc();
  return __libc_realloc(p, size);
}
void free(void* p) noexcept { __libc_free(p); }
}

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) newCalls.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The saver's surface, its presenting calls counted as the swap phase.
struct PhasedSurface final : FrameSurface {
  DeviceSurface device;
  explicit PhasedSurface(platform::DeviceContext dc) : device(dc, true) {}
  SurfaceFrame Begin(bool partial, bool screen) override { return device.Begin(partial, screen); }
  std::optional<platform::MonitorRect> PictureMonitor(int width, int height) override {
    return device.PictureMonitor(width, height);
  }
  bool CanPresentPartially() override { return device.CanPresentPartially(); }
  void PresentWhole() override {
    phase = Swapping;
    device.PresentWhole();
    phase = Drawing;
  }
  void PresentRect(const ScreenRect& rect) override {
    phase = Swapping;
    device.PresentRect(rect);
    phase = Drawing;
  }
  platform::DeviceContext Context() const override { return device.Context(); }
};

int Usage() {
  std::fprintf(stderr,
               "usage: frame_allocations WINDOW_ID [--seconds S] [--fps] [--whole-frames]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::PrepareProcess();
  if (argc < 2) return Usage();
  char* end = nullptr;
  const unsigned long window = std::strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) return Usage();
  double seconds = 20;
  bool overlay = false;
  Presentation presentation = Presentation::Automatic;
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--fps")) {
      overlay = true;
    } else if (!std::strcmp(argv[i], "--whole-frames")) {
      presentation = Presentation::Whole;
    } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else {
      return Usage();
    }
  }
  if (!(seconds > 0)) return Usage();

  settingsStore.Set("EnableVSync", 0);
  if (InitVideo(window) != 0) {
    std::fprintf(stderr, "frame_allocations: video initialisation failed on window %lu\n",
                 window);
    return 1;
  }
  PhasedSurface surface(videoContext.deviceContext.load());
  FrameRenderer renderer(surface, overlay ? &fpsCounter : nullptr, presentation);
  FrameTime frame;
  frame.tick = platform::TickCount();
  auto drawOne = [&] {
    phase = Drawing;
    frame.Advance(platform::TickCount());
    renderer.Render(frame);
    phase = Outside;
  };
  // The driver builds its shader variants and buffers in the first frames.
  for (int i = 0; i < 300; ++i) drawOne();

  const auto from = std::chrono::steady_clock::now();
  const auto until = from + std::chrono::duration<double>(seconds);
  long frames = 0;
  counting = true;
  while (std::chrono::steady_clock::now() < until) {
    drawOne();
    ++frames;
  }
  counting = false;

  const double n = static_cast<double>(frames);
  const long other = mallocCalls - mallocsIn[Drawing] - mallocsIn[Swapping];
  std::printf("frames %ld\n", frames);
  std::printf("operator new: %ld in all (%.4f per frame)\n", newCalls.load(), newCalls / n);
  std::printf("malloc: %ld in all (%.4f per frame): drawing %.4f, swap %.4f, other threads "
              "%.4f per frame\n",
              mallocCalls.load(), mallocCalls / n, mallocsIn[Drawing] / n,
              mallocsIn[Swapping] / n, other / n);
  return newCalls == 0 ? 0 : 1;
}
