#pragma once
#include <cstdint>

#include "base/Vector2.h"
#include "base/Vector3.h"

// The lens-shaped outline of a wing: seven stations from the root (0) to the tip (6), x along the
// span, y along the body. The lower edge is the upper one reflected; read tip to root it closes
// the lens. Shared by every wing and computed once.
struct WingOutline {
  static constexpr int StationCount = 7;
  Vector2 upperEdge[StationCount];
  Vector2 lowerEdge[StationCount];

  static const WingOutline& Get();
};

// Where a wing's immediate-mode geometry goes. The saver draws straight to OpenGL; tests record.
class WingCanvas {
 public:
  enum class Strip { Lines, Quads };

  // Both faces visible, alpha blending on, colour white with this alpha.
  virtual void BeginTranslucent(double alpha) = 0;
  virtual void Begin(Strip strip) = 0;
  virtual void Vertex(const Vector3& v) = 0;
  virtual void End() = 0;
  // Blending off and culling on again; the blend function stays in force.
  virtual void EndTranslucent() = 0;

 protected:
  ~WingCanvas() = default;
};

// The two flap angles one frame shows: where the wing is now and where it was a frame ago,
// ordered, and never closer than SmallestSpread.
struct WingSpread {
  double high = 0;
  double low = 0;
};

// One of the creature's two beating wings. The beat is far faster than the frame rate, so each
// frame draws the blur between two positions of the beat rather than one position.
class Wing {
 public:
  static constexpr double FlapAmplitude = 0.7;  // radians
  static constexpr double FlapRate = 0.9;       // radians per clock millisecond
  static constexpr double SmallestSpread = 0.001;
  static constexpr int StreakCount = 5;
  static constexpr int StreakVertexCount = 11;

  Wing();

  // Places the wing for this frame; normal = axis × lateral.
  void Attach(const Vector3& root, const Vector3& axis, const Vector3& lateral);
  // Moves the flap clock on by elapsedMs, plus one millisecond when the generator draws exactly 1.
  void Advance(std::uint32_t elapsedMs);
  // Draws five streaks and two membranes. Consumes five draws of the generator.
  void Draw(WingCanvas& canvas);

  WingSpread Spread() const;
  static double Alpha(const WingSpread& spread) { return 1.2 / (spread.high + 2.0 - spread.low); }

  std::int32_t ClockMs() const { return clockMs; }
  std::int32_t PreviousClockMs() const { return previousClockMs; }
  const Vector3& Root() const { return root; }
  const Vector3& Axis() const { return axis; }
  const Vector3& Lateral() const { return lateral; }
  const Vector3& Normal() const { return normal; }

 private:
  void DrawStreaks(WingCanvas& canvas, const Vector3& high, const Vector3& low);
  void DrawMembranes(WingCanvas& canvas, const Vector3& high, const Vector3& low);
  Vector3 OnWing(const Vector3& span, const Vector2& station) const {
    return span * station.x + axis * station.y + root;
  }

  std::int32_t clockMs = 0;
  std::int32_t previousClockMs = 0;
  Vector3 root{0, 0, 0};
  Vector3 axis{0, 0, 1};
  Vector3 lateral{1, 0, 0};
  Vector3 normal{0, 1, 0};
};
