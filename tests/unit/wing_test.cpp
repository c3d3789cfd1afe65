#include "creature/Wing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/Random.h"
#include "creature/WingRecording.h"

namespace {

struct DrawnStrip {
  WingCanvas::Strip kind;
  std::vector<Vector3> vertices;
};

// Records what a wing draws instead of sending it to OpenGL.
class RecordingCanvas final : public WingCanvas {
 public:
  void BeginTranslucent(double a) override {
    alpha = a;
    events.push_back('(');
  }
  void Begin(WingCanvas::Strip kind) override {
    strips.push_back({kind, {}});
    events.push_back('[');
  }
  void Vertex(const Vector3& v) override { strips.back().vertices.push_back(v); }
  void End() override { events.push_back(']'); }
  void EndTranslucent() override { events.push_back(')'); }

  double alpha = 0;
  std::vector<DrawnStrip> strips;
  std::string events;
};

void ExpectNear(const Vector3& a, const Vector3& b, double tolerance = 1e-12) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

// A wing on a body heading along +x with side +y and up +z, its root at (1, 2, 3).
const Vector3 Forward{1, 0, 0}, Side{0, 1, 0}, Up{0, 0, 1}, Root{1, 2, 3};

TEST(WingOutline, LensFromRootToTip) {
  const WingOutline& outline = WingOutline::Get();
  EXPECT_EQ(outline.upperEdge[0].x, 0.0);
  EXPECT_EQ(outline.upperEdge[0].y, 0.0);
  EXPECT_NEAR(outline.upperEdge[1].x, 0.077646, 1e-6);
  EXPECT_NEAR(outline.upperEdge[3].y, 0.03, 1e-9);
  // The tip almost closes: the angle constants are a truncated pi.
  EXPECT_DOUBLE_EQ(outline.upperEdge[6].x, 0.3);
  EXPECT_GT(outline.upperEdge[6].y, 1.5e-9);
  EXPECT_LT(outline.upperEdge[6].y, 1.7e-9);
  for (int i = 0; i < WingOutline::StationCount; ++i) {
    EXPECT_EQ(outline.lowerEdge[i].x, outline.upperEdge[i].x);
    EXPECT_EQ(outline.lowerEdge[i].y, -outline.upperEdge[i].y);
  }
}

TEST(Wing, ClockAdvancesByElapsedPlusADrawOfExactlyOne) {
  Wing wing;
  EXPECT_EQ(wing.Normal().y, 1.0);
  {
    ForcedRandomDraws draws{0.999, 1.0};
    wing.Advance(16);
    EXPECT_EQ(wing.PreviousClockMs(), 0);
    EXPECT_EQ(wing.ClockMs(), 16);
    wing.Advance(16);
    EXPECT_EQ(wing.PreviousClockMs(), 16);
    EXPECT_EQ(wing.ClockMs(), 33);
    EXPECT_EQ(draws.Taken(), 2u);
  }
  // Weeks of flapping wrap the clock instead of overflowing it.
  ForcedRandomDraws draws{0.0, 0.0, 1.0};
  wing.Advance(static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) - 33);
  EXPECT_EQ(wing.ClockMs(), std::numeric_limits<std::int32_t>::max());
  wing.Advance(1);
  EXPECT_EQ(wing.ClockMs(), std::numeric_limits<std::int32_t>::min());
  wing.Advance(0xFFFFFFFFu);  // plus the draw of 1: a full turn of the 32-bit clock
  EXPECT_EQ(wing.ClockMs(), std::numeric_limits<std::int32_t>::min());
}

TEST(Wing, SpreadAndAlpha) {
  Wing wing;
  ForcedRandomDraws draws{0.5, 0.5};
  // No time passed: both positions coincide and the spread is forced open.
  wing.Advance(0);
  WingSpread spread = wing.Spread();
  EXPECT_EQ(spread.high, 0.7);
  EXPECT_EQ(spread.low, 0.7 - 0.001);
  EXPECT_DOUBLE_EQ(Wing::Alpha(spread), 1.2 / 2.001);
  // A new wing's first frame spans from its clock-0 position, angle 0.7.
  Wing fresh;
  fresh.Advance(5);
  spread = fresh.Spread();
  EXPECT_EQ(spread.high, 0.7);
  EXPECT_EQ(spread.low, std::cos(5 * 0.9) * 0.7);
  // The widest blur, a full stroke, is the most transparent.
  EXPECT_DOUBLE_EQ(Wing::Alpha({0.7, -0.7}), 1.2 / 3.4);
}

