#include <gtest/gtest.h>

#include "base/Random.h"

namespace {

TEST(Random, ClassicSequenceAndRange) {
  // The generator of the C standard's example implementation: seeded with 1 it starts with these.
  SeedRandom(1);
  const int expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419};
  for (int e : expected) EXPECT_EQ(RandomInt(), e);

  SeedRandom(12345);
  const int first = RandomInt();
  SeedRandom(12345);
  EXPECT_EQ(RandomInt(), first);

  bool sawZero = false, sawMax = false;
  SeedRandom(7);
  for (int i = 0; i < 2000000; ++i) {
    const int r = RandomInt();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, RandomMax);
    sawZero |= r == 0;
    sawMax |= r == RandomMax;
  }
  EXPECT_TRUE(sawZero);
  EXPECT_TRUE(sawMax);
}

TEST(Random, UnitScalingHitsBothEnds) {
  EXPECT_EQ(0 * 3.051850947599719e-05, 0.0);
  EXPECT_EQ(RandomMax * 3.051850947599719e-05, 1.0);
  SeedRandom(99);
  const int r = RandomInt();
  SeedRandom(99);
  EXPECT_EQ(Random01(), r * 3.051850947599719e-05);
}

TEST(Random, ForcedDrawsReplaceTheGeneratorAndCountUse) {
  SeedRandom(5);
  const int natural = RandomInt();
  SeedRandom(5);
  {
    ForcedRandomDraws forced{0.0, 1.0, 0.25};
    EXPECT_EQ(Random01(), 0.0);
    EXPECT_EQ(RandomInt(), RandomMax);
    {
      ForcedRandomDraws inner{0.5};
      EXPECT_EQ(Random01(), 0.5);
      EXPECT_EQ(inner.Taken(), 1u);
    }
    EXPECT_EQ(Random01(), 0.25);
    EXPECT_EQ(forced.Remaining(), 0u);
    // Used up: the generator takes over where it stood, untouched by the forced draws.
    EXPECT_EQ(RandomInt(), natural);
    EXPECT_EQ(forced.Taken(), 4u);
  }
}

}  // namespace
