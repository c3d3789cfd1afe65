// Which part of the window a frame redraws: the rectangle helpers, the renderer names that count
// as software, and the policy itself, checked against a model window that keeps its pixels
// between frames exactly as the back buffer does.
#include "render/FrameDamage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace {

TEST(ScreenRect, UnionAndIntersect) {
  const ScreenRect a{0, 0, 10, 10}, b{5, 8, 20, 30}, empty{};
  EXPECT_EQ(Union(a, b), (ScreenRect{0, 0, 20, 30}));
  EXPECT_EQ(Union(empty, b), b);
  EXPECT_EQ(Union(a, ScreenRect{40, 40, 40, 50}), a);  // no width: nothing to add
  EXPECT_EQ(Intersect(a, b), (ScreenRect{5, 8, 10, 10}));
  EXPECT_TRUE(Intersect(a, ScreenRect{10, 0, 20, 10}).Empty());  // edges touch, no pixel shared
  EXPECT_EQ(TopLeftRect(102, 76, 768), (ScreenRect{0, 692, 102, 768}));
  EXPECT_TRUE(TopLeftRect(0, 76, 768).Empty());
}

TEST(IsSoftwareRenderer, MesaProcessorDriversOnly) {
  const struct {
    const char* name;
    bool software;
  } cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Software Rasterizer", true},
      {"Mesa X11", true},
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"virgl (Intel(R) UHD Graphics 620)", false},
      {"", false},
      {nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSoftwareRenderer(c.name), c.software) << (c.name ? c.name : "(null)");
  }
}

TEST(FrameDamage, WholeFramesWhenThePictureCannotBeTrusted) {
  FrameDamage damage;
  const ScreenRect window{0, 0, 640, 480};
  const ScreenRect at{100, 100, 150, 140};
  FrameDamage::Input in{640, 480, at, {}, false, 0xFFFFFC00u};  // a second before the tick wraps
  const auto step = [&](std::uint32_t ms) {
    in.tickMs += ms;
    return damage.Next(in);
  };
  EXPECT_TRUE(step(0).whole);  // the first frame
  EXPECT_FALSE(step(16).whole);
  in.exposed = true;
  EXPECT_TRUE(step(16).whole);
  in.exposed = false;
  in.width = 800;  // the drawable's size changed
  FrameDamage::Frame f = step(16);
  EXPECT_TRUE(f.whole);
  EXPECT_EQ(f.dirty, (ScreenRect{0, 0, 800, 480}));
  in.width = 640;
  EXPECT_TRUE(step(16).whole);
  in.creature = std::nullopt;  // a corner behind the eye
  EXPECT_TRUE(step(16).whole);
  in.creature = at;
  // Just after: the creature may have been anywhere, so everything is erased once more.
  f = step(16);
  EXPECT_EQ(f.dirty, window);
  f = step(16);
  EXPECT_FALSE(f.whole);
  EXPECT_EQ(f.dirty, at);
  // Across the tick's wrap: 999 ms after the last whole frame is not yet due, 1000 ms is.
  EXPECT_FALSE(step(999 - 32).whole);
  EXPECT_TRUE(step(1).whole);
  EXPECT_EQ(damage.Frames(), 10u);
  EXPECT_EQ(damage.WholeFrames(), 6u);
}

