// Which monitor of a window the picture fills, and where that lies in GL's window coordinates:
// the choice every platform makes from its own list of monitors.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/Monitors.h"
#include "render/Frame.h"

namespace {

using platform::MonitorRect;

TEST(ChoosePictureMonitor, PrimaryOfTheMonitorsTheWindowHoldsElseTheFirst) {
  const MonitorRect left{0, 0, 1280, 720, false}, right{1280, 0, 1280, 720, false};
  const MonitorRect rightPrimary{1280, 0, 1280, 720, true};
  const struct {
    const char* what;
    std::vector<MonitorRect> monitors;
    int width, height;
    std::optional<MonitorRect> chosen;
  } cases[] = {
      {"no monitors known", {}, 2560, 720, std::nullopt},
      {"one monitor", {{0, 0, 1280, 720, true}}, 1280, 720, std::nullopt},
      {"side by side, primary second", {left, rightPrimary}, 2560, 720, rightPrimary},
      {"side by side, none primary: the first", {right, left}, 2560, 720, right},
      {"clones at one place", {{0, 0, 1280, 720, false}, {0, 0, 1280, 720, true}}, 1280, 720,
       MonitorRect{0, 0, 1280, 720, true}},
      // A window per monitor (XScreenSaver's): the other monitors lie outside it.
      {"a window over one monitor", {{-1280, 0, 1280, 720, true}, {0, 0, 1280, 720, false}},
       1280, 720, std::nullopt},
      // A preview or any window that holds no monitor whole.
      {"a small window", {left, right}, 320, 240, std::nullopt},
      {"the primary only partly inside: the first held whole",
       {{0, 0, 1280, 720, false}, {1280, 0, 1280, 720, false}, {2560, 0, 1280, 720, true}}, 2560,
       720, MonitorRect{0, 0, 1280, 720, false}},
      // Windows' virtual screen may start left of or above the primary monitor.
      {"different sizes, stacked", {{0, 0, 1920, 1080, false}, {320, 1080, 1280, 1024, true}},
       1920, 2104, MonitorRect{320, 1080, 1280, 1024, true}},
      {"empty and overflowing rectangles count for nothing",
       {{0, 0, 0, 720, true}, {0, 0, 1280, -5, true}, {2147483000, 0, 2000, 720, true}, left},
       2560, 720, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ChoosePictureMonitor(c.monitors, c.width, c.height), c.chosen) << c.what;
  }
}

TEST(PictureArea, MonitorFromTheTopLeftBecomesGlWindowCoordinates) {
  EXPECT_EQ(PictureArea(std::nullopt, 1024, 768), (ScreenRect{0, 0, 1024, 768}));
  EXPECT_EQ(PictureArea(MonitorRect{1280, 0, 1280, 720}, 2560, 720),
            (ScreenRect{1280, 0, 2560, 720}));
  // The lower of two stacked monitors starts at GL's bottom row.
  EXPECT_EQ(PictureArea(MonitorRect{320, 1080, 1280, 1024}, 1920, 2104),
            (ScreenRect{320, 0, 1600, 1024}));
  EXPECT_EQ(PictureArea(MonitorRect{0, 0, 1920, 1080}, 1920, 2104),
            (ScreenRect{0, 1024, 1920, 2104}));
  // The frame-rate text sits at the area's top left corner.
  EXPECT_EQ(TopLeftRect(128, 72, ScreenRect{1280, 0, 2560, 720}), (ScreenRect{1280, 648, 1408, 720}));
  EXPECT_EQ(TopLeftRect(102, 76, ScreenRect{0, 0, 1024, 768}), TopLeftRect(102, 76, 768));
}

}  // namespace
