#pragma once
#include <vector>

#include "base/Vector3.h"

struct Surface;

// One node of the spine: a point and an orthonormal right-handed frame whose columns are
// forward (toward the head), side and up. Model x maps to forward, y to side, z to up.
struct RibbonNode {
  Vector3 position;
  Vector3 forward;
  Vector3 side;
  Vector3 up;
};

// The creature's spine: 20 nodes, node 0 the head. The autopilot steers the head; Update makes
// every other node follow its predecessor at NodeSpacing and passes the head's roll down the
// chain with a lag. The model is laid out so that x runs from 1 at the head toward 0 at the tail,
// each 0.05 of x belonging to one node; the vertex shader bends it with the same rule as
// TransformVertex, reading the arrays that GetMatrixes and GetVertexes fill.
class Ribbon {
 public:
  static constexpr int NumberOfNodes = 20;  // the vertex shader has the same constant
  static constexpr double NodeSpacing = 0.05;
  static constexpr double UpSmoothing = 0.8;
  // The predecessor's weight, 1 - 0.8 as the processor computes it (not 0.2).
  static constexpr double UpSmoothingRest = 1.0 - UpSmoothing;

  // Straight along +x from (1, 0, 0), up +z: the model's own layout, so points map to themselves.
  Ribbon();

  // Lays the chain out straight from position backward along forward. The vectors are stored as
  // given: callers pass unit vectors with up perpendicular to forward.
  void Reset(const Vector3& position, const Vector3& up, const Vector3& forward);
  // Sets the head's position and up, then Update.
  void MoveHead(const Vector3& position, const Vector3& up);
  // Re-spaces the nodes behind the head and rebuilds every frame, head first, in place.
  void Update();

  RibbonNode& Node(int i) { return nodes_[i]; }
  const RibbonNode& Node(int i) const { return nodes_[i]; }

  // Maps a model point onto the spine; x (0 < x <= 1, normally point.x) selects the node.
  void TransformVertex(const Vector3& point, Vector3& result, double x) const;
  // Rotates a model direction by the frame of the node that x selects.
  void TransformNormal(const Vector3& direction, Vector3& result, double x) const;

  // Fill and return the two arrays handed to the shaders: per node nine floats of
  // forward, side, up (column-major), and three of position. Same pointers on every call.
  const float* GetMatrixes();
  const float* GetVertexes();

  // Scales the model's x extent onto the spine; does not touch the nodes.
  static void FitModel(Surface* surfaceTable);

 private:
  const RibbonNode& Select(double x, double& frac) const;

  std::vector<RibbonNode> nodes_;
  std::vector<float> matrixes_;
  std::vector<float> vertexes_;
};

extern Ribbon ribbon;
