#pragma once
#include <cstdint>

#include "render/FpsCounter.h"
#include "render/FrameDrawing.h"

class Ribbon;

// Checks, after every drawn frame of a long run, what the whole frame path must keep however long
// the saver runs and however the frame times fall: the ribbon's node data finite and inside the
// flight's box, each wing's clock moved on by exactly the frame's time (or one more), the wings'
// placement finite with the kept anchor unmirrored, and the frame-rate average finite and bounded
// by the longest frame. Used by the snapshot tool's soak mode.
class FrameSoak {
 public:
  // maxElapsedMs: the longest frame time the run draws.
  explicit FrameSoak(unsigned seed, std::uint32_t maxElapsedMs);

  // The next frame time, 0 to the longest, from a generator of its own: the flight's sequence
  // stays the saver's.
  std::uint32_t NextElapsed();

  // Checks the state after a frame of elapsedMs. Returns false at the first violation, which
  // Violation() then names.
  bool Check(const Ribbon& ribbon, const FrameWings& wings, const FpsCounter& counter,
             std::uint32_t elapsedMs);

  const char* Violation() const { return violation_; }
  std::int64_t Frames() const { return frames_; }
  std::uint64_t SimulatedMs() const { return simulatedMs_; }

 private:
  bool Fail(const char* what) {
    violation_ = what;
    return false;
  }

  std::uint32_t state_;
  std::uint32_t maxElapsedMs_;
  std::int64_t frames_ = 0;
  std::uint64_t simulatedMs_ = 0;
  const char* violation_ = nullptr;
};
