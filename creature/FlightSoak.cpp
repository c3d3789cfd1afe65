#include "creature/FlightSoak.h"

#include <cmath>

#include "base/Random.h"

namespace {

FlightController BuildUnseeded(Ribbon& ribbon) {
  SeedRandom(1);  // the default state, whatever ran before in this process
  return FlightController(ribbon);
}

bool Finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

double Deviation(const Vector3& a, const Vector3& b) {
  return std::fmax(std::fabs(a.x - b.x), std::fmax(std::fabs(a.y - b.y), std::fabs(a.z - b.z)));
}

constexpr double SpacingTolerance = 1e-9;
constexpr double FrameTolerance = 1e-9;
// The wave moves neighbours apart sideways by at most 2 · 0.015 · sin(pi / 10): 0.0509 apart.
constexpr double WiggleSpacingMax = 0.052;

}  // namespace

FlightSoak::FlightSoak(unsigned seed)
    : controller_(BuildUnseeded(ribbon_)),
      elapsedState_(seed * 2654435761u + 1),
      lowest_(ribbon_.Node(0).position),
      highest_(ribbon_.Node(0).position) {
  SeedRandom(seed);
  visits_[Cruise] = 1;
}

bool FlightSoak::Run(std::int64_t frames, int fixedMs, int randomMaxMs) {
  for (std::int64_t i = 0; i < frames; ++i) {
    if (!Step(fixedMs >= 0 ? fixedMs : RandomElapsed(randomMaxMs))) return false;
  }
  return true;
}

int FlightSoak::RandomElapsed(int maxMs) {
  const std::uint64_t span = static_cast<std::uint64_t>(maxMs < 0 ? 0 : maxMs) + 1;
  elapsedState_ = elapsedState_ * 1664525u + 1013904223u;
  return static_cast<int>((static_cast<std::uint64_t>(elapsedState_) * span) >> 32);
}

bool FlightSoak::Step(int elapsedMs) {
  const std::uint32_t state = controller_.State();
  const double stateMsBefore = controller_.StateMs();
  controller_.Update(elapsedMs);
  ++frames_;
  ++framesInState_[state < FlightStateCount ? state : 0];
  const std::uint32_t after = controller_.State();
  if (after < FlightStateCount && (after != state || controller_.StateMs() < stateMsBefore))
    ++visits_[after];
  return Check(state);
}

bool FlightSoak::Check(std::uint32_t state) {
  if (controller_.State() >= FlightStateCount) {
    violation_ = "state out of range";
    return false;
  }
  if (!Finite(controller_.Target()) || !std::isfinite(controller_.StateMs())) {
    violation_ = "controller value not finite";
    return false;
  }
  for (int i = 0; i < Ribbon::NumberOfNodes; ++i) {
    const RibbonNode& n = ribbon_.Node(i);
    violationNode_ = i;
    if (!Finite(n.position) || !Finite(n.forward) || !Finite(n.side) || !Finite(n.up)) {
      violation_ = "node value not finite";
      return false;
    }
    const Vector3& p = n.position;
    lowest_ = {std::fmin(lowest_.x, p.x), std::fmin(lowest_.y, p.y), std::fmin(lowest_.z, p.z)};
    highest_ = {std::fmax(highest_.x, p.x), std::fmax(highest_.y, p.y), std::fmax(highest_.z, p.z)};
    if (p.x < BoxMin.x || p.y < BoxMin.y || p.z < BoxMin.z || p.x > BoxMax.x || p.y > BoxMax.y ||
        p.z > BoxMax.z) {
      violation_ = "node outside the box";
      return false;
    }
    const double frameError = std::fmax(
        std::fmax(std::fabs(n.forward.Length() - 1), std::fabs(n.side.Length() - 1)),
        std::fmax(std::fmax(std::fabs(n.up.Length() - 1), Deviation(n.up.Cross(n.forward), n.side)),
                  Deviation(n.forward.Cross(n.side), n.up)));
    worstFrameError_ = std::fmax(worstFrameError_, frameError);
    if (!(frameError <= FrameTolerance)) {
      violation_ = "frame not orthonormal and right-handed";
      return false;
    }
    if (i == 0) continue;
    const double spacing = (ribbon_.Node(i - 1).position - p).Length();
    if (state == Wiggle) {
      if (!(spacing >= Ribbon::NodeSpacing - SpacingTolerance && spacing <= WiggleSpacingMax)) {
        violation_ = "spacing out of range while wiggling";
        return false;
      }
      continue;
    }
    const double error = std::fabs(spacing - Ribbon::NodeSpacing);
    worstSpacingError_ = std::fmax(worstSpacingError_, error);
    if (!(error <= SpacingTolerance)) {
      violation_ = "nodes not at their spacing";
      return false;
    }
  }
  violationNode_ = -1;
  return true;
}
