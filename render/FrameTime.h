#pragma once
#include <cstdint>

// The render loop's clock: the tick of the current frame and the milliseconds since the last.
struct FrameTime {
  std::uint32_t tick = 0;
  std::uint32_t elapsedMs = 0;

  // Moves to the tick `now`; unsigned arithmetic keeps the difference right across the wrap.
  void Advance(std::uint32_t now) {
    elapsedMs = now - tick;
    tick = now;
  }
};
