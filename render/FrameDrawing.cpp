#include "render/FrameDrawing.h"

#include <GL/glew.h>

#include <cstdint>

#include "creature/FlightController.h"
#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "creature/WingRecording.h"
#include "render/GlWingCanvas.h"
#include "render/Scene.h"

namespace {

FrameWings& Wings() {
  static FrameWings wings;
  return wings;
}

// Byte offset of an attribute block in a surface's vertex buffer: positions, grid x, grid y and
// normals of N vertices (3 floats each), then the grid points.
const void* BlockOffset(int floatsPerVertexBefore, int vertexCount) {
  return reinterpret_cast<const void*>(
      static_cast<std::uintptr_t>(floatsPerVertexBefore) * sizeof(float) * vertexCount);
}

WingPlacement Place(const FrameWings& w, const Ribbon& r) {
  WingPlacement p;
  r.TransformVertex(w.wingAnchor, p.root, w.wingAnchor.x);
  r.TransformNormal(w.alongBody, p.axis, w.wingAnchor.x);
  r.TransformNormal(w.acrossBody, p.lateral, w.wingAnchor.x);
  return p;
}

void FlyWing(Wing& wing, const WingPlacement& p, std::uint32_t elapsedMs, WingCanvas& canvas) {
  wing.Attach(p.root, p.axis, p.lateral);
  wing.Advance(elapsedMs);
  wing.Draw(canvas);
}

// The wings of the frame being drawn: recorded when the frame advances, drawn after the body.
WingRecording& Recording() {
  static WingRecording recording;
  return recording;
}

}  // namespace

void DrawSurface(const Surface& surface, const SurfaceProgram& p, const float* matrixes,
                 const float* vertexes) {
  const int n = surface.vertexCount;
  glUseProgram(p.program);
  glUniformMatrix3fv(p.uRibbonMatrixes, Ribbon::NumberOfNodes, GL_FALSE, matrixes);
  glUniform3fv(p.uRibbonVertexes, Ribbon::NumberOfNodes, vertexes);
  glBindBuffer(GL_ARRAY_BUFFER, surface.vertexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, surface.indexBuffer);
  glVertexPointer(3, GL_FLOAT, 0, BlockOffset(0, n));
  glVertexAttribPointer(p.aGridX, 3, GL_FLOAT, GL_FALSE, 0, BlockOffset(3, n));
  glVertexAttribPointer(p.aGridY, 3, GL_FLOAT, GL_FALSE, 0, BlockOffset(6, n));
  glVertexAttribPointer(p.aNormal, 3, GL_FLOAT, GL_FALSE, 0, BlockOffset(9, n));
  glVertexAttribPointer(p.aGridPoint, 2, GL_FLOAT, GL_FALSE, 0, BlockOffset(12, n));
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableVertexAttribArray(p.aNormal);
  glEnableVertexAttribArray(p.aGridX);
  glEnableVertexAttribArray(p.aGridY);
  glEnableVertexAttribArray(p.aGridPoint);
  glDrawElements(GL_TRIANGLES, 3 * surface.triangleCount, GL_UNSIGNED_INT, nullptr);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableVertexAttribArray(p.aNormal);
  glDisableVertexAttribArray(p.aGridX);
  glDisableVertexAttribArray(p.aGridY);
  glDisableVertexAttribArray(p.aGridPoint);
  // The element array buffer stays bound; the next surface binds its own.
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

const FrameWings& FrameDrawingWings() { return Wings(); }

void PlaceWings(FrameWings& w, const Ribbon& r, WingPlacement& first, WingPlacement& second) {
  first = Place(w, r);
  // The second wing is the first's placement seen across the body's x-z plane; the mirroring
  // is undone at once, so the statics hold the first wing's values between frames.
  w.wingAnchor.y = -w.wingAnchor.y;
  w.acrossBody.y = -w.acrossBody.y;
  second = Place(w, r);
  w.wingAnchor.y = -w.wingAnchor.y;
  w.acrossBody.y = -w.acrossBody.y;
}

const WingRecording& FrameWingGeometry() { return Recording(); }

void AdvanceFrame(const FrameTime& frame) {
  flightController.Update(static_cast<int>(frame.elapsedMs));
  FrameWings& w = Wings();
  WingPlacement first, second;
  PlaceWings(w, ribbon, first, second);
  WingRecording& recording = Recording();
  recording.Clear();
  FlyWing(w.first, first, frame.elapsedMs, recording);
  FlyWing(w.second, second, frame.elapsedMs, recording);
}

void DrawAdvancedFrame() {
  // Packed once; every surface's program gets the same two arrays.
  const float* matrixes = ribbon.GetMatrixes();
  const float* vertexes = ribbon.GetVertexes();
  for (int k = 0; SurfaceTable[k].vertexCount != 0; ++k) {
    DrawSurface(SurfaceTable[k], SurfacePrograms[k], matrixes, vertexes);
  }
  // The wings and the banner use the fixed-function pipeline with the fixed camera.
  glUseProgram(0);
  static GlWingCanvas canvas;
  Recording().Replay(canvas);
}

void DrawFrame(const FrameTime& frame) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  AdvanceFrame(frame);
  DrawAdvancedFrame();
}
