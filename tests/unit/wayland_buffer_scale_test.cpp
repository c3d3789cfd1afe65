// The main surface's buffer size at an output's scale, and the text's enlargement with it.
#include <gtest/gtest.h>

#include "platform/wayland/BufferScale.h"

using platform::wayland::BufferLength;
using platform::wayland::TextScale;

TEST(WaylandBufferScale, BufferLengthRoundsHalfwayAwayFromZero) {
  struct Case {
    int logical, scale120, buffer;
  };
  const Case cases[] = {
      {800, 120, 800},    {640, 240, 1280},   {1280, 360, 3840},  // whole scales
      {800, 180, 1200},   {600, 180, 900},    {1280, 150, 1600},  // 150 %, 125 %
      {801, 180, 1202},   // 1201.5 rounds up
      {803, 150, 1004},   // 1003.75
      {1, 150, 1},        {1, 180, 2},        // 1.25 down, 1.5 up
      {333, 210, 583},    // 582.75 at 175 %
      {0, 240, 1},        {-5, 180, 1},       // no size yet: a buffer all the same
      {800, 0, 800},      {800, -120, 800},   // no scale known: 1
      {100000, 120 * 64, 1 << 15},            // clamped, no overflow
  };
  for (const Case& c : cases)
    EXPECT_EQ(BufferLength(c.logical, c.scale120), c.buffer)
        << c.logical << " at " << c.scale120 << "/120";
}

TEST(WaylandBufferScale, TextScaleIsTheRoundedWholeScale) {
  const int scales[][2] = {{0, 1}, {120, 1}, {150, 1}, {179, 1}, {180, 2},
                           {240, 2}, {300, 3}, {360, 3}, {120 * 50, 8}};
  for (const auto& s : scales) EXPECT_EQ(TextScale(s[0]), s[1]) << s[0];
}
