#pragma once
#include <atomic>
#include <cstdint>

#include "platform/Types.h"

// The text's clipping rectangle: from the top left corner to a tenth of the screen each way.
struct OverlayRect {
  int right = 0;
  int bottom = 0;
};

// Measures the frame rate and draws it in the top left corner when the overlay is on.
class FpsCounter {
 public:
  static constexpr int AverageWindow = 1000;
  using TickSource = std::uint32_t (*)();

  // tickSource is the platform's tick count; tests pass a clock of their own.
  explicit FpsCounter(TickSource tickSource = nullptr);

  // Takes one sample at tick `now` and draws the text on the device context, clipped to `rect`
  // (FpsOverlayRect of the screen).
  void UpdateAndDraw(platform::DeviceContext dc, std::uint32_t now, const OverlayRect& rect);
  // The sampling half of UpdateAndDraw: the average and the text, nothing drawn. Without `now`
  // the sample is taken at the tick source's time.
  void Update(std::uint32_t now);
  void Update() { Update(tickSource()); }

  // 1000 / average frame time, or -1 when there is no positive average. Safe to call from the
  // window thread while the render thread updates the counter.
  double AverageFps() const { return publishedFps.load(std::memory_order_relaxed); }

  const char* Text() const { return fpsText; }
  double SampleCount() const { return sampleCount; }
  double AverageMs() const { return averageMs; }

 private:
  TickSource tickSource;
  std::uint32_t lastTick = 0xFFFFFFFF;  // no sample yet
  double averageMs = 0;
  double sampleCount = 0;
  std::atomic<double> publishedFps{-1.0};
  char fpsText[32] = "";
};

OverlayRect FpsOverlayRect(int screenWidth, int screenHeight);

extern FpsCounter fpsCounter;
