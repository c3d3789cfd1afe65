#include "render/RenderThread.h"

#include <GL/glew.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/AppLog.h"
#include "base/Random.h"
#include "base/SettingsStore.h"
#include "creature/FlightController.h"
#include "platform/Clock.h"
#include "platform/GlSurface.h"
#include "platform/Notify.h"
#include "platform/RenderThread.h"
#include "render/FpsCounter.h"
#include "render/Frame.h"
#include "render/FramePacer.h"
#include "render/FrameTime.h"
#include "render/VideoInit.h"

namespace {

std::atomic<bool> followWindowSize{false};
std::atomic<bool> restartFlight{false};

using PacerClock = std::chrono::steady_clock;

std::int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             PacerClock::now().time_since_epoch())
      .count();
}

// Sleeps until `until` (NowUs time), or less when a stop is asked for meanwhile.
void WaitUntil(std::int64_t until) {
  for (std::int64_t now = NowUs(); now < until && !platform::RenderThreadStopRequested();
       now = NowUs())
    platform::WaitForStopRequest(static_cast<unsigned>(std::min<std::int64_t>(until - now, 1000000)));
}

// Where the swap waits for the display the pacer never asks for a wait; where it does not, it
// holds the loop to the display's rate. With the swap interval off nothing paces the frames.
std::optional<FramePacer> MakePacer(platform::DeviceContext dc) {
  if (SwapIntervalSetting() == 0) return std::nullopt;
  const double hz = platform::RefreshRate(dc);
  return FramePacer(std::llround(1e6 / (hz >= 1 && hz <= 1000 ? hz : 60.0)));
}

// A test seam: VELMORA_TEST_FRAMES="SEED:ELAPSED:FRAMES:whole|partial" makes a run repeatable.
// The flight is seeded with SEED, every frame is ELAPSED ms after the one before on a clock of
// its own (the frame-rate text reads it too), frames are whole or in part where the surface
// allows, and after FRAMES frames the window keeps the last one until the saver closes; then a
// line on stderr says so, with what the partial frames did.
struct TestFrames {
  unsigned seed = 0;
  unsigned elapsedMs = 0;
  long frames = 0;
  Presentation presentation = Presentation::Automatic;
};

std::optional<TestFrames> ReadTestFrames() {
  const char* text = std::getenv("VELMORA_TEST_FRAMES");
  if (text == nullptr) return std::nullopt;
  TestFrames test;
  char mode[8] = "";
  int end = 0;
  if (std::sscanf(text, "%u:%u:%ld:%7[a-z]%n", &test.seed, &test.elapsedMs, &test.frames, mode,
                  &end) == 4 &&
      text[end] == '\0' && test.frames > 0 && test.elapsedMs <= 60000 &&
      (std::strcmp(mode, "whole") == 0 || std::strcmp(mode, "partial") == 0)) {
    test.presentation =
        std::strcmp(mode, "whole") == 0 ? Presentation::Whole : Presentation::Automatic;
    return test;
  }
  std::fprintf(stderr,
               "velmora: VELMORA_TEST_FRAMES=\"%s\" ignored: not "
               "SEED:ELAPSED:FRAMES:whole|partial\n",
               text);
  return std::nullopt;
}

}  // namespace

void SetFollowWindowSize(bool follow) { followWindowSize.store(follow); }

void RestartFlight() { restartFlight.store(true); }

unsigned RenderThreadProc(platform::WindowHandle window) {
  // Read once: a change takes effect at the saver's next start. Negative values mean off.
  int enableFps = 0;
  settingsStore.Get("EnableFPS", enableFps);
  const bool overlay = enableFps > 0;

  // The first frame's elapsed time includes the whole of the initialisation.
  FrameTime frame;
  frame.tick = frame.elapsedMs = platform::TickCount();

  appLog.Write(Notify, "Start common initialization");
  const int failure = InitVideo(window);
  if (failure != 0) {
    // The message is recorded before the window is told, so the window finds it.
    appLog.WriteWithUserMessage(Notify, "Error of common initialization",
                                "Error of scene initialization");
    platform::NotifyWindow(window, RenderStartFailedMessage,
                           static_cast<std::uintptr_t>(failure));
    return 0;
  }

  const platform::DeviceContext dc = videoContext.deviceContext.load();
  const std::optional<TestFrames> test = ReadTestFrames();
  if (test) {
    SeedRandom(test->seed);
    frame = FrameTime{};
  }
  std::optional<FramePacer> pacer = MakePacer(dc);
  std::optional<platform::FineTimer> fineTimer;
  if (pacer) fineTimer.emplace();
  DeviceSurface surface(dc, followWindowSize.load());
  FrameRenderer renderer(surface, overlay ? &fpsCounter : nullptr,
                         test ? test->presentation : Presentation::Automatic);
  long framesLeft = test ? test->frames : -1;
  std::int64_t start = NowUs();
  while (!platform::RenderThreadStopRequested()) {
    if (framesLeft == 0) {
      // The test's frames are drawn: the window keeps the last one until the close.
      const DamageDrawing* damage = renderer.Damage();
      std::fprintf(stderr, "velmora: test frames drawn; %s\n",
                   damage ? damage->Summary().c_str() : "whole frames");
      std::fflush(stderr);
      while (!platform::RenderThreadStopRequested()) platform::WaitForStopRequest(100000);
      break;
    }
    frame.Advance(test ? frame.tick + test->elapsedMs : platform::TickCount());
    // The flight is the render thread's alone: a restart asked for elsewhere happens here.
    if (restartFlight.exchange(false)) flightController.Restart();
    if (!renderer.Render(frame)) {
      // The window is gone: nothing to draw on and no swap to pace the loop until the close.
      platform::WaitForStopRequest(10000);
      start = NowUs();
      continue;
    }
    if (framesLeft > 0) --framesLeft;
    if (pacer) {
      WaitUntil(pacer->NextStart(start, NowUs()));
      start = NowUs();
    }
  }
  return 0;
}
