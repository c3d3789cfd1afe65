#include <gtest/gtest.h>

#include <cmath>

#include "creature/Ribbon.h"

namespace {

constexpr int N = Ribbon::NumberOfNodes;

void ExpectNear(const Vector3& v, const Vector3& e, double tolerance = 1e-12) {
  EXPECT_NEAR(v.x, e.x, tolerance);
  EXPECT_NEAR(v.y, e.y, tolerance);
  EXPECT_NEAR(v.z, e.z, tolerance);
}

void ExpectOrthonormalRightHanded(const Ribbon& r) {
  for (int i = 0; i < N; ++i) {
    const RibbonNode& n = r.Node(i);
    SCOPED_TRACE(i);
    EXPECT_NEAR(n.forward.Length(), 1, 1e-12);
    EXPECT_NEAR(n.side.Length(), 1, 1e-12);
    EXPECT_NEAR(n.up.Length(), 1, 1e-12);
    ExpectNear(n.up.Cross(n.forward), n.side);
    ExpectNear(n.forward.Cross(n.side), n.up);
  }
  // The tail copies node 18's forward (normalised once more, hence the ulp of slack).
  ExpectNear(r.Node(N - 1).forward, r.Node(N - 2).forward, 1e-15);
}

TEST(Ribbon, FreshRibbonLeavesModelInPlaceAndPacksNodesInOrder) {
  Ribbon r;
  EXPECT_EQ(Ribbon::UpSmoothingRest, 0.19999999999999996);
  Vector3 out;
  r.TransformVertex({0.6, 0.2, -0.1}, out, 0.6);
  ExpectNear(out, {0.6, 0.2, -0.1}, 1e-15);
  r.TransformVertex({1, 0.2, -0.1}, out, 1);
  EXPECT_EQ(out.x, 1);
  EXPECT_EQ(out.y, 0.2);
  EXPECT_EQ(out.z, -0.1);
  // Every node boundary too, where t * 20 and the offset behind the node must agree on the node.
  for (double x : {0.05, 0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.4, 0.45, 0.5, 0.55, 0.6, 0.65, 0.7,
                   0.75, 0.8, 0.85, 0.9, 0.95, 0.01}) {
    r.TransformVertex({x, 0.2, -0.1}, out, x);
    ExpectNear(out, {x, 0.2, -0.1}, 1e-15);
  }

  const float* matrixes = r.GetMatrixes();
  const float* vertexes = r.GetVertexes();
  const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < N; ++i) {
    for (int k = 0; k < 9; ++k) EXPECT_EQ(matrixes[9 * i + k], identity[k]) << i << "," << k;
    EXPECT_FLOAT_EQ(vertexes[3 * i], 1 - 0.05 * i);
    EXPECT_EQ(vertexes[3 * i + 1], 0);
    EXPECT_EQ(vertexes[3 * i + 2], 0);
  }

  // Columns forward, side, up per node, node by node; positions x, y, z. Same storage each call.
  RibbonNode& n3 = r.Node(3);
  n3.forward = {1, 2, 3};
  n3.side = {4, 5, 6};
  n3.up = {7, 8, 9};
  n3.position = {-1, -2, -3};
  EXPECT_EQ(r.GetMatrixes(), matrixes);
  EXPECT_EQ(r.GetVertexes(), vertexes);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(matrixes[27 + k], k + 1);
  EXPECT_EQ(vertexes[9], -1);
  EXPECT_EQ(vertexes[10], -2);
  EXPECT_EQ(vertexes[11], -3);
  EXPECT_EQ(matrixes[36], 1);  // node 4 untouched
}

TEST(Ribbon, ResetLaysTheChainStraightWithArgumentsStoredAsGiven) {
  Ribbon r;
  r.Reset({0, 0, -20}, {0, 1, 0}, {0, 0, 1});
  for (int i = 0; i < N; ++i) {
    const RibbonNode& n = r.Node(i);
    EXPECT_EQ(n.position.z, -20 + -0.05 * i);
    EXPECT_EQ(n.position.x, 0);
    ExpectNear(n.side, {1, 0, 0}, 0);
    ExpectNear(n.up, {0, 1, 0}, 0);
    ExpectNear(n.forward, {0, 0, 1}, 0);
  }
  // Not normalised: a forward of length 2 doubles the step.
  r.Reset({0, 0, 0}, {0, 0, 1}, {2, 0, 0});
  EXPECT_EQ(r.Node(1).position.x, -0.1);
  EXPECT_EQ(r.Node(1).forward.x, 2);

  // A straight, evenly spaced chain with up perpendicular to forward is a fixed point.
  r.Reset({0.3, -0.2, 1}, {0, 1, 0}, {0, 0, 1});
  const Ribbon before = r;
  r.Update();
  for (int i = 0; i < N; ++i) {
    ExpectNear(r.Node(i).position, before.Node(i).position, 1e-14);
    ExpectNear(r.Node(i).forward, before.Node(i).forward, 1e-14);
    ExpectNear(r.Node(i).up, before.Node(i).up, 1e-14);
  }
}

