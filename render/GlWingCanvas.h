#pragma once
#include "creature/Wing.h"

// Draws a wing's geometry with OpenGL immediate mode, call for call, on the render thread.
class GlWingCanvas final : public WingCanvas {
 public:
  void BeginTranslucent(double alpha) override;
  void Begin(Strip strip) override;
  void Vertex(const Vector3& v) override;
  void End() override;
  void EndTranslucent() override;
};
