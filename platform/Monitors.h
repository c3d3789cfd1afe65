#pragma once
// The monitors a window is shown on. A full-screen window over several monitors gets one picture,
// on one monitor: stretched over all of them, the fixed aspect ratio would be lost and the
// creature cut by the bezels.
#include <optional>
#include <span>

#include "platform/Types.h"

namespace platform {

// A rectangle of window pixels from the window's top left corner, y growing downward.
struct MonitorRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool primary = false;  // the one the window system calls primary
  bool operator==(const MonitorRect&) const = default;
};

// Of the monitors (in the window's pixels), the one whose rectangle the picture fills: where the
// window holds two or more of them whole, the primary among those, else the first of them.
// nullopt where it holds fewer: the picture fills the window (a preview, a window per monitor).
std::optional<MonitorRect> ChoosePictureMonitor(std::span<const MonitorRect> monitors,
                                                int windowWidth, int windowHeight);

// The window system's answer for a drawable of `width` x `height` pixels at the origin of the
// device context's window: ChoosePictureMonitor of the monitors as they are now; nullopt for a
// child window (a preview) and where the window system gives each monitor a window of its own.
// Called once a frame on the render thread, after the window's news were taken in (SurfaceLost);
// reads the monitors again only once they or the window's place changed.
std::optional<MonitorRect> PictureMonitor(DeviceContext dc, int width, int height);

}  // namespace platform
