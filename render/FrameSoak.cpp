#include "render/FrameSoak.h"

#include <cmath>

#include "creature/FlightSoak.h"
#include "creature/Ribbon.h"

namespace {

bool Finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Unit(const Vector3& v) { return std::fabs(v.Length() - 1) <= 1e-6; }

bool Inside(const Vector3& p, double margin) {
  const Vector3& lo = FlightSoak::BoxMin;
  const Vector3& hi = FlightSoak::BoxMax;
  return p.x >= lo.x - margin && p.y >= lo.y - margin && p.z >= lo.z - margin &&
         p.x <= hi.x + margin && p.y <= hi.y + margin && p.z <= hi.z + margin;
}

bool Same(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A wing root sits on the body, whose surface reaches at most this far from its node.
constexpr double WingRootMargin = 1.0;

}  // namespace

FrameSoak::FrameSoak(unsigned seed, std::uint32_t maxElapsedMs)
    : state_(seed * 2246822519u + 7), maxElapsedMs_(maxElapsedMs) {}

std::uint32_t FrameSoak::NextElapsed() {
  state_ = state_ * 1664525u + 1013904223u;
  const std::uint64_t span = static_cast<std::uint64_t>(maxElapsedMs_) + 1;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * span) >> 32);
}

bool FrameSoak::Check(const Ribbon& ribbon, const FrameWings& wings, const FpsCounter& counter,
                      std::uint32_t elapsedMs) {
  ++frames_;
  simulatedMs_ += elapsedMs;
  for (int i = 0; i < Ribbon::NumberOfNodes; ++i) {
    const RibbonNode& n = ribbon.Node(i);
    if (!Finite(n.position) || !Finite(n.forward) || !Finite(n.side) || !Finite(n.up))
      return Fail("node value not finite");
    if (!Inside(n.position, 0)) return Fail("node outside the box");
    if (!Unit(n.forward) || !Unit(n.side) || !Unit(n.up)) return Fail("node frame not unit");
  }
  if (!Same(wings.wingAnchor, {0.6, 0.05, 0.03}) || !Same(wings.alongBody, {1, 0, 0}) ||
      !Same(wings.acrossBody, {0, 1, 0}))
    return Fail("wing anchor left mirrored");
  for (const Wing* wing : {&wings.first, &wings.second}) {
    const std::uint32_t moved = static_cast<std::uint32_t>(wing->ClockMs()) -
                                static_cast<std::uint32_t>(wing->PreviousClockMs());
    if (moved != elapsedMs && moved != elapsedMs + 1) return Fail("wing clock off the frame time");
    if (!Finite(wing->Root()) || !Finite(wing->Axis()) || !Finite(wing->Lateral()) ||
        !Finite(wing->Normal()))
      return Fail("wing placement not finite");
    if (!Inside(wing->Root(), WingRootMargin)) return Fail("wing root off the body");
  }
  const double average = counter.AverageMs();
  if (!std::isfinite(average) || average < 0 || average > maxElapsedMs_)
    return Fail("frame-time average out of range");
  const double fps = counter.AverageFps();
  if (!std::isfinite(fps) || (fps != -1.0 && fps <= 0)) return Fail("frame rate out of range");
  return true;
}
