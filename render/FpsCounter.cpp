#include "render/FpsCounter.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/OverlayText.h"

FpsCounter::FpsCounter(TickSource tickSource_)
    : tickSource(tickSource_ ? tickSource_ : platform::TickCount) {}

void FpsCounter::Update(std::uint32_t now) {
  if (lastTick == 0xFFFFFFFF) lastTick = now;  // the very first sample is 0
  const double sample = static_cast<double>(now - lastTick);
  lastTick = now;
  if (sampleCount < AverageWindow) sampleCount += 1;
  // The running mean for the first thousand samples, then a moving average of the last thousand.
  averageMs = averageMs + (sample - averageMs) / sampleCount;

  const double fps = 1000 / averageMs;
  publishedFps.store(averageMs > 0 ? fps : -1.0, std::memory_order_relaxed);
  if (averageMs == 0) {
    std::snprintf(fpsText, sizeof fpsText, "---");
  } else {
    std::snprintf(fpsText, sizeof fpsText, "FPS : %g", fps);
  }
}

void FpsCounter::UpdateAndDraw(platform::DeviceContext dc, std::uint32_t now,
                               const OverlayRect& rect) {
  Update(now);
  platform::DrawOverlayText(dc, rect.right, rect.bottom, fpsText);
}

OverlayRect FpsOverlayRect(int screenWidth, int screenHeight) {
  return {screenWidth / 10, screenHeight / 10};
}
