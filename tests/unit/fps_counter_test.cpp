#include "render/FpsCounter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeTicks() { return fakeNow; }

TEST(FpsCounter, AveragesFrameTimesAndFormatsTheRate) {
  FpsCounter counter(FakeTicks);
  EXPECT_EQ(counter.AverageFps(), -1);

  fakeNow = 5000;
  counter.Update();  // the first sample is 0
  EXPECT_STREQ(counter.Text(), "---");
  EXPECT_EQ(counter.AverageFps(), -1);

  fakeNow += 20;  // the zero sample counts: the mean of 0 and 20 is 10 ms
  counter.Update();
  EXPECT_EQ(counter.AverageMs(), 10);
  EXPECT_STREQ(counter.Text(), "FPS : 100");
  EXPECT_EQ(counter.AverageFps(), 100);

  for (int i = 0; i < 3000; ++i) {
    fakeNow += 16;
    counter.Update();
  }
  // The window stops at a thousand samples; from then on each one moves the average by 1/1000.
  EXPECT_EQ(counter.SampleCount(), FpsCounter::AverageWindow);
  EXPECT_NEAR(counter.AverageFps(), 62.5, 0.01);
  EXPECT_EQ(std::string(counter.Text()).rfind("FPS : 62.", 0), 0u) << counter.Text();
}

TEST(FpsCounter, TickWrapGivesAShortFrame) {
  FpsCounter counter(FakeTicks);
  fakeNow = 4294967290u;
  counter.Update();
  fakeNow = 10;  // 16 ms later, across the wrap
  counter.Update();
  EXPECT_EQ(counter.AverageMs(), 8);
}

TEST(FpsCounter, TextRectangleIsATenthOfTheScreen) {
  EXPECT_EQ(FpsOverlayRect(1024, 768).right, 102);
  EXPECT_EQ(FpsOverlayRect(1024, 768).bottom, 76);
  EXPECT_EQ(FpsOverlayRect(1280, 1024).right, 128);
  EXPECT_EQ(FpsOverlayRect(1280, 1024).bottom, 102);
}

}  // namespace
