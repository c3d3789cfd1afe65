#include "platform/Monitors.h"

namespace platform {

std::optional<MonitorRect> ChoosePictureMonitor(std::span<const MonitorRect> monitors,
                                                int windowWidth, int windowHeight) {
  const MonitorRect* first = nullptr;
  const MonitorRect* primary = nullptr;
  int held = 0;
  for (const MonitorRect& m : monitors) {
    // 64-bit sums: a window system's numbers are not trusted to stay small.
    const bool inside = m.width > 0 && m.height > 0 && m.x >= 0 && m.y >= 0 &&
                        static_cast<long long>(m.x) + m.width <= windowWidth &&
                        static_cast<long long>(m.y) + m.height <= windowHeight;
    if (!inside) continue;
    ++held;
    if (first == nullptr) first = &m;
    if (m.primary && primary == nullptr) primary = &m;
  }
  if (held < 2) return std::nullopt;
  return primary != nullptr ? *primary : *first;
}

}  // namespace platform