TEST(Ribbon, MoveHeadRespacesEachNodeTowardItsOldPosition) {
  Ribbon r;
  r.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  // A bent chain: pull the head sideways and up and follow it several times.
  const Vector3 heads[] = {{0, 0, 1}, {0.3, 0.1, 1.2}, {0.35, 0.12, 1.21}, {0.35, 0.12, 1.21}};
  for (const Vector3& head : heads) {
    Ribbon old = r;
    r.MoveHead(head, r.Node(0).up);
    EXPECT_EQ(r.Node(0).position.x, head.x);
    EXPECT_EQ(r.Node(0).position.z, head.z);
    for (int i = 1; i < N; ++i) {
      SCOPED_TRACE(i);
      const Vector3 previous = r.Node(i - 1).position;
      EXPECT_NEAR((previous - r.Node(i).position).Length(), 0.05, 1e-12);
      // On the line from the new predecessor through the node's old position, on its side.
      const Vector3 toOld = Normalized(old.Node(i).position - previous);
      ExpectNear(previous + toOld * 0.05, r.Node(i).position);
    }
    ExpectOrthonormalRightHanded(r);
  }

  // A node closer than the spacing is pushed out to it, not left in place.
  r.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  r.Node(1).position = {0, 0, -0.01};
  r.Update();
  ExpectNear(r.Node(1).position, {0, 0, -0.05});
}

TEST(Ribbon, CoincidentNodeStepsBackAlongMinusX) {
  Ribbon r;
  r.Reset({0, 0, 5}, {0, 1, 0}, {0, 0, 1});
  r.Node(1).position = r.Node(0).position;
  r.Update();
  EXPECT_EQ(r.Node(1).position.x, -0.05);
  EXPECT_EQ(r.Node(1).position.y, 0);
  EXPECT_EQ(r.Node(1).position.z, 5);
  // Node 2 follows node 1's new place, again at the spacing.
  EXPECT_NEAR((r.Node(1).position - r.Node(2).position).Length(), 0.05, 1e-12);
  ExpectOrthonormalRightHanded(r);

  // A head up parallel to forward gives zero cross products; every frame still ends unit length.
  r.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  r.Node(0).up = {0, 0, 1};
  r.Update();
  for (int i = 0; i < N; ++i) {
    EXPECT_TRUE(std::isfinite(r.Node(i).side.x));
    EXPECT_NEAR(r.Node(i).side.Length(), 1, 1e-12);
  }
}

TEST(Ribbon, RollOfTheHeadTravelsDownTheChainWithALag) {
  Ribbon r;
  r.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  // Roll the head's up 90 degrees about forward (+z): from +y to -x.
  auto roll = [&](int i) { return std::atan2(-r.Node(i).up.x, r.Node(i).up.y); };
  r.MoveHead({0, 0, 0}, {-1, 0, 0});
  EXPECT_NEAR(roll(0), M_PI / 2, 1e-12);
  for (int i = 1; i < N; ++i) EXPECT_GT(roll(i - 1), roll(i)) << i;
  EXPECT_GT(roll(1), 0.1);
  EXPECT_LT(roll(N - 1), 1e-6);
  const double tailBefore = roll(N - 1);
  for (int frame = 0; frame < 400; ++frame) {
    r.MoveHead(r.Node(0).position, r.Node(0).up);
    ExpectOrthonormalRightHanded(r);
    for (int i = 1; i < N; ++i) ASSERT_GE(roll(i - 1), roll(i) - 1e-12) << frame << "," << i;
  }
  EXPECT_GT(roll(N - 1), tailBefore);
  EXPECT_NEAR(roll(N - 1), M_PI / 2, 1e-3);
}

TEST(Ribbon, TransformSelectsNodeAndOffsetFromModelX) {
  Ribbon r;
  r.Reset({0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  for (int i = 0; i < N; ++i) r.Node(i).position = {100.0 * i, 0, 0};  // tell nodes apart
  Vector3 out;
  const Vector3 point{0, 0.5, 0.25};

  // side is +x and up is +y here: y offsets go along x, z offsets along y, forward is +z.
  r.TransformVertex(point, out, 1.0);  // node 0, no offset along forward
  ExpectNear(out, {0.5, 0.25, 0}, 0);
  r.TransformVertex(point, out, 0.6);  // node 8, offset exactly 0
  ExpectNear(out, {800 + 0.5, 0.25, 0}, 0);
  r.TransformVertex(point, out, 0.525);  // node 9, halfway into it
  ExpectNear(out, {900 + 0.5, 0.25, -0.025}, 1e-15);
  r.TransformVertex(point, out, 0.01);  // the tail, 0.04 into it
  ExpectNear(out, {1900 + 0.5, 0.25, -0.04}, 1e-15);
  r.TransformVertex(point, out, 0.5);  // a boundary: node 10 itself, not a node's length behind 9
  ExpectNear(out, {1000 + 0.5, 0.25, 0}, 1e-15);
  r.TransformVertex(point, out, 0.4);  // t is a hair below 12 * 0.05: the offset stays 0, not < 0
  ExpectNear(out, {1200 + 0.5, 0.25, 0}, 0);

  // Normals turn by the same node's frame without any offset or translation.
  r.Node(9).forward = {0, 1, 0};
  r.Node(9).side = {0, 0, 1};
  r.Node(9).up = {1, 0, 0};
  r.TransformNormal({1, 2, 3}, out, 0.525);
  ExpectNear(out, {3, 1, 2}, 0);

  // Model x at or beyond the ends never reads outside the chain.
  r.TransformVertex(point, out, 1e-18);
  EXPECT_EQ(out.x, 1900 + 0.5);
  r.TransformVertex(point, out, 1.5);
  EXPECT_EQ(out.x, 0.5);
}

}  // namespace
