#include "render/FpsCounter.h"

// Stand-ins until the overlay is built.
void FpsCounter::UpdateAndDraw(platform::DeviceContext) {}
double FpsCounter::AverageFps() const { return -1; }
