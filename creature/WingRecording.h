#pragma once
#include <vector>

#include "creature/Wing.h"

// A wing canvas that keeps what the wings drew, to be replayed later into another canvas. A frame
// that is drawn only where something changed needs the wings' vertices before anything is
// drawn, and Wing::Draw draws them only once (its streaks consume the random generator).
class WingRecording final : public WingCanvas {
 public:
  WingRecording();

  // Forgets what was recorded; the storage is kept for the next frame.
  void Clear();
  // Draws everything recorded, in order, into `canvas`.
  void Replay(WingCanvas& canvas) const;
  const std::vector<Vector3>& Vertices() const { return vertices; }

  void BeginTranslucent(double alpha) override;
  void Begin(Strip strip) override;
  void Vertex(const Vector3& v) override;
  void End() override;
  void EndTranslucent() override;

 private:
  enum class Op { BeginTranslucent, BeginLines, BeginQuads, End, EndTranslucent };
  struct Step {
    Op op;
    double alpha = 0;        // BeginTranslucent
    int firstVertex = 0;     // End: the strip's vertices run from here to the End's own index
    int vertexEnd = 0;
  };
  std::vector<Step> steps;
  std::vector<Vector3> vertices;
};
