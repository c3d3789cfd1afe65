#include <gtest/gtest.h>

#include "base/Matrix3.h"
#include "base/Vector3.h"

namespace {

void ExpectExactly(const Vector3& v, double x, double y, double z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

TEST(Vector3, NormalizeFallsBackForZeroAndScalesByOneReciprocal) {
  Vector3 zero;
  zero.Normalize();
  ExpectExactly(zero, 1, 0, 0);

  ExpectExactly(Normalized({0, -2, 0}), 0, -1, 0);

  // 3 · (1/5) is not 3/5 in double precision: the reciprocal is taken once, then multiplied.
  const Vector3 n = Normalized({3, 0, 4});
  EXPECT_EQ(n.x, 0.6000000000000001);
  EXPECT_NE(n.x, 0.6);
  EXPECT_EQ(n.z, 0.8);

  // No tolerance: a tiny length is divided by; one whose square underflows to 0 falls back.
  ExpectExactly(Normalized({0, 0, 1e-150}), 0, 0, 1);
  ExpectExactly(Normalized({0, 0, 1e-300}), 1, 0, 0);

  // Normalized leaves its argument alone; Normalize works in place and returns the vector.
  Vector3 v{0, 5, 0};
  Normalized(v);
  ExpectExactly(v, 0, 5, 0);
  EXPECT_EQ(&v.Normalize(), &v);
  ExpectExactly(v, 0, 1, 0);
}

TEST(Vector3, CrossProductIsLeftHandedOnTheCaller) {
  const Vector3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  ExpectExactly(x.Cross(y), 0, 0, 1);
  ExpectExactly(y.Cross(z), 1, 0, 0);
  ExpectExactly(z.Cross(x), 0, 1, 0);
  ExpectExactly(y.Cross(x), 0, 0, -1);
  ExpectExactly(z.Cross(y), -1, 0, 0);
  // Components do not get mixed up when none is zero.
  ExpectExactly(Vector3(1, 2, 3).Cross({4, 5, 6}), -3, 6, -3);
}

TEST(Vector3, ArithmeticLeavesOperandsAndDividesByReciprocal) {
  const Vector3 a{1, 2, 3}, b{4, 6, 8};
  ExpectExactly(a - b, -3, -4, -5);
  ExpectExactly(a + b, 5, 8, 11);
  ExpectExactly(a * 2.0, 2, 4, 6);
  ExpectExactly(a / 4.0, 0.25, 0.5, 0.75);
  ExpectExactly(a, 1, 2, 3);
  // a / 10 is a · (1/10), which differs from a true division for some components.
  const Vector3 d = Vector3(3, 7, 9) / 10.0;
  ExpectExactly(d, 3 * (1.0 / 10), 7 * (1.0 / 10), 9 * (1.0 / 10));
  EXPECT_NE(d.x, 3.0 / 10);

  Vector3 c = a;
  c += b;
  ExpectExactly(c, 5, 8, 11);
  c *= -1.0;
  ExpectExactly(c, -5, -8, -11);
  EXPECT_EQ(a.Dot(b), 4 + 12 + 24);
  EXPECT_EQ(Vector3(2, 3, 6).Length(), 7);
  static_assert(sizeof(Vector3) == 3 * sizeof(double));
}

TEST(Matrix3, TransformUsesColumnsAndPacksColumnMajor) {
  Matrix3 identity;
  identity.column[0] = {1, 0, 0};
  identity.column[1] = {0, 1, 0};
  identity.column[2] = {0, 0, 1};
  ExpectExactly(identity.Transform({0.3, -7, 2.5}), 0.3, -7, 2.5);
  float packed[9];
  identity.WriteForOpenGL(packed);
  const float expected[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(packed[i], expected[i]) << i;

  Matrix3 m;
  ExpectExactly(m.Transform({1, 2, 3}), 0, 0, 0);
  m.column[0] = {1, 2, 3};
  m.column[1] = {4, 5, 6};
  m.column[2] = {7, 8, 9};
  // M · (1, 0, 0) is column 0, not row 0.
  ExpectExactly(m.Transform({1, 0, 0}), 1, 2, 3);
  ExpectExactly(m.Transform({1, 1, 1}), 12, 15, 18);
  m.WriteForOpenGL(packed);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(packed[i], static_cast<float>(i + 1)) << i;
  // Doubles are rounded to the nearest float.
  m.column[0].x = 0.1;
  m.WriteForOpenGL(packed);
  EXPECT_EQ(packed[0], 0.1f);
}

}  // namespace
