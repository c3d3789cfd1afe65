#include "render/RenderThread.h"

#include <GL/glew.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>

#include "base/AppLog.h"
#include "base/SettingsStore.h"
#include "creature/FlightController.h"
#include "platform/Clock.h"
#include "platform/GlSurface.h"
#include "platform/Notify.h"
#include "platform/PartialPresent.h"
#include "platform/RenderThread.h"
#include "render/Banner.h"
#include "render/DamageDrawing.h"
#include "render/FpsCounter.h"
#include "render/FrameDrawing.h"
#include "render/FramePacer.h"
#include "render/FrameTime.h"
#include "render/VideoInit.h"

namespace {

std::atomic<bool> followWindowSize{false};
std::atomic<bool> restartFlight{false};

// Sets the viewport to the drawable whenever its size changes; an unreadable size keeps the last.
void FollowDrawableSize(platform::DeviceContext dc, platform::ScreenSize& viewport) {
  const platform::ScreenSize size = platform::GetDrawableSize(dc);
  if (size.width <= 0 || size.height <= 0) return;
  if (size.width == viewport.width && size.height == viewport.height) return;
  glViewport(0, 0, size.width, size.height);
  viewport = size;
}

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

// Where the processor draws, clearing and showing the whole window every frame costs far more
// than the creature does; there frames are drawn and shown only where they changed. Elsewhere
// (a graphics card, no way to show part of a frame) frames stay whole.
std::optional<DamageDrawing> MakeDamageDrawing(platform::DeviceContext dc) {
  if (!IsSoftwareRenderer(platform::RendererName()) || !platform::PartialPresentAvailable(dc))
    return std::nullopt;
  return std::optional<DamageDrawing>(std::in_place);
}

// One frame drawn and shown only where it changed; the frame-rate text is inside that part.
void DrawPartialFrame(platform::DeviceContext dc, DamageDrawing& drawing, const FrameTime& frame,
                      bool overlay) {
  const platform::PartialPresentState state = platform::TakePartialPresentState(dc);
  ScreenRect overlayRect;
  if (overlay) {
    const platform::ScreenSize screen = platform::GetScreenSize(dc);
    const OverlayRect text = FpsOverlayRect(screen.width, screen.height);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    overlayRect = TopLeftRect(text.right, text.bottom, viewport[3]);
  }
  const FrameDamage::Frame next =
      drawing.BeginFrame(frame, state.width, state.height, overlayRect, state.exposed);
  if (overlay) fpsCounter.UpdateAndDraw(dc);
  drawing.EndFrame();
  platform::PresentRect(dc, next.dirty.left, next.dirty.bottom, next.dirty.Width(),
                        next.dirty.Height());
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
  const bool follow = followWindowSize.load();
  // Unknown at first, so the first frame sets it: the size may have changed since the context
  // was made current, and that change is reported only once.
  platform::ScreenSize viewport{};
  std::optional<FramePacer> pacer = MakePacer(dc);
  std::optional<platform::FineTimer> fineTimer;
  if (pacer) fineTimer.emplace();
  std::optional<DamageDrawing> damage = MakeDamageDrawing(dc);
  std::int64_t start = NowUs();
  while (!platform::RenderThreadStopRequested()) {
    if (platform::SurfaceLost(dc)) {
      // The window is gone: nothing to draw on and no swap to pace the loop until the close.
      platform::WaitForStopRequest(10000);
      start = NowUs();
      continue;
    }
    if (follow) FollowDrawableSize(dc, viewport);
    frame.Advance(platform::TickCount());
    // The flight is the render thread's alone: a restart asked for elsewhere happens here.
    if (restartFlight.exchange(false)) flightController.Restart();
    if (damage) {
      DrawPartialFrame(dc, *damage, frame, overlay);
    } else {
      DrawFrame(frame);
      DrawBanner();
      if (overlay) fpsCounter.UpdateAndDraw(dc);
      platform::SwapBuffers(dc);
    }
    if (pacer) {
      WaitUntil(pacer->NextStart(start, NowUs()));
      start = NowUs();
    }
  }
  return 0;
}
