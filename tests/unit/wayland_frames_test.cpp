// Frames on Wayland. The saver's own buffers take a frame's change in GL's window coordinates
// (from the bottom left) and damage and copy it in the buffer's (from the top left): one row off
// and the compositor keeps a stale row of the creature. And how long a commit waits for the
// compositor's frame callback: a slow compositor must set the pace, a hidden surface must not
// stop the frames.
#include <gtest/gtest.h>

#include "platform/wayland/RenderQueue.h"
#include "platform/wayland/ShmFrames.h"

namespace {

using platform::wayland::BufferRect;
using platform::wayland::FromWindow;
using platform::wayland::Join;
using platform::wayland::RenderQueue;

TEST(WaylandShmFrames, WindowRectanglesInBufferRows) {
  struct Case {
    const char* what;
    int x, y, width, height;  // GL's window coordinates, in a 800 x 600 buffer
    BufferRect expected;
  };
  const Case cases[] = {
      {"whole", 0, 0, 800, 600, {0, 0, 800, 600}},
      {"bottom row", 0, 0, 800, 1, {0, 599, 800, 1}},
      {"top row", 0, 599, 800, 1, {0, 0, 800, 1}},
      {"inside", 100, 50, 30, 20, {100, 530, 30, 20}},
      {"past the top left", -10, 590, 30, 20, {0, 0, 20, 10}},
      {"past the bottom right", 790, -5, 30, 20, {790, 585, 10, 15}},
      {"beside the buffer", 800, 0, 10, 10, {}},
      {"below the buffer", 0, -20, 10, 20, {}},
      {"empty", 10, 10, 0, 5, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromWindow(c.x, c.y, c.width, c.height, 800, 600), c.expected) << c.what;
  }
  // What the compositor is told: every change since the last buffer shown.
  EXPECT_EQ(Join({10, 10, 5, 5}, {}), (BufferRect{10, 10, 5, 5}));
  EXPECT_EQ(Join({10, 10, 5, 5}, {0, 20, 2, 2}), (BufferRect{0, 10, 15, 12}));
}

TEST(WaylandFrames, WaitForTheFrameCallback) {
  struct Case {
    const char* what;
    bool callbacksCome;
    std::int64_t latencyUs;  // of the last callback that came
    std::int64_t waitUs;     // the longest wait after the commit at 60 Hz
  };
  constexpr std::int64_t period = 16667;
  const Case cases[] = {
      {"callbacks at the output's rate", true, 16000, 3 * period},
      {"none come yet", true, 0, 3 * period},
      {"a compositor taking 55 ms a frame", true, 55000, 110000},
      {"one stalled for seconds", true, 5000000, RenderQueue::MostPatientUs},
      {"the surface hidden", false, 16000, period},
      {"hidden after a slow compositor", false, 55000, period},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RenderQueue::FrameDeadline(1000000, period, c.callbacksCome, c.latencyUs),
              1000000 + c.waitUs)
        << c.what;
  }
}

}  // namespace
