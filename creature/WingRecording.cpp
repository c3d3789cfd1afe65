#include "creature/WingRecording.h"

namespace {
// Two wings: five streaks of eleven vertices and two membranes of fourteen each, with room over.
constexpr std::size_t VertexRoom = 256;
constexpr std::size_t StepRoom = 64;
}  // namespace

WingRecording::WingRecording() {
  steps.reserve(StepRoom);
  vertices.reserve(VertexRoom);
}

void WingRecording::Clear() {
  steps.clear();
  vertices.clear();
}

void WingRecording::BeginTranslucent(double alpha) {
  steps.push_back({Op::BeginTranslucent, alpha});
}

void WingRecording::Begin(Strip strip) {
  steps.push_back({strip == Strip::Lines ? Op::BeginLines : Op::BeginQuads, 0,
                   static_cast<int>(vertices.size())});
}

void WingRecording::Vertex(const Vector3& v) { vertices.push_back(v); }

void WingRecording::End() {
  steps.push_back({Op::End, 0, 0, static_cast<int>(vertices.size())});
}

void WingRecording::EndTranslucent() { steps.push_back({Op::EndTranslucent}); }

void WingRecording::Replay(WingCanvas& canvas) const {
  int next = 0;
  for (const Step& step : steps) {
    switch (step.op) {
      case Op::BeginTranslucent:
        canvas.BeginTranslucent(step.alpha);
        break;
      case Op::BeginLines:
      case Op::BeginQuads:
        canvas.Begin(step.op == Op::BeginLines ? Strip::Lines : Strip::Quads);
        next = step.firstVertex;
        break;
      case Op::End:
        for (; next < step.vertexEnd; ++next) canvas.Vertex(vertices[static_cast<std::size_t>(next)]);
        canvas.End();
        break;
      case Op::EndTranslucent:
        canvas.EndTranslucent();
        break;
    }
  }
}