// A window of w x h pixels that keeps what a frame does not draw. The right picture of frame n
// has the creature (value n) in its rectangle, the text (value -n, drawn over it) in its own and
// the ground (0) elsewhere. Drawing a frame only in its dirty rectangle must leave the model
// window equal to the right picture every time, whatever the creature does: jump, leave the
// window, come back, grow, vanish behind the eye; and whatever happens to the window.
TEST(FrameDamage, PartialFramesShowWhatWholeFramesShow) {
  std::mt19937 random(5);
  const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  int w = 64, h = 48;
  std::vector<int> shown(static_cast<std::size_t>(w * h), 0);
  FrameDamage damage;
  std::uint32_t tick = 0;
  int cx = 20, cy = 20;
  std::uint64_t partial = 0;
  for (int n = 1; n <= 5000; ++n) {
    tick += static_cast<std::uint32_t>(uniform(0, 40));
    FrameDamage::Input in;
    if (uniform(0, 400) == 0) {
      // The drawable is resized: its contents are lost.
      w = uniform(16, 80);
      h = uniform(16, 60);
      shown.assign(static_cast<std::size_t>(w * h), 12345);
    }
    in.width = w;
    in.height = h;
    in.tickMs = tick;
    in.exposed = uniform(0, 300) == 0;
    cx += uniform(-3, 3);
    cy += uniform(-3, 3);
    if (uniform(0, 150) == 0) {  // a jump, at times far off the window
      cx = uniform(-40, 120);
      cy = uniform(-40, 100);
    }
    const int size = uniform(2, 12);
    const ScreenRect creature{cx, cy, cx + size, cy + size * 2 / 3 + 1};
    if (uniform(0, 200) != 0) in.creature = creature;
    const bool text = n % 1000 > 500;
    in.overlay = text ? TopLeftRect(w / 10, h / 10, h) : ScreenRect{};

    const FrameDamage::Frame frame = damage.Next(in);
    if (!frame.whole) ++partial;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto inside = [&](const ScreenRect& r) {
          return x >= r.left && x < r.right && y >= r.bottom && y < r.top;
        };
        // Where no bound was found the creature still stands where it is.
        const int right = inside(in.overlay) ? -n : inside(creature) ? n : 0;
        int& pixel = shown[static_cast<std::size_t>(y * w + x)];
        if (inside(frame.dirty)) pixel = right;
        ASSERT_EQ(pixel, right) << "frame " << n << " pixel " << x << "," << y;
      }
    }
  }
  EXPECT_GT(partial, 3000u);
  EXPECT_GT(damage.AverageCoverage(), 0.0);
  EXPECT_LT(damage.AverageCoverage(), 0.5);
}

// Drivers that cycle through buffers: each frame draws into the buffer the driver hands over,
// whose age says how many buffers were shown since it was drawn, and a frame with nothing to draw
// shows nothing. Whatever the chain, every buffer shown must hold the right picture.
TEST(FrameDamage, BufferAgeShowsWhatWholeFramesShow) {
  const struct {
    const char* chain;
    int buffers;
    bool random;  // the driver hands over any buffer but the one shown, as a compositor frees them
    bool partialExpected;
  } cases[] = {
      {"one kept buffer", 1, false, true},
      {"two in turn", 2, false, true},
      {"three in turn", 3, false, true},
      {"any of four", 4, true, true},
      {"six in turn: older than the changes kept", 6, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chain);
    std::mt19937 random(7);
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int w = 48, h = 32;
    std::vector<std::vector<int>> buffers(static_cast<std::size_t>(c.buffers),
                                          std::vector<int>(w * h, 12345));
    std::vector<int> shownAt(static_cast<std::size_t>(c.buffers), 0);  // 0: never shown
    int shows = 0, front = -1, next = 0;
    FrameDamage damage;
    int cx = 10, cy = 10;
    for (int n = 1; n <= 3000; ++n) {
      FrameDamage::Input in;
      in.width = w;
      in.height = h;
      in.tickMs = static_cast<std::uint32_t>(n) * 20;
      if (uniform(0, 30) != 0) {  // at times it stays put: nothing changes
        cx += uniform(-3, 3);
        cy += uniform(-3, 3);
      }
      const ScreenRect creature{cx, cy, cx + 6, cy + 4};
      in.creature = creature;
      int b = next;
      if (c.random && c.buffers > 1) {
        do b = uniform(0, c.buffers - 1); while (b == front);
      }
      in.bufferAge = shownAt[b] == 0 ? 0 : shows - shownAt[b] + 1;
      const FrameDamage::Frame frame = damage.Next(in);
      if (frame.dirty.Empty()) {
        ASSERT_GE(front, 0);
      } else {
        for (int y = frame.dirty.bottom; y < frame.dirty.top; ++y)
          for (int x = frame.dirty.left; x < frame.dirty.right; ++x)
            buffers[b][y * w + x] = x >= cx && x < cx + 6 && y >= cy && y < cy + 4 ? n : 0;
        shownAt[b] = ++shows;
        front = b;
        next = (b + 1) % c.buffers;
      }
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const bool inside = x >= creature.left && x < creature.right && y >= creature.bottom &&
                              y < creature.top;
          const int pixel = buffers[front][y * w + x];
          // The creature that stayed put may carry an earlier frame's number.
          ASSERT_EQ(pixel != 0, inside) << "frame " << n << " pixel " << x << "," << y;
        }
    }
    const std::uint64_t partial = damage.Frames() - damage.WholeFrames();
    if (c.partialExpected) EXPECT_GT(partial, 2000u); else EXPECT_LT(partial, 10u);
  }
}

}  // namespace
