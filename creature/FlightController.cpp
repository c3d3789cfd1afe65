#include "creature/FlightController.h"

#include "base/DetMath.h"
#include "base/Random.h"
#include "creature/Ribbon.h"

// clang-format off
constinit const double TransitionTable[FlightStateCount][FlightStateCount] = {
    //  Cruise Approach Arrive Hover Dart Wiggle
    {   0.95,  0.05,    0,     0,    0,   0   },  // Cruise
    {   0,     0,       1.0,   0,    0,   0   },  // Approach
    {   0,     0,       0,     0,    1.0, 0   },  // Arrive
    {   0.15,  0,       0,     0,    0.75, 0.1 },  // Hover
    {   0,     0,       0,     1.0,  0,   0   },  // Dart
    {   1.0,   0,       0,     0,    0,   0   },  // Wiggle
};
// clang-format on

namespace {

const Vector3 WorldUp{0, 1, 0};

// A cruise target: x and y in [-1, 1], z in [-7, 0]. Three draws, x first.
Vector3 DrawCruiseTarget() {
  const double r1 = Random01();
  const double r2 = Random01();
  const double r3 = Random01();
  return {(r1 - 0.5) * 2, (r2 - 0.5) * 2, r3 * -7.0};
}

}  // namespace

FlightController::FlightController(Ribbon& ribbon) : ribbon_(ribbon) { Restart(); }

void FlightController::Restart() {
  ribbon_.Reset({0, 0, -20}, {0, 1, 0}, {0, 0, 1});
  state_ = Cruise;
  stateMs_ = 0;
  stateDurationMs_ = 0;
  target_ = DrawCruiseTarget();
}

void FlightController::Update(int elapsedMs) {
  // Time never runs backwards. A negative count can only come from a tick difference beyond
  // 2^31 ms turned signed; taken as it is it would fly the creature backwards and, in Arrive,
  // could divide by zero. Large positive counts (the first frame) are used unclamped.
  const double dt = elapsedMs < 0 ? 0.0 : elapsedMs;
  frameMs_ = dt;
  stateMs_ += dt;
  switch (state_) {
    case Cruise: UpdateCruise(); break;
    case Approach: UpdateApproach(); break;
    case Arrive: UpdateArrive(); break;
    case Hover:
      if (stateMs_ > stateDurationMs_) ChangeState(-1);
      break;
    case Dart: UpdateDart(); break;
    case Wiggle: UpdateWiggle(); break;
    default: break;
  }
}

void FlightController::ChangeState(int next) {
  stateMs_ = 0;
  if (next == -1) {
    if (state_ >= FlightStateCount) return;
    double r = Random01();
    for (int j = 0; j < FlightStateCount; ++j) {
      r -= TransitionTable[state_][j];
      if (r <= 0) {
        next = j;
        break;
      }
    }
    // A draw past the row's total picks nothing: the current state simply carries on.
    if (next == -1) return;
  }
  switch (next) {
    case Cruise:
      state_ = Cruise;
      target_ = DrawCruiseTarget();
      break;
    case Approach: EnterApproach(); break;
    case Arrive: state_ = Arrive; break;
    case Hover:
      state_ = Hover;
      stateDurationMs_ = Random01() * 1000.0;
      break;
    case Dart: EnterDart(); break;
    case Wiggle:
      state_ = Wiggle;
      wiggleCentreX_ = ribbon_.Node(0).position.x;
      stateDurationMs_ = 4000.0;
      break;
    default: break;
  }
}

void FlightController::EnterApproach() {
  // Only from well behind the plane looked at; closer in, cruise on instead.
  if (ribbon_.Node(0).position.z <= -1.0) {
    state_ = Approach;
    const double r1 = Random01();
    const double r2 = Random01();
    target_ = {r1 - 0.5, (r2 - 0.5) * 0.6, 0.0};
  } else {
    ChangeState(Cruise);
  }
}

void FlightController::EnterDart() {
  state_ = Dart;
  dartOrigin_ = ribbon_.Node(0).position;
  const double r1 = Random01();
  const double r2 = Random01();
  target_ = {(r1 - 0.5) * 0.4, (r2 - 0.5) * 0.4, 0.0};
  target_ += dartOrigin_;
}

void FlightController::UpdateCruise() {
  const double dt = frameMs_;
  const RibbonNode h = ribbon_.Node(0);
  const Vector3 d = Normalized(target_ - h.position);
  const Vector3 heading = Normalized(h.forward + d * 0.008 * dt);
  const Vector3 p = h.position + heading * 0.003 * dt;
  const Vector3 u = h.up + WorldUp * 0.003 * dt;
  // Keeps up roughly perpendicular to the old forward while it rights itself toward +y.
  const Vector3 upright = u - (h.forward * h.forward.Dot(u)) / u.Length();
  ribbon_.MoveHead(p, upright);

  if ((ribbon_.Node(0).position - target_).Length() < 0.4) {
    ChangeState(-1);
  } else if (stateMs_ > 3000) {
    ChangeState(-1);
  }
}

void FlightController::UpdateApproach() {
  if (!(ribbon_.Node(0).position.z < 0)) ChangeState(-1);
  // The head still flies this frame, whatever the change above chose.
  const double dt = frameMs_;
  const double t = stateMs_;
  const RibbonNode h = ribbon_.Node(0);
  // The pull toward the target grows with the time spent approaching, not with dt.
  const Vector3 heading = Normalized((target_ - h.position) * 0.00001 * t + h.forward);
  const Vector3 u = h.up + WorldUp * 0.003 * dt;
  const Vector3 upright = u - (heading * heading.Dot(u)) / u.Length();
  const Vector3 p = h.position + heading * 0.003 * dt;
  ribbon_.MoveHead(p, upright);
}

void FlightController::UpdateArrive() {
  // Per frame, not scaled by dt: draw the body toward the head's line by 5 %, depths kept.
  const double t = stateMs_;
  const Vector3 o = ribbon_.Node(0).position;
  for (int i = 1; i < Ribbon::NumberOfNodes; ++i) {
    Vector3& position = ribbon_.Node(i).position;
    const Vector3 q = o + (position - o) * 0.95;
    position = {q.x, q.y, position.z};
  }
  RibbonNode& head = ribbon_.Node(0);
  head.position.z += 0.003 / (t * 0.003 + 1.0);
  head.up = Normalized(head.up + WorldUp * 0.001);
  ribbon_.Update();
  if (t > 3000) ChangeState(-1);
}

void FlightController::UpdateDart() {
  const double s = stateMs_ * 0.002;  // 1 after 500 ms
  // det::Sin here and in the wiggle, not std::sin: the last bits of the C library's sine differ
  // between platforms, and a seed must fly the same path on every one.
  const Vector3 p = dartOrigin_ + (target_ - dartOrigin_) * det::Sin(s * 1.5707963);
  ribbon_.Reset(p, {0, 1, 0}, {0, 0, 1});
  if (s > 1.0) ChangeState(-1);
}

void FlightController::UpdateWiggle() {
  const double t = stateMs_;
  const double n = Ribbon::NumberOfNodes;
  // Two whole waves along the body, travelling at 0.015 rad/ms, swelling and fading over the state.
  const double a = det::Sin(t / stateDurationMs_ * 3.1415926) * 0.015;
  const double k = 1.0 / n;
  for (int i = 0; i < Ribbon::NumberOfNodes; ++i) {
    ribbon_.Node(i).position.x =
        det::Sin((4 * i) * k * 3.1415926 - t * 0.015) * a + wiggleCentreX_;
  }
  if (t > stateDurationMs_) ChangeState(-1);
}
