#include "render/FrameTime.h"

#include <gtest/gtest.h>

TEST(FrameTime, ElapsedIsTheUnsignedDifferenceEvenAcrossTheWrap) {
  FrameTime frame;
  frame.tick = frame.elapsedMs = 4294967290u;
  frame.Advance(5);
  EXPECT_EQ(frame.elapsedMs, 11u);
  EXPECT_EQ(frame.tick, 5u);

  frame.Advance(5);  // two frames in one granule
  EXPECT_EQ(frame.elapsedMs, 0u);
  frame.Advance(21);
  EXPECT_EQ(frame.elapsedMs, 16u);
}