TEST(Wing, DrawsFiveStreaksAndTwoMembranes) {
  Wing wing;
  wing.Attach(Root, Forward, Side);
  ExpectNear(wing.Normal(), Up);
  RecordingCanvas canvas;
  ForcedRandomDraws draws{0.5, 0.0, 0.25, 0.5, 0.75, 1.0};
  wing.Advance(0);
  wing.Draw(canvas);
  EXPECT_EQ(draws.Taken(), 6u);
  EXPECT_EQ(canvas.events, "([][][][][][][])");
  EXPECT_DOUBLE_EQ(canvas.alpha, Wing::Alpha(wing.Spread()));
  ASSERT_EQ(canvas.strips.size(), 7u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(canvas.strips[i].kind, WingCanvas::Strip::Lines);
    EXPECT_EQ(canvas.strips[i].vertices.size(), 11u);
  }
  for (int i = 5; i < 7; ++i) {
    EXPECT_EQ(canvas.strips[i].kind, WingCanvas::Strip::Quads);
    EXPECT_EQ(canvas.strips[i].vertices.size(), 14u);
  }
  // A draw of 0 picks the root itself as the streak's point.
  for (const Vector3& v : canvas.strips[0].vertices) ExpectNear(v, Root);
  // The draw of 0.5 is the outline's widest point (tip at pi/2): the streak sweeps at 0.3 from
  // the root, from the low position (0.699 rad) to the high one (0.7 rad) toward up.
  const std::vector<Vector3>& tip = canvas.strips[2].vertices;
  const auto span = [](double angle) { return Side * std::cos(angle) + Up * std::sin(angle); };
  ExpectNear(tip.front(), Root + span(0.699) * 0.3, 1e-8);
  ExpectNear(tip.back(), Root + span(0.7) * 0.3, 1e-5);

  // Membranes: the high one lists lower edge first, the low one upper edge first; both meet at
  // the root and reach the tip 0.3 out along their own span.
  const std::vector<Vector3>& high = canvas.strips[5].vertices;
  const std::vector<Vector3>& low = canvas.strips[6].vertices;
  ExpectNear(high[0], Root);
  ExpectNear(high[1], Root);
  ExpectNear(high[13], Root + span(0.7) * 0.3, 1e-8);
  ExpectNear(low[12], Root + span(0.699) * 0.3, 1e-8);
  EXPECT_LT(high[6].x, Root.x);  // station 3, lower edge: behind the root along the body
  EXPECT_GT(low[6].x, Root.x);   // station 3, upper edge first in the low strip
}

TEST(Wing, SecondWingIsTheFirstTurnedHalfATurn) {
  Wing first, second;
  first.Attach(Root, Forward, Side);
  second.Attach(Root, Forward, Side * -1.0);
  RecordingCanvas a, b;
  ForcedRandomDraws draws{0.5, 0.3, 0.3, 0.3, 0.3, 0.3, 0.5, 0.3, 0.3, 0.3, 0.3, 0.3};
  first.Advance(0);
  first.Draw(a);
  second.Advance(0);
  second.Draw(b);
  // At flap angle 0.7 the first leans toward up, the second toward -up; the offsets along the
  // body are the same, those across it are negated.
  for (int strip = 0; strip < 7; ++strip) {
    for (std::size_t i = 0; i < a.strips[strip].vertices.size(); ++i) {
      const Vector3 p = a.strips[strip].vertices[i] - Root;
      const Vector3 q = b.strips[strip].vertices[i] - Root;
      EXPECT_NEAR(q.x, p.x, 1e-15);
      EXPECT_NEAR(q.y, -p.y, 1e-15);
      EXPECT_NEAR(q.z, -p.z, 1e-15);
    }
  }
  EXPECT_GT(a.strips[5].vertices[13].z, Root.z + 0.19);
  EXPECT_LT(b.strips[5].vertices[13].z, Root.z - 0.19);
}

// A frame drawn only where it changed learns the wings' geometry from a recording and draws it
// later: the replay must be the same calls, and a second frame's recording must not keep the
// first's.
TEST(WingRecording, ReplaysWhatTheWingDrewAndStartsAfreshEachFrame) {
  Wing wing;
  wing.Attach(Root, Forward, Side);
  SeedRandom(7);
  RecordingCanvas direct;
  wing.Draw(direct);
  wing.Draw(direct);

  SeedRandom(7);
  WingRecording recording;
  RecordingCanvas replayed;
  for (int frame = 0; frame < 2; ++frame) {
    recording.Clear();
    wing.Draw(recording);
    recording.Replay(replayed);
  }
  EXPECT_EQ(replayed.events, direct.events);
  EXPECT_EQ(replayed.alpha, direct.alpha);
  ASSERT_EQ(replayed.strips.size(), direct.strips.size());
  for (std::size_t s = 0; s < direct.strips.size(); ++s) {
    EXPECT_EQ(replayed.strips[s].kind, direct.strips[s].kind);
    ASSERT_EQ(replayed.strips[s].vertices.size(), direct.strips[s].vertices.size());
    for (std::size_t i = 0; i < direct.strips[s].vertices.size(); ++i)
      ExpectNear(replayed.strips[s].vertices[i], direct.strips[s].vertices[i], 0);
  }
  EXPECT_EQ(recording.Vertices().size(), 5u * Wing::StreakVertexCount + 2u * 14u);
}

}  // namespace
