#pragma once
#include "platform/Types.h"

// Measures the frame rate and draws it in the top left corner when the overlay is on.
class FpsCounter {
 public:
  void UpdateAndDraw(platform::DeviceContext dc);
  // 1000 / average frame time, or -1 when there is no positive average. Safe to call from the
  // window thread while the render thread updates the counter.
  double AverageFps() const;
};

extern FpsCounter fpsCounter;
