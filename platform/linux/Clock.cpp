#include "platform/Clock.h"

#include <ctime>

namespace platform {

std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  // Truncation to 32 bits is the point: the count wraps like the Windows tick count.
  const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

FineTimer::FineTimer() = default;
FineTimer::~FineTimer() = default;

}  // namespace platform
