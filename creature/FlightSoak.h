#pragma once
#include <cstdint>

#include "base/Vector3.h"
#include "creature/FlightController.h"
#include "creature/Ribbon.h"

// Runs the autopilot on its own ribbon for as long as asked, without drawing, and checks after
// every frame what must hold however long the saver runs: every value finite, every node inside
// a box around the camera's view, the nodes at their spacing, every frame orthonormal and
// right-handed. Used by the long soak command and by a short test.
class FlightSoak {
 public:
  // Every node stays within these bounds (the eye is at z = 4, the start at z = -20.95).
  static constexpr Vector3 BoxMin{-20, -20, -30};
  static constexpr Vector3 BoxMax{20, 20, 15};

  // Builds the controller on the unseeded generator, as the saver does, then seeds it.
  explicit FlightSoak(unsigned seed);

  // Runs frames of fixedMs each, or, with fixedMs < 0, of 0 to randomMaxMs drawn from a
  // private generator (the flight's own sequence is left alone). Stops at the first violation
  // and returns false; Violation() then says what and where.
  bool Run(std::int64_t frames, int fixedMs, int randomMaxMs = 0);
  // One frame of elapsedMs, then the checks.
  bool Step(int elapsedMs);
  // 0 to maxMs from the private generator, seeded from the seed.
  int RandomElapsed(int maxMs);

  const char* Violation() const { return violation_; }
  int ViolationNode() const { return violationNode_; }
  std::int64_t Frames() const { return frames_; }
  std::int64_t FramesIn(std::uint32_t state) const { return framesInState_[state]; }
  // Times the state was entered or its clock restarted (the first Cruise included).
  std::int64_t Visits(std::uint32_t state) const { return visits_[state]; }
  const Vector3& Lowest() const { return lowest_; }
  const Vector3& Highest() const { return highest_; }
  double WorstSpacingError() const { return worstSpacingError_; }
  double WorstFrameError() const { return worstFrameError_; }
  const Ribbon& SoakedRibbon() const { return ribbon_; }
  const FlightController& Controller() const { return controller_; }

 private:
  // state: the state the frame ran in (the law that moved the nodes).
  bool Check(std::uint32_t state);

  Ribbon ribbon_;
  FlightController controller_;
  std::uint32_t elapsedState_;
  std::int64_t frames_ = 0;
  std::int64_t framesInState_[FlightStateCount] = {};
  std::int64_t visits_[FlightStateCount] = {};
  Vector3 lowest_;
  Vector3 highest_;
  double worstSpacingError_ = 0;
  double worstFrameError_ = 0;
  const char* violation_ = nullptr;
  int violationNode_ = -1;
};
