#include "creature/Ribbon.h"

#include <algorithm>
#include <cmath>

#include "base/Matrix3.h"

Ribbon::Ribbon()
    : nodes_(NumberOfNodes), matrixes_(NumberOfNodes * 9), vertexes_(NumberOfNodes * 3) {
  Reset({1, 0, 0}, {0, 0, 1}, {1, 0, 0});
}

void Ribbon::Reset(const Vector3& position, const Vector3& up, const Vector3& forward) {
  const Vector3 step = forward * -NodeSpacing;
  const Vector3 side = up.Cross(forward);
  for (int i = 0; i < NumberOfNodes; ++i) {
    RibbonNode& node = nodes_[i];
    node.position = position + step * static_cast<double>(i);
    node.forward = forward;
    node.side = side;
    node.up = up;
  }
}

void Ribbon::MoveHead(const Vector3& position, const Vector3& up) {
  nodes_[0].position = position;
  nodes_[0].up = up;
  Update();
}

void Ribbon::Update() {
  // Positions: each node is pulled onto the line from its (already moved) predecessor through
  // its old position, at exactly NodeSpacing from the predecessor.
  for (int i = 1; i < NumberOfNodes; ++i) {
    const Vector3& previous = nodes_[i - 1].position;
    Vector3& position = nodes_[i].position;
    const double length = (previous - position).Length();
    if (length == 0) {
      position = previous;
      position.x -= NodeSpacing;
    } else {
      const double t = NodeSpacing / length;
      position = previous * (1 - t) + position * t;
    }
  }

  // Frames. The head keeps its own up; every later node blends its up with the finished one of
  // its predecessor, which is what lets a roll of the head travel down the body.
  RibbonNode& head = nodes_[0];
  head.forward = Normalized(head.position - nodes_[1].position);
  head.side = Normalized(head.up.Cross(head.forward));
  head.up = Normalized(head.forward.Cross(head.side));
  for (int i = 1; i < NumberOfNodes; ++i) {
    RibbonNode& node = nodes_[i];
    node.forward = i < NumberOfNodes - 1 ? nodes_[i].position - nodes_[i + 1].position
                                         : nodes_[i - 1].forward;
    node.forward.Normalize();
    node.up = node.up * UpSmoothing + nodes_[i - 1].up * UpSmoothingRest;
    node.side = Normalized(node.up.Cross(node.forward));
    node.up = Normalized(node.forward.Cross(node.side));
  }
}

const RibbonNode& Ribbon::Select(double x, double& frac) const {
  const double t = 1 - x;
  // Callers keep 0 < x <= 1; the clamp only stops an x at or beyond the ends (t * 20 rounding
  // up to 20 for x below about 1e-16, x above 1, or NaN) from reading outside the nodes.
  double slot = std::floor(t * NumberOfNodes);
  if (slot >= NumberOfNodes) slot = NumberOfNodes - 1;
  if (!(slot >= 0)) slot = 0;
  // The offset is taken from the chosen node, as the vertex shader does: a separate fmod(t, 0.05)
  // rounds the other way at many node boundaries and would put the point a whole node further
  // back. Kept in [0, 0.05) against the last bit of rounding.
  frac = std::clamp(t - slot * NodeSpacing, 0.0, std::nextafter(NodeSpacing, 0.0));
  return nodes_[static_cast<int>(slot)];
}

void Ribbon::TransformVertex(const Vector3& point, Vector3& result, double x) const {
  double frac;
  const RibbonNode& node = Select(x, frac);
  result = node.position - node.forward * frac + node.side * point.y + node.up * point.z;
}

void Ribbon::TransformNormal(const Vector3& direction, Vector3& result, double x) const {
  double frac;
  const RibbonNode& node = Select(x, frac);
  result = node.forward * direction.x + node.side * direction.y + node.up * direction.z;
}

const float* Ribbon::GetMatrixes() {
  for (int i = 0; i < NumberOfNodes; ++i) {
    const RibbonNode& node = nodes_[i];
    Matrix3 frame;
    frame.column[0] = node.forward;
    frame.column[1] = node.side;
    frame.column[2] = node.up;
    frame.WriteForOpenGL(&matrixes_[9 * i]);
  }
  return matrixes_.data();
}

const float* Ribbon::GetVertexes() {
  for (int i = 0; i < NumberOfNodes; ++i) {
    const Vector3& p = nodes_[i].position;
    vertexes_[3 * i + 0] = static_cast<float>(p.x);
    vertexes_[3 * i + 1] = static_cast<float>(p.y);
    vertexes_[3 * i + 2] = static_cast<float>(p.z);
  }
  return vertexes_.data();
}
