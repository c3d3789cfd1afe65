#pragma once
#include <cstdint>

#include "base/Vector3.h"

class Ribbon;

// What the creature is doing; stored as an unsigned 32-bit value.
enum FlightState : std::uint32_t {
  Cruise = 0,    // toward a random target in front of the camera
  Approach = 1,  // toward a point near z = 0, close to the line of sight
  Arrive = 2,    // creeps toward the viewer while the body straightens
  Hover = 3,     // holds still for up to a second
  Dart = 4,      // an eased 500 ms hop of up to 0.2 sideways or vertically, facing the viewer
  Wiggle = 5,    // a sideways wave along the body for 4000 ms
};
constexpr int FlightStateCount = 6;

// Row: the state that ends; column: the next state. A row need not sum to 1.
extern const double TransitionTable[FlightStateCount][FlightStateCount];

// The creature's autopilot: a six-state machine that steers the head of a Ribbon and lets the
// ribbon drag the body after it. Every random choice comes from Random01. Positions are world
// coordinates of the fixed camera (eye at (0, 0, 4) looking at the origin); times are ms.
class FlightController {
 public:
  // Lays the ribbon out at (0, 0, -20) heading toward the viewer, and starts cruising toward
  // a target drawn from the random source.
  explicit FlightController(Ribbon& ribbon);

  // Starts the flight afresh, exactly as construction does.
  void Restart();

  // Once per frame, before the ribbon is packed for drawing.
  void Update(int elapsedMs);

  std::uint32_t State() const { return state_; }
  double StateMs() const { return stateMs_; }
  double StateDurationMs() const { return stateDurationMs_; }
  const Vector3& Target() const { return target_; }
  const Vector3& DartOrigin() const { return dartOrigin_; }
  double WiggleCentreX() const { return wiggleCentreX_; }

 private:
  friend struct FlightControllerProbe;  // tests: set states and call the laws directly

  // next: -1 draws the next state from TransitionTable (a draw may pick none), else a state.
  void ChangeState(int next);
  void EnterApproach();
  void EnterDart();
  void UpdateCruise();
  void UpdateApproach();
  void UpdateArrive();
  void UpdateDart();
  void UpdateWiggle();

  Ribbon& ribbon_;
  std::uint32_t state_ = Cruise;
  double frameMs_ = 0;
  Vector3 target_;
  double stateMs_ = 0;
  double stateDurationMs_ = 0;
  Vector3 dartOrigin_;
  double wiggleCentreX_ = 0;
};

extern FlightController flightController;
