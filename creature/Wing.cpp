#include "creature/Wing.h"

#include <cmath>

#include "base/Random.h"

namespace {

// 3.1415926 / 12 and / 6: the outline's angle runs in 15 degree steps from root to tip.
constexpr double StationAngle = 0.2617993833333333;
constexpr double ChordAngle = 0.5235987666666666;
constexpr double HalfTurn = 3.1415926;
constexpr double Span = 0.3;
constexpr double HalfChord = 0.03;

WingOutline BuildOutline() {
  WingOutline outline;
  for (int i = 0; i < WingOutline::StationCount; ++i) {
    const double station = i;
    outline.upperEdge[i] = {Span * std::sin(station * StationAngle),
                            HalfChord * std::sin(ChordAngle * station)};
    outline.lowerEdge[i] = {outline.upperEdge[i].x, outline.upperEdge[i].y * -1.0};
  }
  return outline;
}

}  // namespace

const WingOutline& WingOutline::Get() {
  static const WingOutline outline = BuildOutline();
  return outline;
}

Wing::Wing() { WingOutline::Get(); }

void Wing::Attach(const Vector3& root_, const Vector3& axis_, const Vector3& lateral_) {
  root = root_;
  axis = axis_;
  lateral = lateral_;
  normal = axis.Cross(lateral);
}

void Wing::Advance(std::uint32_t elapsedMs) {
  const auto extra = static_cast<std::uint32_t>(Random01());
  previousClockMs = clockMs;
  // The clock runs for ever: add modulo 2^32 and read the result back as signed, which wraps
  // from 2^31 - 1 to -2^31 instead of overflowing.
  clockMs = static_cast<std::int32_t>(static_cast<std::uint32_t>(clockMs) + elapsedMs + extra);
}

WingSpread Wing::Spread() const {
  const double a = std::cos(static_cast<double>(clockMs) * FlapRate) * FlapAmplitude;
  const double b = std::cos(static_cast<double>(previousClockMs) * FlapRate) * FlapAmplitude;
  WingSpread spread{a > b ? a : b, a < b ? a : b};
  if (spread.high - spread.low < SmallestSpread) spread.low = spread.high - SmallestSpread;
  return spread;
}

void Wing::Draw(WingCanvas& canvas) {
  const WingSpread spread = Spread();
  const Vector3 high = lateral * std::cos(spread.high) + normal * std::sin(spread.high);
  const Vector3 low = lateral * std::cos(spread.low) + normal * std::sin(spread.low);
  canvas.BeginTranslucent(Alpha(spread));
  DrawStreaks(canvas, high, low);
  DrawMembranes(canvas, high, low);
  canvas.EndTranslucent();
}

// Each streak is the path of one random outline point as the span swings from low to high.
void Wing::DrawStreaks(WingCanvas& canvas, const Vector3& high, const Vector3& low) {
  for (int streak = 0; streak < StreakCount; ++streak) {
    const double r = Random01() * HalfTurn;
    const Vector2 point{std::sin(r) * Span, std::sin(r + r) * HalfChord};
    canvas.Begin(WingCanvas::Strip::Lines);
    // t accumulates by addition, so it ends at 0.9999999999999999: eleven vertices.
    for (double t = 0.0; t < 1.0; t += 0.1) {
      canvas.Vertex(OnWing(Normalized(high * t + low * (1 - t)), point));
    }
    canvas.End();
  }
}

// One membrane at each end of the blur; the two list their edges in opposite orders.
void Wing::DrawMembranes(WingCanvas& canvas, const Vector3& high, const Vector3& low) {
  const WingOutline& outline = WingOutline::Get();
  canvas.Begin(WingCanvas::Strip::Quads);
  for (int i = 0; i < WingOutline::StationCount; ++i) {
    canvas.Vertex(OnWing(high, outline.lowerEdge[i]));
    canvas.Vertex(OnWing(high, outline.upperEdge[i]));
  }
  canvas.End();
  canvas.Begin(WingCanvas::Strip::Quads);
  for (int i = 0; i < WingOutline::StationCount; ++i) {
    canvas.Vertex(OnWing(low, outline.upperEdge[i]));
    canvas.Vertex(OnWing(low, outline.lowerEdge[i]));
  }
  canvas.End();
}
