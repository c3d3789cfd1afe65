#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, as an unsigned 32-bit count that wraps after about
// 49.7 days. Callers subtract two readings in unsigned arithmetic.
std::uint32_t TickCount();

// While one lives, the system's timer runs at its finest resolution, so that the frame loop's
// short sleeps end on time (Windows otherwise rounds a sleep up to its 15.6 ms tick). Linux
// sleeps are fine-grained already.
class FineTimer {
 public:
  FineTimer();
  ~FineTimer();
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;
};

}  // namespace platform
